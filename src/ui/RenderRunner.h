// RenderRunner: the window's renders on a worker thread, one at a time. The
// window's thread hands a render what it draws from (a prepared scene, which
// is immutable) and returns to its event loop at once; no event loop runs
// inside a render.
//
// A render gets a context of its own (the session's thread count, its own
// abort flag and progress) and a copy of PreviewBitmap to draw its preview
// into. What it reports reaches the session's port (Context().Port) on the
// window's thread, in the order it was said: a preview reported ready is
// first copied into PreviewBitmap; progress is passed on at most once per
// turn of the event loop. The session's context says Rendering from Start
// until the render's end is delivered; setting its AbortRequested (the abort
// command) stops the render at its next poll. At the end PreviewBitmap holds
// the render's preview as it was left, AbortRequested tells whether it was
// stopped, RenderProgress is 100, Rendering is cleared, and `done` runs.
//
// Delivering a report may open a message box, whose event loop delivers
// nothing meanwhile: the reports after it wait for it to close.
#pragma once

#include <QObject>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "image/WorkBitmap.h"
#include "render/RenderContext.h"
#include "scene/Diagnostic.h"

namespace horizonmill {
class Session;
}

namespace horizonmill::ui {

class RenderRunner : public QObject {
  Q_OBJECT

 public:
  // Runs on the worker thread: draws with `context` (its port is the
  // runner's) into bitmaps nobody else touches meanwhile, `preview` among them.
  using Render = std::function<void(RenderContext& context, WorkBitmap& preview)>;

  // `session` outlives the runner.
  explicit RenderRunner(Session& session, QObject* parent = nullptr);
  ~RenderRunner() override;
  RenderRunner(const RenderRunner&) = delete;
  RenderRunner& operator=(const RenderRunner&) = delete;

  // From Start until `done` has begun.
  bool Running() const { return running_; }
  // Starts `render` on a worker thread (on this one, before returning, when
  // no thread can be had). Not while one runs.
  void Start(Render render, std::function<void()> done);
  // Waits for the running render to end (ask it to stop first, and it ends at
  // its next poll), then delivers what it reported, its end included.
  void Wait();
  // The running render's percentage into the session's context, for the gauge.
  void SyncProgress();
  // A render still running is asked to stop and waited for; what it reported
  // reaches nobody, and `done` does not run. Before the session goes.
  void Abandon();
  // Runs on the worker thread before each render draws (none by default): a
  // test holds a render there, to act while it surely runs.
  void SetGate(std::function<void()> gate) { gate_ = std::move(gate); }

 signals:
  // A render has ended and its `done` has returned.
  void ended();

 private:
  // What the render said, carried to the window's thread.
  struct Posted {
    enum class Kind { Stage, Progress, Preview, Diagnostic, Finished, End } kind = Kind::End;
    RenderStage stage = RenderStage::Sky;
    horizonmill::Message text{MessageCode::SkyStage};
    WorkBitmap preview;  // Preview: a copy of the worker's, as it was ready
    Diagnostic diagnostic;
    bool aborted = false;
  };
  class WorkerPort;

  // From the worker thread.
  void Post(Posted posted);
  // On the window's thread: the messages so far, in order.
  // Invoked by name from the worker thread: the call is queued by Qt's own
  // code, so nothing of it is made on the worker.
  Q_INVOKABLE void Deliver();
  void Ended();
  void Work();

  Session& session_;
  std::unique_ptr<WorkerPort> port_;
  std::unique_ptr<RenderContext> context_;  // the running render's
  WorkBitmap preview_;                      // what the running render draws its preview into
  Render render_;
  std::function<void()> gate_;
  std::function<void()> done_;
  std::thread worker_;
  bool running_ = false;
  bool delivering_ = false;
  std::atomic<bool> progressPosted_{false};
  std::mutex mutex_;
  std::deque<Posted> reports_;  // guarded by mutex_
};

}  // namespace horizonmill::ui
