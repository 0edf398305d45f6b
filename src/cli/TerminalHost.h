// The render host of the command-line renderer: a progress bar on a terminal,
// stage timings, SIGINT and SIGTERM (platform/Interrupt.h) as the abort
// command, message boxes as warnings.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "render/RenderContext.h"

namespace horizonmill::cli {

const char* StageName(RenderStage stage);

class TerminalHost : public RenderHost {
 public:
  TerminalHost(std::FILE* out, bool bar) : out_(out), bar_(bar) {}

  void StageMessage(RenderStage stage, std::string_view text) override;
  void ProcessEvents(RenderContext& context) override;
  void MessageBox(std::string_view text) override;
  bool WantsPreview() const override { return false; }

  // Ends the running stage's timing and clears the bar.
  void Finish();
  // Milliseconds per stage, in the order they ran.
  const std::vector<std::pair<RenderStage, double>>& Timings() const { return timings_; }

 private:
  using Clock = std::chrono::steady_clock;
  void EndStage();
  void DrawBar(int percent);

  std::FILE* out_;
  bool bar_;
  bool stageRunning_ = false;
  RenderStage stage_ = RenderStage::Sky;
  Clock::time_point stageStart_;
  int shownPercent_ = -1;
  std::vector<std::pair<RenderStage, double>> timings_;
};

}  // namespace horizonmill::cli
