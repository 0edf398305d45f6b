// A host of the app/ sequences that records what the user would have been
// told or asked, and answers as the test says.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/AppHost.h"

namespace horizonmill::testing {

class RecordingAppHost : public AppHost {
 public:
  void Beep() override { events.push_back("beep"); }
  void MessageBox(const Message& message, std::string_view detail) override {
    events.push_back(message.English() + (writing ? " (while writing)" : ""));
    details.push_back(std::string(detail));
  }
  bool Confirm(const Message& question) override {
    events.push_back("? " + question.English());
    return confirm;
  }
  bool KeepAbortedRender() override {
    events.push_back("keep?");
    return keepAborted;
  }
  // Runs the write at once, as the command line does, between `beforeWrite`
  // (an abort command, say) and `afterWrite`, which see its progress.
  void RunWrite(WriteProgress& progress, const std::function<void()>& write) override {
    ++writes;
    writing = true;
    struct Done {
      bool& writing;
      ~Done() { writing = false; }
    } done{writing};
    if (beforeWrite) beforeWrite(progress);
    write();
    if (afterWrite) afterWrite(progress);
  }

  std::vector<std::string> events, details;
  bool confirm = true;
  bool keepAborted = false;
  int writes = 0;
  bool writing = false;
  std::function<void(WriteProgress&)> beforeWrite, afterWrite;
};

}  // namespace horizonmill::testing
