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

#include "app/RenderAndWrite.h"
#include "image/ImageLimits.h"
#include "platform/FileError.h"
#include "platform/Paths.h"
#include "render/Pipeline.h"
#include "ui/JPEGQualityunit.h"
#include "ui/LookAroundView.h"
#include "ui/Main.h"
#include "ui/ObjForm.h"
#include "ui/OutputControls.h"
#include "ui/PreviewArea.h"
#include "ui/ProgressPie.h"
#include "ui/TextInput.h"

namespace horizonmill::ui {
namespace {

// How often a running render lets the window's events run: often enough for a
// smooth gauge and a prompt abort, seldom enough to cost the render nothing.
constexpr qint64 kEventIntervalMs = 25;

}  // namespace

THorizonmill_MainForm::SequenceHost::SequenceHost(THorizonmill_MainForm& window)
    : DialogAppHost(window.dialogs_, &window), w_(window) {}

bool THorizonmill_MainForm::SequenceHost::KeepAbortedRender() {
  if (w_.closeAfterRender_) return false;
  w_.preview_->ShowMessage(Q(kAbortedMessage));
  return DialogAppHost::KeepAbortedRender();
}

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
  ReadProgramIni();
  NewScene();
  if (!argument.empty() && FileExists(argument)) OpenSettings(argument);
  SetTitle();
}

// ---------------------------------------------------------------- file menu

void THorizonmill_MainForm::NewScene() {
  session_.New();
  objForm_->Forget();
  ShowScene();
  RedrawAll();
  SetTitle();
}

void THorizonmill_MainForm::New1Click() {
  if (MaySetSceneAside()) NewScene();
}

void THorizonmill_MainForm::OpenSettings(const std::string& path) {
  ReaderHost host(*this);
  try {
    session_.Open(path, host);
  } catch (const FileError& e) {
    // The scene, its name and the title stay as they were.
    dialogs_.Error(this, Q(e.what()));
  }
  objForm_->Forget();
  ShowScene();
  RedrawAll();
  SetTitle();
}

void THorizonmill_MainForm::Open1Click() {
  if (!MaySetSceneAside()) return;
  const auto chosen = RunFileDialog(openSettingDlg_);
  if (!chosen) return;
  OpenSettings(chosen->toStdString());
  WriteProgramIni();
}

bool THorizonmill_MainForm::SaveScene() {
  try {
    session_.Save();
  } catch (const FileError& e) {
    dialogs_.Error(this, Q(e.what()));
    return false;
  }
  SceneEdited();
  return true;
}

void THorizonmill_MainForm::Save1Click() { SaveScene(); }

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

bool THorizonmill_MainForm::MaySetSceneAside() {
  if (!session_.HasUnsavedChanges()) return true;
  const std::string& name = session_.SettingsFilename();
  const std::string shown = name.substr(name.find_last_of('/') + 1);
  switch (dialogs_.AskToSave(this, "設定「" + Q(shown) + "」は変更されています。保存しますか？")) {
    case SaveChoice::Save:
      return SaveScene();
    case SaveChoice::Discard:
      return true;
    case SaveChoice::Cancel:
      break;
  }
  return false;
}

void THorizonmill_MainForm::closeEvent(QCloseEvent* event) {
  if (session_.Context().Rendering) {
    // The render is asked to stop; the window closes once it has returned.
    session_.Context().AbortRequested = true;
    closeAfterRender_ = true;
    event->ignore();
    return;
  }
  closeAfterRender_ = false;
  if (!MaySetSceneAside()) {
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
  Settings().SetJpegQuality(session_.JpegQuality());
  WriteProgramIni();
}

void THorizonmill_MainForm::AuthorClick() {
  // The first line, two blanks and the credit, then the second line. The box
  // does not wait: a render goes on while it is shown.
  dialogs_.Inform(this,
                  "Horizonmill Horizonmillらいと Version 1.06(1.0e-29L)  Horizonmill開発者一同\n"
                  "※現在らいと以外のバージョンは存在してません。");
}

// ---------------------------------------------------------------- layers

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
  SceneEdited();
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
  if (const auto path = Session::ExistingTexture(session_.Scene().Ground.TextureFilename)) {
    LoadTexture(TextureLayer::Ground, *path, false);
  } else {
    preview_->Clear();
    preview_->ShowMessage(Q(kNoGroundTexture));
  }
  RedrawAll();
}

void THorizonmill_MainForm::TenjoTextureNameEnter() {
  if (const auto path = Session::ExistingTexture(session_.Scene().Ceiling.TextureFilename)) {
    LoadTexture(TextureLayer::Ceiling, *path, false);
  } else {
    preview_->Clear();
    preview_->ShowMessage(Q(kNoCeilingTexture));
  }
  RedrawAll();
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
  if (const auto chosen = RunFileDialog(outPutOpen_)) outputControls_->SetOutputName(*chosen);
  if (WriteProgramIni()) RedrawAll();
}

void THorizonmill_MainForm::TellOutOfMemory(const std::string& reason) {
  // The size a settings file gave may break a limit: the details name it.
  dialogs_.Beep();
  dialogs_.Message(this, Q(kMemoryExhausted), Q(reason));
}

void THorizonmill_MainForm::RunPlan(const OutputPlan& plan) {
  ShowInLookAround(&session_.OutputBitmap());
  SequenceHost host(*this);
  RunResult result;
  try {
    result = RenderAndWrite(session_, plan, host);
  } catch (const FileError& e) {
    AfterRender();
    dialogs_.Error(this, Q(e.what()));
    return;
  }
  AfterRender();
  if (result.outcome == RunOutcome::OutOfMemory) TellOutOfMemory(result.reason);
  // The preview shows what was drawn; it says why the image is unfinished.
  if (result.aborted && !closeAfterRender_) preview_->ShowMessage(Q(kAbortedMessage));
}

void THorizonmill_MainForm::GoClick() {
  if (session_.Context().Rendering) return;
  // The name is the user's own here, so an existing file is replaced; a name
  // that cannot be written (a missing folder, a folder, a device, a JPEG too
  // large) is said before the render.
  OutputRequest request;
  request.image = session_.Scene().Output.Filename;
  const PlannedOutputs planned = PlanOutputs(request, session_);
  if (!planned.plan) {
    dialogs_.Error(this, Q(planned.error));
    return;
  }
  if (planned.plan->Renders()) RunPlan(*planned.plan);
}

void THorizonmill_MainForm::CubeMap1Click() {
  if (session_.Context().Rendering) return;
  const auto chosen =
      dialogs_.ChooseFolder(this, "キューブマップを出力するフォルダー", cubeMapFolder_);
  if (!chosen) return;
  cubeMapFolder_ = *chosen;
  OutputRequest request;
  request.cubemap = chosen->toStdString();
  request.faceFormat = kDefaultCubeFaceFormat;
  const PlannedOutputs planned = PlanOutputs(request, session_);
  if (!planned.plan) {
    dialogs_.Error(this, Q(planned.error));
    return;
  }
  if (!planned.plan->ExistingFaces().empty() &&
      !dialogs_.Ask(this,
                    "このフォルダーのキューブマップ（px, nx, py, ny, pz, nz）を置き換えますか？"))
    return;
  RunPlan(*planned.plan);
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
  const ApplicationSettings& s = Settings().Values();
  outPutOpen_.setup.directory = QString::fromStdString(s.OutputDir);
  tenjoTextureOpen_.setup.directory = QString::fromStdString(s.TenjoDir);
  zimenTextureOpen_.setup.directory = QString::fromStdString(s.JimenDir);
  openSettingDlg_.setup.directory = QString::fromStdString(s.SettingOpenDir);
  saveSettingDlg_.setup.directory = QString::fromStdString(s.SettingSaveDir);
  objectOpenDialog_.setup.directory = QString::fromStdString(s.ObjectDir);
  removalAvailable_ = !s.QoraLTarget.empty();
  ApplyRenderLock();
}

bool THorizonmill_MainForm::WriteProgramIni() {
  // The folders of the dialogs used in this run; only what changed is written.
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
    dialogs_.Error(this, Q(e.what()));
    return false;
  }
}

}  // namespace horizonmill::ui
