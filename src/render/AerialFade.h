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
    if (!active_) return colour;
    return inDouble_ ? InDouble(colour, horizon) : Extended(colour, horizon);
  }
  // colours[i] = (*this)(colours[i], horizons[i]) for i < count: the same
  // bytes, worked out several pixels at a time.
  void FadeRow(PackedColour* colours, const PackedColour* horizons, int count) const;
  // The defining evaluation, for an active fader: each step of EaseIn and
  // EaseOut formed in extended precision and rounded to double. operator()
  // gives the same, mostly from double precision.
  PackedColour Extended(PackedColour colour, PackedColour horizon) const;

 private:
  // The same steps in double precision, with the extended evaluation where
  // they could round apart (see AerialFade.cpp).
  PackedColour InDouble(PackedColour colour, PackedColour horizon) const;

  bool active_ = false;
  bool inDouble_ = false;  // both powers within 0..1
  double nearPower_ = 0;   // |inv - 1|^4
  double depthPower_ = 0;  // |1 - k|^2
  float weight_ = 0;       // their product, for FadeRow
};

}  // namespace horizonmill
