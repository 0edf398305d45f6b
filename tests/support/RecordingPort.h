// A render port that records what the render reports, and can request an
// abort at a chosen point.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "render/RenderContext.h"

namespace horizonmill::testing {

class RecordingPort : public RenderPort {
 public:
  void StageStarted(RenderStage stage, const Message& message) override {
    stage_ = stage;
    messages.push_back(message.English());
    events.push_back("message " + message.English());
  }
  void Progress(int percent) override {
    ++polls;
    if (onPoll && context != nullptr) onPoll(*context, stage_);
  }
  void PreviewReady(const WorkBitmap&) override { events.push_back("show"); }
  void Report(const Diagnostic& diagnostic) override {
    reports.push_back(diagnostic);
    events.push_back("report " + diagnostic.text);
  }
  void Finished(bool aborted) override {
    events.emplace_back(aborted ? "finished aborted" : "finished");
  }
  bool WantsPreview() const override { return wantsPreview; }

  int Count(const std::string& event) const {
    int n = 0;
    for (const auto& e : events) n += e == event;
    return n;
  }

  // The context of the render, for onPoll.
  RenderContext* context = nullptr;
  std::vector<std::string> messages;  // in English
  std::vector<std::string> events;
  std::vector<Diagnostic> reports;
  int polls = 0;
  bool wantsPreview = true;
  // Runs at every poll with the render's context and the running stage.
  std::function<void(RenderContext&, RenderStage)> onPoll;

 private:
  RenderStage stage_ = RenderStage::Sky;
};

// Records the percentage of every poll and asks for an abort at poll n (0:
// never), through the port's StopRequested.
struct PollingPort : RecordingPort {
  explicit PollingPort(int abortAt) : abortAt_(abortAt) {}
  void Progress(int percent) override {
    RecordingPort::Progress(percent);
    percents.push_back(percent);
  }
  bool StopRequested() override { return abortAt_ != 0 && polls == abortAt_; }
  std::vector<int> percents;

 private:
  int abortAt_;
};

}  // namespace horizonmill::testing
