// THorizonmill_MainForm: the program's window, a view over a Session. It
// composes the parts: the render panel (the preview and the render's host),
// the output group and the scene's column, whose controls show the scene and
// write every edit straight into it, and the menu. The commands run in the
// controllers beside it (FileCommands, TextureCommands, OutputCommands,
// EditorCommands, RegistrationCommands, ProgramIni), which call the session
// and the sequences of app/ and ask the window to show what changed
// (SessionView). Every completed edit is a step of the edit history, and the
// live preview follows the scene; a command that changes the scene's pictures
// or starts a render waits while an automatic preview runs (WhenIdle).
#pragma once

#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <string>

#include "app/Session.h"
#include "ui/SessionView.h"
#include "ui/UserDialogs.h"

class QAction;
class QMenu;

namespace horizonmill::ui {

class EditHistory;
class EditorCommands;
class FileCommands;
class LivePreview;
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
  static QString TitleFor(const QString& settingsName);

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
  // Closing: the question about unsaved changes, or, while a render the user
  // started runs, whether to stop it. False: キャンセル.
  bool MayClose();
  void AuthorClick();
  // An input refused what was typed into it: the user hears why.
  void InputRefused(const QString& why);
  // ResX or ResY left: a size beyond the image limits is said at once.
  void ResolutionLeft();
  void AutoPreview1Click(bool on);
  // オプション → Language / 言語: one item per language, in its own name.
  void BuildLanguageMenu(QMenu* options);
  // A language chosen: remembered in the program INI for the next start.
  void LanguageClick(const std::string& code);
  // A command that runs only when no automatic preview does
  // (LivePreview::WhenIdle), as a slot.
  template <typename Receiver, typename... Args>
  auto WhenIdle(Receiver* receiver, void (Receiver::*handler)(Args...)) {
    return [this, receiver, handler](Args... args) {
      WaitForPreview([=] { (receiver->*handler)(args...); });
    };
  }
  void WaitForPreview(std::function<void()> command);

  // SessionView
  void ShowScene() override;
  void RedrawAll() override;
  void ApplyRenderLock() override;
  void SetTitle() override;
  void SceneEdited() override;
  void SceneReplaced() override;

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
  EditHistory* history_;
  LivePreview* live_;
  QAction *new1_, *open1_, *save1_, *saveAs1_, *cubeMap1_, *jpeg1_, *qoraLDelete_;
  QAction *undo1_, *redo1_, *autoPreview1_;
};

}  // namespace horizonmill::ui
