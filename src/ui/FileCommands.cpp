#include "ui/FileCommands.h"

#include <QFileInfo>
#include <QMenu>
#include <QStringList>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include "platform/FileError.h"
#include "platform/Paths.h"
#include "scene/Diagnostic.h"
#include "scene/SettingsFile.h"
#include "ui/CoreTexts.h"
#include "ui/EditorCommands.h"
#include "ui/LivePreview.h"
#include "ui/ProgramIni.h"
#include "ui/RenderPanel.h"
#include "ui/SessionView.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {
namespace {

// Why a file the settings reader takes (any text) is still no settings file
// for the window: it has lines, and not one of them is a setting. Nothing
// when it may be one.
std::optional<std::string> NoSettingLine(const std::string& path) {
  const SettingsRead read = ReadSettings(path);
  if (read.diagnostics.empty()) return std::nullopt;
  for (const Diagnostic& d : read.diagnostics)
    if (d.code != DiagnosticCode::UnknownKey) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  std::size_t lines = 0;
  for (std::string line; std::getline(file, line);) {
    const std::size_t start = line.find_first_not_of(" \t\r\f\x1a");
    if (start != std::string::npos && line[start] != '#') ++lines;
  }
  if (lines != read.diagnostics.size()) return std::nullopt;
  return "no line of the file is a setting (" + std::to_string(lines) +
         (lines == 1 ? " line" : " lines") + " with no key of a settings file)";
}

}  // namespace

FileCommands::FileCommands(const WindowParts& parts, EditorCommands& editors)
    : QObject(parts.window), parts_(parts), editors_(editors) {}

void FileCommands::ShowWholeScene() {
  editors_.ObjectGroupsChanged();
  parts_.view.ShowScene();
  parts_.view.RedrawAll();
  parts_.view.SetTitle();
}

void FileCommands::NewScene() {
  parts_.session.New();
  parts_.view.SceneReplaced();
  ShowWholeScene();
}

void FileCommands::New1Click() {
  if (MaySetSceneAside()) NewScene();
}

bool FileCommands::OpenSettings(const std::string& path) {
  bool read = true;
  try {
    if (const auto why = NoSettingLine(path)) throw FileError(path, *why);
    const OpenResult opened = parts_.session.Open(path);
    parts_.view.SceneReplaced();
    if (opened.status == ReadStatus::OutOfMemory) {
      parts_.dialogs.Beep();
      parts_.dialogs.Message(parts_.window, CoreText(MessageCode::EntryNoMemory));
    }
  } catch (const FileError& e) {
    // The scene, its name and the title stay as they were.
    parts_.dialogs.Error(parts_.window, tr("設定ファイルを読み込めませんでした。"), Q(e.what()));
    read = false;
  }
  ShowWholeScene();
  if (read) {
    NoteRecent();
    TellMissingPictures();
  }
  return read;
}

QString FileCommands::PictureProblem(const Diagnostic& d) {
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
  else if (d.code == DiagnosticCode::MissingPicture)
    line += tr("（見つかりません）");
  return line;
}

void FileCommands::TellMissingPictures() {
  bool pointed = false;
  for (;;) {
    QStringList lines;
    std::string details;
    for (const Diagnostic& d : parts_.session.Prepare().diagnostics) {
      PictureKind kind{};
      if (!IsAboutPicture(d, &kind) || d.code == DiagnosticCode::NoPictureName) continue;
      lines << PictureProblem(d);
      details += FormatDiagnostic(d, parts_.session.SettingsFilename()) + "\n";
    }
    if (lines.isEmpty()) return;
    const QString text = pointed ? tr("次の画像はまだ使えません：") : tr("次の画像を使えません：");
    if (!parts_.dialogs.OfferPictureFolder(parts_.window, text + "\n" + lines.join("\n"),
                                           Q(details)))
      return;  // the scene keeps every name as written
    const std::filesystem::path scene(parts_.session.SettingsFilename());
    const auto folder = parts_.dialogs.ChooseFolder(parts_.window, tr("画像のあるフォルダー"),
                                                    Q(scene.parent_path().string()));
    if (!folder) return;
    // The folder is where pictures are looked for; the document is unchanged.
    parts_.session.AddSearchFolder(folder->toStdString());
    pointed = true;
    editors_.ObjectGroupsChanged();
    parts_.view.RedrawAll();
    parts_.live.Request();
  }
}

void FileCommands::NoteRecent() {
  std::error_code ec;
  const std::filesystem::path file =
      std::filesystem::absolute(parts_.session.SettingsFilename(), ec);
  parts_.session.Settings().NoteRecentFile(ec ? parts_.session.SettingsFilename()
                                              : file.lexically_normal().string());
  parts_.programIni.WriteProgramIni();
}

void FileCommands::OpenRecent(const std::string& path) {
  if (parts_.session.Context().Rendering || !MaySetSceneAside()) return;
  if (!FileExists(path)) {
    parts_.dialogs.Message(parts_.window, tr("設定ファイル「%1」がありません。").arg(Q(path)),
                           Q(path + ": the file is gone; it leaves the recent files"));
    parts_.session.Settings().ForgetRecentFile(path);
    parts_.programIni.WriteProgramIni();
    return;
  }
  OpenSettings(path);
}

void FileCommands::OpenDropped(const std::string& path) {
  if (parts_.session.Context().Rendering || !MaySetSceneAside()) return;
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
  const std::vector<std::string>& files = parts_.session.Settings().Values().RecentFiles;
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
  const auto chosen = parts_.programIni.RunFileDialog(parts_.programIni.OpenSettingDlg());
  if (!chosen) return;
  OpenSettings(chosen->toStdString());
  parts_.programIni.WriteProgramIni();
}

QString FileCommands::ShownName(const Session& session) {
  return session.HasFile() ? Q(session.SettingsFilename()) : tr("新規.hm");
}

bool FileCommands::SaveScene() {
  // Nothing is written under the untitled name behind the user's back.
  if (!parts_.session.HasFile()) return SaveSceneAs();
  try {
    parts_.session.Save();
  } catch (const FileError& e) {
    parts_.dialogs.Error(parts_.window, tr("設定ファイルを保存できませんでした。"), Q(e.what()));
    return false;
  }
  parts_.view.SceneEdited();
  NoteRecent();
  return true;
}

void FileCommands::Save1Click() { SaveScene(); }

void FileCommands::SaveAs1Click() { SaveSceneAs(); }

bool FileCommands::SaveSceneAs() {
  const auto chosen = parts_.programIni.RunFileDialog(parts_.programIni.SaveSettingDlg());
  if (!chosen) return false;
  try {
    parts_.session.SaveAs(chosen->toStdString());
  } catch (const FileError& e) {
    parts_.dialogs.Error(parts_.window, tr("設定ファイルを保存できませんでした。"), Q(e.what()));
    return false;
  }
  parts_.view.SetTitle();
  NoteRecent();
  parts_.view.RedrawAll();
  return true;
}

bool FileCommands::MaySetSceneAside() {
  if (!parts_.session.HasUnsavedChanges()) return true;
  const std::string& name = parts_.session.SettingsFilename();
  const std::string shown = name.substr(name.find_last_of('/') + 1);
  switch (parts_.dialogs.AskToSave(
      parts_.window, tr("設定「%1」は変更されています。保存しますか？").arg(Q(shown)))) {
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
