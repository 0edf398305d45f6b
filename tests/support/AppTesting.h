// A host of the app/ sequences that records what the user would have been
// told or asked, and answers as the test says.
#pragma once

#include <string>
#include <vector>

#include "app/AppHost.h"

namespace horizonmill::testing {

class RecordingAppHost : public AppHost {
 public:
  void Beep() override { events.push_back("beep"); }
  void MessageBox(std::string_view text, std::string_view detail) override {
    events.push_back(std::string(text));
    details.push_back(std::string(detail));
  }
  bool Confirm(std::string_view question) override {
    events.push_back("? " + std::string(question));
    return confirm;
  }
  bool KeepAbortedRender() override {
    events.push_back("keep?");
    return keepAborted;
  }

  std::vector<std::string> events, details;
  bool confirm = true;
  bool keepAborted = false;
};

}  // namespace horizonmill::testing
