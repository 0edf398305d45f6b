#include "ui/LivePreview.h"

#include <QTimer>
#include <QWidget>
#include <utility>

#include "ui/RenderPanel.h"
#include "ui/RenderRunner.h"

namespace horizonmill::ui {
namespace {

// An automatic preview that runs longer than this shows the abort command;
// shorter ones come and go without it.
constexpr int kAbortCommandDelayMs = 500;

}  // namespace

LivePreview::LivePreview(Session& session, RenderPanel& panel, QObject* parent)
    : QObject(parent), session_(session), panel_(panel) {
  start_ = new QTimer(this);
  start_->setSingleShot(true);
  start_->setInterval(0);
  connect(start_, &QTimer::timeout, this, &LivePreview::Start);
  // A preview asked for while another render ran follows it.
  connect(&panel_.Runner(), &RenderRunner::ended, this, [this] {
    if (pending_ && !running_) start_->start();
  });
  abortDelay_ = new QTimer(this);
  abortDelay_->setSingleShot(true);
  abortDelay_->setInterval(kAbortCommandDelayMs);
  connect(abortDelay_, &QTimer::timeout, this, [this] {
    if (!running_ || abortShown_) return;
    abortShown_ = true;
    panel_.SetAbortCommandVisible(true);
  });
}

void LivePreview::SetAutomatic(bool on) {
  if (on == automatic_) return;
  automatic_ = on;
  if (on)
    Request();
  else
    pending_ = false;
}

void LivePreview::Request() {
  if (!automatic_) return;
  pending_ = true;
  if (running_) {
    restart_ = true;
    session_.Context().AbortRequested = true;
  } else if (!session_.Context().Rendering) {
    start_->start();
  }
  // Otherwise a full render or a click's runs: its end starts the preview.
}

void LivePreview::WhenIdle(std::function<void()> command) {
  if (!running_) {
    command();
    return;
  }
  waiting_.push_back(std::move(command));
  // What was drawn so far is no preview: another one follows the commands.
  restart_ = true;
  pending_ = automatic_;
  session_.Context().AbortRequested = true;
}

void LivePreview::Hold() { ++holds_; }

void LivePreview::Release() {
  if (--holds_ == 0 && pending_) start_->start();
}

void LivePreview::Start() {
  if (!pending_ || !automatic_ || holds_ > 0 || session_.Context().Rendering) return;
  // Nobody looks at a closed window's preview.
  if (!panel_.window()->isVisible() || panel_.Closing()) return;
  pending_ = false;
  restart_ = false;
  abortShown_ = false;
  running_ = true;
  abortDelay_->start();
  panel_.ShowInLookAround(&session_.PreviewBitmap());
  panel_.StartPreview([this] { Ended(); }, true);
}

void LivePreview::Ended() {
  running_ = false;
  abortDelay_->stop();
  // Closing: the window goes, and with it what was waiting.
  if (panel_.Closing()) {
    waiting_.clear();
    pending_ = false;
    panel_.AfterRender();
    return;
  }
  panel_.AfterRender();
  std::vector<std::function<void()>> waiting;
  waiting.swap(waiting_);
  for (const auto& command : waiting) command();
  if (pending_ && !session_.Context().Rendering) start_->start();
}

// ---------------------------------------------------------------- RenderPort

bool LivePreview::Superseded() const {
  return running_ && restart_ && session_.Context().AbortRequested;
}

void LivePreview::StageStarted(RenderStage stage, const Message& message) {
  if (stage == RenderStage::Sky && !running_) {
    // Another render starts: it draws the scene as it stands, and the scene
    // is locked while it runs, so the preview asked for is that render's.
    // The controls stay as they are for an automatic preview, whose abort
    // command shows only when it runs long.
    panel_.SetAbortCommandVisible(true);
    pending_ = false;
  }
  if (stage == RenderStage::Aborted) {
    // The one stopped for another draws no message: the next one draws over it.
    if (Superseded()) return;
    panel_.ClearPreviewArea();
  }
  panel_.ShowStageMessage(message);
}

void LivePreview::Progress(int) {}

void LivePreview::PreviewReady(const WorkBitmap&) { panel_.ShowRenderedPreview(); }

void LivePreview::Report(const Diagnostic& diagnostic) { panel_.TellDiagnostic(diagnostic); }

void LivePreview::Finished(bool) {
  if (running_) {
    if (std::exchange(abortShown_, false)) panel_.SetAbortCommandVisible(false);
  } else {
    panel_.SetAbortCommandVisible(false);
    // When another render ends, a preview asked for meanwhile (by a command
    // that waited) may start.
    if (pending_) start_->start();
  }
  panel_.HideProgress();
  panel_.RedrawAll();
}

}  // namespace horizonmill::ui
