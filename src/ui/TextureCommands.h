// TextureCommands: the ground's and the ceiling's textures, typed (Enter in
// the texture's name) or browsed (the layer's 参照 button): loaded into the
// scene and shown in the preview with the layer's caption, or a message there
// when the name names no file.
#pragma once

#include <QObject>
#include <string>

#include "app/Session.h"

class QWidget;

namespace horizonmill::ui {

class ProgramIni;
class RenderPanel;
class SessionView;
class UserDialogs;

class TextureCommands : public QObject {
  Q_OBJECT

 public:
  // All of them outlive the commands; `window` is the dialogs' parent.
  TextureCommands(Session& session, UserDialogs& dialogs, QWidget* window, SessionView& view,
                  ProgramIni& programIni, RenderPanel& panel);

  void GroundTextureNameEnter();
  void TenjoTextureNameEnter();
  void GroundTextureReferClick();
  void TEnjoTextureReferClick();

 private:
  // Loads a texture whose file exists and shows it in the preview with its
  // caption; `browsed`: chosen in the layer's dialog, which switches the layer
  // on and names the file in the scene.
  void LoadTexture(TextureLayer layer, const std::string& path, bool browsed);

  Session& session_;
  UserDialogs& dialogs_;
  QWidget* window_;
  SessionView& view_;
  ProgramIni& programIni_;
  RenderPanel& panel_;
};

}  // namespace horizonmill::ui
