#include <gtest/gtest.h>

#include <cmath>

#include "render/Easing.h"
#include "render/RenderSky.h"
#include "render/RenderSun.h"
#include "support/BitmapTesting.h"

namespace horizonmill {
namespace {

using testing::FilledBitmap;
using testing::Grey;
using testing::SamePixels;

// The sun pixel by pixel, the plainest way the algorithm can be written.
void ReferenceSun(WorkBitmap& target, const SunSettings& sun) {
  const int W = target.Width(), H = target.Height();
  const long double R = Min(W, H) / 2.0L;
  const int cx = W / 2, cy = H / 2;
  const int ox = static_cast<int>(std::nearbyintl((sun.Position.X - 0.5L) * W));
  const int oy = static_cast<int>(std::nearbyintl((sun.Position.Y - 0.5L) * H));
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      const long double dx = std::abs(x - cx), dy = std::abs(y - cy);
      const long double d = std::sqrt(dx * dx + dy * dy);
      FloatColour c = sun.OuterColor;
      c.a = 0;
      if (d <= R) {
        const double dd = static_cast<double>(d), r = static_cast<double>(R);
        auto slope = [&](int i) { return static_cast<double>(sun.Slopes[i]); };
        c.a = static_cast<float>(SlopedEase(255, 0, 0, r, dd, slope(3)));
        c.r =
            static_cast<float>(SlopedEase(sun.CenterColor.r, sun.OuterColor.r, 0, r, dd, slope(0)));
        c.g =
            static_cast<float>(SlopedEase(sun.CenterColor.g, sun.OuterColor.g, 0, r, dd, slope(1)));
        c.b =
            static_cast<float>(SlopedEase(sun.CenterColor.b, sun.OuterColor.b, 0, r, dd, slope(2)));
      }
      BlendBitmapPixel(target, x + ox, y + oy, sun.MixtureMode, true, PackFloatColour(c));
    }
  }
}

WorkBitmap SkyOf(int w, int h) {
  WorkBitmap bitmap(w, h);
  RenderContext context;
  RenderSky(context, bitmap, SkyGradation::Default());
  return bitmap;
}

TEST(RenderSun, MatchesThePixelByPixelAlgorithm) {
  struct Case {
    int w, h;
    long double x, y;
    std::array<long double, 4> slopes;
    std::uint8_t mode;
  };
  const Case cases[] = {
      {409, 307, 0.5L, 0.5L, {0, 0, 0, 0}, MixtureMode::Norm},
      {409, 307, 0.1L, 0.8L, {2, -3, 0.5L, 1.5L}, MixtureMode::Add},
      {300, 500, 1.7L, -0.4L, {-10, 10, 0, -0.25L}, MixtureMode::Sub},
      {257, 129, 0.0L, 0.0L, {1, 1, -1, 3}, MixtureMode::Norm},
  };
  for (const Case& c : cases) {
    SunSettings sun;
    sun.CenterColor = FloatColour{255, 230, 180, 255};
    sun.OuterColor = FloatColour{200, 60, 20, 255};
    sun.Position = {c.x, c.y};
    sun.Slopes = c.slopes;
    sun.MixtureMode = c.mode;
    WorkBitmap rendered = SkyOf(c.w, c.h), expected = SkyOf(c.w, c.h);
    RenderContext context;
    RenderSun(context, rendered, sun);
    ReferenceSun(expected, sun);
    EXPECT_TRUE(SamePixels(rendered, expected)) << c.w << "x" << c.h << " mode " << int(c.mode);
    EXPECT_EQ(context.RenderProgress, 100);
  }
}

TEST(RenderSun, DefaultSunChangesNothing) {
  WorkBitmap bitmap = SkyOf(409, 307), before = SkyOf(409, 307);
  RenderContext context;
  RenderSun(context, bitmap, SunSettings{});
  EXPECT_TRUE(SamePixels(bitmap, before));
}

SunSettings WhiteNorm() {
  SunSettings sun;
  sun.CenterColor = sun.OuterColor = FloatColour{255, 255, 255, 255};
  sun.MixtureMode = MixtureMode::Norm;
  return sun;
}

TEST(RenderSun, OpacityFallsLinearlyToZeroAtTheRim) {
  WorkBitmap bitmap = FilledBitmap(3072, 1536, Grey(0));
  RenderContext context;
  RenderSun(context, bitmap, WhiteNorm());
  // Centre (1536, 768): opacity 255 gives 254 under Norm's divisor 256.
  EXPECT_EQ(bitmap.Row(768)[1536], Grey(254));
  // R / 2 = 384 from the centre: opacity 127.5 rounds to 128, 128 * 255 / 256 = 127.5 -> 128.
  EXPECT_EQ(bitmap.Row(768)[1536 + 384], Grey(128));
  EXPECT_EQ(bitmap.Row(768 - 384)[1536], Grey(128));
  // Exactly R = 768 away: opacity 0; the disc touches the top row there.
  EXPECT_EQ(bitmap.Row(768)[1536 + 768], Grey(0));
  EXPECT_EQ(bitmap.Row(0)[1536], Grey(0));
  EXPECT_EQ(bitmap.Row(1)[1536], Grey(0));  // opacity 0.33 rounds to 0
  EXPECT_EQ(bitmap.Row(2)[1536], Grey(1));  // opacity 0.66 rounds to 1
}

TEST(RenderSun, PositionShiftsTheDiscCyclically) {
  SunSettings sun = WhiteNorm();
  sun.Position = {0, 0.5L};  // centred on column 0
  WorkBitmap bitmap = FilledBitmap(3072, 1536, Grey(0));
  RenderContext context;
  RenderSun(context, bitmap, sun);
  EXPECT_EQ(bitmap.Row(768)[0], Grey(254));
  EXPECT_EQ(bitmap.Row(768)[3072 - 384], Grey(128));  // left half at the right edge
  EXPECT_EQ(bitmap.Row(768)[384], Grey(128));
  EXPECT_EQ(bitmap.Row(768)[1536], Grey(0));

  sun.Position = {0.5L, 0};  // centred on row 0: the upper half wraps to the bottom
  bitmap = FilledBitmap(3072, 1536, Grey(0));
  RenderSun(context, bitmap, sun);
  EXPECT_EQ(bitmap.Row(0)[1536], Grey(254));
  EXPECT_EQ(bitmap.Row(1536 - 384)[1536], Grey(128));

  sun.Position = {1e30L, NAN};  // far off or no number: defined, no crash
  RenderSun(context, bitmap, sun);
}

TEST(RenderSun, SlopesShapeEachChannel) {
  SunSettings sun;
  sun.CenterColor = FloatColour{255, 255, 255, 255};
  sun.OuterColor = FloatColour{0, 0, 0, 255};
  sun.MixtureMode = MixtureMode::Add;
  sun.Slopes = {4, -4, 0, 0};
  WorkBitmap bitmap = FilledBitmap(1024, 512, Grey(0));
  RenderContext context;
  RenderSun(context, bitmap, sun);
  const BgrPixel half = bitmap.Row(256)[512 + 128];
  // Halfway to the rim the opacity is 127.5 -> 128. Red (slope 4, exponent 5)
  // has already fallen to 255 * 0.5^5 = 7.97 -> 8, added at 128: Round(4.02) = 4.
  // Green (slope -4) is still 255 - 7.97 = 247.03 -> 247: Round(123.99) = 124.
  // Blue (slope 0) is linear: 127.5 -> 128: Round(64.25) = 64.
  EXPECT_EQ(half.r, 4);
  EXPECT_EQ(half.g, 124);
  EXPECT_EQ(half.b, 64);
}

}  // namespace
}  // namespace horizonmill
