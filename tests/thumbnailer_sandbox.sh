#!/usr/bin/env bash
# The installed thumbnailer run the way a desktop's thumbnail factory runs it
# in bubblewrap: /usr read-only, the scene file alone bound read-only under a
# fixed name of the factory's own (/tmp/gnome-desktop-file-to-thumbnail.hm),
# the output folder as /tmp, no network. Nothing beside the scene is visible,
# so none of its pictures can be reached: the thumbnail must be the scene
# without them (sky, sun, stars), byte for byte what the installed renderer
# makes of the scene with its pictures' lines taken out, never the "無" tile.
# Where bubblewrap is missing or cannot make a sandbox (no user namespaces,
# say), the check is skipped and says so.
#
#   tests/thumbnailer_sandbox.sh STAGE WORK
#     STAGE: the installation prefix (bin/, share/); WORK: an empty folder
set -euo pipefail

stage="${1:?the installation prefix}"
work="${2:?a folder to work in}"
fail() { echo "thumbnailer_sandbox: $*" >&2; exit 1; }

if ! command -v bwrap >/dev/null 2>&1; then
  echo "thumbnailer_sandbox: skipped: bubblewrap (bwrap) is not installed"
  exit 0
fi
if ! probe="$(bwrap --ro-bind / / --unshare-all true 2>&1)"; then
  echo "thumbnailer_sandbox: skipped: bubblewrap cannot make a sandbox here: $probe"
  exit 0
fi

scene="$stage/share/horizonmill/examples/lighthouse-coast.hm"
exec_line="$(sed -n 's/^Exec=//p' "$stage/share/thumbnailers/horizonmill.thumbnailer")"
out="$work/out"
mkdir -p "$out"

# The factory's mounts: the system's /usr and the links into it, the scene
# and the output folder; the renderer (not under /usr here) bound alone, so
# that nothing else of the staged installation is visible either.
sandbox=(bwrap --ro-bind /usr /usr --ro-bind-try /etc/ld.so.cache /etc/ld.so.cache
  --ro-bind-try /etc/alternatives /etc/alternatives)
for link in bin lib lib64 sbin; do
  [ -L "/$link" ] && sandbox+=(--symlink "$(readlink "/$link")" "/$link")
done
sandbox+=(--proc /proc --dev /dev --chdir / --unshare-all --die-with-parent
  --bind "$out" /tmp --ro-bind "$scene" /tmp/gnome-desktop-file-to-thumbnail.hm
  --ro-bind "$stage/bin" /opt/horizonmill/bin --setenv PATH /opt/horizonmill/bin:/usr/bin)

run_thumbnailer() {  # IN SIZE OUT, then the command's prefix
  local line="$exec_line" in="$1" size="$2" output="$3"
  shift 3
  line="${line//%i/$in}"
  line="${line//%s/$size}"
  line="${line//%o/$output}"
  # The entry's words, unquoted as the factory splits them.
  read -r -a words <<<"$line"
  "$@" "${words[@]}"
}

run_thumbnailer /tmp/gnome-desktop-file-to-thumbnail.hm 256 /tmp/gnome-desktop-thumbnailer.png \
  "${sandbox[@]}" 2>"$work/sandboxed.txt" ||
  { cat "$work/sandboxed.txt" >&2; fail "the thumbnailer failed in the sandbox"; }
thumbnail="$out/gnome-desktop-thumbnailer.png"
[ -s "$thumbnail" ] || fail "the thumbnailer wrote nothing in the sandbox"

# The scene without its pictures: every line that names one, and the lines
# of the entries and layers they belong to, taken out.
grep -av '^Objects_\|^Ground_\|^Sky_' "$scene" >"$work/without.hm"
PATH="$stage/bin:$PATH" run_thumbnailer "$work/without.hm" 256 "$work/without.png" env ||
  fail "the thumbnailer failed on the scene without its pictures"
cmp -s "$thumbnail" "$work/without.png" || {
  cat "$work/sandboxed.txt" >&2
  fail "the sandboxed thumbnail is not the scene without its pictures (a \"無\" tile or a layer drawn?)"
}
grep -q 'ground texture "water.bmp" not found; the layer is left out' "$work/sandboxed.txt" ||
  fail "the sandboxed thumbnailer did not tell that the ground was left out"

# Outside the sandbox the same entry reaches the pictures: the full scene.
PATH="$stage/bin:$PATH" run_thumbnailer "$scene" 256 "$work/direct.png" env ||
  fail "the thumbnailer failed outside the sandbox"
! cmp -s "$work/direct.png" "$work/without.png" ||
  fail "the thumbnail outside the sandbox lacks the scene's pictures"
echo "thumbnailer_sandbox: the sandboxed thumbnail is the scene without its pictures"
