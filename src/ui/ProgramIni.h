// ProgramIni: the program INI as the window uses it — the window's file
// dialogs, whose folders it remembers (read at start, written after each
// command that ran one of them), and the JPEG quality of the options menu.
// The object dialog's folder is kept by the object editor when it closes; the
// host INI's dialog is remembered as the host (app/HostCommands.h).
#pragma once

#include <QObject>
#include <optional>

#include "app/Session.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {

class TJPEGQualityForm;

class ProgramIni : public QObject {
  Q_OBJECT

 public:
  // `session` and `dialogs` outlive it; `window` is the dialogs' parent.
  ProgramIni(Session& session, UserDialogs& dialogs, QWidget* window);

  FileDialog& OutPutOpen() { return outPutOpen_; }
  FileDialog& TenjoTextureOpen() { return tenjoTextureOpen_; }
  FileDialog& ZimenTextureOpen() { return zimenTextureOpen_; }
  FileDialog& OpenSettingDlg() { return openSettingDlg_; }
  FileDialog& SaveSettingDlg() { return saveSettingDlg_; }
  FileDialog& ObjectOpenDialog() { return objectOpenDialog_; }
  FileDialog& QoraLIniOpenDlg() { return qoraLIniOpenDlg_; }

  // Runs one of the dialogs above over the window: in the folder of the file
  // last chosen in it, else the folder the program remembers for it, else the
  // scene's folder.
  std::optional<QString> RunFileDialog(FileDialog& dialog, const QString& presetName = {});
  // The folder of the scene's settings file; empty for a new scene.
  QString SceneFolder() const;

  // The remembered folders, at start.
  void ReadProgramIni();
  // The folders of the dialogs used in this run, into the file; false when it
  // could not be written (the user has seen why).
  bool WriteProgramIni();

  void JPEG1Click();

 private:
  ProgramSettings& Settings() { return session_.Settings(); }

  Session& session_;
  UserDialogs& dialogs_;
  QWidget* window_;
  TJPEGQualityForm* jpegQualityForm_;
  FileDialog outPutOpen_, tenjoTextureOpen_, zimenTextureOpen_, openSettingDlg_, saveSettingDlg_,
      objectOpenDialog_, qoraLIniOpenDlg_;
};

}  // namespace horizonmill::ui
