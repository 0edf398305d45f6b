// Small helpers for tests of the textured layers: textures made from a rule,
// a fixed noise texture, and comparing parts of two bitmaps.
#pragma once

#include <cstdint>
#include <functional>

#include "image/PixelImage.h"
#include "image/WorkBitmap.h"

namespace horizonmill::testing {

inline PixelImagePtr MakeTexture(int w, int h,
                                 const std::function<PackedColour(int x, int y)>& texel) {
  PixelImagePtr t = MakePixelImage(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) t->Row(y)[x] = texel(x, y);
  return t;
}

// Opaque texels whose every channel changes from texel to texel (a fixed
// generator, the same on every run).
inline PixelImagePtr NoiseTexture(int w, int h, std::uint32_t seed = 7) {
  return MakeTexture(w, h, [&seed](int, int) {
    seed = seed * 134775813u + 1u;
    return MakePacked(seed >> 24, seed >> 16, seed >> 8, 255);
  });
}

inline WorkBitmap CopyBitmap(const WorkBitmap& from) {
  WorkBitmap b(from.Width(), from.Height());
  for (int y = 0; y < from.Height(); ++y)
    for (int x = 0; x < from.Width(); ++x) b.Row(y)[x] = from.Row(y)[x];
  return b;
}

// Columns x0 .. x1 - 1 of rows y0 .. y1 - 1 are equal in both.
inline bool SameRegion(const WorkBitmap& a, const WorkBitmap& b, int x0, int x1, int y0, int y1) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (!(a.Row(y)[x] == b.Row(y)[x])) return false;
  return true;
}

}  // namespace horizonmill::testing
