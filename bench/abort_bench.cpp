// How soon a full render of the rich example (every layer) answers an abort,
// and how soon the writing of its picture does.
//
// The render:
// the request comes at a moment drawn at random within the render, and is
// seen, as in the window, at the render's next poll (the port asks to stop). The time from the
// request until RenderBackground returns is the latency the user waits, short of the window's own
// event interval. Counters: the worst and the mean over the moments, the worst by the stage that
// saw the request, and by stage the longest stretch without a poll in a render that is not aborted.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>

#include "RichExample.h"
#include "codecs/ImageOutput.h"
#include "platform/AtomicFile.h"
#include "platform/WriteProgress.h"
#include "render/Pipeline.h"
#include "render/RenderContext.h"

namespace horizonmill {
namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// The window's part: asks to stop at the first poll after `at`, and refreshes
// the preview after each stage (WantsPreview), as the window does.
class AbortingPort : public RenderPort {
 public:
  void Arm(Clock::time_point at) {
    at_ = at;
    stage_ = RenderStage::Sky;
    stageAtRequest_ = RenderStage::Finishing;
    lastPoll_ = Clock::now();
  }
  void StageStarted(RenderStage stage, const Message&) override {
    stage_ = stage;
    if (stage == RenderStage::Sky) asked_ = false;
  }
  void Progress(int) override {
    const auto now = Clock::now();
    double& gap = longestGap[stage_];
    gap = std::max(gap, MillisecondsBetween(lastPoll_, now));
    lastPoll_ = now;
  }
  bool StopRequested() override {
    if (asked_ || Clock::now() < at_) return false;
    asked_ = true;
    stageAtRequest_ = stage_;
    return true;
  }
  // The stage whose poll saw the request.
  RenderStage StageAtRequest() const { return stageAtRequest_; }
  // The longest time from a poll (or the start) to the next, by the stage of
  // the later one.
  std::map<RenderStage, double> longestGap;

 private:
  Clock::time_point at_;
  RenderStage stage_ = RenderStage::Sky;
  RenderStage stageAtRequest_ = RenderStage::Finishing;
  Clock::time_point lastPoll_;
  bool asked_ = false;
};

void BM_AbortLatency(benchmark::State& state) {
  const auto scene = PrepareRichExample();
  const int width = static_cast<int>(state.range(0));
  WorkBitmap output(width, width / 2), preview(kPreviewWidth, kPreviewHeight);
  if (output.Empty()) {
    state.SkipWithError("no memory for the image");
    return;
  }
  AbortingPort host;
  RenderContext context;
  context.Port = &host;
  // The whole render's length, to draw the moments from.
  host.Arm(Clock::time_point::max());
  const auto start = Clock::now();
  RenderBackground(context, *scene, output, preview);
  const double whole = MillisecondsBetween(start, Clock::now());
  for (const auto& [stage, ms] : host.longestGap)
    if (stage < RenderStage::Finishing)
      state.counters[std::string(kStageNames[static_cast<int>(stage)]) + "_gap_ms"] = ms;

  std::mt19937 random(1234);
  std::uniform_real_distribution<double> moment(0, whole);
  double worst = 0, sum = 0;
  std::map<RenderStage, double> worstInStage;
  for (auto _ : state) {
    const auto begin = Clock::now();
    const auto at = begin + std::chrono::duration_cast<Clock::duration>(
                                std::chrono::duration<double, std::milli>(moment(random)));
    host.Arm(at);
    RenderBackground(context, *scene, output, preview);
    const auto end = Clock::now();
    const double latency = std::max(0.0, MillisecondsBetween(at, end));
    state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    worst = std::max(worst, latency);
    sum += latency;
    double& inStage = worstInStage[host.StageAtRequest()];
    inStage = std::max(inStage, latency);
  }
  state.counters["whole_ms"] = whole;
  state.counters["worst_ms"] = worst;
  state.counters["mean_ms"] = sum / static_cast<double>(state.iterations());
  for (const auto& [stage, ms] : worstInStage)
    if (stage < RenderStage::Finishing)
      state.counters[std::string(kStageNames[static_cast<int>(stage)]) + "_worst_ms"] = ms;
}
BENCHMARK(BM_AbortLatency)
    ->ArgName("width")
    ->Arg(8192)
    ->Iterations(24)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK(BM_AbortLatency)
    ->ArgName("width")
    ->Arg(16384)
    ->Iterations(8)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

// The writing: the rich example's picture at 8192 x 4096 written as the
// window writes it (on a thread of its own, into a file beside the old one),
// the abort asked from the waiting thread at a moment drawn at random within
// the whole write; the time from the request until the writing thread has
// ended, the old file still in place. Counters: the whole write, and the
// worst and mean latency.
const WorkBitmap& RichPicture() {
  static const WorkBitmap picture = RenderRichExample(8192, 4096);
  return picture;
}

void BM_WriteAbortLatency(benchmark::State& state) {
  const WorkBitmap& picture = RichPicture();
  const char* names[] = {"abort-bench.bmp", "abort-bench.png", "abort-bench.jpg"};
  const ImageFormat formats[] = {ImageFormat::Bmp, ImageFormat::Png, ImageFormat::Jpeg};
  const ImageFormat format = formats[state.range(0)];
  const std::string path =
      (std::filesystem::temp_directory_path() / names[state.range(0)]).string();
  auto write = [&](std::atomic<bool>& stop) {
    WriteProgress progress(&stop);
    progress.Plan(picture.Height());
    WriteFileAtomically(
        path,
        [&](ByteSink& out) {
          EncodeImage(picture, format, {.metadata = ImageMetadata::Panorama}, out);
        },
        OnInterrupt::Stop, &progress);
  };
  std::atomic<bool> never{false};
  auto start = Clock::now();
  write(never);
  const double whole = MillisecondsBetween(start, Clock::now());

  std::mt19937 random(4321);
  std::uniform_real_distribution<double> moment(0, whole);
  double worst = 0, sum = 0;
  int stopped = 0;
  for (auto _ : state) {
    std::atomic<bool> stop{false};
    std::atomic<bool> cancelled{false};
    const auto begin = Clock::now();
    std::thread writer([&] {
      try {
        write(stop);
      } catch (const WriteCancelled&) {
        cancelled = true;
      }
    });
    const auto at = begin + std::chrono::duration_cast<Clock::duration>(
                                std::chrono::duration<double, std::milli>(moment(random)));
    std::this_thread::sleep_until(at);
    const auto requested = Clock::now();
    stop = true;
    writer.join();
    const auto end = Clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    const double latency = MillisecondsBetween(requested, end);
    worst = std::max(worst, latency);
    sum += latency;
    stopped += cancelled ? 1 : 0;
  }
  std::filesystem::remove(path);
  state.SetLabel(path.substr(path.rfind('.') + 1));
  state.counters["whole_ms"] = whole;
  state.counters["worst_ms"] = worst;
  state.counters["mean_ms"] = sum / static_cast<double>(state.iterations());
  state.counters["stopped"] = stopped;
}
BENCHMARK(BM_WriteAbortLatency)
    ->ArgName("format")
    ->DenseRange(0, 2)
    ->Iterations(12)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

}  // namespace
}  // namespace horizonmill
