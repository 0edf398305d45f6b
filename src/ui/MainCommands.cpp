// The window's commands, its part in the render (RenderHost) and in reading
// settings files (ReaderHost), and the program INI.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>

#include "image/ImageLimits.h"
#include "output/CubeMapExport.h"
#include "output/ImageOutput.h"
#include "output/OutputTarget.h"
#include "platform/ApplicationSettings.h"
#include "platform/FileError.h"
#include "platform/Paths.h"
#include "render/Pipeline.h"
#include "ui/JPEGQualityunit.h"
#include "ui/LookAroundView.h"
#include "ui/Main.h"
#include "ui/ObjForm.h"
#include "ui/PreviewArea.h"
#include "ui/ProgressPie.h"
#include "ui/TextInput.h"

namespace horizonmill::ui {
namespace {

// How often a running render lets the window's events run: often enough for a
// smooth gauge and a prompt abort, seldom enough to cost the render nothing.
constexpr qint64 kEventIntervalMs = 25;

}  // namespace

// Reading a settings file in the window: a missing picture is asked for with
// the message and the layer's file dialog; a loaded texture is shown.
class THorizonmill_MainForm::ReaderHost : public SettingsReaderHost {
 public:
  explicit ReaderHost(THorizonmill_MainForm& window) : w_(window) {}

  std::optional<std::string> AskForPicture(PictureKind kind, const std::string& message,
                                           std::string_view presetName) override {
    w_.dialogs_.Message(&w_, Q(message));
    FileDialog& dialog = kind == PictureKind::Object          ? w_.objectOpenDialog_
                         : kind == PictureKind::GroundTexture ? w_.zimenTextureOpen_
                                                              : w_.tenjoTextureOpen_;
    const auto chosen = w_.RunFileDialog(dialog, Q(presetName));
    if (!chosen) return std::nullopt;
    return chosen->toStdString();
  }
  void Beep() override { w_.dialogs_.Beep(); }
  void MessageBox(std::string_view text) override { w_.dialogs_.Message(&w_, Q(text)); }
  void GroupsChanged() override { w_.objForm_->Forget(); }
  void TextureLoaded(PictureKind kind, const WorkBitmap& picture) override {
    w_.session_.ShowInPreview(picture);
    w_.ShowTextureCaption(kind);
  }

 private:
  THorizonmill_MainForm& w_;
};

void THorizonmill_MainForm::Start(const std::string& argument) {
  session_.SetJpegQuality(kDefaultJpegQuality);
  ReadProgramIni();
  New1Click();
  if (!argument.empty() && FileExists(argument)) OpenSettings(argument);
  SetTitle();
}

// ---------------------------------------------------------------- file menu

void THorizonmill_MainForm::New1Click() {
  session_.New();
  objForm_->Forget();
  ShowScene();
  RedrawAll();
  SetTitle();
}

void THorizonmill_MainForm::OpenSettings(const std::string& path) {
  ReaderHost host(*this);
  try {
    session_.Open(path, host);
  } catch (const FileError& e) {
    dialogs_.Error(this, Q(e.what()));
  }
  // What was read stays, also when the reading stopped part way.
  ShowScene();
  RedrawAll();
  SetTitle();
}

void THorizonmill_MainForm::Open1Click() {
  const auto chosen = RunFileDialog(openSettingDlg_);
  if (!chosen) return;
  OpenSettings(chosen->toStdString());
  WriteProgramIni();
}

void THorizonmill_MainForm::Save1Click() {
  try {
    session_.Save();
  } catch (const FileError& e) {
    dialogs_.Error(this, Q(e.what()));
  }
}

void THorizonmill_MainForm::SaveAs1Click() {
  const auto chosen = RunFileDialog(saveSettingDlg_);
  if (!chosen) return;
  try {
    session_.SaveAs(chosen->toStdString());
  } catch (const FileError& e) {
    dialogs_.Error(this, Q(e.what()));
    return;
  }
  SetTitle();
  if (WriteProgramIni()) RedrawAll();
}

void THorizonmill_MainForm::closeEvent(QCloseEvent* event) {
  if (session_.Context().Rendering) {
    // The render is asked to stop; the window closes once it has returned.
    session_.Context().AbortRequested = true;
    closeAfterRender_ = true;
    event->ignore();
    return;
  }
  // A program INI that cannot be written is reported, but never keeps the
  // program from ending.
  WriteProgramIni();
  event->accept();
}

// ---------------------------------------------------------------- options, version

void THorizonmill_MainForm::JPEG1Click() {
  jpegQualityForm_->SetQuality(session_.JpegQuality());
  if (dialogs_.RunModal(*jpegQualityForm_) != QDialog::Accepted) return;
  session_.SetJpegQuality(jpegQualityForm_->Quality());
  try {
    WriteJpegQualitySetting(iniPath_, session_.JpegQuality());
  } catch (const FileError& e) {
    dialogs_.Error(this, Q(e.what()));
  }
}

void THorizonmill_MainForm::AuthorClick() {
  // The first line, two blanks and the credit, then the second line.
  dialogs_.Message(this,
                   "Horizonmill Horizonmillらいと Version 1.06(1.0e-29L)  Horizonmill開発者一同\n"
                   "※現在らいと以外のバージョンは存在してません。");
}

// ---------------------------------------------------------------- layers

void THorizonmill_MainForm::ZimenRefValueChange(int position) {
  session_.Scene().Ground.Reflection = position;
  groundWarpLabel_->setEnabled(position != 0);
  groundWarp_->setEnabled(position != 0);
}

void THorizonmill_MainForm::LoadTexture(TextureLayer layer, const std::string& path, bool browsed) {
  const bool ground = layer == TextureLayer::Ground;
  preview_->Clear();
  preview_->ShowMessage(Q(ground ? kGroundLoadingMessage : kCeilingLoadingMessage));
  TextureLoad load;
  try {
    load = browsed ? session_.TakeTexture(layer, path) : session_.LoadTexture(layer, path);
  } catch (const FileError& e) {
    dialogs_.Error(this, Q(e.what()));
    return;
  }
  if (load.result == TextureLoadResult::OutOfMemory) {
    dialogs_.Beep();
    dialogs_.Message(this, Q(ground ? kGroundNoMemory : kCeilingNoMemory));
    return;
  }
  ShowTextureCaption(ground ? PictureKind::GroundTexture : PictureKind::CeilingTexture);
}

void THorizonmill_MainForm::ShowTextureCaption(PictureKind kind) {
  // The preview holds a picture now, no panorama.
  if (lastPanorama_ == &session_.PreviewBitmap())
    ShowInLookAround(session_.OutputBitmap().Empty() ? nullptr : &session_.OutputBitmap());
  QImage image = PreviewArea::Wrap(session_.PreviewBitmap());
  QPainter painter(&image);
  painter.setFont(font());
  PreviewArea::DrawMessage(
      painter, Q(kind == PictureKind::GroundTexture ? kGroundCaption : kCeilingCaption));
  painter.end();
  preview_->ShowBitmap();
}

void THorizonmill_MainForm::GroundTextureNameEnter() {
  if (const auto path = Session::ExistingTexture(groundTextureName_->text().toStdString())) {
    LoadTexture(TextureLayer::Ground, *path, false);
  } else {
    preview_->Clear();
    preview_->ShowMessage(Q(kNoGroundTexture));
  }
  RedrawAll();
}

void THorizonmill_MainForm::TenjoTextureNameEnter() {
  if (const auto path = Session::ExistingTexture(tenjoTextureName_->text().toStdString())) {
    LoadTexture(TextureLayer::Ceiling, *path, false);
  } else {
    preview_->Clear();
    preview_->ShowMessage(Q(kNoCeilingTexture));
  }
  RedrawAll();
  TenjoTextureNameEdited();
}

void THorizonmill_MainForm::TenjoTextureNameEdited() {
  chTenjoTra_->setEnabled(
      Session::ExistingTexture(tenjoTextureName_->text().toStdString()).has_value());
}

void THorizonmill_MainForm::GroundTextureReferClick() {
  if (const auto chosen = RunFileDialog(zimenTextureOpen_)) {
    LoadTexture(TextureLayer::Ground, chosen->toStdString(), true);
    ShowScene();
    RedrawAll();
  }
  WriteProgramIni();
}

void THorizonmill_MainForm::TEnjoTextureReferClick() {
  const auto chosen = RunFileDialog(tenjoTextureOpen_);
  if (!chosen) return;
  LoadTexture(TextureLayer::Ceiling, chosen->toStdString(), true);
  ShowScene();
  RedrawAll();
  WriteProgramIni();
}

// ---------------------------------------------------------------- output

void THorizonmill_MainForm::ReferOutPutClick() {
  if (const auto chosen = RunFileDialog(outPutOpen_)) outPutFilen_->setText(*chosen);
  if (WriteProgramIni()) RedrawAll();
}

bool THorizonmill_MainForm::RenderFullSize() {
  ShowInLookAround(&session_.OutputBitmap());
  const bool rendered = session_.RenderOutput();
  AfterRender();
  if (!rendered) {
    // The size a settings file gave may break a limit: the details name it.
    dialogs_.Beep();
    dialogs_.Message(this, Q(kMemoryExhausted),
                     Q(OutputSizeProblem(OutputSizeOf(session_.Scene().Output.Resolution))));
    return false;
  }
  // Closing the window during the render stops it; nothing half done is written.
  if (closeAfterRender_) return false;
  // The preview shows what was drawn, which is what gets written; it says why
  // the image is unfinished.
  if (session_.Context().AbortRequested) preview_->ShowMessage(Q(kAbortedMessage));
  return true;
}

void THorizonmill_MainForm::GoClick() {
  if (session_.Context().Rendering) return;
  // The name is the user's own here, so an existing file is replaced; a name
  // that cannot be written (a missing folder, a folder, a device, a JPEG too
  // large) is said before the render.
  const std::string name = OutputPathOf(session_.Scene().Output.Filename);
  if (const auto problem =
          name.empty() ? std::nullopt
                       : CheckOutputTarget(name, OutputOrigin::Named,
                                           OutputSizeOf(session_.Scene().Output.Resolution))) {
    dialogs_.Error(this, Q(*problem));
    return;
  }
  if (!RenderFullSize() || name.empty()) return;
  try {
    session_.WriteImage(name);
  } catch (const FileError& e) {
    dialogs_.Error(this, Q(e.what()));
  }
}

void THorizonmill_MainForm::CubeMap1Click() {
  if (session_.Context().Rendering) return;
  const auto chosen =
      dialogs_.ChooseFolder(this, "キューブマップを出力するフォルダー", cubeMapFolder_);
  if (!chosen) return;
  cubeMapFolder_ = *chosen;
  const std::string folder = chosen->toStdString();
  const CubeFaceFormat format = kDefaultCubeFaceFormat;
  if (const auto problem = CheckCubeMapTarget(folder, format)) {
    dialogs_.Error(this, Q(*problem));
    return;
  }
  const bool taken = std::any_of(kCubeFaces.begin(), kCubeFaces.end(), [&](CubeFace face) {
    return FileExists(CubeFacePath(folder, face, format));
  });
  if (taken &&
      !dialogs_.Ask(this,
                    "このフォルダーのキューブマップ（px, nx, py, ny, pz, nz）を置き換えますか？"))
    return;
  if (!RenderFullSize()) return;
  try {
    session_.WriteCubeMap(folder, format);
  } catch (const FileError& e) {
    dialogs_.Error(this, Q(e.what()));
  }
}

// ---------------------------------------------------------------- the look-around window

void THorizonmill_MainForm::LookAround1Click() {
  if (lookAround_ == nullptr) {
    lookAround_ = new LookAroundView([this] { return session_.Context().Rendering; }, this);
    ShowInLookAround(lastPanorama_);
  }
  lookAround_->show();
  lookAround_->raise();
  lookAround_->activateWindow();
}

void THorizonmill_MainForm::ShowInLookAround(const WorkBitmap* panorama) {
  lastPanorama_ = panorama;
  if (lookAround_ != nullptr)
    lookAround_->SetPanorama(panorama,
                             panorama == &session_.OutputBitmap() ? "完成画像" : "プレビュー");
}

// ---------------------------------------------------------------- the render

void THorizonmill_MainForm::PreviewClick() {
  if (!session_.PreviewAcceptsClick()) return;
  ShowInLookAround(&session_.PreviewBitmap());
  session_.RenderPreview();
  AfterRender();
}

void THorizonmill_MainForm::AfterRender() {
  RedrawAll();  // lifts the lock: Rendering is over
  if (lookAround_ != nullptr) lookAround_->PanoramaChanged();
  if (closeAfterRender_) close();
}

void THorizonmill_MainForm::RendAbortClick() { session_.Context().AbortRequested = true; }

void THorizonmill_MainForm::PeepTimer() {
  if (const auto percent = session_.ProgressTick()) {
    progressDisp_->SetValue(*percent);
    progressDisp_->show();
  } else {
    progressDisp_->hide();
  }
}

void THorizonmill_MainForm::StageMessage(RenderStage, std::string_view text) {
  preview_->ShowMessage(Q(text));
}

void THorizonmill_MainForm::ShowPreview(const WorkBitmap&) {
  preview_->ShowBitmap();
  // The look-around window follows a render stage by stage, as the preview
  // does; a stage is done now, so nothing writes the panorama.
  if (lookAround_ != nullptr) lookAround_->PanoramaChanged();
}

void THorizonmill_MainForm::ProcessEvents(RenderContext&) {
  if (lastEvents_.isValid() && lastEvents_.elapsed() < kEventIntervalMs) return;
  lastEvents_.start();
  QCoreApplication::processEvents();
}

void THorizonmill_MainForm::SetAbortCommandVisible(bool visible) {
  // The first call of a render: lock the commands, and let events run at the
  // first poll already.
  if (visible) lastEvents_.invalidate();
  rendAbort_->setVisible(visible);
  ApplyRenderLock();
}

void THorizonmill_MainForm::HideProgress() { progressDisp_->hide(); }
void THorizonmill_MainForm::ClearPreviewArea() { preview_->Clear(); }
void THorizonmill_MainForm::Beep() { dialogs_.Beep(); }
void THorizonmill_MainForm::MessageBox(std::string_view text) { dialogs_.Message(this, Q(text)); }

// ---------------------------------------------------------------- dialogs and the INI

std::optional<QString> THorizonmill_MainForm::RunFileDialog(FileDialog& dialog,
                                                            const QString& presetName) {
  return ui::RunFileDialog(dialogs_, this, dialog, presetName);
}

void THorizonmill_MainForm::ReadProgramIni() {
  const ApplicationSettings s = ReadApplicationSettings(iniPath_);
  outPutOpen_.setup.directory = QString::fromStdString(s.OutputDir);
  tenjoTextureOpen_.setup.directory = QString::fromStdString(s.TenjoDir);
  zimenTextureOpen_.setup.directory = QString::fromStdString(s.JimenDir);
  openSettingDlg_.setup.directory = QString::fromStdString(s.SettingOpenDir);
  saveSettingDlg_.setup.directory = QString::fromStdString(s.SettingSaveDir);
  objectOpenDialog_.setup.directory = QString::fromStdString(s.ObjectDir);
  hostTarget_ = s.QoraLTarget;
  removalAvailable_ = !hostTarget_.empty();
  if (s.JPEGQuality >= 0) session_.SetJpegQuality(s.JPEGQuality);
  ApplyRenderLock();
}

bool THorizonmill_MainForm::WriteProgramIni() {
  ApplicationSettings s;
  s.OutputDir = outPutOpen_.Folder();
  s.TenjoDir = tenjoTextureOpen_.Folder();
  s.JimenDir = zimenTextureOpen_.Folder();
  s.SettingOpenDir = openSettingDlg_.Folder();
  s.SettingSaveDir = saveSettingDlg_.Folder();
  s.QoraLTarget = hostTarget_;
  try {
    WriteApplicationSettings(iniPath_, s);
    return true;
  } catch (const FileError& e) {
    dialogs_.Error(this, Q(e.what()));
    return false;
  }
}

}  // namespace horizonmill::ui
