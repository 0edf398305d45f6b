#include "ui/FileCommands.h"

#include <QFileInfo>
#include <QMenu>
#include <filesystem>
#include <system_error>

#include "platform/FileError.h"
#include "platform/Paths.h"
#include "ui/CoreTexts.h"
#include "ui/EditorCommands.h"
#include "ui/ProgramIni.h"
#include "ui/RenderPanel.h"
#include "ui/SessionView.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {

// Reading a settings file in the window: a missing picture is asked for with
// the message and the layer's file dialog; a loaded texture is shown.
class FileCommands::ReaderHost : public SettingsReaderHost {
 public:
  explicit ReaderHost(FileCommands& files) : f_(files) {}

  std::optional<std::string> AskForPicture(PictureKind kind, const std::string& message,
                                           std::string_view presetName) override {
    f_.dialogs_.Message(f_.window_, CoreText(message));
    ProgramIni& ini = f_.programIni_;
    FileDialog& dialog = kind == PictureKind::Object          ? ini.ObjectOpenDialog()
                         : kind == PictureKind::GroundTexture ? ini.ZimenTextureOpen()
                                                              : ini.TenjoTextureOpen();
    const auto chosen = ini.RunFileDialog(dialog, Q(presetName));
    if (!chosen) return std::nullopt;
    return chosen->toStdString();
  }
  void Beep() override { f_.dialogs_.Beep(); }
  void MessageBox(std::string_view text) override {
    f_.dialogs_.Message(f_.window_, CoreText(text));
  }
  void GroupsChanged() override { f_.editors_.ObjectGroupsChanged(); }
  void TextureLoaded(PictureKind kind, const WorkBitmap& picture) override {
    f_.session_.ShowInPreview(picture);
    f_.panel_.ShowTextureCaption(kind);
  }

 private:
  FileCommands& f_;
};

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
  ReaderHost host(*this);
  bool read = true;
  try {
    session_.Open(path, host);
    view_.SceneReplaced();
  } catch (const FileError& e) {
    // The scene, its name and the title stay as they were.
    dialogs_.Error(window_, tr("設定ファイルを読み込めませんでした。"), Q(e.what()));
    read = false;
  }
  ShowWholeScene();
  if (read) NoteRecent();
  return read;
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
