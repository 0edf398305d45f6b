// SessionView: what the window's commands and its render panel ask of the
// window once they have changed the session: the controls show the scene
// anew, their enabling is refreshed, the title follows the settings file.
// THorizonmill_MainForm is the one view; the commands know it only so.
#pragma once

namespace horizonmill::ui {

class SessionView {
 public:
  virtual ~SessionView() = default;
  // Every control shows the scene as it stands (after New, Open, a browse).
  virtual void ShowScene() = 0;
  // RedrawAll: the refresh of the controls' enabling (Session::Refresh), the
  // render's lock and the title's mark.
  virtual void RedrawAll() = 0;
  // While a render runs every command that changes the scene or starts a
  // render is disabled; the abort command and closing stay.
  virtual void ApplyRenderLock() = 0;
  // The title names the settings file.
  virtual void SetTitle() = 0;
  // The title's mark of unsaved changes follows the scene.
  virtual void SceneEdited() = 0;
  // The scene was replaced as a whole (New, a file opened): no edit leads back
  // to the one before.
  virtual void SceneReplaced() = 0;
};

}  // namespace horizonmill::ui
