#include "render/LookAround.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "render/WorkCrew.h"

namespace horizonmill {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180;
// Rows per block of work on the threads.
constexpr int kLookAroundBlockRows = 16;

// The camera's frame: where it looks, its right and its up, and how far the
// picture plane lies in pixels.
struct Camera {
  Direction forward, right, up;
  double focal;
};

Camera CameraOf(const LookAroundAngles& view, int height) {
  const double h = view.Heading * kRadiansPerDegree, e = view.Elevation * kRadiansPerDegree;
  const double ch = std::cos(h), sh = std::sin(h), ce = std::cos(e), se = std::sin(e);
  // Right stays horizontal (no roll): the horizon is level at every heading.
  return Camera{{ce * sh, se, -ce * ch},
                {ch, 0, sh},
                {-se * sh, ce, se * ch},
                height / 2.0 / std::tan(view.FieldOfView * kRadiansPerDegree / 2)};
}

}  // namespace

LookAroundAngles Settled(LookAroundAngles view) {
  const LookAroundAngles defaults;
  if (!std::isfinite(view.Heading)) view.Heading = defaults.Heading;
  if (!std::isfinite(view.Elevation)) view.Elevation = defaults.Elevation;
  if (!std::isfinite(view.FieldOfView)) view.FieldOfView = defaults.FieldOfView;
  view.Heading = std::fmod(view.Heading, 360.0);
  if (view.Heading < 0) view.Heading += 360;
  if (view.Heading >= 360) view.Heading = 0;
  view.Elevation = std::clamp(view.Elevation, -90.0, 90.0);
  view.FieldOfView = std::clamp(view.FieldOfView, kMinFieldOfView, kMaxFieldOfView);
  return view;
}

Direction ViewRay(const LookAroundAngles& view, int width, int height, double px, double py) {
  const Camera c = CameraOf(view, height);
  const double a = px - width / 2.0, b = height / 2.0 - py;
  return Direction{c.forward.x * c.focal + c.right.x * a + c.up.x * b,
                   c.forward.y * c.focal + c.right.y * a + c.up.y * b,
                   c.forward.z * c.focal + c.right.z * a + c.up.z * b};
}

double DegreesPerPixel(const LookAroundAngles& view, int height) {
  return std::atan(1 / CameraOf(view, std::max(height, 1)).focal) / kRadiansPerDegree;
}

void RenderLookAround(const WorkBitmap& panorama, const LookAroundAngles& view, WorkBitmap& target,
                      int threads) {
  const int w = target.Width(), h = target.Height();
  const Camera c = CameraOf(view, h);
  const PanoramaProjection project(panorama.Width(), panorama.Height());
  const float rx = static_cast<float>(c.right.x), rz = static_cast<float>(c.right.z);
  auto rows = [&](int, std::int64_t first, std::int64_t last) {
    for (int j = static_cast<int>(first); j < last; ++j) {
      const double b = h / 2.0 - (j + 0.5);
      // The ray of pixel (i, j) is base + right (i + 0.5 − w / 2); right has no y.
      const float bx = static_cast<float>(c.forward.x * c.focal + c.up.x * b);
      const float y = static_cast<float>(c.forward.y * c.focal + c.up.y * b);
      const float bz = static_cast<float>(c.forward.z * c.focal + c.up.z * b);
      BgrPixel* row = target.Row(j);
      for (int i = 0; i < w; ++i) {
        const float a = static_cast<float>(i + 0.5 - w / 2.0);
        const PanoramaPoint p = project(bx + rx * a, y, bz + rz * a);
        row[i] = SamplePanorama(panorama, p.x, p.y);
      }
    }
  };
  // Each pixel depends on nothing but its own direction: blocks of rows go to
  // the threads.
  WorkCrew crew(threads);
  crew.Run(h, kLookAroundBlockRows, rows);
}

}  // namespace horizonmill
