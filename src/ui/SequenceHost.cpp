#include "ui/SequenceHost.h"

#include <QEventLoop>
#include <exception>
#include <system_error>
#include <thread>

#include "render/Pipeline.h"
#include "ui/CoreTexts.h"
#include "ui/PreviewArea.h"
#include "ui/RenderPanel.h"

namespace horizonmill::ui {

SequenceHost::SequenceHost(UserDialogs& dialogs, QWidget* window, RenderPanel& panel)
    : DialogAppHost(dialogs, window), panel_(panel) {}

bool SequenceHost::KeepAbortedRender() {
  if (panel_.Closing()) return false;
  panel_.Preview().ShowMessage(CoreText(MessageCode::RenderAborted));
  return DialogAppHost::KeepAbortedRender();
}

void SequenceHost::RunWrite(WriteProgress& progress, const std::function<void()>& write) {
  panel_.BeginWrite(progress);
  struct Ended {
    RenderPanel& panel;
    ~Ended() { panel.EndWrite(); }
  } ended{panel_};
  std::exception_ptr failure;
  QEventLoop loop;
  std::thread worker;
  try {
    worker = std::thread([&] {
      // Nothing here touches a widget: the end goes back through the loop.
      try {
        write();
      } catch (...) {
        failure = std::current_exception();
      }
      QMetaObject::invokeMethod(
          &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
  } catch (const std::system_error&) {
    // No thread to be had: the write runs here, the window waiting for it.
    write();
    return;
  }
  loop.exec();
  worker.join();
  if (failure) std::rethrow_exception(failure);
}

void SequenceHost::TellOutOfMemory(const std::string& reason) {
  // The size a settings file gave may break a limit: the details name it.
  Beep();
  MessageBox(MessageCode::MemoryExhausted, reason);
}

}  // namespace horizonmill::ui
