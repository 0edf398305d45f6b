#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "image/Placeholders.h"
#include "render/Pipeline.h"
#include "render/RenderGround.h"
#include "support/RecordingPort.h"
#include "support/TextureTesting.h"

namespace horizonmill {
namespace {

using testing::CopyBitmap;
using testing::MakeTexture;
using testing::NoiseTexture;
using testing::SameRegion;

// A picture with no symmetry: every pixel tells its column and row.
WorkBitmap Coded(int w, int h) {
  WorkBitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.Row(y)[x] = BgrPixel{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                             static_cast<std::uint8_t>(x * 3 + y * 5)};
  return b;
}

GroundLayerInput Input(const PixelImage* texture) {
  GroundLayerInput in;
  in.Texture = texture;
  in.AirDepth = 0;
  return in;
}

TEST(AverageColour, SumsInSinglePrecision) {
  PixelImagePtr small = MakeTexture(
      2, 2, [](int x, int y) { return MakePacked(1 + x + 2 * y, 10, 255 * x, 128 * y); });
  const AverageColourResult a = AverageColour(*small);
  EXPECT_EQ(a.r, 2.5f);
  EXPECT_EQ(a.g, 10.0f);
  EXPECT_EQ(a.b, 127.5f);
  EXPECT_EQ(a.a, 64.0f);

  // 257 x 257 texels of red 255: the running sum passes 2^24, where a float
  // can no longer hold every odd number, so it drifts from the exact 255.
  PixelImagePtr big = MakeTexture(257, 257, [](int, int) { return MakePacked(255, 0, 0, 255); });
  float sum = 0;
  for (int i = 0; i < 257 * 257; ++i) sum += 255.0f;
  EXPECT_EQ(AverageColour(*big).r, static_cast<float>(static_cast<long double>(sum) / (257 * 257)));
  EXPECT_NE(AverageColour(*big).r, 255.0f);
}

TEST(RenderGround, BottomRowIsTheTextureCentreAndOnlyTheLowerHalfIsDrawn) {
  for (int H : {40, 41}) {
    PixelImagePtr texture = NoiseTexture(16, 16);
    PixelImagePtr horizon = MakeTexture(50, 1, [](int x, int) { return MakePacked(x, 0, 255); });
    WorkBitmap target = Coded(50, H);
    const WorkBitmap before = CopyBitmap(target);
    GroundLayerInput in = Input(texture.get());
    in.AirDepth = 3;  // distance 1 at the bottom row: no fade there
    in.HorizonRow = horizon.get();
    RenderContext ctx;
    RenderGround(ctx, target, in);
    // The centre (8, 8) is a whole coordinate: the sample is texel (9, 9).
    const BgrPixel centre = PackedToBgr(texture->Row(9)[9]);
    for (int x = 0; x < 50; ++x) ASSERT_EQ(target.Row(H - 1)[x], centre) << x;
    EXPECT_TRUE(SameRegion(target, before, 0, 50, 0, H / 2));
    EXPECT_FALSE(SameRegion(target, before, 0, 50, H / 2, H / 2 + 1));
    EXPECT_EQ(ctx.RenderProgress, 100);
  }
}

TEST(RenderGround, ReflectionZeroIgnoresTheReflectionBitmap) {
  PixelImagePtr texture = NoiseTexture(32, 32);
  WorkBitmap mirror_a = Coded(60, 20);
  WorkBitmap mirror_b(60, 20);
  FillWorkBitmap(mirror_b, BgrPixel{255, 0, 255});
  WorkBitmap plain = Coded(60, 40);
  WorkBitmap with_a = CopyBitmap(plain), with_b = CopyBitmap(plain);
  GroundLayerInput in = Input(texture.get());
  in.AirDepth = 2;
  in.ReflectionWarp = 30;
  RenderContext ctx;
  RenderGround(ctx, plain, in);
  in.ReflectionBitmap = &mirror_a;
  RenderGround(ctx, with_a, in);
  in.ReflectionBitmap = &mirror_b;
  RenderGround(ctx, with_b, in);
  EXPECT_TRUE(SameRegion(plain, with_a, 0, 60, 0, 40));
  EXPECT_TRUE(SameRegion(plain, with_b, 0, 60, 0, 40));
}

// Reflection 1 without warp. The mirror row y - half is a whole number and so
// is the column x, and a whole sample coordinate takes all of the next row and
// column: pixel (x, y) shows reflection pixel (x + 1, y - half + 1), wrapping.
// (The mirror is therefore one pixel off, not exact, and the bottom rows wrap
// to the reflection's first rows.)
TEST(RenderGround, FullMirrorWithoutWarpIsShiftedByOnePixel) {
  PixelImagePtr texture = NoiseTexture(16, 16);
  // Even height, through the pipeline's own mirror and copy: target row y then
  // shows the original row H - 2 - y, and the bottom row the row above the horizon.
  {
    const int W = 48, H = 32, half = 16;
    WorkBitmap target = Coded(W, H);
    const WorkBitmap original = CopyBitmap(target);
    WorkBitmap reflection(W, half);
    MirrorUpperHalf(target);
    CopyLowerHalf(reflection, target);
    GroundLayerInput in = Input(texture.get());
    in.Reflection = 1;
    in.ReflectionBitmap = &reflection;
    RenderContext ctx;
    RenderGround(ctx, target, in);
    for (int y = half; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        const int from = y == H - 1 ? half - 1 : H - 2 - y;
        ASSERT_EQ(target.Row(y)[x], original.Row(from)[(x + 1) % W]) << x << "," << y;
      }
  }
  // The 307-row preview: rows 153 .. 306 are drawn from a 153-row reflection.
  // Row 306 reads reflection row 154, which wraps to row 1 (not row 0); row 305
  // reads row 0, and row 153 row 1 as well.
  {
    const int W = 40, H = 307, half = 153;
    WorkBitmap reflection = Coded(W, half);
    WorkBitmap target = Coded(W, H);
    GroundLayerInput in = Input(texture.get());
    in.Reflection = 1;
    in.ReflectionBitmap = &reflection;
    RenderContext ctx;
    RenderGround(ctx, target, in);
    for (int y = half; y < H; ++y)
      for (int x = 0; x < W; ++x)
        ASSERT_EQ(target.Row(y)[x], reflection.Row((y - half + 1) % half)[(x + 1) % W])
            << x << "," << y;
    EXPECT_EQ(target.Row(306)[0].g, 1);
    EXPECT_EQ(target.Row(305)[0].g, 0);
  }
}

TEST(RenderGround, ReflectionMixRoundsHalvesToEvenAndGoesTowardWhiteWithoutABitmap) {
  // Texel (1, 2, 0) mixed half-and-half with white: 128, 128.5 and 127.5,
  // which round to even: 128 each.
  PixelImagePtr texture = MakeTexture(4, 4, [](int, int) { return MakePacked(1, 2, 0); });
  WorkBitmap target = Coded(20, 10);
  GroundLayerInput in = Input(texture.get());
  in.Reflection = 0.5L;
  RenderContext ctx;
  RenderGround(ctx, target, in);
  for (int y = 5; y < 10; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(target.Row(y)[x], (BgrPixel{128, 128, 128}));
  in.Reflection = 1;
  RenderGround(ctx, target, in);
  EXPECT_EQ(target.Row(7)[3], (BgrPixel{255, 255, 255}));

  // A reflection above 1 (never from the track bar) stays within a byte.
  in.Reflection = 3;
  RenderGround(ctx, target, in);
  EXPECT_EQ(target.Row(7)[3], (BgrPixel{255, 255, 255}));
}

// The warp in pixels: (sin((red - avg.red) K) + cos((green - avg.green) K) - 1)
// x ReflectionWarp x W / 1024 / (d / 5), with d = 1 at the bottom row.
TEST(RenderGround, WarpFollowsRedBySineAndGreenByCosine) {
  const int W = 256, H = 20;
  const double K = 3.1415926 / 256;
  WorkBitmap reflection(W, H / 2);
  for (int y = 0; y < H / 2; ++y)
    for (int x = 0; x < W; ++x) reflection.Row(y)[x] = BgrPixel{0, 0, static_cast<std::uint8_t>(x)};
  struct Case {
    int red, green;
  } cases[] = {{160, 0}, {0, 160}, {64, 200}};
  for (const Case& c : cases) {
    // 4 x 4 texels, only (3, 3) coloured: the bottom row samples it, and the
    // average is a sixteenth of it.
    PixelImagePtr texture = MakeTexture(4, 4, [&c](int x, int y) {
      return x == 3 && y == 3 ? MakePacked(c.red, c.green, 0) : MakePacked(0, 0, 0);
    });
    const double warp =
        (std::sin((c.red - c.red / 16.0) * K) + std::cos((c.green - c.green / 16.0) * K) - 1) * 2 *
        (W / 1024.0) * 5;
    WorkBitmap target = Coded(W, H);
    GroundLayerInput in = Input(texture.get());
    in.Reflection = 1;
    in.ReflectionWarp = 2;
    in.ReflectionBitmap = &reflection;
    RenderContext ctx;
    RenderGround(ctx, target, in);
    for (int x = 8; x < W - 8; ++x)
      ASSERT_EQ(target.Row(H - 1)[x].r, static_cast<int>(std::floor(x + warp)))
          << c.red << "," << c.green << " column " << x << " warp " << warp;
  }
}

TEST(RenderGround, OneColourTextureDoesNotWarp) {
  const int W = 64, H = 48;
  WorkBitmap reflection = Coded(W, H / 2);
  auto render = [&](const PixelImage& texture, long double warp) {
    WorkBitmap target = Coded(W, H);
    GroundLayerInput in = Input(&texture);
    in.Reflection = 0.6L;
    in.ReflectionWarp = warp;
    in.ReflectionBitmap = &reflection;
    in.AirDepth = 1;
    RenderContext ctx;
    RenderGround(ctx, target, in);
    return target;
  };
  PixelImagePtr flat = MakeTexture(16, 16, [](int, int) { return MakePacked(201, 37, 90); });
  EXPECT_TRUE(SameRegion(render(*flat, 0), render(*flat, 50), 0, W, 0, H));
  // The same render with a texture of two colours does ripple.
  PixelImagePtr two = MakeTexture(
      16, 16, [](int x, int) { return x % 2 ? MakePacked(201, 37, 90) : MakePacked(20, 137, 90); });
  EXPECT_FALSE(SameRegion(render(*two, 0), render(*two, 50), 0, W, 0, H));
}

TEST(RenderGround, LargeAirDepthTurnsTheHorizonRowIntoItsColumnsColour) {
  PixelImagePtr texture = NoiseTexture(16, 16);
  PixelImagePtr horizon =
      MakeTexture(64, 1, [](int x, int) { return MakePacked(x * 4, 250 - x * 3, 77); });
  for (bool with_row : {true, false}) {
    WorkBitmap target = Coded(64, 256);
    GroundLayerInput in = Input(texture.get());
    in.AirDepth = 1e6L;
    in.HorizonRow = with_row ? horizon.get() : nullptr;
    RenderContext ctx;
    RenderGround(ctx, target, in);
    for (int x = 0; x < 64; ++x) {
      const PackedColour hz = with_row ? horizon->Row(0)[x] : MakePacked(255, 255, 255);
      ASSERT_EQ(target.Row(128)[x], PackedToBgr(hz)) << x;
    }
  }
}

TEST(RenderGround, DoublingScaleHalvesTheWalkAcrossTheTexture) {
  // Green is the texture row: in column 0 (the walk runs along +v) green tells
  // how far from the centre row 128 each screen row samples the plane.
  PixelImagePtr texture = MakeTexture(256, 256, [](int, int y) { return MakePacked(0, y, 0); });
  auto offsets = [&](long double scale) {
    WorkBitmap target = Coded(512, 256);
    GroundLayerInput in = Input(texture.get());
    in.Scale = scale;
    RenderContext ctx;
    RenderGround(ctx, target, in);
    std::vector<int> out;
    for (int y = 255; y >= 128; --y) out.push_back(target.Row(y)[0].g - 128);
    return out;
  };
  const std::vector<int> one = offsets(1), two = offsets(2);
  // Compared while the walk of Scale 1 stays clear of the texture's last row,
  // where the sample starts to mix in the wrapped first row.
  int compared = 0;
  for (std::size_t j = 0; j < one.size() && one[j] < 120; ++j) {
    EXPECT_NEAR(2 * two[j], one[j], 2) << j;
    ++compared;
  }
  EXPECT_GT(compared, 60);
  EXPECT_GT(one[compared - 1], 100);
}

using testing::PollingPort;

TEST(RenderGround, ReportsEveryBlockOfColumnsEndsAt100AndAnAbortLeavesTheRestUntouched) {
  PixelImagePtr texture = NoiseTexture(16, 16);
  WorkBitmap target = Coded(40, 10);
  PollingPort host(0);
  RenderContext ctx;
  ctx.Port = &host;
  ctx.Threads = 1;
  RenderGround(ctx, target, Input(texture.get()));
  // Blocks of 32 columns: Round(100 / 40 * 31), Round(100 / 40 * 39).
  EXPECT_EQ(host.percents, (std::vector<int>{78, 98}));
  EXPECT_EQ(ctx.RenderProgress, 100);

  WorkBitmap aborted = Coded(70, 20);
  const WorkBitmap before = CopyBitmap(aborted);
  PollingPort stopper(2);
  RenderContext actx;
  actx.Port = &stopper;
  actx.Threads = 1;
  RenderGround(actx, aborted, Input(texture.get()));
  EXPECT_FALSE(SameRegion(aborted, before, 63, 64, 10, 20));
  EXPECT_TRUE(SameRegion(aborted, before, 64, 70, 0, 20));
  EXPECT_EQ(actx.RenderProgress, 90);  // Round(100 / 70 * 63)

  RenderGround(actx, aborted, Input(texture.get()));
  EXPECT_TRUE(SameRegion(aborted, before, 64, 70, 0, 20));
}

TEST(RenderGround, NoTextureDrawsTheCheckerboard) {
  PixelImagePtr checker;
  ASSERT_TRUE(MakeCheckerTexture(checker));
  WorkBitmap with = Coded(64, 48);
  WorkBitmap without = CopyBitmap(with);
  RenderContext ctx;
  GroundLayerInput in = Input(checker.get());
  in.AirDepth = 1;
  RenderGround(ctx, with, in);
  in.Texture = nullptr;
  RenderGround(ctx, without, in);
  EXPECT_TRUE(SameRegion(with, without, 0, 64, 0, 48));
}

TEST(RenderGround, DegenerateRealsNeitherCrashNorTouchTheUpperHalf) {
  const long double inf = std::numeric_limits<long double>::infinity();
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  PixelImagePtr texture = NoiseTexture(16, 16);
  WorkBitmap reflection = Coded(33, 10);
  WorkBitmap empty;
  for (long double scale : {0.0L, -3.0L, 1e-4000L, 1e4000L, inf, nan}) {
    for (long double warp : {0.0L, 1e300L, -1e4000L, nan}) {
      for (long double reflect : {1.0L, -1.0L, 1e30L, nan}) {
        for (const WorkBitmap* mirror : {&reflection, &empty}) {
          WorkBitmap target = Coded(33, 21);
          const WorkBitmap before = CopyBitmap(target);
          GroundLayerInput in = Input(texture.get());
          in.Scale = scale;
          in.ReflectionWarp = warp;
          in.Reflection = reflect;
          in.ReflectionBitmap = mirror;
          in.AirDepth = scale == 0 ? nan : 1e30L;
          RenderContext ctx;
          RenderGround(ctx, target, in);
          ASSERT_EQ(ctx.RenderProgress, 100);
          ASSERT_TRUE(SameRegion(target, before, 0, 33, 0, 10));
        }
      }
    }
  }
  // A scale of exactly 0 is drawn as 0.001, as in the ceiling.
  WorkBitmap zero = Coded(33, 21);
  WorkBitmap thousandth = CopyBitmap(zero);
  GroundLayerInput in = Input(texture.get());
  RenderContext ctx;
  in.Scale = 0;
  RenderGround(ctx, zero, in);
  in.Scale = 0.001L;
  RenderGround(ctx, thousandth, in);
  EXPECT_TRUE(SameRegion(zero, thousandth, 0, 33, 0, 21));
}

}  // namespace
}  // namespace horizonmill
