#include "render/PlaneWalk.h"

#include <cmath>

#include "render/Easing.h"

namespace horizonmill {

Vector2 RotateVector(long double degrees, long double u, long double v) {
  const long double r = DegToRad(degrees);
  const long double s = std::sin(r);
  const long double c = std::cos(r);
  return Vector2{u * c - v * s, u * s + v * c};
}

PlaneWalk::PlaneWalk(int width, int height, int column, int textureWidth, int textureHeight,
                     long double scale)
    : height_(height), scale_(scale) {
  const long double angle = 360.0L / width * column;
  const Vector2 d = RotateVector(angle, 0, textureHeight);
  du_ = d.u / width;
  dv_ = d.v / width;
  u_ = textureWidth / 2.0L;
  v_ = textureHeight / 2.0L;
  // Powers of two (of either sign) far from the ends of the range, so that no
  // product comes near the subnormal numbers.
  int exponent = 0;
  if (std::isfinite(scale) && std::fabs(std::frexp(scale, &exponent)) == 0.5L && exponent > -1000 &&
      exponent < 1000) {
    reciprocal_ = true;
    inverseScale_ = 1 / scale;
  }
}

long double PlaneWalk::StepDistance(int height, int j) {
  const int half = height / 2;
  const double t = EaseOut(0, half, 0, half, j, 2);
  const long double m = 1 - (2.0L / height) * t;
  return m > 0 ? 1 / m : 0;
}

long double PlaneWalk::Advance() {
  const long double d = StepDistance(height_, step_);
  AdvanceBy(d);
  return d;
}

}  // namespace horizonmill
