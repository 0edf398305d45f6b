#include "ui/ProgramIni.h"

#include <filesystem>
#include <system_error>

#include "platform/FileError.h"
#include "ui/CoreTexts.h"
#include "ui/JPEGQualityunit.h"

namespace horizonmill::ui {
namespace {

FileDialogSetup Dialog(const char* name, bool save, QStringList filters, const char* suffix) {
  FileDialogSetup setup;
  setup.name = name;
  setup.save = save;
  setup.filters = std::move(filters);
  setup.defaultSuffix = suffix;
  return setup;
}

// The filters' names, in the window's language.
QString BmpFilter() { return ProgramIni::tr("ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp)"); }
QString SettingsFilter() { return ProgramIni::tr("Horizonmillデータファイル (*.hm)"); }

// Textures and object pictures: every format the picture reader knows, then
// each on its own. The reader goes by a file's content; the names only sort
// the dialog's list.
FileDialogSetup PictureDialog(const char* name) {
  return Dialog(
      name, false,
      {ProgramIni::tr("画像 (*.bmp *.png *.jpg *.jpeg *.BMP *.PNG *.JPG *.JPEG)"), BmpFilter(),
       "PNG (*.png *.PNG)", ProgramIni::tr("JPEGイメージ (*.jpg *.jpeg *.JPG *.JPEG)")},
      "bmp");
}

}  // namespace

ProgramIni::ProgramIni(Session& session, UserDialogs& dialogs, QWidget* window)
    : QObject(window), session_(session), dialogs_(dialogs), window_(window) {
  outPutOpen_.setup = Dialog("OutPutOpen", true,
                             {BmpFilter(), tr("JPEGイメージ (*.jpg)"), "PNG (*.png)",
                              "OpenEXR (*.exr)", "Radiance HDR (*.hdr)"},
                             "bmp");
  tenjoTextureOpen_.setup = PictureDialog("TenjoTextureOpen");
  zimenTextureOpen_.setup = PictureDialog("ZimenTextureOpen");
  openSettingDlg_.setup = Dialog("OpenSettingDlg", false, {SettingsFilter()}, "hm");
  saveSettingDlg_.setup = Dialog("SaveSettingDlg", true, {SettingsFilter()}, "hm");
  objectOpenDialog_.setup = PictureDialog("ObjectOpenDialog");
  qoraLIniOpenDlg_.setup =
      Dialog("QoraLIniOpenDlg", false, {tr("Iniファイル (*.ini *.Ini *.INI)")}, "ini");
  qoraLIniOpenDlg_.setup.title =
      tr("Qora LシリーズのIniファイル(QoraL1.Ini,QoraL2.Iniなど)を指定して下さい。");
  qoraLIniOpenDlg_.setup.fileName = "QoraL2.ini";
  jpegQualityForm_ = new TJPEGQualityForm(window);
}

std::optional<QString> ProgramIni::RunFileDialog(FileDialog& dialog, const QString& presetName) {
  // A dialog with no folder of its own yet opens in the scene's folder.
  FileDialog shown = dialog;
  if (shown.fileName.isEmpty() && shown.setup.directory.isEmpty())
    shown.setup.directory = SceneFolder();
  auto chosen = ui::RunFileDialog(dialogs_, window_, shown, presetName);
  dialog.fileName = shown.fileName;
  return chosen;
}

QString ProgramIni::SceneFolder() const {
  const std::string& name = session_.SettingsFilename();
  if (!session_.HasFile()) return {};
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::absolute(name, ec).parent_path();
  return ec ? QString() : QString::fromStdString(folder.string());
}

void ProgramIni::ReadProgramIni() {
  const ApplicationSettings& s = Settings().Values();
  outPutOpen_.setup.directory = QString::fromStdString(s.OutputDir);
  tenjoTextureOpen_.setup.directory = QString::fromStdString(s.TenjoDir);
  zimenTextureOpen_.setup.directory = QString::fromStdString(s.JimenDir);
  openSettingDlg_.setup.directory = QString::fromStdString(s.SettingOpenDir);
  saveSettingDlg_.setup.directory = QString::fromStdString(s.SettingSaveDir);
  objectOpenDialog_.setup.directory = QString::fromStdString(s.ObjectDir);
}

bool ProgramIni::WriteProgramIni() {
  // Only what changed is written.
  const std::pair<DialogFolder, const FileDialog*> used[] = {
      {DialogFolder::Output, &outPutOpen_},
      {DialogFolder::CeilingTexture, &tenjoTextureOpen_},
      {DialogFolder::GroundTexture, &zimenTextureOpen_},
      {DialogFolder::SettingOpen, &openSettingDlg_},
      {DialogFolder::SettingSave, &saveSettingDlg_}};
  for (const auto& [folder, dialog] : used) Settings().SetFolder(folder, dialog->Folder());
  try {
    Settings().Save();
    return true;
  } catch (const FileError& e) {
    dialogs_.Error(window_, CoreText(MessageCode::SettingsNotSaved), Q(e.what()));
    return false;
  }
}

void ProgramIni::JPEG1Click() {
  jpegQualityForm_->SetQuality(session_.JpegQuality());
  if (dialogs_.RunModal(*jpegQualityForm_) != QDialog::Accepted) return;
  session_.SetJpegQuality(jpegQualityForm_->Quality());
  Settings().SetJpegQuality(session_.JpegQuality());
  WriteProgramIni();
}

}  // namespace horizonmill::ui
