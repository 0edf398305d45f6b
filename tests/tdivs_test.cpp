#include "render/TDivs.h"

#include <gtest/gtest.h>

#include <random>

namespace horizonmill {
namespace {

TEST(TDivs, EaseCurvesGiveTheDocumentedValuesExactly) {
  EXPECT_EQ(EaseIn(0, 255, 0, 100, 50, 1), 127.5);
  EXPECT_EQ(EaseIn(0, 255, 0, 100, 50, 2), 63.75);
  EXPECT_EQ(EaseOut(0, 255, 0, 100, 50, 2), 191.25);
  EXPECT_EQ(EaseIn(0, 10, 0, 1, 2, 1), 20);  // extrapolates past xb
  EXPECT_EQ(EaseIn(0, 10, 5, 6, 4, 2), 10);  // |x - xa| on either side of xa
  EXPECT_EQ(EaseIn(7, 0, 10, 0, 10, 3), 7);  // xb below xa
  EXPECT_EQ(PowerOfAbs(0, 0), 0);
  EXPECT_EQ(PowerOfAbs(-3, 2), 9);
  EXPECT_DOUBLE_EQ(PowerOfAbs(4, 1.5), 8);
  EXPECT_EQ(SlopedEase(255, 0, 0, 768, 384, 0), 127.5);
  EXPECT_EQ(SlopedEase(0, 255, 0, 100, 50, 1), 191.25);  // EaseOut, exponent 2
  EXPECT_EQ(SlopedEase(0, 255, 0, 100, 50, -1), 63.75);  // EaseIn, exponent 2
}

TEST(TDivs, SlopedCurveIsSlopedEaseWithTheSpanPowerHoisted) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> value(-300, 300), slope(-10, 10), x(0, 768);
  for (int i = 0; i < 20000; ++i) {
    const double ya = value(rng), yb = value(rng), s = i % 5 == 0 ? 0 : slope(rng);
    const SlopedCurve curve(ya, yb, 0, 767.5, s);
    const double at = i % 7 == 0 ? std::floor(x(rng)) : x(rng);
    ASSERT_EQ(curve(at), SlopedEase(ya, yb, 0, 767.5, at, s)) << i;
  }
}

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

TEST(TDivs, AerialFadeMatchesItsDefinitionAndTheExamples) {
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

TEST(TDivs, RotateVectorTurnsCounterClockwise) {
  const Vector2 quarter = RotateVector(90, 0, 1);
  EXPECT_NEAR(static_cast<double>(quarter.u), -1, 1e-15);
  EXPECT_NEAR(static_cast<double>(quarter.v), 0, 1e-15);
  const Vector2 none = RotateVector(0, 3.5L, -2);
  EXPECT_EQ(none.u, 3.5L);
  EXPECT_EQ(none.v, -2);
  EXPECT_NEAR(static_cast<double>(DegToRad(180)), 3.141592653589793, 1e-15);
}

TEST(TDivs, PlaneWalkDistancesGrowTowardTheHorizon) {
  EXPECT_EQ(PlaneWalk::StepDistance(1536, 0), 1);
  EXPECT_EQ(PlaneWalk::StepDistance(1536, 384), 4);
  EXPECT_NEAR(static_cast<double>(PlaneWalk::StepDistance(1536, 767)), 589824, 1e-3);  // 768^2
  EXPECT_EQ(PlaneWalk::StepDistance(1536, 768), 0);  // the plane is never reached there
  // Odd height: the last step stops short of the horizon, m = 1 - 1536 / 1537.
  EXPECT_NEAR(static_cast<double>(PlaneWalk::StepDistance(1537, 768)), 1537, 1e-6);
}

TEST(TDivs, PlaneWalkVisitsTheDocumentedTexturePoints) {
  PlaneWalk column0(3072, 1536, 0, 256, 256, 1);
  EXPECT_EQ(column0.U(), 128);
  EXPECT_EQ(column0.V(), 128);
  column0.Advance();
  EXPECT_NEAR(static_cast<double>(column0.V()), 128.0833333, 1e-6);
  for (int j = 1; j < 384; ++j) column0.Advance();
  EXPECT_EQ(column0.U(), 128);
  EXPECT_NEAR(static_cast<double>(column0.V()), 191.875, 1e-3);

  PlaneWalk column768(3072, 1536, 768, 256, 256, 1);  // azimuth 90 degrees
  column768.Advance();
  EXPECT_NEAR(static_cast<double>(column768.U()), 127.9166667, 1e-6);
  EXPECT_NEAR(static_cast<double>(column768.V()), 128, 1e-12);
  for (int j = 1; j < 384; ++j) column768.Advance();
  EXPECT_NEAR(static_cast<double>(column768.U()), 64.125, 1e-3);

  // Scale divides every step: twice the scale, half the way.
  PlaneWalk scaled(3072, 1536, 0, 256, 256, 2);
  for (int j = 0; j < 384; ++j) scaled.Advance();
  EXPECT_NEAR(static_cast<double>(scaled.V() - 128), (191.875 - 128) / 2, 1e-3);
}

TEST(SceneRandom, LinearCongruentialSequence) {
  SceneRandom r;
  r.Seed(0);
  EXPECT_EQ(r.RandomBelow(0x80000000u), 0u);
  EXPECT_EQ(r.State(), 1u);
  r.RandomBelow(2);
  EXPECT_EQ(r.State(), 134775814u);
  r.Seed(-1);  // stored bit for bit
  EXPECT_EQ(r.State(), 0xffffffffu);
  // floor(S * n / 2^32) of the advanced state, and S / 2^32.
  r.Seed(65536);
  const std::uint32_t s1 = 65536u * 134775813u + 1u;
  EXPECT_EQ(r.RandomBelow(3072), static_cast<std::uint32_t>((std::uint64_t{s1} * 3072) >> 32));
  const std::uint32_t s2 = s1 * 134775813u + 1u;
  EXPECT_EQ(r.RandomUnit(), s2 / 4294967296.0L);
}

}  // namespace
}  // namespace horizonmill
