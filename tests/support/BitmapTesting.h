// Small helpers for tests that look at rendered bitmaps.
#pragma once

#include <cstring>

#include "image/WorkBitmap.h"

namespace horizonmill::testing {

inline WorkBitmap FilledBitmap(int w, int h, BgrPixel colour) {
  WorkBitmap bitmap(w, h);
  FillWorkBitmap(bitmap, colour);
  return bitmap;
}

inline bool SamePixels(const WorkBitmap& a, const WorkBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.Row(y), b.Row(y), a.Width() * sizeof(BgrPixel)) != 0) return false;
  return true;
}

inline int CountDifferent(const WorkBitmap& a, const WorkBitmap& b) {
  int n = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) n += !(a.Row(y)[x] == b.Row(y)[x]);
  return n;
}

inline BgrPixel Grey(int g) {
  const auto v = static_cast<std::uint8_t>(g);
  return BgrPixel{v, v, v};
}

}  // namespace horizonmill::testing
