// The direction rule of the panorama, shared by everything that looks at it in
// three dimensions (the cube map, the look-around view, the sun's direction):
// column x and row y of a W x H panorama look toward
//   azimuth   θ = 360 (x + 0.5) / W degrees,
//   elevation φ = 90 − 180 (y + 0.5) / H degrees,
// the direction (cos φ sin θ, sin φ, −cos φ cos θ): azimuth 0 looks toward −Z,
// 90 toward +X, up is +Y (a right-handed, OpenGL-style frame).
#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>

#include "image/WorkBitmap.h"

namespace horizonmill {

struct Direction {
  double x = 0, y = 0, z = 0;
};

inline Direction Normalized(Direction d) {
  const double n = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
  return n > 0 ? Direction{d.x / n, d.y / n, d.z / n} : d;
}

// The unit direction of an azimuth and an elevation in degrees.
Direction DirectionOf(double azimuth, double elevation);
// Where a direction lies on a W x H panorama, in pixel units with pixel centres
// at whole numbers: x = θ W / 360 − 0.5, y = (90 − φ) H / 180 − 0.5.
struct PanoramaPoint {
  float x = 0, y = 0;
};
// The direction through the centre of pixel (x, y).
Direction PixelDirection(int x, int y, int width, int height);

namespace detail {

// atan2 in single precision within 5e-7 radians (a thousandth of a pixel of a
// 6000-pixel panorama): atan on 0..1 as an odd polynomial (interpolated at
// Chebyshev nodes) after folding the octants. atan2(0, 0) is 0.
inline float FastAtan2(float y, float x) {
  const float ax = std::abs(x), ay = std::abs(y);
  const float hi = std::max(ax, ay), lo = std::min(ax, ay);
  if (!(hi > 0)) return 0;
  const float t = lo / hi, s = t * t;
  float r = 0.0076483539f;
  r = r * s - 0.036360431f;
  r = r * s + 0.083126453f;
  r = r * s - 0.13447864f;
  r = r * s + 0.19872040f;
  r = r * s - 0.33325678f;
  r = (r * s + 0.99999923f) * t;
  if (ay > ax) r = std::numbers::pi_v<float> / 2 - r;
  if (x < 0) r = std::numbers::pi_v<float> - r;
  return y < 0 ? -r : r;
}

}  // namespace detail

// The point of a direction (x, y, z), not necessarily of unit length, in
// single precision for the many directions of a cube face or a view: within a
// hundredth of a pixel of the exact point for panoramas up to 16384 pixels wide.
class PanoramaProjection {
 public:
  PanoramaProjection(int width, int height)
      : perRadianX_(static_cast<float>(width / (2 * std::numbers::pi))),
        perRadianY_(static_cast<float>(height / std::numbers::pi)) {}

  PanoramaPoint operator()(float x, float y, float z) const {
    constexpr float kTurn = 2 * std::numbers::pi_v<float>;
    float azimuth = detail::FastAtan2(x, -z);
    if (azimuth < 0) azimuth += kTurn;
    const float elevation = detail::FastAtan2(y, std::sqrt(x * x + z * z));
    return PanoramaPoint{azimuth * perRadianX_ - 0.5f,
                         (std::numbers::pi_v<float> / 2 - elevation) * perRadianY_ - 0.5f};
  }

 private:
  float perRadianX_, perRadianY_;
};

// The bilinear sample of the panorama at a point: columns wrap around (the
// panorama's left and right edges meet), rows are held at the top and bottom
// rows (there is nothing above the zenith row's centre but the zenith). The
// weights are taken to 1/256 of a pixel, so a channel is within 1 of the exact
// mix. An empty panorama, or a point that is no number or lies more than ten
// million pixels away, gives black.
inline BgrPixel SamplePanorama(const WorkBitmap& panorama, float x, float y) {
  const int w = panorama.Width(), h = panorama.Height();
  if (w == 0 || h == 0 || !(std::abs(x) < 1e7f && std::abs(y) < 1e7f)) return BgrPixel{};
  // Floor, not truncation: the columns left of column 0 are the last ones.
  int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
  x0 -= static_cast<float>(x0) > x;
  y0 -= static_cast<float>(y0) > y;
  // The fractions lie in [0, 1): adding a half and truncating takes each to
  // the nearest 1/256, halves up, as the weights are defined.
  // NOLINTBEGIN(bugprone-incorrect-roundings)
  const int tx = static_cast<int>((x - static_cast<float>(x0)) * 256 + 0.5f);
  const int ty = static_cast<int>((y - static_cast<float>(y0)) * 256 + 0.5f);
  // NOLINTEND(bugprone-incorrect-roundings)
  if (x0 < 0 || x0 >= w) {
    x0 %= w;
    if (x0 < 0) x0 += w;
  }
  const int x1 = NextWrapped(x0, w);
  const int y1 = std::clamp(y0 + 1, 0, h - 1);
  y0 = std::clamp(y0, 0, h - 1);
  const BgrPixel* r0 = panorama.Row(y0);
  const BgrPixel* r1 = panorama.Row(y1);
  auto mix = [&](int a, int b, int c, int d) {
    const int top = a * 256 + (b - a) * tx, bottom = c * 256 + (d - c) * tx;
    return static_cast<std::uint8_t>((top * 256 + (bottom - top) * ty + 32768) >> 16);
  };
  return BgrPixel{mix(r0[x0].b, r0[x1].b, r1[x0].b, r1[x1].b),
                  mix(r0[x0].g, r0[x1].g, r1[x0].g, r1[x1].g),
                  mix(r0[x0].r, r0[x1].r, r1[x0].r, r1[x1].r)};
}

}  // namespace horizonmill
