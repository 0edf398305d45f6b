#include "ui/RenderPanel.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "render/Pipeline.h"
#include "render/RenderObjects.h"
#include "ui/CoreTexts.h"
#include "ui/LookAroundView.h"
#include "ui/PreviewArea.h"
#include "ui/ProgressPie.h"
#include "ui/RenderRunner.h"
#include "ui/SessionView.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {

RenderPanel::RenderPanel(Session& session, UserDialogs& dialogs, SessionView& view, QWidget* parent)
    : QWidget(parent), session_(session), dialogs_(dialogs), view_(view) {
  setObjectName("RenderPanel");
  preview_ = new PreviewArea(session_.PreviewBitmap());
  preview_->setToolTip(tr("ここをクリックするとプレビュー画像を作画します"));
  progressDisp_ = new ProgressPie(preview_);
  progressDisp_->setObjectName("ProgressDisp");
  progressDisp_->setToolTip(tr("頑張って作画中です"));
  progressDisp_->move(preview_->width() - progressDisp_->width(), 0);
  progressDisp_->hide();
  rendAbort_ = new QPushButton(tr("作画中止"), preview_);
  rendAbort_->setObjectName("RendAbort");
  rendAbort_->setToolTip(
      tr("作画を中止します。中止した結果なんか変な画像が表示される可能性があります"));
  rendAbort_->adjustSize();
  rendAbort_->move(preview_->width() - rendAbort_->width() - 2, progressDisp_->height() + 2);
  rendAbort_->hide();

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(preview_);
  auto* previewHint = new QLabel(tr("ここをクリックするとプレビュー画像を作画します"));
  previewHint->setEnabled(false);
  column->addWidget(previewHint);

  runner_ = new RenderRunner(session_, this);

  peep_ = new QTimer(this);
  peep_->setObjectName("Peep");
  peep_->setInterval(100);
  connect(peep_, &QTimer::timeout, this, &RenderPanel::PeepTimer);
  peep_->start();

  connect(preview_, &PreviewArea::clicked, this, &RenderPanel::PreviewClick);
  connect(rendAbort_, &QPushButton::clicked, this, &RenderPanel::RendAbortClick);
}

// ---------------------------------------------------------------- the render

void RenderPanel::PreviewClick() {
  if (!session_.PreviewAcceptsClick()) return;
  ShowInLookAround(&session_.PreviewBitmap());
  StartPreview([this] { AfterRender(); });
}

void RenderPanel::StartPreview(std::function<void()> done, bool automatic) {
  // Preparing takes little beside the render: the pictures are decoded once,
  // in the session's cache.
  const std::shared_ptr<const PreparedScene> prepared = session_.Prepare().scene;
  StartRender(
      [prepared](RenderContext& context, WorkBitmap& preview) {
        RenderBackground(context, *prepared, preview, preview);
      },
      std::move(done), !automatic);
}

void RenderPanel::StartRender(std::function<void(RenderContext&, WorkBitmap&)> render,
                              std::function<void()> done, bool showAbort) {
  runner_->Start(std::move(render), std::move(done));
  if (showAbort)
    SetAbortCommandVisible(true);
  else
    view_.ApplyRenderLock();
}

void RenderPanel::AfterRender() {
  view_.RedrawAll();  // lifts the lock: Rendering is over
  if (lookAround_ != nullptr) lookAround_->PanoramaChanged();
  if (closing_ && !waitingForClose_) window()->close();
}

bool RenderPanel::StopForClose() {
  closing_ = true;
  session_.Context().AbortRequested = true;
  waitingForClose_ = true;
  runner_->Wait();
  waitingForClose_ = false;
  return !session_.Context().Rendering;
}

void RenderPanel::RendAbortClick() { session_.Context().AbortRequested = true; }

void RenderPanel::PeepTimer() {
  runner_->SyncProgress();
  if (writing_ != nullptr) {
    progressDisp_->SetValue(writing_->Percent());
    progressDisp_->show();
    return;
  }
  if (const auto percent = session_.ProgressTick()) {
    progressDisp_->SetValue(*percent);
    progressDisp_->show();
  } else {
    progressDisp_->hide();
  }
}

void RenderPanel::BeginWrite(const WriteProgress& progress) {
  writing_ = &progress;
  preview_->ShowMessage(CoreText(MessageCode::Writing));
  progressDisp_->SetValue(progress.Percent());
  progressDisp_->show();
  rendAbort_->show();
  view_.ApplyRenderLock();
}

void RenderPanel::EndWrite() {
  writing_ = nullptr;
  rendAbort_->hide();
  progressDisp_->hide();
  preview_->ShowBitmap();
}

// ---------------------------------------------------------------- the look-around window

void RenderPanel::LookAround1Click() {
  if (lookAround_ == nullptr) {
    // A render draws into the panorama; while its files are written it is only read.
    lookAround_ = new LookAroundView(
        [this] { return session_.Context().Rendering && !session_.Context().Writing; }, window());
    ShowInLookAround(lastPanorama_);
  }
  lookAround_->show();
  lookAround_->raise();
  lookAround_->activateWindow();
}

void RenderPanel::ShowInLookAround(const WorkBitmap* panorama) {
  lastPanorama_ = panorama;
  if (lookAround_ != nullptr)
    lookAround_->SetPanorama(
        panorama, panorama == &session_.OutputBitmap() ? tr("完成画像") : tr("プレビュー"));
}

void RenderPanel::ShowTextureCaption(PictureKind kind) {
  // The preview holds a picture now, no panorama.
  if (lastPanorama_ == &session_.PreviewBitmap())
    ShowInLookAround(session_.OutputBitmap().Empty() ? nullptr : &session_.OutputBitmap());
  QImage image = PreviewArea::Wrap(session_.PreviewBitmap());
  QPainter painter(&image);
  painter.setFont(font());
  PreviewArea::DrawMessage(
      painter, CoreText(kind == PictureKind::GroundTexture ? MessageCode::GroundTextureCaption
                                                           : MessageCode::CeilingTextureCaption));
  painter.end();
  preview_->ShowBitmap();
}

// ---------------------------------------------------------------- the render's port

void RenderPanel::StageStarted(RenderStage stage, const Message& message) {
  if (stage == RenderStage::Sky) SetAbortCommandVisible(true);
  if (stage == RenderStage::Aborted) ClearPreviewArea();
  ShowStageMessage(message);
}

void RenderPanel::Progress(int) {}
void RenderPanel::PreviewReady(const WorkBitmap&) { ShowRenderedPreview(); }
void RenderPanel::Report(const Diagnostic& diagnostic) { TellDiagnostic(diagnostic); }

void RenderPanel::Finished(bool) {
  SetAbortCommandVisible(false);
  HideProgress();
  RedrawAll();
}

void RenderPanel::ShowStageMessage(const Message& message) {
  preview_->ShowMessage(CoreText(message));
}

void RenderPanel::ShowRenderedPreview() {
  preview_->ShowBitmap();
  // The look-around window follows a preview stage by stage, as the preview
  // area does: PreviewBitmap is the window's copy. The full-size image is the
  // worker's until the render has ended.
  const bool drawing = runner_->Running() && lastPanorama_ == &session_.OutputBitmap();
  if (lookAround_ != nullptr && !drawing) lookAround_->PanoramaChanged();
}

void RenderPanel::SetAbortCommandVisible(bool visible) {
  rendAbort_->setVisible(visible);
  view_.ApplyRenderLock();
}

void RenderPanel::TellDiagnostic(const Diagnostic& diagnostic) {
  MessageCode message{};
  switch (diagnostic.code) {
    case DiagnosticCode::HorizonRowNoMemory:
    case DiagnosticCode::ReflectionNoMemory:
      message = MessageCode::MemoryExhausted;
      break;
    case DiagnosticCode::TooManyObjectCopies:
    case DiagnosticCode::ObjectPassNoMemory:
    case DiagnosticCode::ObjectCopyRefused:
      message = MessageCode::ObjectFailure;
      break;
    case DiagnosticCode::PlaceholderNoMemory:
      message = MessageCode::PlaceholderNoMemory;
      break;
    default:
      return;
  }
  dialogs_.Beep();
  dialogs_.Message(window(), CoreText(message));
  // The render ends after the sun: the preview area shows nothing of it.
  if (diagnostic.code == DiagnosticCode::HorizonRowNoMemory) ClearPreviewArea();
}

void RenderPanel::HideProgress() { progressDisp_->hide(); }
void RenderPanel::ClearPreviewArea() { preview_->Clear(); }
void RenderPanel::RedrawAll() { view_.RedrawAll(); }

}  // namespace horizonmill::ui
