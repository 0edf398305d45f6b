#include "ui/RenderRunner.h"

#include <cassert>
#include <cstring>
#include <optional>
#include <system_error>
#include <utility>

#include "app/Session.h"

namespace horizonmill::ui {
namespace {

// `to` becomes a copy of `from`, pixel for pixel; nothing changes when memory
// runs out for it.
void CopyPixels(const WorkBitmap& from, WorkBitmap& to) {
  if ((to.Width() != from.Width() || to.Height() != from.Height()) &&
      !to.Resize(from.Width(), from.Height()))
    return;
  if (!from.Empty()) std::memcpy(to.Bits(), from.Bits(), from.Stride() * from.Height());
}

}  // namespace

// The running render's port, called on the worker thread: everything it hears
// is posted to the window's thread.
class RenderRunner::WorkerPort : public RenderPort {
 public:
  explicit WorkerPort(RenderRunner& runner) : runner_(runner) {}

  void StageStarted(RenderStage stage, const horizonmill::Message& message) override {
    Posted m;
    m.kind = Posted::Kind::Stage;
    m.stage = stage;
    m.text = message;
    runner_.Post(std::move(m));
  }
  void Progress(int) override {
    // One report waiting is enough: it carries the percentage as it is when
    // the window's thread comes to it.
    if (runner_.progressPosted_.exchange(true)) return;
    Posted m;
    m.kind = Posted::Kind::Progress;
    runner_.Post(std::move(m));
  }
  bool StopRequested() override { return runner_.session_.Context().AbortRequested; }
  void PreviewReady(const WorkBitmap& preview) override {
    // A stage is done: nothing writes the preview while it is copied.
    Posted m;
    m.kind = Posted::Kind::Preview;
    CopyPixels(preview, m.preview);
    runner_.Post(std::move(m));
  }
  void Report(const Diagnostic& diagnostic) override {
    Posted m;
    m.kind = Posted::Kind::Diagnostic;
    m.diagnostic = diagnostic;
    runner_.Post(std::move(m));
  }
  void Finished(bool aborted) override {
    Posted m;
    m.kind = Posted::Kind::Finished;
    m.aborted = aborted;
    runner_.Post(std::move(m));
  }

 private:
  RenderRunner& runner_;
};

RenderRunner::RenderRunner(Session& session, QObject* parent)
    : QObject(parent), session_(session), port_(std::make_unique<WorkerPort>(*this)) {}

RenderRunner::~RenderRunner() { Abandon(); }

void RenderRunner::Start(Render render, std::function<void()> done) {
  assert(!running_ && "a render was started while one runs");
  RenderContext& shared = session_.Context();
  context_ = std::make_unique<RenderContext>();
  context_->Threads = shared.Threads;
  context_->Random = shared.Random;
  context_->Port = port_.get();
  CopyPixels(session_.PreviewBitmap(), preview_);
  render_ = std::move(render);
  done_ = std::move(done);
  shared.AbortRequested = false;
  shared.Rendering = true;
  running_ = true;
  progressPosted_ = false;
  try {
    worker_ = std::thread([this] { Work(); });
  } catch (const std::system_error&) {
    Work();  // no thread to be had: drawn here, delivered once the window's loop turns
  }
}

void RenderRunner::Work() {
  if (gate_) gate_();
  render_(*context_, preview_);
  Posted end;
  end.kind = Posted::Kind::End;
  Post(std::move(end));
}

void RenderRunner::Post(Posted posted) {
  {
    const std::lock_guard lock(mutex_);
    reports_.push_back(std::move(posted));
  }
  QMetaObject::invokeMethod(this, "Deliver", Qt::QueuedConnection);
}

void RenderRunner::Deliver() {
  // A message box opened by a report lets events run: the reports after it
  // wait for it, and come in order once it has closed.
  if (delivering_) return;
  delivering_ = true;
  for (;;) {
    std::optional<Posted> next;
    {
      const std::lock_guard lock(mutex_);
      if (reports_.empty()) break;
      next.emplace(std::move(reports_.front()));
      reports_.pop_front();
    }
    Posted& m = *next;
    RenderPort& port = *session_.Context().Port;
    switch (m.kind) {
      case Posted::Kind::Stage:
        port.StageStarted(m.stage, m.text);
        break;
      case Posted::Kind::Progress:
        progressPosted_ = false;
        SyncProgress();
        port.Progress(session_.Context().RenderProgress);
        break;
      case Posted::Kind::Preview:
        if (!m.preview.Empty()) CopyPixels(m.preview, session_.PreviewBitmap());
        port.PreviewReady(session_.PreviewBitmap());
        break;
      case Posted::Kind::Diagnostic:
        port.Report(m.diagnostic);
        break;
      case Posted::Kind::Finished:
        SyncProgress();
        port.Finished(m.aborted);
        break;
      case Posted::Kind::End:
        Ended();
        break;
    }
  }
  delivering_ = false;
}

void RenderRunner::Ended() {
  if (worker_.joinable()) worker_.join();
  RenderContext& shared = session_.Context();
  CopyPixels(preview_, session_.PreviewBitmap());
  shared.AbortRequested = context_->AbortRequested.load();
  shared.RenderProgress = context_->RenderProgress.load();
  shared.Random = context_->Random;
  shared.Rendering = false;
  running_ = false;
  context_.reset();
  render_ = nullptr;
  if (auto done = std::exchange(done_, nullptr)) done();
  emit ended();
}

void RenderRunner::Wait() {
  if (!running_) return;
  if (worker_.joinable()) worker_.join();
  Deliver();
}

void RenderRunner::SyncProgress() {
  if (context_) session_.Context().RenderProgress = context_->RenderProgress.load();
}

void RenderRunner::Abandon() {
  if (!running_) return;
  session_.Context().AbortRequested = true;
  if (worker_.joinable()) worker_.join();
  {
    const std::lock_guard lock(mutex_);
    reports_.clear();
  }
  session_.Context().Rendering = false;
  running_ = false;
  context_.reset();
  render_ = nullptr;
  done_ = nullptr;
}

}  // namespace horizonmill::ui
