#!/usr/bin/env bash
# The ambient light's coefficients (--sh-json) against the engine tools' own
# (cmgen --sh=3 of Debian's libfilament-tools) on the same EXR: each within 2%
# of the first coefficient, for the examples at the default size. Without
# cmgen it exits 77, which ctest counts as skipped.
#
#   tests/clients/cmgen_sh.sh build/horizonmill-render
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
render="${1:?the horizonmill-render program}"
if ! command -v cmgen >/dev/null 2>&1; then
  echo "cmgen_sh: skipped: needs cmgen (Debian libfilament-tools)" >&2
  exit 77
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
status=0
for scene in lighthouse-coast dusk forest-lake; do
  "$render" "$here/../../examples/$scene.hm" -o "$work/$scene.exr" --sh-json "$work/$scene.json" \
    --quiet
  cmgen --sh=3 --type=equirect --quiet --deploy="$work/cmgen" "$work/$scene.exr" >/dev/null
  python3 - "$work/$scene.json" "$work/cmgen/$scene/sh.txt" "$scene" <<'PY' || status=1
import json, re, sys
ours = json.load(open(sys.argv[1]))["coefficients"]
# "( r, g, b); // L00, irradiance, pre-scaled base", nine lines
theirs = [[float(v) for v in re.findall(r"-?[0-9.]+(?:e-?[0-9]+)?", line.split(";")[0])]
          for line in open(sys.argv[2]) if line.strip()]
assert len(theirs) == 9 and all(len(c) == 3 for c in theirs), theirs
first = max(abs(v) for v in theirs[0])
worst = max(abs(ours[i][k] - theirs[i][k]) for i in range(9) for k in range(3)) / first
print("cmgen_sh: %s: the largest difference is %.2f%% of the first coefficient"
      % (sys.argv[3], 100 * worst))
sys.exit(0 if worst <= 0.02 else 1)
PY
done
exit $status
