// THorizonmill_MainForm: the program's window, a view over a Session. It
// composes the parts: the render panel (the preview and the render's host),
// the output group and the scene's column, whose controls show the scene and
// write every edit straight into it, and the menu. The commands run in the
// controllers beside it (FileCommands, TextureCommands, OutputCommands,
// EditorCommands, RegistrationCommands, ProgramIni), which call the session
// and the sequences of app/ and ask the window to show what changed
// (SessionView).
#pragma once

#include <QMainWindow>
#include <filesystem>
#include <string>

#include "app/Session.h"
#include "ui/SessionView.h"
#include "ui/UserDialogs.h"

class QAction;

namespace horizonmill::ui {

class EditorCommands;
class FileCommands;
class OutputCommands;
class OutputControls;
class ProgramIni;
class RegistrationCommands;
class RenderPanel;
class SceneControls;
class TextureCommands;

class THorizonmill_MainForm : public QMainWindow, private SessionView {
  Q_OBJECT

 public:
  // `dialogs` outlives the window; `iniPath` is the program INI, read now.
  THorizonmill_MainForm(UserDialogs& dialogs, std::filesystem::path iniPath,
                        QWidget* parent = nullptr);
  ~THorizonmill_MainForm() override;

  // Start-up (FormShow): the program INI's folders and host, the default
  // scene, then the settings file `argument` names when it exists; the title.
  void Start(const std::string& argument);

  Session& session() { return session_; }
  // The title, with Qt's "[*]" where a changed scene is marked.
  static QString TitleFor(const std::string& settingsFilename);

 protected:
  void closeEvent(QCloseEvent* event) override;
  // A settings file dropped on the window opens, after the question about
  // unsaved changes.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenu();
  // The controls' requests to the commands.
  void ConnectControls();
  void Exit1Click() { close(); }
  void AuthorClick();
  // ResX or ResY left: a size beyond the image limits is said at once.
  void ResolutionLeft();

  // SessionView
  void ShowScene() override;
  void RedrawAll() override;
  void ApplyRenderLock() override;
  void SetTitle() override;
  void SceneEdited() override;

  Session session_;
  UserDialogs& dialogs_;
  ProgramIni* programIni_;
  RenderPanel* renderPanel_;
  OutputControls* outputControls_;
  SceneControls* sceneControls_;
  FileCommands* files_;
  TextureCommands* textures_;
  OutputCommands* outputs_;
  EditorCommands* editors_;
  RegistrationCommands* registration_;
  QAction *new1_, *open1_, *save1_, *saveAs1_, *cubeMap1_, *jpeg1_, *qoraLDelete_;
};

}  // namespace horizonmill::ui
