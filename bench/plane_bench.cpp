// The ceiling and ground passes at the default output size with a 256 x 256
// texture; the ground once as a plain textured plane and once as a rippled mirror.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "image/PixelImage.h"
#include "image/WorkBitmap.h"
#include "render/RenderCeiling.h"
#include "render/RenderContext.h"
#include "render/RenderGround.h"

namespace horizonmill {
namespace {

constexpr int kWidth = 3072, kHeight = 1536, kTexture = 256;

// A cloud-like texture with every channel moving (a fixed LCG, no randomness).
PixelImagePtr NoiseTexture() {
  PixelImagePtr texture = MakePixelImage(kTexture, kTexture);
  std::uint32_t s = 12345;
  for (int y = 0; y < kTexture; ++y)
    for (int x = 0; x < kTexture; ++x) {
      s = s * 134775813u + 1u;
      texture->Row(y)[x] =
          MakePacked((x + (s >> 28)) & 0xff, (y * 2 + (s >> 29)) & 0xff, (x ^ y) & 0xff, 255);
    }
  return texture;
}

PixelImagePtr Horizon() {
  PixelImagePtr row = MakePixelImage(kWidth, 1);
  for (int x = 0; x < kWidth; ++x) row->Row(0)[x] = MakePacked(200, 210, x & 0xff, 255);
  return row;
}

void FillGradient(WorkBitmap& bitmap) {
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      bitmap.Row(y)[x] = BgrPixel{static_cast<std::uint8_t>(255 - y % 256),
                                  static_cast<std::uint8_t>(x % 256), 40};
}

void BM_RenderCeiling(benchmark::State& state) {
  PixelImagePtr texture = NoiseTexture();
  PixelImagePtr horizon = Horizon();
  WorkBitmap target(kWidth, kHeight);
  FillGradient(target);
  CeilingLayerInput input;
  input.Texture = texture.get();
  input.HorizonRow = horizon.get();
  input.AirDepth = 10;
  input.Transparency = 0.3L;
  input.OpaqueColor = MakePacked(0, 0, 0, 255);
  RenderContext context;
  for (auto _ : state) {
    RenderCeiling(context, target, input);
    benchmark::DoNotOptimize(target.Bits());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * (kHeight / 2));
}
BENCHMARK(BM_RenderCeiling)->Unit(benchmark::kMillisecond);

void BM_RenderGround(benchmark::State& state) {
  const bool mirror = state.range(0) != 0;
  PixelImagePtr texture = NoiseTexture();
  PixelImagePtr horizon = Horizon();
  WorkBitmap target(kWidth, kHeight);
  FillGradient(target);
  WorkBitmap reflection(kWidth, kHeight / 2);
  FillGradient(reflection);
  GroundLayerInput input;
  input.Texture = texture.get();
  input.HorizonRow = horizon.get();
  input.AirDepth = 10;
  if (mirror) {
    input.Reflection = 0.6L;
    input.ReflectionWarp = 2;
    input.ReflectionBitmap = &reflection;
  }
  RenderContext context;
  for (auto _ : state) {
    RenderGround(context, target, input);
    benchmark::DoNotOptimize(target.Bits());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * (kHeight - kHeight / 2));
}
BENCHMARK(BM_RenderGround)->Arg(0)->Arg(1)->ArgName("mirror")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace horizonmill
