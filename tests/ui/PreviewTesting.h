// The window's preview as tests see it: a render port put in front of the
// window's that counts renders and acts while one draws, the preview's pixels,
// and what the core renders for a scene.
#pragma once

#include <QCoreApplication>
#include <QImage>
#include <QStringList>
#include <QTest>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <utility>

#include "app/Session.h"
#include "render/RenderContext.h"
#include "ui/PreviewArea.h"
#include "ui/RenderRunner.h"

namespace horizonmill::ui {

// Counts the renders that begin and end, and runs a test's code at a render's
// first report of progress, as if the user acted while it draws. Everything
// goes on to the window's port.
class RenderWatch : public RenderPort {
 public:
  explicit RenderWatch(Session& session) : session_(session), window_(*session.Context().Port) {
    session_.Context().Port = this;
  }
  ~RenderWatch() override { session_.Context().Port = &window_; }
  RenderWatch(const RenderWatch&) = delete;
  RenderWatch& operator=(const RenderWatch&) = delete;

  Session& session() const { return session_; }
  int begun = 0;
  int ended = 0;
  // Runs once, when the next render first reports progress.
  std::function<void()> duringRender;
  // Runs as each render begins.
  std::function<void()> atBegin;

  void StageStarted(RenderStage stage, const Message& message) override {
    if (stage == RenderStage::Sky) {
      ++begun;
      if (atBegin) atBegin();
    }
    window_.StageStarted(stage, message);
  }
  void Progress(int percent) override {
    if (auto run = std::exchange(duringRender, nullptr)) run();
    window_.Progress(percent);
  }
  bool StopRequested() override { return window_.StopRequested(); }
  void PreviewReady(const WorkBitmap& preview) override { window_.PreviewReady(preview); }
  void Report(const Diagnostic& diagnostic) override { window_.Report(diagnostic); }
  void Finished(bool aborted) override {
    ++ended;
    window_.Finished(aborted);
  }
  bool WantsPreview() const override { return window_.WantsPreview(); }

 private:
  Session& session_;
  RenderPort& window_;
};

// Lets the events now pending run, and those they post: an automatic preview
// asked for starts then.
inline void RunPendingEvents() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// Holds every render of the window's runner before it draws, until opened
// (or the object goes) or until the render is asked to stop: a test acts
// while a render surely runs.
class RenderGate {
 public:
  RenderGate(Session& session, RenderRunner& runner) : session_(session), runner_(runner) {
    runner_.SetGate([this] {
      while (!open_ && !session_.Context().AbortRequested)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
  }
  ~RenderGate() {
    Open();
    runner_.Wait();
    runner_.SetGate(nullptr);
  }
  RenderGate(const RenderGate&) = delete;
  RenderGate& operator=(const RenderGate&) = delete;
  void Open() { open_ = true; }

 private:
  Session& session_;
  RenderRunner& runner_;
  std::atomic<bool> open_{false};
};

// Runs events until no render of the window runs (false after 20 s).
inline bool WaitForRenders(const Session& session) {
  return QTest::qWaitFor([&] { return !session.Context().Rendering; }, 20000);
}

// The preview bitmap's pixels, copied.
inline QImage PreviewPixels(Session& session) {
  return PreviewArea::Wrap(session.PreviewBitmap()).copy();
}

// What the core renders into the preview for the scene `make` leaves in a
// new session.
inline QImage CorePreview(const std::function<void(Session&)>& make) {
  Session core;
  make(core);
  core.RenderPreview();
  return PreviewPixels(core);
}

}  // namespace horizonmill::ui
