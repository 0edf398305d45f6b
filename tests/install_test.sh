#!/usr/bin/env bash
# The installed program as a user gets it: install into a staging folder, run
# the installed renderer on an installed example, validate the desktop entry,
# the AppStream metadata, the MIME type, the manual pages (each option of
# --help documented), the thumbnailer (directly, and in bubblewrap as a
# desktop's thumbnail factory runs it) and the bash completion; then build the
# Debian package, list it, and check it with lintian (no errors).
#
#   tests/install_test.sh BUILD_DIR
set -euo pipefail

build="$(cd "${1:?the build folder}" && pwd)"
fail() { echo "install_test: $*" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
stage="$work/stage"

cmake --install "$build" --prefix "$stage" >/dev/null || fail "cmake --install failed"
bin="$stage/bin"
share="$stage/share"

# The installed renderer on an installed example: a PNG of the size asked for.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}'; }
"$bin/horizonmill-render" "$share/horizonmill/examples/dusk.hm" --size 512x256 --quiet \
  -o "$work/dusk.png" || fail "the installed renderer failed on the installed dusk.hm"
[ "$(png_size "$work/dusk.png")" = 512x256 ] || fail "dusk.png is $(png_size "$work/dusk.png"), not 512x256"
"$bin/horizonmill-render" --version | grep -qx "horizonmill-render $(cat "$build/generated/version.txt")" ||
  fail "--version of the installed renderer: $("$bin/horizonmill-render" --version)"

# Desktop entry and AppStream metadata.
desktop-file-validate "$share/applications/horizonmill.desktop" ||
  fail "desktop-file-validate found problems"
grep -qx "MimeType=application/x-horizonmill-scene;" "$share/applications/horizonmill.desktop" ||
  fail "the desktop entry does not open scene files"
appstreamcli validate --no-net "$share/metainfo/org.horizonmill.Horizonmill.metainfo.xml" >"$work/as.txt" 2>&1 ||
  { cat "$work/as.txt" >&2; fail "appstreamcli validate found problems"; }

# The icon: the scalable drawing, and each PNG the size its folder names.
[ -f "$share/icons/hicolor/scalable/apps/horizonmill.svg" ] || fail "no scalable icon"
for size in 16 22 24 32 48 64 96 128 256 512; do
  icon="$share/icons/hicolor/${size}x${size}/apps/horizonmill.png"
  [ "$(png_size "$icon" 2>/dev/null)" = "${size}x${size}" ] || fail "$icon is no ${size}x${size} PNG"
done

# The MIME type: a database built from the installed package file knows .hm
# by name and by content.
cp -r "$share/mime" "$work/mime"
update-mime-database "$work/mime" >"$work/mime.txt" 2>&1 ||
  { cat "$work/mime.txt" >&2; fail "update-mime-database refused horizonmill.xml"; }
grep -q "application/x-horizonmill-scene:\*\.hm" "$work/mime/globs2" || fail "no *.hm glob in the MIME database"
grep -aq "# Horizonmill" "$work/mime/magic" || fail "no magic for the scene files' first line"

# Manual pages: each formats without a warning, and each option that --help
# explains is in the page of its program.
for page in "$stage"/share/man/man1/*.1.gz "$stage"/share/man/man5/*.5.gz; do
  warnings="$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)" || fail "man -l $page failed"
  [ -z "$warnings" ] || fail "man -l $page: $warnings"
done
for p in horizonmill-render horizonmill; do
  [ -x "$bin/$p" ] || continue
  text="$(MANWIDTH=200 man -l "$stage/share/man/man1/$p.1.gz" 2>/dev/null)"
  for option in $("$bin/$p" --help | grep -oE '^  (-[a-zA-Z], )?--[a-z][a-z0-9-]*' | grep -oE -- '--[a-z0-9-]+'); do
    grep -q -- "$option" <<<"$text" || fail "$p(1) does not document $option"
  done
done
[ -f "$stage/share/man/man5/horizonmill-hm.5.gz" ] || fail "no horizonmill-hm(5)"

# The thumbnailer as a file manager runs it: %i the scene, %s the size, %o
# the PNG to write; the picture fits the size.
exec_line="$(sed -n 's/^Exec=//p' "$share/thumbnailers/horizonmill.thumbnailer")"
exec_line="${exec_line//%i/$share/horizonmill/examples/lighthouse-coast.hm}"
exec_line="${exec_line//%s/128}"
exec_line="${exec_line//%o/$work/thumb}"
PATH="$bin:$PATH" eval "$exec_line" || fail "the thumbnailer's command failed: $exec_line"
[ "$(png_size "$work/thumb")" = 128x96 ] || fail "the thumbnail is $(png_size "$work/thumb"), not 128x96"

# --- The thumbnailer in a desktop's sandbox (tests/thumbnailer_sandbox.sh) ---
mkdir "$work/sandbox"
"$(dirname "$0")/thumbnailer_sandbox.sh" "$stage" "$work/sandbox" ||
  fail "the thumbnailer in the sandbox"
# --- end of the sandboxed thumbnailer ---

# Bash completion: options from --help, a word for the layouts.
complete_words() {
  bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
    _horizonmill_render horizonmill-render "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
    printf "%s\n" "${COMPREPLY[@]}"' _ "$share/bash-completion/completions/horizonmill-render" "$@"
}
PATH="$bin:$PATH" complete_words horizonmill-render --cubemap-l | grep -qx -- --cubemap-layout ||
  fail "completion does not offer --cubemap-layout"
complete_words horizonmill-render --cubemap-layout v | grep -qx vcross ||
  fail "completion does not offer the layout vcross"

# The Debian package: the files in their places, lintian without errors.
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null) ||
  fail "cpack failed"
deb="$(ls "$work"/package/horizonmill_*.deb)"
listing="$(dpkg-deb -c "$deb")"
for f in ./usr/bin/horizonmill-render ./usr/share/man/man1/horizonmill-render.1.gz \
         ./usr/share/man/man5/horizonmill-hm.5.gz ./usr/share/mime/packages/horizonmill.xml \
         ./usr/share/thumbnailers/horizonmill.thumbnailer \
         ./usr/share/bash-completion/completions/horizonmill-render \
         ./usr/share/horizonmill/examples/dusk.hm ./usr/share/doc/horizonmill/copyright \
         ./usr/share/doc/horizonmill/changelog.gz ./usr/share/doc/horizonmill/CHANGELOG.md.gz; do
  grep -q " $f\$" <<<"$listing" || fail "the package lacks $f"
done
# The package's version is the build's; its programs are hardened (immediate
# binding, read-only relocations, position-independent) and stripped of the
# compiler's .comment.
[ "$(dpkg-deb -f "$deb" Version)" = "$(cat "$build/generated/version.txt")" ] ||
  fail "the package's version $(dpkg-deb -f "$deb" Version) is not the build's"
dpkg-deb -x "$deb" "$work/unpacked"
for program in "$work"/unpacked/usr/bin/*; do
  dynamic="$(readelf -d "$program")"
  grep -q "BIND_NOW" <<<"$dynamic" || fail "$(basename "$program") is not linked with -z now"
  grep -q "Flags:.*PIE" <<<"$dynamic" || fail "$(basename "$program") is no PIE"
  readelf -lW "$program" | grep -q GNU_RELRO || fail "$(basename "$program") has no RELRO"
  ! readelf -SW "$program" | grep -qE " \.comment | \.note " || fail "$(basename "$program") keeps .comment or .note"
done
lintian --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1 || true
cat "$work/lintian.txt"
! grep -q "^E:" "$work/lintian.txt" || fail "lintian found errors in $(basename "$deb")"
echo "install_test: installed, validated and packaged $(basename "$deb")"
