// The interpolation curves the layer renderers share: power curves from one
// value to another (EaseIn, EaseOut) and their slope-driven selector (SlopedEase).
//
// Precision: the curve helpers take and return double; inside them the quotient
// and the final sum are formed in extended precision (long double), so that a
// value like EaseIn(0, 255, 0, 100, 50, 1) = 127.5 comes out exactly and rounds
// the documented way. Powers go through PowerOfAbs, whose exponents 1 and 2 are
// exact; other exponents use the double pow (within one unit in the last place
// of the extended evaluation).
#pragma once

#include <cmath>

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

  double operator()(double x) const { return Value(Power(x)); }

  // The curve in two steps, for callers that share a power between curves
  // (SamePower): the power |x' - xa|^e the curve raises (x' = x for EaseIn, the
  // mirrored x for EaseOut), and the curve's value from it.
  double Power(double x) const {
    if (out_) x = static_cast<double>(xb_ - (static_cast<long double>(x) - xa_));
    return PowerOfAbs(static_cast<double>(static_cast<long double>(x) - xa_), e_);
  }
  double Value(double power) const {
    const double in = static_cast<double>(ya_ + power * k_);
    if (!out_) return in;
    return static_cast<double>(ya_ + (static_cast<long double>(yb_) - in));
  }
  // True when Power gives the same for both curves at every x.
  bool SamePower(const SlopedCurve& other) const {
    return out_ == other.out_ && e_ == other.e_ && xa_ == other.xa_ && xb_ == other.xb_;
  }

 private:
  double ya_, yb_, xa_, xb_;
  bool out_;
  double e_;
  long double k_;
};

// The smaller of two reals.
inline long double Min(long double a, long double b) { return a < b ? a : b; }

}  // namespace horizonmill
