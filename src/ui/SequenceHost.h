// SequenceHost: the questions and messages of the sequences a full render
// starts (app/RenderAndWrite.h, app/HostCommands.h), asked in the window. An
// aborted render is told on the preview, then kept only when the user says
// so, and never while the window is closing. The files are written on a
// worker thread while the window's events run, the render panel showing
// that it writes.
#pragma once

#include <functional>
#include <string>

#include "ui/UserDialogs.h"

namespace horizonmill::ui {

class RenderPanel;

class SequenceHost : public DialogAppHost {
 public:
  // `dialogs` and `panel` outlive the host; `window` is the dialogs' parent.
  SequenceHost(UserDialogs& dialogs, QWidget* window, RenderPanel& panel);
  bool KeepAbortedRender() override;
  // Runs `write` on a thread of its own and the window's events meanwhile,
  // in an event loop that the thread's end quits; what `write` throws is
  // thrown here. The panel shows the writing message, the gauge and the
  // abort command until then.
  void RunWrite(WriteProgress& progress, const std::function<void()>& write) override;
  // After a full render that found no memory: the beep and the message, the
  // reason under its details.
  void TellOutOfMemory(const std::string& reason);

 private:
  RenderPanel& panel_;
};

}  // namespace horizonmill::ui
