#include "ui/SequenceHost.h"

#include "image/ImageLimits.h"
#include "render/Pipeline.h"
#include "ui/PreviewArea.h"
#include "ui/RenderPanel.h"

namespace horizonmill::ui {

SequenceHost::SequenceHost(UserDialogs& dialogs, QWidget* window, RenderPanel& panel)
    : DialogAppHost(dialogs, window), panel_(panel) {}

bool SequenceHost::KeepAbortedRender() {
  if (panel_.CloseAfterRender()) return false;
  panel_.Preview().ShowMessage(Q(kAbortedMessage));
  return DialogAppHost::KeepAbortedRender();
}

void SequenceHost::TellOutOfMemory(const std::string& reason) {
  // The size a settings file gave may break a limit: the details name it.
  Beep();
  MessageBox(kMemoryExhausted, reason);
}

}  // namespace horizonmill::ui
