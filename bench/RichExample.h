// What the benchmarks of the rich example (every layer) share: opening it
// without questions and timing its stages.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>

#include "render/RenderContext.h"
#include "scene/SettingsFile.h"

namespace horizonmill {

inline constexpr const char* kStageNames[] = {"sky",        "sun",    "stars",  "ceiling",
                                              "reflection", "ground", "objects"};

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

// The example scene that uses every layer.
inline void OpenRichExample(SceneSettings& scene) {
  NoQuestions host;
  ReadSettings(scene, std::string(HORIZONMILL_SOURCE_DIR) + "/examples/lighthouse-coast.hm", host);
}

}  // namespace horizonmill
