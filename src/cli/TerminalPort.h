// The render port of the command-line renderer: a progress bar on a terminal,
// stage timings, SIGINT and SIGTERM (platform/Interrupt.h) as the abort
// command, the render's diagnostics as warnings.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "cli/Warnings.h"
#include "render/RenderContext.h"

namespace horizonmill::cli {

const char* StageName(RenderStage stage);

class TerminalPort : public RenderPort {
 public:
  // The bar goes to `out`; a diagnostic of the render goes to `warnings`, once
  // however often it comes (a failed objects pass is told by both passes),
  // pointing into `scene` (the settings file's name).
  TerminalPort(std::FILE* out, bool bar, WarningLog& warnings, std::string scene)
      : out_(out), bar_(bar), warnings_(warnings), scene_(std::move(scene)) {}

  void StageStarted(RenderStage stage, const Message& message) override;
  void Progress(int percent) override;
  bool StopRequested() override;
  void Report(const Diagnostic& diagnostic) override;
  bool WantsPreview() const override { return false; }

  // With --strict a diagnostic of the render stops it, so that nothing is
  // written: the render's abort flag is set.
  void StopOnReport(std::atomic<bool>* abort) { stopOnReport_ = abort; }
  // Whether the render reported anything.
  bool Reported() const { return !reported_.empty(); }

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
  WarningLog& warnings_;
  std::string scene_;
  std::vector<Diagnostic> reported_;
  std::atomic<bool>* stopOnReport_ = nullptr;
  bool stageRunning_ = false;
  RenderStage stage_ = RenderStage::Sky;
  Clock::time_point stageStart_;
  int shownPercent_ = -1;
  std::vector<std::pair<RenderStage, double>> timings_;
};

}  // namespace horizonmill::cli
