// RenderPanel: the window's preview and the render as the window shows it —
// the preview area (a click renders the preview), the pie-shaped gauge that
// the 100 ms Peep timer keeps up to date, the abort command (RendAbort), and
// the render's port: it shows the stage messages and the preview as the
// render reports them, tells what the render could not do, and lets events
// run, a few times per 100 ms, while a render runs. The look-around window
// follows the panorama the preview shows.
#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include "app/Session.h"
#include "platform/WriteProgress.h"
#include "render/RenderContext.h"

class QPushButton;
class QTimer;

namespace horizonmill::ui {

class LookAroundView;
class PreviewArea;
class ProgressPie;
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

  void PreviewClick();
  void RendAbortClick();
  void PeepTimer();
  // After a render has returned: the refresh that lifts the lock, the
  // look-around window on what was drawn, and the window closed when it was
  // asked to close meanwhile.
  void AfterRender();
  // While the files of a full render are written beside the window
  // (SequenceHost::RunWrite): the writing message over the preview, the gauge
  // following `progress`, the abort command. EndWrite takes them away and
  // shows the preview again.
  void BeginWrite(const WriteProgress& progress);
  void EndWrite();
  // Whether the window closes once the running render has returned (it was
  // closed during the render): nothing is asked of the user then.
  bool CloseAfterRender() const { return closeAfterRender_; }
  void SetCloseAfterRender(bool close) { closeAfterRender_ = close; }

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
  // Lets pending events run (not more often than every 25 ms).
  void LetEventsRun();
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
  QElapsedTimer lastEvents_;  // when the render last let events run
  bool closeAfterRender_ = false;
  const WriteProgress* writing_ = nullptr;  // the files being written, if they are
  // The bitmap the last render drew into, while it still holds that render
  // (PreviewBitmap also shows pictures being loaded); none before the first.
  const WorkBitmap* lastPanorama_ = nullptr;
  LookAroundView* lookAround_ = nullptr;  // made when first opened
};

}  // namespace horizonmill::ui
