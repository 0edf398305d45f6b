// The direction rule of the panorama, shared by everything that looks at it in
// three dimensions (the cube map, the look-around view, the sun's direction):
// column x and row y of a W x H panorama look toward
//   azimuth   θ = 360 (x + 0.5) / W degrees,
//   elevation φ = 90 − 180 (y + 0.5) / H degrees,
// the direction (cos φ sin θ, sin φ, −cos φ cos θ): azimuth 0 looks toward −Z,
// 90 toward +X, up is +Y (a right-handed, OpenGL-style frame).
#pragma once

#include <cmath>

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
// Azimuth in degrees, 0 <= θ < 360 (0 straight up or down).
double AzimuthOf(Direction d);
// Elevation in degrees, −90 .. 90. `d` need not be of unit length.
double ElevationOf(Direction d);

// Where a direction lies on a W x H panorama, in pixel units with pixel centres
// at whole numbers: x = θ W / 360 − 0.5, y = (90 − φ) H / 180 − 0.5.
struct PanoramaPoint {
  double x = 0, y = 0;
};
PanoramaPoint PanoramaPointOf(Direction d, int width, int height);
// The direction through the centre of pixel (x, y).
Direction PixelDirection(int x, int y, int width, int height);

// The bilinear sample of the panorama at a point: columns wrap around (the
// panorama's left and right edges meet), rows are held at the top and bottom
// rows (there is nothing above the zenith row's centre but the zenith). An
// empty panorama gives black.
inline BgrPixel SamplePanorama(const WorkBitmap& panorama, double x, double y) {
  const int w = panorama.Width(), h = panorama.Height();
  // Also no point at all (not a number, or far beyond any picture).
  if (w == 0 || h == 0 || !(std::abs(x) < 1e9 && std::abs(y) < 1e9)) return BgrPixel{};
  const double fx = std::floor(x), fy = std::floor(y);
  const double tx = x - fx, ty = y - fy;
  // Floor, not truncation: the columns left of column 0 are the last ones.
  long long cx = static_cast<long long>(fx) % w;
  if (cx < 0) cx += w;
  const int x0 = static_cast<int>(cx), x1 = x0 + 1 == w ? 0 : x0 + 1;
  int y0 = static_cast<int>(fy), y1 = y0 + 1;
  y0 = y0 < 0 ? 0 : y0 >= h ? h - 1 : y0;
  y1 = y1 < 0 ? 0 : y1 >= h ? h - 1 : y1;
  const BgrPixel* r0 = panorama.Row(y0);
  const BgrPixel* r1 = panorama.Row(y1);
  auto mix = [&](std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
    const double top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return static_cast<std::uint8_t>(top + (bottom - top) * ty + 0.5);
  };
  return BgrPixel{mix(r0[x0].b, r0[x1].b, r1[x0].b, r1[x1].b),
                  mix(r0[x0].g, r0[x1].g, r1[x0].g, r1[x1].g),
                  mix(r0[x0].r, r0[x1].r, r1[x0].r, r1[x1].r)};
}

inline BgrPixel SamplePanorama(const WorkBitmap& panorama, Direction d) {
  const PanoramaPoint p = PanoramaPointOf(d, panorama.Width(), panorama.Height());
  return SamplePanorama(panorama, p.x, p.y);
}

}  // namespace horizonmill
