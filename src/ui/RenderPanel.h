// RenderPanel: the window's preview and the render as the window shows it —
// the preview area (a click renders the preview), the pie-shaped gauge that
// the 100 ms Peep timer keeps up to date, the abort command (RendAbort), the
// runner that draws every render of the window on a worker thread, and the
// render's port: it shows the stage messages and the preview as the render
// reports them, and tells what the render could not do. The look-around
// window follows the panorama the preview shows.
#pragma once

#include <QWidget>
#include <functional>

#include "app/Session.h"
#include "platform/WriteProgress.h"
#include "render/RenderContext.h"

class QPushButton;
class QTimer;

namespace horizonmill::ui {

class LookAroundView;
class PreviewArea;
class ProgressPie;
class RenderRunner;
class SessionView;
class UserDialogs;

class RenderPanel : public QWidget, private RenderPort {
  Q_OBJECT

 public:
  // `session`, `dialogs` and `view` outlive the panel.
  RenderPanel(Session& session, UserDialogs& dialogs, SessionView& view, QWidget* parent = nullptr);

  // The port the window gives the session's render.
  RenderPort& Port() { return *this; }
  PreviewArea& Preview() { return *preview_; }
  // Draws the window's renders, one at a time.
  RenderRunner& Runner() { return *runner_; }

  void PreviewClick();
  // The document as it stands prepared here, and its preview rendered on the
  // runner; `done` runs once it has ended. An automatic preview shows no
  // abort command at first (LivePreview).
  void StartPreview(std::function<void()> done, bool automatic = false);
  // Starts a render on the runner (RenderRunner::Start), the commands locked
  // and the abort command shown at once (`showAbort`).
  void StartRender(std::function<void(RenderContext&, WorkBitmap&)> render,
                   std::function<void()> done, bool showAbort = true);
  void RendAbortClick();
  void PeepTimer();
  // After a render has ended: the refresh that lifts the lock, the
  // look-around window on what was drawn, and the window closed when it was
  // asked to close meanwhile.
  void AfterRender();
  // While the files of a full render are written beside the window
  // (SequenceHost::RunWrite): the writing message over the preview, the gauge
  // following `progress`, the abort command. EndWrite takes them away and
  // shows the preview again.
  void BeginWrite(const WriteProgress& progress);
  void EndWrite();
  // The window is closing, the user has answered: the render is stopped and
  // waited for, and nothing more is asked or kept of it. True when nothing
  // runs any more, so the window may go now; false while the files of a full
  // render are being written: the window closes once that has stopped.
  bool StopForClose();
  // Whether the window is closing (StopForClose): the render that ends is not
  // kept, nothing is asked.
  bool Closing() const { return closing_; }

  // Opens (or brings forward) the look-around window on the last render.
  void LookAround1Click();
  // What the look-around window shows: the bitmap the last render drew into.
  void ShowInLookAround(const WorkBitmap* panorama);
  // A loaded texture in PreviewBitmap, shown with the layer's caption.
  void ShowTextureCaption(PictureKind kind);

  // What the port does, piece by piece, for a port in front of the panel's
  // (LivePreview) to use as it sees fit.
  // The abort command, and the lock on the commands while a render runs.
  void SetAbortCommandVisible(bool visible);
  // A stage's message at (4, 4) over the preview area.
  void ShowStageMessage(const Message& message);
  void ClearPreviewArea();
  // PreviewBitmap as the render left it.
  void ShowRenderedPreview();
  // What the render could not do, as the window tells it: the beep and the
  // message box (and the preview area cleared when the render ends early).
  void TellDiagnostic(const Diagnostic& diagnostic);
  void HideProgress();
  void RedrawAll();

 private:
  // RenderPort
  void StageStarted(RenderStage stage, const Message& message) override;
  void Progress(int percent) override;
  void PreviewReady(const WorkBitmap& preview) override;
  void Report(const Diagnostic& diagnostic) override;
  void Finished(bool aborted) override;

  Session& session_;
  UserDialogs& dialogs_;
  SessionView& view_;
  PreviewArea* preview_;
  ProgressPie* progressDisp_;
  QPushButton* rendAbort_;
  QTimer* peep_;
  RenderRunner* runner_;
  bool closing_ = false;
  bool waitingForClose_ = false;            // StopForClose waits for the render
  const WriteProgress* writing_ = nullptr;  // the files being written, if they are
  // The bitmap the last render drew into, while it still holds that render
  // (PreviewBitmap also shows pictures being loaded); none before the first.
  const WorkBitmap* lastPanorama_ = nullptr;
  LookAroundView* lookAround_ = nullptr;  // made when first opened
};

}  // namespace horizonmill::ui
