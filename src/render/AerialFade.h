// The aerial perspective (AirDepth): distant colours pulled toward the horizon colour.
#pragma once

#include "image/Colour.h"

namespace horizonmill {

// Pulls red, green and blue toward the horizon colour with
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

}  // namespace horizonmill
