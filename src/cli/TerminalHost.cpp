#include "cli/TerminalHost.h"

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

void TerminalHost::EndStage() {
  if (!stageRunning_) return;
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - stageStart_).count();
  timings_.emplace_back(stage_, ms);
  stageRunning_ = false;
}

void TerminalHost::StageMessage(RenderStage stage, std::string_view text) {
  EndStage();
  if (stage == RenderStage::Finishing || stage == RenderStage::Aborted) return;
  stage_ = stage;
  stageRunning_ = true;
  stageStart_ = Clock::now();
  shownPercent_ = -1;
  DrawBar(0);
}

void TerminalHost::ProcessEvents(RenderContext& context) {
  if (PendingInterrupt() != 0) context.AbortRequested = true;
  if (context.RenderProgress != shownPercent_) DrawBar(context.RenderProgress);
}

void TerminalHost::MessageBox(std::string_view text) {
  if (bar_) std::fputs("\r\033[K", out_);
  std::fprintf(out_, "horizonmill-render: warning: %.*s\n", static_cast<int>(text.size()),
               text.data());
  shownPercent_ = -1;
}

void TerminalHost::DrawBar(int percent) {
  shownPercent_ = percent;
  if (!bar_) return;
  constexpr int kWidth = 30;
  const int filled = percent < 0 ? 0 : percent > 100 ? kWidth : percent * kWidth / 100;
  std::string bar(filled, '#');
  bar.append(kWidth - filled, '.');
  std::fprintf(out_, "\r  %-10s [%s] %3d%%", StageName(stage_), bar.c_str(), percent);
  std::fflush(out_);
}

void TerminalHost::Finish() {
  EndStage();
  if (bar_) {
    std::fputs("\r\033[K", out_);
    std::fflush(out_);
  }
}

}  // namespace horizonmill::cli
