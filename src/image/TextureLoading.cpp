#include "image/TextureLoading.h"

namespace horizonmill {

WorkBitmap BitmapOf(const PixelImage& picture) {
  WorkBitmap bitmap;
  if (!bitmap.Resize(picture.width, picture.height)) return bitmap;
  for (int y = 0; y < picture.height; ++y) {
    const PackedColour* from = picture.Row(y);
    BgrPixel* to = bitmap.Row(y);
    for (int x = 0; x < picture.width; ++x) to[x] = PackedToBgr(from[x]);
  }
  return bitmap;
}

}  // namespace horizonmill
