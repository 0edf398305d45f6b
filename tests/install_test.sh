#!/usr/bin/env bash
# The installed program as a user gets it: install into a staging folder, run
# the installed renderer on an installed example, validate the desktop entry,
# the AppStream metadata, the MIME type, the manual pages (each option of
# --help documented), the thumbnailer (directly, and in bubblewrap as a
# desktop's thumbnail factory runs it) and the bash completion; then build the
# two Debian packages, list them, check them with lintian (no errors or
# warnings), and run the renderer's package unpacked alone, where no Qt library
# is reachable.
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

# ---- The Debian packages (begin) ----
# Both packages: each file in the package it belongs to, none in both.
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null) ||
  fail "cpack failed"
version="$(cat "$build/generated/version.txt")"
render_deb="$(ls "$work"/package/horizonmill-render_*.deb)" || fail "no horizonmill-render package"
window_deb="$(ls "$work"/package/horizonmill_*.deb)" || fail "no horizonmill package"
doc=./usr/share/doc
render_files=(./usr/bin/horizonmill-render ./usr/share/man/man1/horizonmill-render.1.gz
  ./usr/share/man/man5/horizonmill-hm.5.gz ./usr/share/mime/packages/horizonmill.xml
  ./usr/share/thumbnailers/horizonmill.thumbnailer
  ./usr/share/bash-completion/completions/horizonmill-render
  ./usr/share/horizonmill/examples/dusk.hm ./usr/share/horizonmill/examples/lighthouse-coast.hm
  $doc/horizonmill-render/copyright $doc/horizonmill-render/changelog.gz
  $doc/horizonmill-render/CHANGELOG.md.gz $doc/horizonmill-render/command-line.md.gz)
window_files=(./usr/bin/horizonmill ./usr/share/man/man1/horizonmill.1.gz
  ./usr/share/applications/horizonmill.desktop
  ./usr/share/metainfo/org.horizonmill.Horizonmill.metainfo.xml
  ./usr/share/icons/hicolor/scalable/apps/horizonmill.svg
  ./usr/share/icons/hicolor/48x48/apps/horizonmill.png
  $doc/horizonmill/copyright $doc/horizonmill/changelog.gz $doc/horizonmill/window.md.gz)
files_of() { dpkg-deb -c "$1" | grep -v '^d' | awk '{print $NF}' | sort; }
files_of "$render_deb" >"$work/render.list"
files_of "$window_deb" >"$work/window.list"
for f in "${render_files[@]}"; do grep -qx -- "$f" "$work/render.list" || fail "horizonmill-render lacks $f"; done
for f in "${window_files[@]}"; do grep -qx -- "$f" "$work/window.list" || fail "horizonmill lacks $f"; done
both="$(comm -12 "$work/render.list" "$work/window.list")"
[ -z "$both" ] || fail "files in both packages: $both"

# Their control fields: the build's version; the renderer's libraries without
# Qt, the desktop program's Qt and the renderer's package of the same version.
for deb in "$render_deb" "$window_deb"; do
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] ||
    fail "the version $(dpkg-deb -f "$deb" Version) of $(basename "$deb") is not the build's"
done
render_depends="$(dpkg-deb -f "$render_deb" Depends)"
window_depends="$(dpkg-deb -f "$window_deb" Depends)"
grep -q "libjpeg" <<<"$render_depends" || fail "horizonmill-render depends on no libjpeg: $render_depends"
! grep -qiE "libqt|horizonmill" <<<"$render_depends" || fail "horizonmill-render depends on $render_depends"
grep -q "libqt6widgets6" <<<"$window_depends" || fail "horizonmill depends on no Qt: $window_depends"
grep -qF "horizonmill-render (= $version)" <<<"$window_depends" ||
  fail "horizonmill does not depend on horizonmill-render $version: $window_depends"

# Their programs are hardened (immediate binding, read-only relocations,
# position-independent) and stripped of the compiler's .comment.
dpkg-deb -x "$render_deb" "$work/render-root"
dpkg-deb -x "$window_deb" "$work/window-root"
for program in "$work"/render-root/usr/bin/* "$work"/window-root/usr/bin/*; do
  dynamic="$(readelf -d "$program")"
  grep -q "BIND_NOW" <<<"$dynamic" || fail "$(basename "$program") is not linked with -z now"
  grep -q "Flags:.*PIE" <<<"$dynamic" || fail "$(basename "$program") is no PIE"
  readelf -lW "$program" | grep -q GNU_RELRO || fail "$(basename "$program") has no RELRO"
  ! readelf -SW "$program" | grep -qE " \.comment | \.note " || fail "$(basename "$program") keeps .comment or .note"
done

# lintian, information and pedantic tags included: no error or warning in
# either; what it says else is printed (packaging/lintian holds the tags it
# takes for faults and are none, each said why).
for deb in "$render_deb" "$window_deb"; do
  lintian --tag-display-limit 0 -I --pedantic "$deb" >"$work/lintian.txt" 2>&1 || true
  grep -v "running with root privileges" "$work/lintian.txt" || true
  ! grep -qE "^[EW]:" "$work/lintian.txt" || fail "lintian found errors or warnings in $(basename "$deb")"
done

# The renderer's package alone, as on a machine without X or Qt: its program
# loads no Qt library and finds every library it needs without help, and
# renders an example of the package to the same bytes as the build's renderer:
# a whole PNG of the size asked for (every chunk's CRC right, the image data
# inflating to exactly its rows of RGB).
staged="$work/render-root/usr/bin/horizonmill-render"
libraries="$(env -u LD_LIBRARY_PATH ldd "$staged")" || fail "ldd failed on the packaged renderer"
! grep -qi "libqt" <<<"$libraries" || fail "the packaged renderer loads Qt: $libraries"
! grep -q "not found" <<<"$libraries" || fail "the packaged renderer misses libraries: $libraries"
scene="$work/render-root/usr/share/horizonmill/examples/lighthouse-coast.hm"
env -u LD_LIBRARY_PATH "$staged" "$scene" --size 256x128 --quiet -o "$work/staged.png" ||
  fail "the packaged renderer failed on its lighthouse-coast.hm"
"$build/horizonmill-render" "$scene" --size 256x128 --quiet -o "$work/built.png" ||
  fail "the build's renderer failed on the packaged lighthouse-coast.hm"
python3 - "$work/staged.png" >"$work/staged.txt" 2>&1 <<'PNG' ||
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89PNG\r\n\x1a\n", "no PNG signature"
at, chunks, idat = 8, [], b""
while at < len(data):
    length, kind = struct.unpack(">I4s", data[at:at + 8])
    body = data[at + 8:at + 8 + length]
    assert struct.unpack(">I", data[at + 8 + length:at + 12 + length])[0] == zlib.crc32(kind + body), kind
    chunks.append(kind)
    idat += body if kind == b"IDAT" else b""
    if kind == b"IHDR":
        width, height, depth, colour = struct.unpack(">IIBB", body[:10])
    at += 12 + length
assert chunks[0] == b"IHDR" and chunks[-1] == b"IEND", chunks
assert (depth, colour) == (8, 2), (depth, colour)
assert len(zlib.decompress(idat)) == height * (1 + 3 * width), "short image data"
print("%dx%d" % (width, height))
PNG
  { cat "$work/staged.txt" >&2; fail "the packaged renderer's PNG is broken"; }
[ "$(cat "$work/staged.txt")" = 256x128 ] || fail "the packaged renderer's PNG is $(cat "$work/staged.txt"), not 256x128"
cmp -s "$work/staged.png" "$work/built.png" || fail "the packaged renderer's picture differs from the build's"
echo "install_test: installed, validated and packaged $(basename "$render_deb") and $(basename "$window_deb")"
# ---- The Debian packages (end) ----
