// The ceiling and the ground against their plain extended-precision build
// (support/ExtendedStages.h): random scenes at several sizes drawn with 1, 2
// and 7 threads, and the full-size ground, must give exactly its pixels.
#include <gtest/gtest.h>

#include <random>
#include <span>

#include "render/RenderCeiling.h"
#include "render/RenderGround.h"
#include "support/BitmapTesting.h"
#include "support/ExtendedStages.h"
#include "support/TextureTesting.h"

namespace horizonmill {
namespace {

using testing::CopyBitmap;
using testing::ExtendedCeiling;
using testing::ExtendedGround;
using testing::MakeTexture;
using testing::SamePixels;

// The heights are those whose every row the aerial fade tests check.
constexpr int kHeights[] = {31, 64, 167};
constexpr int kWidths[] = {40, 97, 256, 409, 512};
constexpr long double kDepths[] = {0, 0.5L, 1.5L, 100};
// Powers of two (multiplied by their inverse), other values, and 0 (drawn as 0.001).
constexpr long double kScales[] = {1, 2, 0.5L, 0.25L, 1.7L, 0.75L, 3, 0};
constexpr int kTextureSides[][2] = {{16, 16}, {256, 256}, {37, 53}, {128, 64}, {5, 3}, {1, 1}};

template <typename T, std::size_t N>
const T& Pick(std::mt19937& rng, const T (&values)[N]) {
  return values[std::uniform_int_distribution<std::size_t>(0, N - 1)(rng)];
}

PixelImagePtr RandomTexture(std::mt19937& rng, PackedColour hole) {
  const auto& side = Pick(rng, kTextureSides);
  std::uniform_int_distribution<std::uint32_t> texel;
  const bool holes = rng() % 2 == 0;
  return MakeTexture(side[0], side[1], [&](int, int) {
    const PackedColour c = texel(rng) | 0xff000000u;
    return holes && rng() % 7 == 0 ? hole : c;
  });
}

WorkBitmap RandomBitmap(std::mt19937& rng, int w, int h) {
  WorkBitmap b(w, h);
  for (std::size_t i = 0; i < b.Stride() * h; ++i) b.Bits()[i] = static_cast<std::uint8_t>(rng());
  return b;
}

PixelImagePtr RandomHorizon(std::mt19937& rng, int w) {
  if (rng() % 4 == 0) return nullptr;
  return MakeTexture(w, 1, [&](int, int) { return rng() | 0xff000000u; });
}

// The depths a case picks from and the thread counts it is drawn with.
struct Sweep {
  std::span<const long double> depths;
  std::span<const int> threads;
};
constexpr int kThreadCounts[] = {1, 2, 7};
constexpr Sweep kRandomScenes{kDepths, kThreadCounts};

// Draws the stage into copies of `canvas` with each thread count; each must
// equal `expected`.
template <typename Input, typename Render>
void ExpectEveryThreadCount(const WorkBitmap& canvas, const WorkBitmap& expected,
                            const Input& input, Render render, int scene, const Sweep& sweep) {
  for (int threads : sweep.threads) {
    WorkBitmap actual = CopyBitmap(canvas);
    RenderContext context;
    context.Threads = threads;
    render(context, actual, input);
    ASSERT_TRUE(SamePixels(actual, expected)) << "scene " << scene << ", " << threads << " threads";
  }
}

// What the ceiling's and the ground's inputs share.
template <typename Input, typename Texture>
void PlaneInput(std::mt19937& rng, Input& input, Texture* texture, const PixelImage* horizon,
                std::span<const long double> depths) {
  input.Texture = texture;
  input.HorizonRow = horizon;
  input.AirDepth = depths[rng() % depths.size()];
  input.Scale =
      rng() % 3 == 0 ? std::uniform_real_distribution<double>(0.05, 6)(rng) : Pick(rng, kScales);
}

// `tweak` changes the random input before it is drawn.
constexpr auto kAsDrawn = [](auto&) {};

template <typename Tweak = decltype(kAsDrawn)>
void CheckCeiling(std::mt19937& rng, int W, int H, int scene, const Sweep& sweep = kRandomScenes,
                  Tweak tweak = kAsDrawn) {
  const PackedColour hole = MakePacked(rng() % 256, 0, 255, 255);
  PixelImagePtr texture = RandomTexture(rng, hole);
  PixelImagePtr horizon = RandomHorizon(rng, W);
  CeilingLayerInput input;
  PlaneInput(rng, input, texture.get(), horizon.get(), sweep.depths);
  const std::uint8_t modes[] = {MixtureMode::Add, MixtureMode::Sub, MixtureMode::Norm};
  input.MixtureMode = Pick(rng, modes);
  input.OpaqueColor = hole;
  input.Transparency = (rng() % 101) / 100.0L;
  tweak(input);
  // The alpha as the prepared scene holds it.
  PrepareCeilingAlpha(*texture, input.OpaqueColor, input.Transparency);
  const WorkBitmap canvas = RandomBitmap(rng, W, H);
  WorkBitmap expected = CopyBitmap(canvas);
  ExtendedCeiling(expected, input);
  ExpectEveryThreadCount(canvas, expected, input, RenderCeiling, scene, sweep);
}

template <typename Tweak = decltype(kAsDrawn)>
void CheckGround(std::mt19937& rng, int W, int H, int scene, const Sweep& sweep = kRandomScenes,
                 Tweak tweak = kAsDrawn) {
  PixelImagePtr texture = RandomTexture(rng, MakePacked(0, 0, 0));
  PixelImagePtr horizon = RandomHorizon(rng, W);
  const WorkBitmap mirror = RandomBitmap(rng, W, H / 2);
  GroundLayerInput input;
  PlaneInput(rng, input, texture.get(), horizon.get(), sweep.depths);
  const long double reflections[] = {0, 0.3L, 0.6L, 1, 0.01L * (rng() % 100)};
  input.Reflection = Pick(rng, reflections);
  const long double warps[] = {0, 1, 4, 13.5L, -2};
  input.ReflectionWarp = Pick(rng, warps);
  tweak(input);
  if (input.Reflection > 0) input.ReflectionBitmap = &mirror;
  const WorkBitmap canvas = RandomBitmap(rng, W, H);
  WorkBitmap expected = CopyBitmap(canvas);
  ExtendedGround(expected, input);
  ExpectEveryThreadCount(canvas, expected, input, RenderGround, scene, sweep);
}

TEST(StagePrecision, CeilingGivesThePixelsOfTheExtendedBuildOnRandomScenes) {
  std::mt19937 rng(1313);
  for (int scene = 0; scene < 60; ++scene)
    CheckCeiling(rng, Pick(rng, kWidths), Pick(rng, kHeights), scene);
}

TEST(StagePrecision, GroundGivesThePixelsOfTheExtendedBuildOnRandomScenes) {
  std::mt19937 rng(2626);
  for (int scene = 0; scene < 60; ++scene)
    CheckGround(rng, Pick(rng, kWidths), Pick(rng, kHeights), scene);
}

// Where the double walks hand over to the extended ones: scales so small
// that the walk leaves the double's fractions behind (every sample extended),
// so large that every column stays within its error of the start (the
// straight columns exact, the others extended), negative, and the widths
// whose columns include the four straight directions (a zero step along one
// axis) and the one turned by 180 degrees (a step of about 10^-20). The
// ground's mirror, where it has one, ripples so little that the shift is all
// rounding, so much that its fractions are coarse or gone in double (within
// the 64-bit range, where the plain build is defined).
TEST(StagePrecision, WalksAtTheFilterEdgesGiveThePixelsOfTheExtendedBuild) {
  std::mt19937 rng(5151);
  constexpr long double kEdgeScales[] = {1e-13L, 1e-9L, 1e6L, 4096, -1.3L, -0.5L, 1e-3L};
  constexpr long double kEdgeWarps[] = {1e-13L, 1e12L, -3e7L, 1e15L, 4};
  constexpr int kEdgeWidths[] = {40, 256, 404};
  const int threads[] = {1, 2};
  for (int scene = 0; scene < 28; ++scene) {
    const long double scale = kEdgeScales[scene % std::size(kEdgeScales)];
    const int W = Pick(rng, kEdgeWidths), H = Pick(rng, kHeights);
    auto edge = [&](auto& input) { input.Scale = scale; };
    auto rippled = [&](GroundLayerInput& input) {
      input.Scale = scale;
      input.ReflectionWarp = kEdgeWarps[scene / 2 % std::size(kEdgeWarps)];
    };
    if (scene % 2 == 0)
      CheckCeiling(rng, W, H, scene, {kDepths, threads}, edge);
    else
      CheckGround(rng, W, H, scene, {kDepths, threads}, rippled);
  }
}

// The full size, at the example's depth, whose every row the aerial fade
// tests check too: the ground, whose walk is the ceiling's, with its mirror;
// with two threads (the random scenes compare the counts).
TEST(StagePrecision, FullSizeGroundGivesThePixelsOfTheExtendedBuild) {
  std::mt19937 rng(70);  // a mirror of 0.48 with a warp of 4, the scale 1.38
  const long double depth[] = {1.5L};
  const int threads[] = {2};
  CheckGround(rng, 3072, 1536, 0, {depth, threads});
}

// The renderer's largest size, ceiling and mirrored ground, once. Minutes
// long, so left out of the usual runs: --gtest_also_run_disabled_tests.
TEST(StagePrecision, DISABLED_LargestSizeGivesThePixelsOfTheExtendedBuild) {
  std::mt19937 rng(16384);
  const long double depth[] = {1.5L};
  const int threads[] = {2};
  auto rippled = [](GroundLayerInput& input) {
    input.Scale = 2;
    input.Reflection = 0.6L;
    input.ReflectionWarp = 4;
  };
  CheckCeiling(rng, 16384, 8192, 0, {depth, threads}, [](auto& input) { input.Scale = 1; });
  CheckGround(rng, 16384, 8192, 1, {depth, threads}, rippled);
}

}  // namespace
}  // namespace horizonmill
