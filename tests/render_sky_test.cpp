#include <gtest/gtest.h>

#include "render/Easing.h"
#include "render/RenderSky.h"
#include "support/BitmapTesting.h"

namespace horizonmill {
namespace {

using testing::FilledBitmap;

SkyGradation OneChannel(std::initializer_list<std::pair<double, float>> stops) {
  SkyGradation g = SkyGradation::Default();
  g.Count = 0;
  for (const auto& [position, value] : stops) {
    g.Positions[g.Count] = position;
    g.Colors[g.Count] = FloatColour{value, 0, 0, 255};
    ++g.Count;
  }
  return g;
}

WorkBitmap Sky(int w, int h, const SkyGradation& g) {
  WorkBitmap bitmap = FilledBitmap(w, h, BgrPixel{1, 2, 3});
  RenderContext context;
  RenderSky(context, bitmap, g);
  EXPECT_EQ(context.RenderProgress, 100);
  return bitmap;
}

TEST(RenderSky, DefaultGradationRowsAtFullSize) {
  const WorkBitmap sky = Sky(3072, 1536, SkyGradation::Default());
  const int rows[] = {0, 96, 192, 384, 576, 700, 767, 768, 1152, 1535};
  const int levels[] = {0, 35, 76, 159, 227, 251, 255, 255, 159, 0};
  for (int i = 0; i < 10; ++i) {
    const BgrPixel p = sky.Row(rows[i])[i * 300];
    EXPECT_EQ(p.r, levels[i]) << "row " << rows[i];
    EXPECT_EQ(p.g, levels[i]) << "row " << rows[i];
    EXPECT_EQ(p.b, 255) << "row " << rows[i];
  }
  for (int y = 0; y < 1536; ++y)  // one colour per row
    ASSERT_EQ(sky.Row(y)[0], sky.Row(y)[3071]);
  for (int y = 1; y <= 768; ++y)  // symmetric about the horizon up to rounding
    ASSERT_LE(std::abs(sky.Row(y)[0].r - sky.Row(1536 - y)[0].r), 1) << y;
}

TEST(RenderSky, RowValueOfTheWorkedExample) {
  const double values[] = {0, 255, 0}, rows[] = {0, 768, 1536};
  // lin 127.5, L = lin, Q = EaseOut with exponent 2 = 191.25, t = 0.5.
  EXPECT_EQ(StopInterpolate(values, rows, 3, 384, 0), 159.375);
  EXPECT_EQ(StopInterpolate(values, rows, 3, 384, 1), 127.5);
}

TEST(RenderSky, FlatSegmentAfterARiseStaysFlat) {
  const SkyGradation g = OneChannel({{0, 0}, {0.25, 64}, {0.5, 255}, {1.0, 255}});
  const double values[] = {0, 64, 255, 255}, rows[] = {0, 384, 768, 1536};
  EXPECT_NEAR(StopInterpolate(values, rows, 4, 192, 0), 31.63, 0.005);
  EXPECT_NEAR(StopInterpolate(values, rows, 4, 576, 0), 174.45, 0.005);
  const WorkBitmap sky = Sky(8, 1536, g);
  EXPECT_EQ(sky.Row(192)[0].r, 32);
  EXPECT_EQ(sky.Row(576)[0].r, 174);
  for (int y = 768; y < 1536; ++y) ASSERT_EQ(sky.Row(y)[0].r, 255) << y;
  EXPECT_EQ(sky.Row(384)[0].r, 64);  // each stop's value exactly
}

TEST(RenderSky, TwoStopsAreLinearButForTheDoubleBlend) {
  const WorkBitmap sky = Sky(4, 1536, OneChannel({{0, 0}, {1, 255}}));
  EXPECT_EQ(sky.Row(384)[0].r, 64);   // 63.75
  EXPECT_EQ(sky.Row(768)[0].r, 128);  // 127.5 exactly, halves to even
  // 255 * 256 / 1536 = 42.5 would round to 42, but the blend (1 - t) * L + t * Q
  // in double precision gives 42.50000000000001, which rounds to 43.
  EXPECT_EQ(sky.Row(256)[0].r, 43);
}

TEST(RenderSky, FewStopsTinyImagesAndAllSixteen) {
  SkyGradation none = SkyGradation::Default();
  none.Count = 0;
  EXPECT_EQ(Sky(3, 5, none).Row(4)[2], (BgrPixel{0, 0, 0}));
  SkyGradation one = SkyGradation::Default();
  one.Count = 1;
  one.Colors[0] = FloatColour{10, 20, 30, 255};
  EXPECT_EQ(Sky(3, 5, one).Row(2)[1], (BgrPixel{30, 20, 10}));
  EXPECT_EQ(Sky(3, 1, SkyGradation::Default()).Row(0)[0], (BgrPixel{255, 0, 0}));

  SkyGradation all = SkyGradation::Default();
  all.Count = 16;
  for (int i = 0; i < 16; ++i) {
    all.Positions[i] = i / 15.0L;
    const float f = static_cast<float>(i);
    all.Colors[i] = FloatColour{i % 2 ? 200.0f : 20.0f, 16 * f, 255 - 16 * f, 255};
  }
  const WorkBitmap sky = Sky(2, 1500, all);
  EXPECT_EQ(sky.Row(1400)[0].g, 224);  // stop 14 (16 * 14) at row 1400
  EXPECT_EQ(sky.Row(1400)[0].r, 20);
  EXPECT_EQ(sky.Row(1300)[0].r, 200);  // stop 13 at row 1300
}

class AbortAtThirdPoll : public RenderPort {
 public:
  void Progress(int) override { ++blocks_; }
  bool StopRequested() override { return blocks_ == 3; }
  int blocks_ = 0;
};

TEST(RenderSky, AbortLeavesTheRowsBelowAsTheyWere) {
  WorkBitmap bitmap = FilledBitmap(5, 300, BgrPixel{1, 2, 3});
  AbortAtThirdPoll host;
  RenderContext context;
  context.Port = &host;
  context.Threads = 1;
  RenderSky(context, bitmap, SkyGradation::Default());
  // Three blocks of 32 rows were painted.
  EXPECT_NE(bitmap.Row(95)[0], (BgrPixel{1, 2, 3}));
  EXPECT_EQ(bitmap.Row(96)[0], (BgrPixel{1, 2, 3}));
  EXPECT_EQ(context.RenderProgress, 32);                // Round(100 / 300 * 95), not 100
  RenderSky(context, bitmap, SkyGradation::Default());  // the flag stays: draws nothing
  EXPECT_EQ(bitmap.Row(96)[0], (BgrPixel{1, 2, 3}));
}

}  // namespace
}  // namespace horizonmill
