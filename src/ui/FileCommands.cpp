#include "ui/FileCommands.h"

#include <QFileInfo>
#include <QMenu>
#include <QStringList>
#include <filesystem>
#include <system_error>

#include "platform/FileError.h"
#include "platform/Paths.h"
#include "scene/Diagnostic.h"
#include "ui/CoreTexts.h"
#include "ui/EditorCommands.h"
#include "ui/ProgramIni.h"
#include "ui/RenderPanel.h"
#include "ui/SessionView.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {

FileCommands::FileCommands(Session& session, UserDialogs& dialogs, QWidget* window,
                           SessionView& view, ProgramIni& programIni, RenderPanel& panel,
                           EditorCommands& editors)
    : QObject(window),
      session_(session),
      dialogs_(dialogs),
      window_(window),
      view_(view),
      programIni_(programIni),
      panel_(panel),
      editors_(editors) {}

void FileCommands::ShowWholeScene() {
  editors_.ObjectGroupsChanged();
  view_.ShowScene();
  view_.RedrawAll();
  view_.SetTitle();
}

void FileCommands::NewScene() {
  session_.New();
  view_.SceneReplaced();
  ShowWholeScene();
}

void FileCommands::New1Click() {
  if (MaySetSceneAside()) NewScene();
}

bool FileCommands::OpenSettings(const std::string& path) {
  bool read = true;
  try {
    const OpenResult opened = session_.Open(path);
    view_.SceneReplaced();
    if (opened.status == ReadStatus::OutOfMemory) {
      dialogs_.Beep();
      dialogs_.Message(window_, CoreText(MessageCode::EntryNoMemory));
    }
  } catch (const FileError& e) {
    // The scene, its name and the title stay as they were.
    dialogs_.Error(window_, tr("設定ファイルを読み込めませんでした。"), Q(e.what()));
    read = false;
  }
  ShowWholeScene();
  if (read) {
    NoteRecent();
    TellMissingPictures();
  }
  return read;
}

void FileCommands::TellMissingPictures() {
  QStringList lines;
  std::string details;
  for (const Diagnostic& d : session_.Prepare().diagnostics) {
    PictureKind kind{};
    if (!IsAboutPicture(d, &kind) || d.code == DiagnosticCode::NoPictureName) continue;
    QString what;
    switch (d.subject) {
      case DiagnosticSubject::GroundTexture:
        what = tr("地面テクスチャ");
        break;
      case DiagnosticSubject::CeilingTexture:
        what = tr("天井テクスチャ");
        break;
      default:
        what = (d.group == GroupId::Far   ? tr("遠景オブジェクト %1")
                : d.group == GroupId::Mid ? tr("中景オブジェクト %1")
                                          : tr("近景オブジェクト %1"))
                   .arg(d.index + 1);
        break;
    }
    QString line = what + tr("：") + Q(d.file);
    if (d.code == DiagnosticCode::UnreadablePicture)
      line += tr("（読み込めません）");
    else if (d.code == DiagnosticCode::PictureRefused)
      line += tr("（メモリーが足りません）");
    lines << line;
    details += FormatDiagnostic(d, session_.SettingsFilename()) + "\n";
  }
  if (lines.isEmpty()) return;
  dialogs_.Message(window_, tr("次の画像を使えません：") + "\n" + lines.join("\n"), Q(details));
}

void FileCommands::NoteRecent() {
  std::error_code ec;
  const std::filesystem::path file = std::filesystem::absolute(session_.SettingsFilename(), ec);
  session_.Settings().NoteRecentFile(ec ? session_.SettingsFilename()
                                        : file.lexically_normal().string());
  programIni_.WriteProgramIni();
}

void FileCommands::OpenRecent(const std::string& path) {
  if (session_.Context().Rendering || !MaySetSceneAside()) return;
  if (!FileExists(path)) {
    dialogs_.Message(window_, tr("設定ファイル「%1」がありません。").arg(Q(path)),
                     Q(path + ": the file is gone; it leaves the recent files"));
    session_.Settings().ForgetRecentFile(path);
    programIni_.WriteProgramIni();
    return;
  }
  OpenSettings(path);
}

void FileCommands::OpenDropped(const std::string& path) {
  if (session_.Context().Rendering || !MaySetSceneAside()) return;
  OpenSettings(path);
}

void FileCommands::AttachRecentMenu(QMenu* menu) {
  menu->setObjectName("RecentFiles1");
  menu->setToolTipsVisible(true);
  connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillRecentMenu(menu); });
  FillRecentMenu(menu);
}

void FileCommands::FillRecentMenu(QMenu* menu) {
  menu->clear();
  const std::vector<std::string>& files = session_.Settings().Values().RecentFiles;
  if (files.empty()) {
    menu->addAction(tr("（なし）"))->setEnabled(false);
    return;
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    const QString path = Q(files[i]);
    QAction* action = menu->addAction(QString("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
    action->setObjectName(QString("RecentFile%1").arg(i + 1));
    action->setToolTip(path);
    connect(action, &QAction::triggered, this, [this, path] { emit recentFileChosen(path); });
  }
}

void FileCommands::Open1Click() {
  if (!MaySetSceneAside()) return;
  const auto chosen = programIni_.RunFileDialog(programIni_.OpenSettingDlg());
  if (!chosen) return;
  OpenSettings(chosen->toStdString());
  programIni_.WriteProgramIni();
}

bool FileCommands::SaveScene() {
  try {
    session_.Save();
  } catch (const FileError& e) {
    dialogs_.Error(window_, tr("設定ファイルを保存できませんでした。"), Q(e.what()));
    return false;
  }
  view_.SceneEdited();
  NoteRecent();
  return true;
}

void FileCommands::Save1Click() { SaveScene(); }

void FileCommands::SaveAs1Click() {
  const auto chosen = programIni_.RunFileDialog(programIni_.SaveSettingDlg());
  if (!chosen) return;
  try {
    session_.SaveAs(chosen->toStdString());
  } catch (const FileError& e) {
    dialogs_.Error(window_, tr("設定ファイルを保存できませんでした。"), Q(e.what()));
    return;
  }
  view_.SetTitle();
  NoteRecent();
  view_.RedrawAll();
}

bool FileCommands::MaySetSceneAside() {
  if (!session_.HasUnsavedChanges()) return true;
  const std::string& name = session_.SettingsFilename();
  const std::string shown = name.substr(name.find_last_of('/') + 1);
  switch (dialogs_.AskToSave(window_,
                             tr("設定「%1」は変更されています。保存しますか？").arg(Q(shown)))) {
    case SaveChoice::Save:
      return SaveScene();
    case SaveChoice::Discard:
      return true;
    case SaveChoice::Cancel:
      break;
  }
  return false;
}

}  // namespace horizonmill::ui
