// Writing the every-layer example at 8192 x 4096 in linear light: OpenEXR by
// deflate level and threads, with the file's size as a counter, beside the PNG of
// the same picture at its defaults (the goal: the EXR no slower than the PNG).
#include <benchmark/benchmark.h>

#include <cstddef>

#include "DiscardSink.h"
#include "RichExample.h"
#include "codecs/ExrWriter.h"
#include "codecs/HdrLight.h"
#include "codecs/PngWriter.h"

namespace horizonmill {
namespace {

const WorkBitmap& LargeExample() {
  static const WorkBitmap output = RenderRichExample(8192, 4096);
  return output;
}

// Arguments: the zlib level and the threads.
void BM_ExrWrite8192(benchmark::State& state) {
  const WorkBitmap& picture = LargeExample();
  const SunGlow none;
  EncodeOptions options;
  options.exr.zipLevel = static_cast<int>(state.range(0));
  options.threads = static_cast<int>(state.range(1));
  std::size_t bytes = 0;
  for (auto _ : state) {
    CountingSink sink;
    EncodeExr(LinearPictureOf(picture, none), options, sink);
    bytes = sink.bytes;
  }
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_ExrWrite8192)
    ->ArgNames({"level", "threads"})
    ->ArgsProduct({{1, 2, 3, 4, 6}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_PngWrite8192(benchmark::State& state) {
  const WorkBitmap& picture = LargeExample();
  EncodeOptions options;
  options.threads = static_cast<int>(state.range(0));
  std::size_t bytes = 0;
  for (auto _ : state) {
    CountingSink sink;
    EncodePng(picture, options, sink);
    bytes = sink.bytes;
  }
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_PngWrite8192)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace horizonmill
