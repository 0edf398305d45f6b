// A render host that records what the pipeline asks of its caller, and can
// request an abort at a chosen point.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "render/RenderContext.h"

namespace horizonmill::testing {

class RecordingHost : public RenderHost {
 public:
  void StageMessage(RenderStage stage, std::string_view text) override {
    stage_ = stage;
    messages.emplace_back(text);
    events.push_back("message " + std::string(text));
  }
  void ShowPreview(const WorkBitmap&) override { events.push_back("show"); }
  void ProcessEvents(RenderContext& context) override {
    ++polls;
    if (onPoll) onPoll(context, stage_);
  }
  void SetAbortCommandVisible(bool visible) override {
    events.emplace_back(visible ? std::string_view("abort command shown")
                                : std::string_view("abort command hidden"));
  }
  void HideProgress() override { events.push_back("progress hidden"); }
  void ClearPreviewArea() override { events.push_back("preview cleared"); }
  void Beep() override { events.push_back("beep"); }
  void MessageBox(std::string_view text) override { events.push_back("box " + std::string(text)); }
  void RedrawAll() override { events.push_back("redraw"); }
  bool WantsPreview() const override { return wantsPreview; }

  int Count(const std::string& event) const {
    int n = 0;
    for (const auto& e : events) n += e == event;
    return n;
  }

  std::vector<std::string> messages;
  std::vector<std::string> events;
  int polls = 0;
  bool wantsPreview = true;
  std::function<void(RenderContext&, RenderStage)> onPoll;

 private:
  RenderStage stage_ = RenderStage::Sky;
};

// Records the percentage of every poll and asks for an abort at poll n (0: never).
struct PollingHost : RecordingHost {
  explicit PollingHost(int abortAt) {
    onPoll = [this, abortAt](RenderContext& context, RenderStage) {
      percents.push_back(context.RenderProgress);
      if (polls == abortAt) context.AbortRequested = true;
    };
  }
  std::vector<int> percents;
};

}  // namespace horizonmill::testing
