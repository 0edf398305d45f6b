// TextureCommands: the ground's and the ceiling's textures, typed (Enter in
// the texture's name) or browsed (the layer's 参照 button): loaded into the
// scene and shown in the preview with the layer's caption, or a message there
// when the name names no file. A texture chosen is one step of the edit
// history, which keeps the picture it replaced.
#pragma once

#include <QObject>
#include <string>

#include "app/Session.h"

class QWidget;

namespace horizonmill::ui {

class EditHistory;
class ProgramIni;
class RenderPanel;
class SessionView;
class UserDialogs;

class TextureCommands : public QObject {
  Q_OBJECT

 public:
  // All of them outlive the commands; `window` is the dialogs' parent.
  TextureCommands(Session& session, UserDialogs& dialogs, QWidget* window, SessionView& view,
                  ProgramIni& programIni, RenderPanel& panel, EditHistory& history);

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
  EditHistory& history_;
};

}  // namespace horizonmill::ui
