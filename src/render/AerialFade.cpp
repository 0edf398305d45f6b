#include "render/AerialFade.h"

#include "render/Easing.h"

namespace horizonmill {

PackedColour AerialFade(PackedColour colour, PackedColour horizon, long double airDepth,
                        long double distance) {
  return AerialFader(airDepth, distance)(colour, horizon);
}

AerialFader::AerialFader(long double airDepth, long double distance) {
  // distance < 1 (and a distance that is no number) leaves colours unchanged.
  if (airDepth == 0 || !(distance >= 1)) return;
  active_ = true;
  const long double inv = 1 / distance;
  const long double k = 1 / (airDepth + 1);
  // The two powers of EaseIn(c, h, 1, 0, inv, 4) and EaseOut(t, c, 0, 1, k, 2);
  // their divisors |0 - 1|^4 and |1 - 0|^2 are exactly 1.
  near_power_ = PowerOfAbs(
      static_cast<double>(static_cast<long double>(static_cast<double>(inv)) - 1.0L), 4.0);
  const long double kd = static_cast<double>(k);
  depth_power_ = PowerOfAbs(static_cast<double>(1.0L - kd), 2.0);
}

PackedColour AerialFader::Apply(PackedColour colour, PackedColour horizon) const {
  auto channel = [this](int c, int h) -> float {
    // t = c + (h - c) * (1 - inv)^4
    const double t = static_cast<double>(c + near_power_ * static_cast<long double>(h - c));
    // r = c - (c - t) * (1 - k)^2, by way of EaseOut's mirror
    const double mirrored =
        static_cast<double>(t + depth_power_ * (static_cast<long double>(c) - t));
    double r = static_cast<double>(t + (static_cast<long double>(c) - mirrored));
    if (r > 255) r = 255;
    if (!(r >= 0)) r = 0;
    return static_cast<float>(r);
  };
  return PackFloatColour(channel(Red(colour), Red(horizon)), channel(Green(colour), Green(horizon)),
                         channel(Blue(colour), Blue(horizon)), static_cast<float>(Alpha(colour)));
}

}  // namespace horizonmill
