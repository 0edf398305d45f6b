#!/usr/bin/env bash
# The HDR outputs light a scene from their sun, in Blender: a white Lambert
# sphere lit only by the lighthouse example's EXR (and .hdr) as its world is
# lit from within 8 degrees of the sun JSON's direction (its sun stands 5
# degrees high, and the sky and the mirroring water pull the light a little);
# with the 8-bit PNG as the world it is not; with the same scene's sun raised
# to 72 degrees the EXR lights it from within 3 degrees
# (blender_sun_light.py fits the light's direction). Needs Blender (Debian
# blender); without it exits 77, which ctest counts as skipped.
#
#   tests/clients/blender_sun_light.sh build/horizonmill-render
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
render="${1:?the horizonmill-render program}"
scene="$here/../../examples/lighthouse-coast.hm"
if ! command -v blender >/dev/null 2>&1; then
  echo "blender_sun_light: skipped: needs blender" >&2
  exit 77
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$render" "$scene" --size 1024x512 -o "$work/pano.exr" --sun-json "$work/sun.json" --quiet
"$render" "$scene" --size 1024x512 -o "$work/pano.hdr" --quiet
"$render" "$scene" --size 1024x512 -o "$work/pano.png" --quiet
# The same scene with its sun at 72 degrees.
sed 's/^Gradation2_Position .*/Gradation2_Position 0.3 0.1/' "$scene" >"$work/high.hm"
"$render" "$work/high.hm" --search-dir "$(dirname "$scene")" --strict --size 1024x512 \
  -o "$work/high.exr" --sun-json "$work/high.json" --quiet

check() {  # PANORAMA WITHIN|BEYOND|FIT DEGREES [SUN.json]
  local log="$work/blender.log"
  if blender -b --python "$here/blender_sun_light.py" -- "$work/$1" "$work/${4:-sun.json}" 32 "$2" "$3" \
    >"$log" 2>&1; then
    grep '^SUNLIGHT' "$log"
  else
    grep '^SUNLIGHT' "$log" || tail -20 "$log"
    echo "blender_sun_light: $1: the light's direction is not $2 $3 degrees of the sun's" >&2
    return 1
  fi
}
check pano.exr WITHIN 8
check pano.hdr WITHIN 8
check pano.png BEYOND 15
check high.exr FIT 3 high.json
