// LivePreview: the preview that follows the scene (表示 → 自動プレビュー). Every
// change of the scene — a step of the edit history, a new scene, a file opened
// — asks for a preview render, which starts once the events then pending have
// run, so a burst of changes renders once. A full render is never started so.
//
// Renders run on the render panel's worker thread, each from the scene as it
// was prepared when it started; the window's thread goes on meanwhile. During
// an automatic preview the scene's controls stay enabled (disabling them for
// every short render would take the keyboard focus away and flicker):
// - a change while it runs asks it to stop, and one preview of the scene as it
//   then stands follows once it has ended, however many changes came; the
//   stopped one's "作画は中止されました。" is not shown, the next one draws
//   over it;
// - a command that starts a render or replaces what the preview shows (a
//   texture, the object entries, a file) waits (WhenIdle): the preview is
//   asked to stop, and the command runs once it has ended;
// - no automatic preview starts while the object editor is open (Hold), or
//   while another render runs.
// The automatic preview shows no abort command unless it runs long. Full
// renders and a click on the preview are as they were: the window's commands
// locked, their abort command shown.
//
// The preview stands between the session's render context and the render
// panel as the render's port: it forwards what it hears to the panel, so it
// sees every render start and end.
#pragma once

#include <QObject>
#include <functional>
#include <vector>

#include "app/Session.h"
#include "render/RenderContext.h"

class QTimer;

namespace horizonmill::ui {

class RenderPanel;

class LivePreview : public QObject, private RenderPort {
  Q_OBJECT

 public:
  // `session` and `panel` outlive the preview.
  LivePreview(Session& session, RenderPanel& panel, QObject* parent = nullptr);

  // The port the window gives the session's render.
  RenderPort& Port() { return *this; }

  bool Automatic() const { return automatic_; }
  // Switching it on renders the scene as it stands.
  void SetAutomatic(bool on);
  // Whether the running render is an automatic preview.
  bool Running() const { return running_; }

  // The scene changed.
  void Request();
  // Runs `command` now, unless an automatic preview runs: that is asked to
  // stop, and the command runs once it has returned (in turn with others that
  // came meanwhile), followed by a preview of the scene as it then stands.
  void WhenIdle(std::function<void()> command);
  // No automatic preview starts until as many Release as Hold; one that was
  // asked for meanwhile follows the last Release.
  void Hold();
  void Release();

 private:
  // The start timer's work: the automatic preview, when one is asked for and
  // may run now.
  void Start();
  // The automatic preview has ended.
  void Ended();

  // RenderPort: the panel's, but for what an automatic preview keeps quiet.
  void StageStarted(RenderStage stage, const Message& message) override;
  void Progress(int percent) override;
  void PreviewReady(const WorkBitmap& preview) override;
  void Report(const Diagnostic& diagnostic) override;
  void Finished(bool aborted) override;
  // Whether the running automatic preview was stopped for another one.
  bool Superseded() const;

  Session& session_;
  RenderPanel& panel_;
  QTimer* start_;
  QTimer* abortDelay_;  // shows the abort command of a preview that runs long
  bool automatic_ = true;
  bool pending_ = false;  // a preview is asked for
  bool running_ = false;  // the running render is an automatic preview
  bool restart_ = false;  // it was asked to stop for a change or a command
  bool abortShown_ = false;
  int holds_ = 0;
  std::vector<std::function<void()>> waiting_;
};

}  // namespace horizonmill::ui
