// Stage and output timings at the default size (3072 x 1536).
#include <benchmark/benchmark.h>

#include "DiscardSink.h"
#include "codecs/BmpWriter.h"
#include "codecs/JpegWriter.h"
#include "render/Pipeline.h"
#include "render/RenderSky.h"
#include "render/RenderStars.h"
#include "render/RenderSun.h"
#include "render/SunWeights.h"
#include "scene/SceneSettings.h"

namespace horizonmill {
namespace {

constexpr int kW = 3072, kH = 1536;

WorkBitmap SkyBitmap() {
  WorkBitmap bitmap(kW, kH);
  RenderContext context;
  RenderSky(context, bitmap, SkyGradation::Default());
  return bitmap;
}

void BM_SkyStage(benchmark::State& state) {
  WorkBitmap bitmap(kW, kH);
  RenderContext context;
  for (auto _ : state) RenderSky(context, bitmap, SkyGradation::Default());
}
BENCHMARK(BM_SkyStage)->Unit(benchmark::kMillisecond);

SunSettings BenchSun(bool slopes) {
  SunSettings sun;
  sun.CenterColor = {255, 240, 200, 255};
  sun.OuterColor = {255, 120, 40, 255};
  sun.MixtureMode = MixtureMode::Norm;
  if (slopes) sun.Slopes = {2, -3, 0.5L, 1.5L};
  return sun;
}

void BM_SunStage(benchmark::State& state) {
  WorkBitmap bitmap = SkyBitmap();
  RenderContext context;
  const SunSettings sun = BenchSun(state.range(0) != 0);
  for (auto _ : state) RenderSun(context, bitmap, sun);
}
BENCHMARK(BM_SunStage)->Arg(0)->Arg(1)->ArgNames({"slopes"})->Unit(benchmark::kMillisecond);

// The sun stage keeping its weights, as a render for an HDR output does; the
// stage above is the same without them and must not slow down for their sake.
void BM_SunStageKeepingWeights(benchmark::State& state) {
  WorkBitmap bitmap = SkyBitmap();
  SunWeights weights;
  RenderContext context;
  context.SunWeightsOut = &weights;
  const SunSettings sun = BenchSun(state.range(0) != 0);
  for (auto _ : state) RenderSun(context, bitmap, sun);
}
BENCHMARK(BM_SunStageKeepingWeights)
    ->Arg(0)
    ->Arg(1)
    ->ArgNames({"slopes"})
    ->Unit(benchmark::kMillisecond);

void BM_StarStage(benchmark::State& state) {
  WorkBitmap bitmap = SkyBitmap();
  RenderContext context;
  StarLayerInput input;
  input.RandomSeed = 65536;
  input.NumberOfStars = 10000;
  input.AirDepth = 10;
  for (auto _ : state) RenderStars(context, bitmap, input, false);
}
BENCHMARK(BM_StarStage)->Unit(benchmark::kMillisecond);

void BM_DefaultRender(benchmark::State& state) {
  PictureCache cache;
  const auto scene =
      PrepareScene(SceneSettings{}, PictureSearch(), cache, DefaultPictureBudget()).scene;
  WorkBitmap output(kW, kH), preview(kPreviewWidth, kPreviewHeight);
  RenderContext context;
  for (auto _ : state) RenderBackground(context, *scene, output, preview);
}
BENCHMARK(BM_DefaultRender)->Unit(benchmark::kMillisecond);

void BM_WriteJpeg(benchmark::State& state) {
  WorkBitmap bitmap = SkyBitmap();
  DiscardSink sink;
  for (auto _ : state) EncodeJpeg(bitmap, {}, sink);
}
BENCHMARK(BM_WriteJpeg)->Unit(benchmark::kMillisecond);

void BM_WriteBmp(benchmark::State& state) {
  WorkBitmap bitmap = SkyBitmap();
  DiscardSink sink;
  for (auto _ : state) EncodeBmp(bitmap, {}, sink);
}
BENCHMARK(BM_WriteBmp)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace horizonmill
