#include "ui/LivePreview.h"

#include <QTimer>
#include <QWidget>
#include <utility>

#include "ui/RenderPanel.h"

namespace horizonmill::ui {
namespace {

// An automatic preview that runs longer than this shows the abort command;
// shorter ones come and go without it.
constexpr qint64 kAbortCommandDelayMs = 500;

}  // namespace

LivePreview::LivePreview(Session& session, RenderPanel& panel, QObject* parent)
    : QObject(parent), session_(session), panel_(panel), panelHost_(panel.Host()) {
  start_ = new QTimer(this);
  start_->setSingleShot(true);
  start_->setInterval(0);
  connect(start_, &QTimer::timeout, this, &LivePreview::Start);
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
  if (!panel_.window()->isVisible()) return;
  pending_ = false;
  restart_ = false;
  abortShown_ = false;
  running_ = true;
  started_.start();
  panel_.ShowInLookAround(&session_.PreviewBitmap());
  session_.RenderPreview();
  running_ = false;
  // Closed meanwhile: the window goes, and with it what was waiting.
  if (panel_.CloseAfterRender()) {
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

// ---------------------------------------------------------------- RenderHost

bool LivePreview::Superseded() const {
  return running_ && restart_ && session_.Context().AbortRequested;
}

void LivePreview::StageMessage(RenderStage stage, std::string_view text) {
  if (stage == RenderStage::Aborted && Superseded()) return;
  panelHost_.StageMessage(stage, text);
}

void LivePreview::ShowPreview(const WorkBitmap& preview) { panelHost_.ShowPreview(preview); }

void LivePreview::ProcessEvents(RenderContext& context) {
  if (running_ && !abortShown_ && started_.elapsed() >= kAbortCommandDelayMs) {
    abortShown_ = true;
    panelHost_.SetAbortCommandVisible(true);
  }
  panelHost_.ProcessEvents(context);
}

void LivePreview::SetAbortCommandVisible(bool visible) {
  if (running_) {
    // The controls stay as they are; the abort command only when shown.
    if (!visible && std::exchange(abortShown_, false)) panelHost_.SetAbortCommandVisible(false);
    return;
  }
  panelHost_.SetAbortCommandVisible(visible);
  // Another render starts: it draws the scene as it stands, and the scene is
  // locked while it runs, so the preview asked for is that render's. When it
  // ends, a preview asked for meanwhile (by a command that waited) may start.
  if (visible)
    pending_ = false;
  else if (pending_)
    start_->start();
}

void LivePreview::HideProgress() { panelHost_.HideProgress(); }

void LivePreview::ClearPreviewArea() {
  if (Superseded()) return;
  panelHost_.ClearPreviewArea();
}

void LivePreview::Beep() { panelHost_.Beep(); }
void LivePreview::MessageBox(std::string_view text) { panelHost_.MessageBox(text); }
void LivePreview::RedrawAll() { panelHost_.RedrawAll(); }
bool LivePreview::WantsPreview() const { return panelHost_.WantsPreview(); }

}  // namespace horizonmill::ui
