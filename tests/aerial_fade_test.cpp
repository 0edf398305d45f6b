#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "render/AerialFade.h"
#include "render/Easing.h"

namespace horizonmill {
namespace {

// The fade as the description writes it: t = EaseIn(c, h, 1, 0, 1/d, 4),
// r = EaseOut(t, c, 0, 1, 1/(depth+1), 2), clamped, single precision, rounded.
PackedColour FadeByDefinition(PackedColour colour, PackedColour horizon, long double depth,
                              long double distance) {
  if (depth == 0 || distance < 1) return colour;
  const long double inv = 1 / distance, k = 1 / (depth + 1);
  float out[3];
  const int cs[3] = {Red(colour), Green(colour), Blue(colour)};
  const int hs[3] = {Red(horizon), Green(horizon), Blue(horizon)};
  for (int i = 0; i < 3; ++i) {
    const double t = EaseIn(cs[i], hs[i], 1.0, 0.0, static_cast<double>(inv), 4.0);
    double r = EaseOut(t, cs[i], 0.0, 1.0, static_cast<double>(k), 2.0);
    r = std::clamp(r, 0.0, 255.0);
    out[i] = static_cast<float>(r);
  }
  return PackFloatColour(out[0], out[1], out[2], static_cast<float>(Alpha(colour)));
}

TEST(AerialFade, MatchesItsDefinitionAndTheExamples) {
  const PackedColour c = MakePacked(10, 20, 30, 77);
  EXPECT_EQ(AerialFade(c, MakePacked(255, 255, 255), 0, 5), c);
  EXPECT_EQ(AerialFade(c, MakePacked(255, 255, 255), 3, 0.5L), c);
  EXPECT_EQ(AerialFade(c, MakePacked(255, 255, 255), 3, NAN), c);
  // Round(255 * 0.0625 * 0.25) = 4 in every channel; alpha kept.
  EXPECT_EQ(AerialFade(MakePacked(0, 0, 0, 200), MakePacked(255, 255, 255), 1, 2),
            MakePacked(4, 4, 4, 200));
  std::mt19937 rng(11);
  std::uniform_int_distribution<std::uint32_t> colour;
  std::uniform_real_distribution<double> depth(0, 120), distance(0.5, 1e6);
  for (int i = 0; i < 20000; ++i) {
    const PackedColour a = colour(rng), h = colour(rng);
    const long double dep = i % 9 == 0 ? 1 : depth(rng);
    const long double dist = i % 11 == 0 ? 1.0L / (1 + i % 40) + i : distance(rng);
    ASSERT_EQ(AerialFade(a, h, dep, dist), FadeByDefinition(a, h, dep, dist)) << i;
  }
}

}  // namespace
}  // namespace horizonmill
