#include "cli/TerminalPort.h"

#include <algorithm>
#include <string_view>

#include "platform/Interrupt.h"

namespace horizonmill::cli {

const char* StageName(RenderStage stage) {
  switch (stage) {
    case RenderStage::Sky:
      return "sky";
    case RenderStage::Sun:
      return "sun";
    case RenderStage::Stars:
      return "stars";
    case RenderStage::Ceiling:
      return "ceiling";
    case RenderStage::Reflection:
      return "reflection";
    case RenderStage::Ground:
      return "ground";
    case RenderStage::Objects:
      return "objects";
    case RenderStage::Finishing:
      return "finishing";
    case RenderStage::Aborted:
      return "aborted";
  }
  return "?";
}

void TerminalPort::EndStage() {
  if (!stageRunning_) return;
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - stageStart_).count();
  timings_.emplace_back(stage_, ms);
  stageRunning_ = false;
}

void TerminalPort::StageStarted(RenderStage stage, const Message&) {
  EndStage();
  if (stage == RenderStage::Finishing || stage == RenderStage::Aborted) return;
  stage_ = stage;
  stageRunning_ = true;
  stageStart_ = Clock::now();
  shownPercent_ = -1;
  DrawBar(0);
}

void TerminalPort::Progress(int percent) {
  if (percent != shownPercent_) DrawBar(percent);
}

bool TerminalPort::StopRequested() { return PendingInterrupt() != 0; }

void TerminalPort::Report(const Diagnostic& diagnostic) {
  if (std::find(reported_.begin(), reported_.end(), diagnostic) != reported_.end()) return;
  reported_.push_back(diagnostic);
  if (bar_) std::fputs("\r\033[K", out_);
  warnings_.Warn(DiagnosticWhere(diagnostic, scene_), diagnostic.text);
  shownPercent_ = -1;
  if (stopOnReport_ != nullptr) *stopOnReport_ = true;
}

void TerminalPort::DrawBar(int percent) {
  shownPercent_ = percent;
  if (!bar_) return;
  constexpr int kWidth = 30;
  const int filled = percent < 0 ? 0 : percent > 100 ? kWidth : percent * kWidth / 100;
  std::string bar(filled, '#');
  bar.append(kWidth - filled, '.');
  std::fprintf(out_, "\r  %-10s [%s] %3d%%", StageName(stage_), bar.c_str(), percent);
  std::fflush(out_);
}

void TerminalPort::Finish() {
  EndStage();
  if (bar_) {
    std::fputs("\r\033[K", out_);
    std::fflush(out_);
  }
}

}  // namespace horizonmill::cli
