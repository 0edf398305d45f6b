// The rich example (every layer) at the default size: the whole render with the
// time of each stage as counters, and the JPEG writing of the result.
#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <string>

#include "DiscardSink.h"
#include "output/JpegWriter.h"
#include "render/Pipeline.h"
#include "render/RenderContext.h"
#include "scene/SettingsFile.h"

namespace horizonmill {
namespace {

class NoQuestions : public SettingsReaderHost {
 public:
  std::optional<std::string> AskForPicture(PictureKind, const std::string&,
                                           std::string_view) override {
    return std::nullopt;
  }
};

// Adds up the time between stage messages, per stage.
class StageClock : public RenderHost {
 public:
  using Clock = std::chrono::steady_clock;
  void StageMessage(RenderStage stage, std::string_view) override {
    Stop();
    running_ = stage;
    started_ = Clock::now();
  }
  void Stop() {
    if (running_ != RenderStage::Finishing && running_ != RenderStage::Aborted)
      milliseconds[running_] +=
          std::chrono::duration<double, std::milli>(Clock::now() - started_).count();
    running_ = RenderStage::Finishing;
  }
  bool WantsPreview() const override { return false; }
  std::map<RenderStage, double> milliseconds;

 private:
  RenderStage running_ = RenderStage::Finishing;
  Clock::time_point started_;
};

void Open(SceneSettings& scene) {
  NoQuestions host;
  ReadSettings(scene, std::string(HORIZONMILL_SOURCE_DIR) + "/examples/lighthouse-coast.hm", host);
}

void BM_RichExampleRender(benchmark::State& state) {
  SceneSettings scene;
  Open(scene);
  WorkBitmap output(3072, 1536), preview(kPreviewWidth, kPreviewHeight);
  StageClock clock;
  RenderContext context;
  context.Host = &clock;
  for (auto _ : state) RenderBackground(context, scene, output, preview);
  const char* names[] = {"sky", "sun", "stars", "ceiling", "reflection", "ground", "objects"};
  for (int s = 0; s <= static_cast<int>(RenderStage::Objects); ++s)
    state.counters[std::string(names[s]) + "_ms"] =
        clock.milliseconds[static_cast<RenderStage>(s)] / static_cast<double>(state.iterations());
}
BENCHMARK(BM_RichExampleRender)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RichExampleJpeg(benchmark::State& state) {
  SceneSettings scene;
  Open(scene);
  WorkBitmap output(3072, 1536), preview(kPreviewWidth, kPreviewHeight);
  RenderContext context;
  RenderBackground(context, scene, output, preview);
  DiscardSink sink;
  for (auto _ : state) EncodeJpeg(output, kDefaultJpegQuality, sink);
}
BENCHMARK(BM_RichExampleJpeg)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace horizonmill
