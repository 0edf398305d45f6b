// The rich example (every layer) from 1536 x 768 to 16384 x 8192 on one
// thread: each stage's cost per pixel of the image in processor time of that
// thread, which stays flat when no stage grows faster than the image, and the
// peak memory of the render beyond the image and the reflection buffer (the
// resident set's high-water mark, reset before each render).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <string>

#include "Figures.h"
#include "RichExample.h"
#include "render/Pipeline.h"

namespace horizonmill {
namespace {

// A line "Name:   1234 kB" of /proc/self/status, in bytes; 0 when missing.
double StatusBytes(const std::string& name) {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == name + ":") {
      double kib = 0;
      status >> kib;
      return kib * 1024;
    }
    status.ignore(1 << 16, '\n');
  }
  return 0;
}

// Sets the high-water mark of the resident set to the resident set now.
void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

void BM_RichExampleBySize(benchmark::State& state) {
  const int W = static_cast<int>(state.range(0)), H = W / 2;
  const auto scene = PrepareRichExample();
  StageClock clock(true);
  RenderContext context;
  context.Port = &clock;
  context.Threads = 1;
  WorkBitmap preview(kPreviewWidth, kPreviewHeight);
  double extra = -1e300;
  for (auto _ : state) {
    // Every image buffer fresh from the system, as in a process's one render:
    // memory freed earlier goes back first, or the allocator would hand the
    // smaller sizes pages the previous render had already touched.
    malloc_trim(0);
    ResetPeakMemory();
    const double before = StatusBytes("VmRSS");
    WorkBitmap output(W, H);
    RenderBackground(context, *scene, output, preview);
    clock.Stop();
    const int reflection_rows = H / 2;
    const double buffers = static_cast<double>(output.Stride()) * (H + reflection_rows);
    extra = std::max(extra, StatusBytes("VmHWM") - before - buffers);
  }
  const double pixels = static_cast<double>(W) * H * static_cast<double>(state.iterations());
  std::array<double, bench::kStages> ns_per_pixel{};
  for (int s = 0; s < bench::kStages; ++s) {
    ns_per_pixel[s] = clock.milliseconds[static_cast<RenderStage>(s)] * 1e6 / pixels;
    state.counters[std::string(kStageNames[s]) + "_ns_px"] = ns_per_pixel[s];
  }
  state.counters["beyond_buffers_MiB"] = extra / (1 << 20);
  bench::Figures& figures = bench::Gathered();
  figures.stage_ns_per_pixel[W].push_back(ns_per_pixel);
  double& most = figures.beyond_buffers_mib[W];
  most = std::max(most, extra / (1 << 20));
}
// The figures take the least of the runs: the small sizes, quick and the most
// disturbed by whatever else runs, are run more often.
BENCHMARK(BM_RichExampleBySize)
    ->ArgName("width")
    ->Arg(1536)
    ->Arg(3072)
    ->Arg(6144)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_RichExampleBySize)
    ->ArgName("width")
    ->Arg(12288)
    ->Arg(16384)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace horizonmill
