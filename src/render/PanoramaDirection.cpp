#include "render/PanoramaDirection.h"

#include <numbers>

namespace horizonmill {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180;

}  // namespace

Direction DirectionOf(double azimuth, double elevation) {
  const double t = azimuth * kRadiansPerDegree, p = elevation * kRadiansPerDegree;
  return Direction{std::cos(p) * std::sin(t), std::sin(p), -std::cos(p) * std::cos(t)};
}

Direction PixelDirection(int x, int y, int width, int height) {
  return DirectionOf(360.0 * (x + 0.5) / width, 90 - 180.0 * (y + 0.5) / height);
}

}  // namespace horizonmill
