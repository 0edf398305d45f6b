#!/usr/bin/env bash
# Checks every cube-map layout and both conventions against three.js in
# headless Chromium (threejs_cubemap.mjs). Needs Chromium (Debian chromium),
# Node.js, and the npm packages of package.json installed beside this script
# (npm install --prefix tests/clients, or scripts/install-deps --clients);
# without them it exits 77, which ctest counts as skipped.
#
#   tests/clients/threejs_cubemap.sh build/horizonmill-render
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
render="${1:?the horizonmill-render program}"
scene="$here/../../examples/lighthouse-coast.hm"

chromium="$(command -v chromium || command -v chromium-browser || true)"
if [ -z "$chromium" ] || ! command -v node >/dev/null 2>&1 ||
  [ ! -d "$here/node_modules/three" ] || [ ! -d "$here/node_modules/puppeteer-core" ]; then
  echo "threejs_cubemap: skipped: needs chromium, node and the npm packages in $here/node_modules" >&2
  exit 77
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The panorama, then each layout in each convention from the same scene.
"$render" "$scene" --size 512x256 -o "$work/panorama.png" --no-metadata --quiet
cases="["
for convention in gl threejs; do
  for layout in faces row column 2x3 3x2 cross vcross; do
    folder="$convention-$layout"
    "$render" "$scene" --size 512x256 --cubemap "$work/$folder" --face-size 128 \
      --cubemap-layout "$layout" --cubemap-convention "$convention" --quiet
    cases+="{\"folder\": \"$folder\", \"layout\": \"$layout\", \"convention\": \"$convention\"},"
  done
done
echo "${cases%,}]" >"$work/cases.json"

node "$here/threejs_cubemap.mjs" "$chromium" "$work"
