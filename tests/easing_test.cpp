#include "render/Easing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace horizonmill {
namespace {

TEST(Easing, EaseCurvesGiveTheDocumentedValuesExactly) {
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

TEST(Easing, SlopedCurveIsSlopedEaseWithTheSpanPowerHoisted) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> value(-300, 300), slope(-10, 10), x(0, 768);
  for (int i = 0; i < 20000; ++i) {
    const double ya = value(rng), yb = value(rng), s = i % 5 == 0 ? 0 : slope(rng);
    const SlopedCurve curve(ya, yb, 0, 767.5, s);
    const double at = i % 7 == 0 ? std::floor(x(rng)) : x(rng);
    ASSERT_EQ(curve(at), SlopedEase(ya, yb, 0, 767.5, at, s)) << i;
  }
}

}  // namespace
}  // namespace horizonmill
