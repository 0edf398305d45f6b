#!/usr/bin/env bash
# The desktop program's --version and --help answer on standard output and exit
# 0 without a display (so help2man and scripts can ask them anywhere), and the
# version is the build's (the file the build writes it into).
#
#   tests/desktop_program_options.sh build/horizonmill build/generated/version.txt
set -euo pipefail

program="${1:?the horizonmill program}"
version="$(cat "${2:?the file holding the version the build says}")"
fail() { echo "desktop_program_options: $*" >&2; exit 1; }

# No display of any kind: a program that reached Qt's platform plugin would fail.
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

out="$("$program" --version)" || fail "--version exited with $?"
[ "$out" = "horizonmill $version" ] || fail "--version said \"$out\", not \"horizonmill $version\""

out="$("$program" --help)" || fail "--help exited with $?"
case "$out" in
  "Usage: horizonmill [--lang ja|en] [SCENE.hm]"*) ;;
  *) fail "--help does not start with the usage: $out" ;;
esac
for option in --lang --version --help; do
  grep -q -- "$option" <<<"$out" || fail "--help does not explain $option"
done
[ "$("$program" -h)" = "$out" ] || fail "-h differs from --help"
# Either option answers wherever it stands, a scene file beside it.
out="$("$program" scene.hm --version)" || fail "scene.hm --version exited with $?"
[ "$out" = "horizonmill $version" ] || fail "scene.hm --version said \"$out\""
echo "desktop_program_options: --version and --help answer without a display"
