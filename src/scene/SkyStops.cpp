#include "scene/SkyStops.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace horizonmill {

int StopMarkerRow(long double position, int height) {
  // Positions come from settings files too; a wild one never overflows.
  const long double row = std::clamp(height * position, -1.0e9L, 1.0e9L);
  return static_cast<int>(std::nearbyintl(row));
}

int HitStop(const SkyGradation& sky, int height, int row) {
  const int n = std::clamp(sky.Count, 0, SkyGradation::kCapacity);
  for (int i = 0; i < n; ++i)
    if (std::abs(StopMarkerRow(sky.Positions[i], height) - row) < 5) return i;
  return -1;
}

StopPlacement PlaceStop(SkyGradation& sky, int height, int row, FloatColour colour) {
  colour.a = 255;
  int k = HitStop(sky, height, row);
  if (k >= 0) {
    sky.Colors[k] = colour;
    return StopPlacement::Recoloured;
  }
  const int n = std::clamp(sky.Count, 0, SkyGradation::kCapacity);
  if (n == SkyGradation::kCapacity) return StopPlacement::Full;
  // Every marker is at least five rows away, so the new position lies
  // strictly between the positions of its neighbours.
  k = 0;
  while (k < n && StopMarkerRow(sky.Positions[k], height) <= row) ++k;
  std::copy_backward(sky.Colors.begin() + k, sky.Colors.begin() + n, sky.Colors.begin() + n + 1);
  std::copy_backward(sky.Positions.begin() + k, sky.Positions.begin() + n,
                     sky.Positions.begin() + n + 1);
  sky.Count = n + 1;
  sky.Positions[k] = static_cast<long double>(row) / height;
  sky.Colors[k] = colour;
  return StopPlacement::Inserted;
}

bool DeleteStop(SkyGradation& sky, int height, int row) {
  const int k = HitStop(sky, height, row);
  const int n = std::clamp(sky.Count, 0, SkyGradation::kCapacity);
  if (k <= 0 || k >= n - 1) return false;
  std::copy(sky.Colors.begin() + k + 1, sky.Colors.begin() + n, sky.Colors.begin() + k);
  std::copy(sky.Positions.begin() + k + 1, sky.Positions.begin() + n, sky.Positions.begin() + k);
  sky.Count = n - 1;
  return true;
}

}  // namespace horizonmill
