// The scene values the editors' track bars stand for, both ways.
#pragma once

#include <algorithm>
#include <cmath>

namespace horizonmill {

// A sun slope bar runs -100 .. 100; its right end gives slope -10.
inline long double SlopeOfPosition(int position) { return -position / 10.0L; }
// Back from a slope: -Round(slope * 10), halves to even (0.25 gives -2), held
// within the bar (a value that is no number gives 0).
inline int PositionOfSlope(long double slope) {
  if (std::isnan(slope)) return 0;
  return -static_cast<int>(std::nearbyintl(std::clamp(slope * 10, -100.0L, 100.0L)));
}

// An object's transparency bar runs 0 (opaque) .. 100 (transparent).
inline long double TransparencyOfPosition(int position) { return position / 100.0L; }
// Round(transparency * 100), halves to even (0.375 gives 38), held within the
// bar (a value that is no number gives 0).
inline int PositionOfTransparency(long double transparency) {
  if (std::isnan(transparency)) return 0;
  return static_cast<int>(std::nearbyintl(std::clamp(transparency * 100, 0.0L, 100.0L)));
}

}  // namespace horizonmill
