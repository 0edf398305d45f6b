// The window's preview as tests see it: a render host put in front of the
// window's that counts renders and acts while one draws, the preview's pixels,
// and what the core renders for a scene.
#pragma once

#include <QCoreApplication>
#include <QImage>
#include <QStringList>
#include <functional>
#include <utility>

#include "app/Session.h"
#include "render/RenderContext.h"
#include "ui/PreviewArea.h"

namespace horizonmill::ui {

// Counts the renders that begin and end, and runs a test's code at a render's
// first letting events run, as if the user acted while it draws. Everything
// goes on to the window's host.
class RenderWatch : public RenderHost {
 public:
  explicit RenderWatch(Session& session) : session_(session), window_(*session.Context().Host) {
    session_.Context().Host = this;
  }
  ~RenderWatch() override { session_.Context().Host = &window_; }
  RenderWatch(const RenderWatch&) = delete;
  RenderWatch& operator=(const RenderWatch&) = delete;

  int begun = 0;
  int ended = 0;
  // Runs once, when the next render first lets events run.
  std::function<void()> duringRender;
  // Runs as each render begins.
  std::function<void()> atBegin;

  void StageMessage(RenderStage stage, std::string_view text) override {
    window_.StageMessage(stage, text);
  }
  void ShowPreview(const WorkBitmap& preview) override { window_.ShowPreview(preview); }
  void ProcessEvents(RenderContext& context) override {
    if (auto run = std::exchange(duringRender, nullptr)) run();
    window_.ProcessEvents(context);
  }
  void SetAbortCommandVisible(bool visible) override {
    if (visible) {
      ++begun;
      if (atBegin) atBegin();
    } else {
      ++ended;
    }
    window_.SetAbortCommandVisible(visible);
  }
  void HideProgress() override { window_.HideProgress(); }
  void ClearPreviewArea() override { window_.ClearPreviewArea(); }
  void Beep() override { window_.Beep(); }
  void MessageBox(std::string_view text) override { window_.MessageBox(text); }
  void RedrawAll() override { window_.RedrawAll(); }
  bool WantsPreview() const override { return window_.WantsPreview(); }

 private:
  Session& session_;
  RenderHost& window_;
};

// Lets the events now pending run, and those they post: an automatic preview
// asked for starts then.
inline void RunPendingEvents() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
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
