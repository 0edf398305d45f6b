// Numeric helpers shared by the layer renderers: power-curve interpolation, the
// aerial-perspective fade, rotation, the plane walk of ceiling and ground, and
// the scene's random generator.
//
// Precision: the curve helpers take and return double; inside them the quotient
// and the final sum are formed in extended precision (long double), so that a
// value like EaseIn(0, 255, 0, 100, 50, 1) = 127.5 comes out exactly and rounds
// the documented way. Powers go through PowerOfAbs, whose exponents 1 and 2 are
// exact; other exponents use the double pow (within one unit in the last place
// of the extended evaluation).
#pragma once

#include <cmath>
#include <cstdint>

#include "image/Colour.h"

namespace horizonmill {

// |b|^e, and 0 when b is 0 (also for e = 0).
inline double PowerOfAbs(double b, double e) {
  if (b == 0) return 0;
  const double a = std::fabs(b);
  if (e == 1) return a;
  if (e == 2) return a * a;
  return std::pow(a, e);
}

// ya at xa rising (or falling) to yb at xb along a power curve flat at xa;
// extrapolates beyond xb; x on either side of xa gives the same value.
inline double EaseIn(double ya, double yb, double xa, double xb, double x, double e) {
  const long double k = (static_cast<long double>(yb) - ya) /
                        PowerOfAbs(static_cast<double>(static_cast<long double>(xb) - xa), e);
  return static_cast<double>(
      ya + PowerOfAbs(static_cast<double>(static_cast<long double>(x) - xa), e) * k);
}

// The mirror curve, flat at xb: yb - (yb - ya) * |xb - x|^e / |xb - xa|^e.
inline double EaseOut(double ya, double yb, double xa, double xb, double x, double e) {
  const long double d = static_cast<long double>(x) - xa;
  const double xr = static_cast<double>(xb - d);
  const double r = EaseIn(ya, yb, xa, xb, xr, e);
  return static_cast<double>(ya + (static_cast<long double>(yb) - r));
}

// Slope >= 0: EaseOut with exponent slope + 1; slope < 0: EaseIn with |slope| + 1.
inline double SlopedEase(double ya, double yb, double xa, double xb, double x, double slope) {
  if (slope >= 0) return EaseOut(ya, yb, xa, xb, x, slope + 1);
  return EaseIn(ya, yb, xa, xb, x, std::fabs(slope) + 1);
}

// SlopedEase(ya, yb, xa, xb, x, slope) as a function of x alone, with the
// power of the span |xb - xa|^e worked out once. Gives exactly what SlopedEase gives.
class SlopedCurve {
 public:
  SlopedCurve(double ya, double yb, double xa, double xb, double slope)
      : ya_(ya),
        yb_(yb),
        xa_(xa),
        xb_(xb),
        out_(slope >= 0),
        e_(slope >= 0 ? slope + 1 : std::fabs(slope) + 1),
        k_((static_cast<long double>(yb) - ya) /
           PowerOfAbs(static_cast<double>(static_cast<long double>(xb) - xa), e_)) {}

  double operator()(double x) const {
    if (!out_) return In(x);
    const double mirrored = static_cast<double>(xb_ - (static_cast<long double>(x) - xa_));
    return static_cast<double>(ya_ + (static_cast<long double>(yb_) - In(mirrored)));
  }

 private:
  double In(double x) const {
    return static_cast<double>(
        ya_ + PowerOfAbs(static_cast<double>(static_cast<long double>(x) - xa_), e_) * k_);
  }
  double ya_, yb_, xa_, xb_;
  bool out_;
  double e_;
  long double k_;
};

inline long double DegToRad(long double degrees) { return degrees * 0.017453292519943295769L; }

struct Vector2 {
  long double u, v;
};
// Counter-clockwise rotation of (u, v) by the angle in degrees.
Vector2 RotateVector(long double degrees, long double u, long double v);

inline long double Min(long double a, long double b) { return a < b ? a : b; }

// Aerial perspective: pulls red, green and blue toward the horizon colour with
// distance; alpha is kept. airDepth 0 or distance below 1 returns the colour.
PackedColour AerialFade(PackedColour colour, PackedColour horizon, long double airDepth,
                        long double distance);

// AerialFade with everything that depends only on airDepth and distance worked
// out once, for loops that fade many pixels at one distance. Gives exactly what
// AerialFade gives.
class AerialFader {
 public:
  AerialFader(long double airDepth, long double distance);
  bool Active() const { return active_; }
  PackedColour operator()(PackedColour colour, PackedColour horizon) const {
    return active_ ? Apply(colour, horizon) : colour;
  }

 private:
  PackedColour Apply(PackedColour colour, PackedColour horizon) const;
  bool active_ = false;
  double near_power_ = 0;   // |inv - 1|^4
  double depth_power_ = 0;  // |1 - k|^2
};

// The walk of one panorama column across a textured horizontal plane (ceiling or
// ground). Step j of the walk samples the texture at (u, v), then Advance()
// returns the step's distance and moves on.
class PlaneWalk {
 public:
  PlaneWalk(int width, int height, int column, int textureWidth, int textureHeight,
            long double scale);
  long double U() const { return u_; }
  long double V() const { return v_; }
  // The distance of the current step (1 at the pole, growing toward the
  // horizon, 0 where the plane is not reached), after which the walk advances.
  long double Advance();
  // Advances by a step distance taken from StepDistance (or a table of them:
  // the distances are the same in every column).
  void AdvanceBy(long double d) {
    ++step_;
    u_ += du_ * d / scale_;
    v_ += dv_ * d / scale_;
  }
  // Distance of step j for an image of height H: 1 / (1 - (2 / H) * t) with
  // t = EaseOut(0, H div 2, 0, H div 2, j, 2), or 0 where that is not positive.
  static long double StepDistance(int height, int j);

 private:
  int height_;
  int step_ = 0;
  long double du_, dv_, scale_;
  long double u_, v_;
};

// The scene's 32-bit linear congruential generator. Each draw first advances
// the state S = S * 134775813 + 1 (mod 2^32).
class SceneRandom {
 public:
  void Seed(std::int32_t seed) { state_ = static_cast<std::uint32_t>(seed); }
  std::uint32_t State() const { return state_; }
  // floor(S * n / 2^32) of the advanced state; n >= 1.
  std::uint32_t RandomBelow(std::uint32_t n) {
    Advance();
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(state_) * n) >> 32);
  }
  // S / 2^32 of the advanced state, in [0, 1).
  long double RandomUnit() {
    Advance();
    return static_cast<long double>(state_) / 4294967296.0L;
  }

 private:
  void Advance() { state_ = state_ * 134775813u + 1u; }
  std::uint32_t state_ = 0;
};

}  // namespace horizonmill
