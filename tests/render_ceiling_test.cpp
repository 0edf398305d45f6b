#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "image/Placeholders.h"
#include "render/RenderCeiling.h"
#include "support/RecordingPort.h"
#include "support/TextureTesting.h"

namespace horizonmill {
namespace {

using testing::CopyBitmap;
using testing::MakeTexture;
using testing::NoiseTexture;
using testing::SameRegion;

PixelImagePtr OneColour(PackedColour c, int w = 8, int h = 8) {
  return MakeTexture(w, h, [c](int, int) { return c; });
}

WorkBitmap Canvas(int w, int h, BgrPixel upper) {
  WorkBitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.Row(y)[x] = y < h / 2 ? upper
                              : BgrPixel{static_cast<std::uint8_t>(x * 7 + y),
                                         static_cast<std::uint8_t>(y * 3), 200};
  return b;
}

// RenderCeiling of the input's texture with its alpha prepared for the input's
// transparent colour and transparency, as the prepared scene holds it.
void Draw(RenderContext& ctx, WorkBitmap& target, CeilingLayerInput in) {
  PixelImagePtr prepared;
  if (in.Texture != nullptr) {
    prepared = MakePixelImage(in.Texture->width, in.Texture->height);
    std::copy_n(in.Texture->pixels, std::size_t(in.Texture->width) * in.Texture->height,
                prepared->pixels);
    if (in.Texture->holes != nullptr) {
      AddHoleMask(*prepared);
      std::copy_n(in.Texture->holes, std::size_t(in.Texture->width) * in.Texture->height,
                  prepared->holes);
    }
    PrepareCeilingAlpha(*prepared, in.OpaqueColor, in.Transparency);
    in.Texture = prepared.get();
  }
  RenderCeiling(ctx, target, in);
}

CeilingLayerInput Input(const PixelImage* texture) {
  CeilingLayerInput in;
  in.Texture = texture;
  in.AirDepth = 0;
  in.Transparency = 0;
  in.MixtureMode = MixtureMode::Norm;
  in.OpaqueColor = MakePacked(1, 2, 3, 255);
  return in;
}

TEST(RenderCeiling, ZenithRowIsOneColourAndNothingFromTheHorizonDownIsTouched) {
  for (int H : {64, 63}) {
    PixelImagePtr texture = NoiseTexture(32, 32);
    PixelImagePtr horizon =
        MakeTexture(96, 1, [](int x, int) { return MakePacked(x, 255 - x, 9); });
    WorkBitmap target = Canvas(96, H, BgrPixel{30, 60, 90});
    const WorkBitmap before = CopyBitmap(target);
    CeilingLayerInput in = Input(texture.get());
    in.AirDepth = 5;  // the fade leaves the zenith (distance 1) alone
    in.HorizonRow = horizon.get();
    RenderContext ctx;
    Draw(ctx, target, in);
    for (int x = 1; x < 96; ++x) EXPECT_EQ(target.Row(0)[x], target.Row(0)[0]) << x;
    EXPECT_FALSE(target.Row(0)[0] == before.Row(0)[0]);
    EXPECT_TRUE(SameRegion(target, before, 0, 96, H / 2, H)) << H;
    EXPECT_FALSE(SameRegion(target, before, 0, 96, H / 2 - 1, H / 2)) << H;
  }
}

// The texture point of step j in column x, worked out from the geometry of the
// plane alone: distance of step k is (half / (half - k))^2 for an even height,
// and the walk moves th / W texels per unit distance along the column's azimuth.
long double WalkOffset(int H, int j) {
  const int half = H / 2;
  long double sum = 0;
  for (int k = 0; k < j; ++k) {
    const long double q = static_cast<long double>(half) / (half - k);
    sum += q * q;
  }
  return sum;
}

TEST(RenderCeiling, OpaqueTextureWithoutFadeShowsTheProjectedPlane) {
  // Red depends on the texture column only, green on the row only, each with
  // steps of 7 or 3 so that no interpolated value lands on a whole number.
  PixelImagePtr texture =
      MakeTexture(256, 256, [](int x, int y) { return MakePacked(x * 7, y * 3, 0, 255); });
  const BgrPixel bg{10, 20, 30};
  WorkBitmap target = Canvas(3072, 1536, bg);
  RenderContext ctx;
  Draw(ctx, target, Input(texture.get()));

  auto expect_pixel = [&](int x, int y, int red, int green) {
    const BgrPixel want = *BlendColour(MakePacked(red, green, 0, 255), MixtureMode::Norm, bg);
    EXPECT_EQ(target.Row(y)[x], want) << "column " << x << " row " << y;
  };
  // Column 0 walks along +v from the centre (128, 128); the documented points
  // are (128, 128), (128, 128.0833) and (128, 191.875) at steps 0, 1 and 384,
  // each to its last written digit.
  const long double dv = 256.0L / 3072;
  EXPECT_NEAR(static_cast<double>(128 + dv * WalkOffset(1536, 1)), 128.0833, 5e-5);
  EXPECT_NEAR(static_cast<double>(128 + dv * WalkOffset(1536, 384)), 191.875, 5e-4);
  for (int j : {0, 1, 384, 500}) {
    const long double v = 128 + dv * WalkOffset(1536, j);
    // u = 128 exactly: a whole coordinate takes all of the next column (129).
    int y0 = static_cast<int>(v);
    long double fy = v - y0;
    if (fy == 0) fy = 1;
    const int g0 = (y0 * 3) & 255, g1 = ((y0 + 1) * 3) & 255;
    expect_pixel(0, j, (129 * 7) & 255, static_cast<int>(g0 + (g1 - g0) * fy));
  }
  // Column 768 (azimuth 90 degrees) walks along -u: (127.9167, 128) at step 1,
  // (64.125, 128) at step 384. Its v stays 128 only up to a rounding error of
  // the sine, so only red (which does not depend on v) is checked there.
  for (int j : {1, 384}) {
    const long double u = 128 - dv * WalkOffset(1536, j);
    EXPECT_NEAR(static_cast<double>(u), j == 1 ? 127.9167 : 64.125, j == 1 ? 5e-5 : 5e-4);
    const int x0 = static_cast<int>(u);
    const int r0 = (x0 * 7) & 255, r1 = ((x0 + 1) * 7) & 255;
    const int red = static_cast<int>(r0 + (r1 - r0) * (u - x0));
    EXPECT_EQ(target.Row(j)[768].r,
              (*BlendColour(MakePacked(red, 0, 0, 255), MixtureMode::Norm, bg)).r)
        << j;
  }
}

TEST(RenderCeiling, OpaqueColourTexelsAreHolesAndColoursOneStepOffAreNot) {
  const PackedColour hole = MakePacked(10, 20, 30, 255);
  RenderContext ctx;
  for (long double transparency : {0.0L, 0.5L}) {
    for (long double air : {0.0L, 1000.0L}) {
      // The alpha byte plays no part in the comparison.
      PixelImagePtr texture = OneColour(WithAlpha(hole, 7));
      WorkBitmap target = Canvas(40, 30, BgrPixel{0, 0, 0});
      const WorkBitmap before = CopyBitmap(target);
      CeilingLayerInput in = Input(texture.get());
      in.OpaqueColor = hole;
      in.Transparency = transparency;
      in.AirDepth = air;
      Draw(ctx, target, in);
      EXPECT_TRUE(SameRegion(target, before, 0, 40, 0, 30));
    }
  }
  for (PackedColour near : {MakePacked(11, 20, 30), MakePacked(10, 21, 30), MakePacked(10, 20, 31),
                            MakePacked(9, 20, 30)}) {
    PixelImagePtr texture = OneColour(near);
    WorkBitmap target = Canvas(40, 30, BgrPixel{0, 0, 0});
    CeilingLayerInput in = Input(texture.get());
    in.OpaqueColor = hole;
    Draw(ctx, target, in);
    for (int y = 0; y < 15; ++y)
      for (int x = 0; x < 40; ++x) ASSERT_NE(target.Row(y)[x].r, 0) << x << "," << y;
  }
}

TEST(RenderCeiling, HolesLendNoColourToTheirNeighbours) {
  // Red texels are holes among blue ones; over black in Add mode any red that
  // the sampling borrowed from a hole would show.
  PixelImagePtr texture = MakeTexture(16, 16, [](int x, int y) {
    return (x / 2 + y / 3) % 2 ? MakePacked(255, 0, 0) : MakePacked(0, 0, 255);
  });
  WorkBitmap target = Canvas(120, 80, BgrPixel{0, 0, 0});
  CeilingLayerInput in = Input(texture.get());
  in.OpaqueColor = MakePacked(255, 0, 0);
  in.MixtureMode = MixtureMode::Add;
  in.Scale = 0.37L;
  RenderContext ctx;
  Draw(ctx, target, in);
  int blue = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      ASSERT_EQ(target.Row(y)[x].r, 0) << x << "," << y;
      blue += target.Row(y)[x].b > 0;
    }
  EXPECT_GT(blue, 0);
  EXPECT_LT(blue, 120 * 40);
}

TEST(RenderCeiling, TransparencySetsTheAlphaOfEveryTexelAfresh) {
  PixelImagePtr texture = NoiseTexture(8, 8);
  texture->Row(2)[3] = MakePacked(1, 2, 3, 99);
  CeilingLayerInput in = Input(texture.get());
  in.Transparency = 0.5L;  // 255 - 127.5 = 127.5, rounded to even: 128
  PrepareCeilingAlpha(*texture, in.OpaqueColor, in.Transparency);
  EXPECT_EQ(Alpha(texture->Row(2)[3]), 0);
  EXPECT_EQ(Alpha(texture->Row(0)[0]), 128);
  EXPECT_EQ(texture->Row(2)[3] & 0xffffff, MakePacked(1, 2, 3) & 0xffffff);
  in.Transparency = 0.25L;  // 191.25
  PrepareCeilingAlpha(*texture, in.OpaqueColor, in.Transparency);
  EXPECT_EQ(Alpha(texture->Row(7)[7]), 191);
  EXPECT_EQ(CeilingTexelAlpha(0.25L), 191);

  // Transparency 1: every texel is transparent and the image stays as it was.
  WorkBitmap target = Canvas(50, 40, BgrPixel{5, 6, 7});
  const WorkBitmap before = CopyBitmap(target);
  in.Transparency = 1;
  RenderContext ctx;
  Draw(ctx, target, in);
  EXPECT_TRUE(SameRegion(target, before, 0, 50, 0, 40));

  // Prepared with one transparency and then another, the texture is as if
  // prepared with the second alone: nothing of the first survives.
  PixelImagePtr fresh = NoiseTexture(8, 8);
  fresh->Row(2)[3] = MakePacked(1, 2, 3, 99);
  PrepareCeilingAlpha(*texture, in.OpaqueColor, 0.3L);
  PrepareCeilingAlpha(*texture, in.OpaqueColor, 0.7L);
  PrepareCeilingAlpha(*fresh, in.OpaqueColor, 0.7L);
  EXPECT_TRUE(std::equal(texture->pixels, texture->pixels + 64, fresh->pixels));
}

TEST(RenderCeiling, MixtureModesWeightTheTextureByItsAlpha) {
  // Texture (100, 150, 200) at alpha 128 (transparency 0.5) over grey 120.
  struct Case {
    std::uint8_t mode;
    BgrPixel want;
  } cases[] = {
      // 120 + Round(c * 128 / 255): +50, +75, +100
      {MixtureMode::Add, BgrPixel{220, 195, 170}},
      {MixtureMode::Sub, BgrPixel{20, 45, 70}},
      // Round((127 * 120 + 128 * c) / 256): 109.53, 134.53, 159.53
      {MixtureMode::Norm, BgrPixel{160, 135, 110}},
  };
  for (const Case& c : cases) {
    PixelImagePtr texture = OneColour(MakePacked(100, 150, 200));
    WorkBitmap target = Canvas(30, 20, BgrPixel{120, 120, 120});
    CeilingLayerInput in = Input(texture.get());
    in.Transparency = 0.5L;
    in.MixtureMode = c.mode;
    RenderContext ctx;
    Draw(ctx, target, in);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 30; ++x) ASSERT_EQ(target.Row(y)[x], c.want) << int(c.mode);
  }
}

TEST(RenderCeiling, LargeAirDepthTurnsTheRowAboveTheHorizonIntoItsColumnsHorizonColour) {
  PixelImagePtr texture = NoiseTexture(16, 16);
  PixelImagePtr horizon =
      MakeTexture(64, 1, [](int x, int) { return MakePacked(x * 4, 250 - x * 3, 77); });
  const BgrPixel bg{3, 4, 5};
  for (bool with_row : {true, false}) {
    WorkBitmap target = Canvas(64, 256, bg);
    CeilingLayerInput in = Input(texture.get());
    in.AirDepth = 1e6L;
    in.HorizonRow = with_row ? horizon.get() : nullptr;
    RenderContext ctx;
    Draw(ctx, target, in);
    for (int x = 0; x < 64; ++x) {
      const PackedColour hz = with_row ? horizon->Row(0)[x] : MakePacked(255, 255, 255);
      EXPECT_EQ(target.Row(127)[x], *BlendColour(WithAlpha(hz, 255), MixtureMode::Norm, bg)) << x;
    }
  }
}

using testing::PollingPort;

TEST(RenderCeiling, ReportsEveryBlockOfColumnsEndsAt100AndAnAbortLeavesTheRestUntouched) {
  PixelImagePtr texture = NoiseTexture(16, 16);
  WorkBitmap target = Canvas(80, 10, BgrPixel{0, 0, 0});
  PollingPort host(0);
  RenderContext ctx;
  ctx.Port = &host;
  ctx.Threads = 1;
  Draw(ctx, target, Input(texture.get()));
  // Blocks of 32 columns; Round(100 / 80 * c) after the last column c of each.
  EXPECT_EQ(host.percents, (std::vector<int>{39, 79, 99}));
  EXPECT_EQ(ctx.RenderProgress, 100);

  WorkBitmap aborted = Canvas(80, 20, BgrPixel{0, 0, 0});
  const WorkBitmap before = CopyBitmap(aborted);
  PollingPort stopper(1);
  RenderContext actx;
  actx.Port = &stopper;
  actx.Threads = 1;
  Draw(actx, aborted, Input(texture.get()));
  EXPECT_FALSE(SameRegion(aborted, before, 31, 32, 0, 10));
  EXPECT_TRUE(SameRegion(aborted, before, 32, 80, 0, 20));
  EXPECT_EQ(actx.RenderProgress, 39);

  // Already aborted: nothing is drawn, not even the texture's alpha changes.
  texture->Row(0)[0] = MakePacked(9, 9, 9, 42);
  Draw(actx, aborted, Input(texture.get()));
  EXPECT_TRUE(SameRegion(aborted, before, 32, 80, 0, 20));
  EXPECT_EQ(Alpha(texture->Row(0)[0]), 42);
}

TEST(RenderCeiling, WithSeveralThreadsAnAbortLeavesTheBlocksTakenSoFarFromTheLeft) {
  PixelImagePtr texture = NoiseTexture(16, 16);
  for (int threads : {2, 7}) {
    WorkBitmap target = Canvas(640, 40, BgrPixel{0, 0, 0});
    const WorkBitmap before = CopyBitmap(target);
    PollingPort stopper(1);
    RenderContext ctx;
    ctx.Port = &stopper;
    ctx.Threads = threads;
    Draw(ctx, target, Input(texture.get()));
    // Blocks of 32 columns are taken in order: the drawn ones come first.
    int drawn = 0;
    while (drawn < 20 && !SameRegion(target, before, 32 * drawn, 32 * drawn + 32, 0, 20)) ++drawn;
    EXPECT_GE(drawn, 1) << threads;
    EXPECT_TRUE(SameRegion(target, before, 32 * drawn, 640, 0, 40)) << threads;
    EXPECT_EQ(stopper.percents.size(), 1u);
  }
}

TEST(RenderCeiling, NoTextureDrawsTheCheckerboard) {
  PixelImagePtr checker;
  ASSERT_TRUE(MakeCheckerTexture(checker));
  WorkBitmap with = Canvas(64, 48, BgrPixel{50, 60, 70});
  WorkBitmap without = CopyBitmap(with);
  const WorkBitmap before = CopyBitmap(with);
  RenderContext ctx;
  Draw(ctx, with, Input(checker.get()));
  Draw(ctx, without, Input(nullptr));
  EXPECT_TRUE(SameRegion(with, without, 0, 64, 0, 48));
  EXPECT_FALSE(SameRegion(without, before, 0, 64, 0, 24));
}

TEST(RenderCeiling, DegenerateRealsNeitherCrashNorTouchTheLowerHalf) {
  const long double inf = std::numeric_limits<long double>::infinity();
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  PixelImagePtr texture = NoiseTexture(16, 16);
  for (long double scale : {0.0L, -0.0L, -3.0L, 1e-4000L, 1e300L, 1e4000L, inf, nan}) {
    for (long double air : {0.0L, 1e30L, nan}) {
      WorkBitmap target = Canvas(33, 21, BgrPixel{1, 2, 3});
      const WorkBitmap before = CopyBitmap(target);
      CeilingLayerInput in = Input(texture.get());
      in.Scale = scale;
      in.AirDepth = air;
      in.Transparency = scale == 0 ? nan : -2;
      RenderContext ctx;
      Draw(ctx, target, in);
      EXPECT_EQ(ctx.RenderProgress, 100);
      EXPECT_TRUE(SameRegion(target, before, 0, 33, 10, 21));
    }
  }
  // A scale of exactly 0 is drawn as 0.001, the value the scale inputs put in
  // its place.
  WorkBitmap zero = Canvas(33, 21, BgrPixel{1, 2, 3});
  WorkBitmap thousandth = CopyBitmap(zero);
  CeilingLayerInput in = Input(texture.get());
  RenderContext ctx;
  in.Scale = 0;
  Draw(ctx, zero, in);
  in.Scale = 0.001L;
  Draw(ctx, thousandth, in);
  EXPECT_TRUE(SameRegion(zero, thousandth, 0, 33, 0, 21));
}

}  // namespace
}  // namespace horizonmill
