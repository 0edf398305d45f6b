// What the benchmarks of the rich example (every layer) share: opening and
// preparing it, and timing its stages.
#pragma once

#include <time.h>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "image/PictureCache.h"
#include "image/WorkBitmap.h"
#include "render/Pipeline.h"
#include "render/RenderContext.h"
#include "scene/SettingsFile.h"

namespace horizonmill {

inline constexpr const char* kStageNames[] = {"sky",        "sun",    "stars",  "ceiling",
                                              "reflection", "ground", "objects"};

// Adds up the time between stage messages, per stage: wall time, or with
// thread_time the processor time of the calling thread (for one-thread renders
// on a machine that other work shares, where a stage's wall time also counts
// the moments the thread waited for a processor).
class StageClock : public RenderPort {
 public:
  explicit StageClock(bool threadTime = false) : threadTime_(threadTime) {}
  void StageStarted(RenderStage stage, const Message&) override {
    Stop();
    running_ = stage;
    started_ = Now();
  }
  void Stop() {
    if (running_ != RenderStage::Finishing && running_ != RenderStage::Aborted)
      milliseconds[running_] += Now() - started_;
    running_ = RenderStage::Finishing;
  }
  bool WantsPreview() const override { return false; }
  std::map<RenderStage, double> milliseconds;

 private:
  double Now() const {
    if (threadTime_) {
      timespec t{};
      clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
      return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
    }
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  bool threadTime_;
  RenderStage running_ = RenderStage::Finishing;
  double started_ = 0;
};

// The example scene that uses every layer, prepared for its renders (the
// benchmarks time the renders, not the preparation).
inline std::shared_ptr<const PreparedScene> PrepareRichExample() {
  const std::string examples = std::string(HORIZONMILL_SOURCE_DIR) + "/examples";
  const SettingsRead read = ReadSettings(examples + "/lighthouse-coast.hm");
  PictureCache cache;
  return PrepareScene(read.scene, PictureSearch(examples, {}), cache, DefaultPictureBudget()).scene;
}

// The example rendered at width x height, for the benchmarks of what comes
// after the render (writing it).
inline WorkBitmap RenderRichExample(int width, int height) {
  const auto scene = PrepareRichExample();
  WorkBitmap output(width, height), preview(kPreviewWidth, kPreviewHeight);
  RenderContext context;
  RenderBackground(context, *scene, output, preview);
  return output;
}

}  // namespace horizonmill
