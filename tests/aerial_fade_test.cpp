#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "render/AerialFade.h"
#include "render/PlaneWalk.h"
#include "support/ExtendedStages.h"

namespace horizonmill {
namespace {

using testing::FadeByDefinition;

TEST(AerialFade, MatchesItsDefinitionAndTheExamples) {
  const PackedColour c = MakePacked(10, 20, 30, 77);
  EXPECT_EQ(AerialFade(c, MakePacked(255, 255, 255), 0, 5), c);
  EXPECT_EQ(AerialFade(c, MakePacked(255, 255, 255), 3, 0.5L), c);
  EXPECT_EQ(AerialFade(c, MakePacked(255, 255, 255), 3, NAN), c);
  // Round(255 * 0.0625 * 0.25) = 4 in every channel; alpha kept.
  EXPECT_EQ(AerialFade(MakePacked(0, 0, 0, 200), MakePacked(255, 255, 255), 1, 2),
            MakePacked(4, 4, 4, 200));
  // c + (h - c) / 64 lands on exact halves: 0.5, 1.5 and 2.5 round to even.
  EXPECT_EQ(AerialFade(MakePacked(0, 0, 0), MakePacked(32, 96, 160), 1, 2), MakePacked(0, 2, 2));
  std::mt19937 rng(11);
  std::uniform_int_distribution<std::uint32_t> colour;
  std::uniform_real_distribution<double> depth(0, 120), distance(0.5, 1e6);
  for (int i = 0; i < 20000; ++i) {
    const PackedColour a = colour(rng), h = colour(rng);
    const long double dep = i % 9 == 0 ? 1 : i % 13 == 0 ? -0.75L : depth(rng);
    const long double dist = i % 11 == 0 ? 1.0L / (1 + i % 40) + i : distance(rng);
    ASSERT_EQ(AerialFade(a, h, dep, dist), FadeByDefinition(a, h, dep, dist)) << i;
    const AerialFader fader(dep, dist);
    if (fader.Active()) {
      ASSERT_EQ(fader.Extended(a, h), FadeByDefinition(a, h, dep, dist)) << i;
    }
  }
}

// The fade at the distance of every row of the ceiling and the ground (both
// walk the same distances) of images of height H, against the extended
// evaluation, for every pair of colour and horizon values (c, h), one pixel at
// a time and a row at a time: a pixel fades three pairs side by side, pair
// p + 21846 i (c = pair >> 8, h = pair & 255) in channel i, so 21846 pixels
// pass all 65536 pairs, a third through each lane (the row's length is no
// multiple of four, so its end goes the single pixels' way).
void ExpectEveryRowLikeTheExtendedFade(int H, std::initializer_list<long double> depths) {
  constexpr int kCalls = 21846;
  std::vector<PackedColour> colours(kCalls), horizons(kCalls), row(kCalls);
  for (int p = 0; p < kCalls; ++p) {
    const int q[3] = {p, p + kCalls, (p + 2 * kCalls) & 0xffff};
    colours[p] = MakePacked(q[0] >> 8, q[1] >> 8, q[2] >> 8, p & 0xff);
    horizons[p] = MakePacked(q[0] & 0xff, q[1] & 0xff, q[2] & 0xff);
  }
  for (const long double depth : depths) {
    for (int j = 0; j < H - H / 2; ++j) {
      const AerialFader fade(depth, PlaneWalk::StepDistance(H, j));
      if (!fade.Active()) continue;
      row = colours;
      fade.FadeRow(row.data(), horizons.data(), kCalls);
      int differ = 0, first = -1;
      for (int p = 0; p < kCalls; ++p) {
        const PackedColour expected = fade.Extended(colours[p], horizons[p]);
        if ((fade(colours[p], horizons[p]) != expected || row[p] != expected) && differ++ == 0)
          first = p;
      }
      ASSERT_EQ(differ, 0) << "H " << H << " row " << j << " depth " << static_cast<double>(depth)
                           << " first at pixel " << first;
    }
  }
}

// The heights the renders of the tests use: the full size and the smaller
// sizes of the example scenes at the one's aerial depth that has textured
// layers, the sizes of the random scenes at a range of depths.
TEST(AerialFadeInDouble, EqualsTheExtendedFadeOnEveryRowOfTheFullSize) {
  ExpectEveryRowLikeTheExtendedFade(1536, {1.5L});
}

TEST(AerialFadeInDouble, EqualsTheExtendedFadeOnEveryRowOfSmallerSizes) {
  ExpectEveryRowLikeTheExtendedFade(500, {1.5L});
  ExpectEveryRowLikeTheExtendedFade(307, {1.5L});
}

// The heights and depths of the random scenes of stage_precision_test.cpp.
TEST(AerialFadeInDouble, EqualsTheExtendedFadeOnEveryRowOfTheRandomScenes) {
  for (int H : {31, 64, 167}) ExpectEveryRowLikeTheExtendedFade(H, {0.5L, 1.5L, 100});
}

}  // namespace
}  // namespace horizonmill
