#!/usr/bin/env bash
# The PNG files, compressed in pieces on several threads, are ordinary PNG
# files to other readers: Pillow and ImageMagick read the every-layer example
# (many pieces, at levels 0, the default and 9, on 1 and 3 threads) and a cube
# face to the pixels of the BMP written beside it, and Pillow finds the
# panorama's XMP. Needs python3 with Pillow and ImageMagick's convert (Debian
# python3-pil, imagemagick; scripts/install-deps installs them); without them
# exits 77, which ctest counts as skipped.
#
#   tests/clients/png_readers.sh build/horizonmill-render
set -euo pipefail

render="${1:?the horizonmill-render program}"
scene="$(cd "$(dirname "$0")" && pwd)/../../examples/lighthouse-coast.hm"
# The Python that has Pillow: the one on the path, else the system's own.
python=
for candidate in python3 /usr/bin/python3; do
  if "$candidate" -c 'import PIL' 2>/dev/null; then
    python=$candidate
    break
  fi
done
if ! command -v convert >/dev/null 2>&1 || [ -z "$python" ]; then
  echo "png_readers: skipped: needs Pillow (python3-pil) and ImageMagick (convert)" >&2
  exit 77
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$render" "$scene" --size 1000x500 -o "$work/pano.bmp" --quiet
"$render" "$scene" --size 1000x500 --cubemap "$work/faces" --cubemap-format bmp --face-size 300 \
  --quiet
"$render" "$scene" --size 1000x500 --cubemap "$work/faces" --face-size 300 --quiet

same() {  # PNG BMP
  # ImageMagick: both files as raw RGB bytes.
  if ! cmp -s <(convert "$1" rgb:-) <(convert "$2" rgb:-); then
    echo "png_readers: ImageMagick reads $1 apart from $2" >&2
    return 1
  fi
  "$python" - "$1" "$2" <<'PY'
import sys
from PIL import Image
png, bmp = Image.open(sys.argv[1]), Image.open(sys.argv[2])
png.load()
if png.mode != "RGB" or png.size != bmp.size or png.tobytes() != bmp.convert("RGB").tobytes():
    sys.exit("png_readers: Pillow reads %s apart from %s" % (sys.argv[1], sys.argv[2]))
PY
}

for level in 0 4 9; do
  for threads in 1 3; do
    "$render" "$scene" --size 1000x500 -o "$work/pano.png" --png-level "$level" \
      --threads "$threads" --quiet
    same "$work/pano.png" "$work/pano.bmp"
  done
done
"$python" - "$work/pano.png" <<'PY'
import sys
from PIL import Image
xmp = Image.open(sys.argv[1]).info.get("XML:com.adobe.xmp", "")
if "GPano:ProjectionType" not in xmp:
    sys.exit("png_readers: Pillow finds no panorama XMP in the PNG")
PY
for face in px nx py ny pz nz; do same "$work/faces/$face.png" "$work/faces/$face.bmp"; done
echo "png_readers: Pillow and ImageMagick read every PNG to the BMP's pixels"
