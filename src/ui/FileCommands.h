// FileCommands: the file menu's commands on the settings file — New, Open,
// Save, SaveAs — with the question before unsaved changes are set aside, and
// the reading of a settings file in the window (the pictures it names that
// cannot be had are listed in one question, which offers to point at the
// folder that holds them).
#pragma once

#include <QObject>
#include <string>

#include "app/Session.h"
#include "scene/Diagnostic.h"
#include "ui/WindowParts.h"

class QMenu;
namespace horizonmill::ui {

class EditorCommands;

class FileCommands : public QObject {
  Q_OBJECT

 public:
  // `editors` outlives the commands.
  FileCommands(const WindowParts& parts, EditorCommands& editors);

  // The scene's settings-file name as the window shows it: until the scene
  // has a file, the untitled name in the interface's language.
  static QString ShownName(const Session& session);
  // A picture that cannot be had, as the window lists it: "地面テクスチャ：
  // water.bmp（見つかりません）" — the part of the scene, the name as written,
  // why.
  static QString PictureProblem(const Diagnostic& diagnostic);

  void New1Click();
  void Open1Click();
  void Save1Click();
  void SaveAs1Click();

  // The default scene, as New and the start-up make it.
  void NewScene();
  // Reads the settings file at `path` over the scene; when it cannot be read
  // the user hears why, and the scene, its name and the title stay as they
  // were (false). A scene read becomes the first of the recent files; then
  // one question lists the pictures it names that cannot be had (found
  // nowhere, unreadable, refused for memory), each by its kind and name, and
  // offers to point at the folder that holds them: the folder chosen is
  // searched from then on (the document unchanged), the preview and the
  // object editor use what it holds, and what is still missing is listed
  // again. キャンセル keeps every entry and name as the file wrote it.
  bool OpenSettings(const std::string& path);
  // A scene chosen in the recent files or dropped on the window: opened after
  // the question about unsaved changes. A recent file that is gone is told
  // and leaves the list.
  void OpenRecent(const std::string& path);
  void OpenDropped(const std::string& path);
  // The file menu's 最近使ったファイル: filled from the settings each time it
  // opens; a file chosen there is asked for by recentFileChosen.
  void AttachRecentMenu(QMenu* menu);

 signals:
  // A scene was chosen among the recent files (the window opens it with
  // OpenRecent once no preview is drawn).
  void recentFileChosen(const QString& path);

 public:
  // Before the scene is set aside (New, Open, closing): when it has unsaved
  // changes, asks 保存 / 破棄 / キャンセル. True when it may go: saved,
  // discarded, or unchanged.
  bool MaySetSceneAside();

 private:
  // The question after Open of the pictures the scene names that cannot be
  // had; nothing when every one can.
  void TellMissingPictures();
  // Save1Click's work: a scene without a file yet is saved as SaveAs1Click
  // saves it. False when nothing was written (cancelled, or the user has seen
  // why).
  bool SaveScene();
  // SaveAs1Click's work, with the same result.
  bool SaveSceneAs();
  // After New or Open (read or not): the object editor lets go of its entry,
  // every control shows the scene, the title names its file.
  void ShowWholeScene();
  // The scene's file becomes the first of the recent files, and the program
  // INI is written.
  void NoteRecent();
  void FillRecentMenu(QMenu* menu);

  WindowParts parts_;
  EditorCommands& editors_;
};

}  // namespace horizonmill::ui
