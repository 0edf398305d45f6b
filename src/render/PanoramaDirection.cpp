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

double AzimuthOf(Direction d) {
  const double a = std::atan2(d.x, -d.z) / kRadiansPerDegree;
  // atan2 gives −180 .. 180; −0 and tiny negative angles must not become 360.
  const double turned = a < 0 ? a + 360 : a;
  return turned >= 360 ? 0 : turned;
}

double ElevationOf(Direction d) {
  return std::atan2(d.y, std::hypot(d.x, d.z)) / kRadiansPerDegree;
}

PanoramaPoint PanoramaPointOf(Direction d, int width, int height) {
  return PanoramaPoint{AzimuthOf(d) * width / 360 - 0.5,
                       (90 - ElevationOf(d)) * height / 180 - 0.5};
}

Direction PixelDirection(int x, int y, int width, int height) {
  return DirectionOf(360.0 * (x + 0.5) / width, 90 - 180.0 * (y + 0.5) / height);
}

}  // namespace horizonmill
