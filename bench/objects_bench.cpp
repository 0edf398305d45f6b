// The objects pass at the default output size: 36 copies (12 each of Far, Mid
// and Near) of a 128 x 128 picture with a key-colour border, shaded by the sun
// and faded by the aerial perspective; the normal pass and the reflection pass.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "image/PixelImage.h"
#include "image/WorkBitmap.h"
#include "render/RenderContext.h"
#include "render/RenderObjects.h"
#include "scene/SceneSettings.h"

namespace horizonmill {
namespace {

constexpr int kWidth = 3072, kHeight = 1536, kPicture = 128, kCopiesPerGroup = 12;

// A fixed noise picture whose outer eight pixels are the key colour (black).
PixelImagePtr ObjectPicture() {
  PixelImagePtr picture = MakePixelImage(kPicture, kPicture);
  std::uint32_t s = 4321;
  for (int y = 0; y < kPicture; ++y)
    for (int x = 0; x < kPicture; ++x) {
      s = s * 134775813u + 1u;
      const bool border = x < 8 || y < 8 || x >= kPicture - 8 || y >= kPicture - 8;
      picture->Row(y)[x] =
          border ? MakePacked(0, 0, 0) : MakePacked(40 + (x & 0x7f), 60 + (y & 0x7f), s >> 25);
    }
  return picture;
}

// A horizon as the sky and sun leave it: a slow change across the panorama.
PixelImagePtr Horizon() {
  PixelImagePtr row = MakePixelImage(kWidth, 1);
  for (int x = 0; x < kWidth; ++x)
    row->Row(0)[x] = MakePacked(200 + x * 40 / kWidth, 210, 240 - x * 60 / kWidth, 255);
  return row;
}

void BM_RenderObjects(benchmark::State& state) {
  const bool reflection = state.range(0) != 0;
  const bool shading = state.range(1) != 0;
  // Far, Mid and Near, one entry each, as a preparation leaves them.
  std::vector<PreparedObject> groups[3];
  for (int g = 0; g < 3; ++g) {
    PreparedObject& object = groups[g].emplace_back();
    object.Settings.NumberOfObjects = kCopiesPerGroup;
    object.Settings.Shadeing = shading;
    object.Settings.Transparency = 0.2L;
    if (g == 1) object.Settings.PositionMode = PositionMode::Sky;
    PixelImagePtr picture = ObjectPicture();
    PrepareObjectAlpha(*picture, object.Settings);
    object.Picture = SharedPicture(std::move(picture));
  }
  SceneRandom random;
  const ObjectLayout layout = PlaceObjects(random, 65536, true, groups[0], groups[1], groups[2]);
  PixelImagePtr horizon = Horizon();
  ObjectLayerInput input;
  input.AirDepth = 10;
  input.SunPosition = {0.3L, 0.4L};
  input.Sunlight = {80, 80, 80};
  input.HorizonRow = horizon.get();
  input.Layout = &layout;

  WorkBitmap target(kWidth, kHeight);
  FillWorkBitmap(target, BgrPixel{180, 120, 60});
  RenderContext context;
  for (auto _ : state) {
    RenderObjects(context, target, input, reflection);
    benchmark::DoNotOptimize(target.Bits());
  }
  state.SetItemsProcessed(state.iterations() * 3 * kCopiesPerGroup);
}
BENCHMARK(BM_RenderObjects)
    ->ArgNames({"reflection", "shading"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace horizonmill
