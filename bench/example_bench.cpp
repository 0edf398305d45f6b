// The rich example (every layer) at the default size: the whole render, render
// only, with 1 and 2 threads and the time of each stage as counters, and the
// JPEG writing of the result. bench/compare-today runs the first beside the
// renderer of an earlier commit.
#include <benchmark/benchmark.h>

#include <string>

#include "DiscardSink.h"
#include "RichExample.h"
#include "codecs/JpegWriter.h"
#include "render/Pipeline.h"
#include "render/RenderContext.h"

namespace horizonmill {
namespace {

void BM_RichExampleRender(benchmark::State& state) {
  const auto scene = PrepareRichExample();
  WorkBitmap output(3072, 1536), preview(kPreviewWidth, kPreviewHeight);
  StageClock clock;
  RenderContext context;
  context.Port = &clock;
  context.Threads = static_cast<int>(state.range(0));
  for (auto _ : state) RenderBackground(context, *scene, output, preview);
  for (int s = 0; s <= static_cast<int>(RenderStage::Objects); ++s)
    state.counters[std::string(kStageNames[s]) + "_ms"] =
        clock.milliseconds[static_cast<RenderStage>(s)] / static_cast<double>(state.iterations());
}
BENCHMARK(BM_RichExampleRender)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

void BM_RichExampleJpeg(benchmark::State& state) {
  const WorkBitmap output = RenderRichExample(3072, 1536);
  DiscardSink sink;
  for (auto _ : state) EncodeJpeg(output, {}, sink);
}
BENCHMARK(BM_RichExampleJpeg)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace horizonmill
