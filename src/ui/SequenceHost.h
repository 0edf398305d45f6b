// SequenceHost: the questions and messages of the sequences a full render
// starts (app/RenderAndWrite.h, app/HostCommands.h), asked in the window. An
// aborted render is told on the preview, then kept only when the user says
// so, and never while the window is closing.
#pragma once

#include <string>

#include "ui/UserDialogs.h"

namespace horizonmill::ui {

class RenderPanel;

class SequenceHost : public DialogAppHost {
 public:
  // `dialogs` and `panel` outlive the host; `window` is the dialogs' parent.
  SequenceHost(UserDialogs& dialogs, QWidget* window, RenderPanel& panel);
  bool KeepAbortedRender() override;
  // After a full render that found no memory: the beep and the message, the
  // reason under its details.
  void TellOutOfMemory(const std::string& reason);

 private:
  RenderPanel& panel_;
};

}  // namespace horizonmill::ui
