// The window: its parts laid out, the menu, the controls' requests connected
// to the commands, and what the window shows of the session as it changes.
#include "ui/Main.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/Paths.h"
#include "ui/CeilingControls.h"
#include "ui/EditorCommands.h"
#include "ui/FileCommands.h"
#include "ui/GroundControls.h"
#include "ui/OutputCommands.h"
#include "ui/OutputControls.h"
#include "ui/ProgramIni.h"
#include "ui/RegistrationCommands.h"
#include "ui/RenderPanel.h"
#include "ui/SceneControls.h"
#include "ui/TextInput.h"
#include "ui/TextureCommands.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {

THorizonmill_MainForm::THorizonmill_MainForm(UserDialogs& dialogs, std::filesystem::path iniPath,
                                             QWidget* parent)
    : QMainWindow(parent), session_(ProgramSettings(std::move(iniPath))), dialogs_(dialogs) {
  setObjectName("Horizonmill_MainForm");
  programIni_ = new ProgramIni(session_, dialogs_, this);
  renderPanel_ = new RenderPanel(session_, dialogs_, *this);
  session_.Context().Host = &renderPanel_->Host();

  auto* left = new QVBoxLayout;
  left->addWidget(renderPanel_);
  left->addWidget(outputControls_ = new OutputControls(session_));
  left->addStretch();
  auto* central = new QWidget;
  auto* columns = new QHBoxLayout(central);
  columns->addLayout(left);
  columns->addWidget(sceneControls_ = new SceneControls(session_), 1);
  setCentralWidget(central);

  editors_ = new EditorCommands(session_, dialogs_, this, *this, programIni_->ObjectOpenDialog());
  files_ =
      new FileCommands(session_, dialogs_, this, *this, *programIni_, *renderPanel_, *editors_);
  textures_ = new TextureCommands(session_, dialogs_, this, *this, *programIni_, *renderPanel_);
  outputs_ = new OutputCommands(session_, dialogs_, this, *this, *programIni_, *renderPanel_,
                                *outputControls_);
  registration_ = new RegistrationCommands(session_, dialogs_, this, *this, *programIni_,
                                           *renderPanel_, *outputControls_);
  BuildMenu();
  ConnectControls();
  SetTypingRules(*this);
  setAcceptDrops(true);
  ShowScene();
  RedrawAll();
  SetTitle();
}

THorizonmill_MainForm::~THorizonmill_MainForm() {
  session_.Context().Host = &RenderContext::NullHost();
}

void THorizonmill_MainForm::BuildMenu() {
  auto action = [this](QMenu* menu, const char* name, const char* caption, auto* receiver,
                       auto handler, QKeySequence keys = {}) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    a->setShortcut(keys);
    connect(a, &QAction::triggered, receiver, handler);
    return a;
  };
  using Main = THorizonmill_MainForm;
  QMenu* file = menuBar()->addMenu("ファイル(&F)");
  new1_ = action(file, "New1", "設定の新規作成(&N)", files_, &FileCommands::New1Click,
                 QKeySequence::New);
  open1_ = action(file, "Open1", "設定を開く(&O)", files_, &FileCommands::Open1Click,
                  QKeySequence::Open);
  save1_ = action(file, "Save1", "設定を上書き保存(&S)", files_, &FileCommands::Save1Click,
                  QKeySequence::Save);
  saveAs1_ = action(file, "SaveAs1", "設定を名前を付けて保存(&A)", files_,
                    &FileCommands::SaveAs1Click, QKeySequence::SaveAs);
  files_->AttachRecentMenu(file->addMenu("最近使ったファイル(&R)"));
  file->addSeparator();
  cubeMap1_ = action(file, "CubeMap1", "キューブマップを出力...(&C)", outputs_,
                     &OutputCommands::CubeMap1Click);
  cubeMap1_->setToolTip(
      "完成画像を作画し、3Dソフト用のキューブマップ（px, nx, py, ny, pz, nz の6面）"
      "としてフォルダーに出力します");
  file->setToolTipsVisible(true);
  file->addSeparator();
  action(file, "Exit1", "終了(&X)", this, &Main::Exit1Click, QKeySequence::Quit);
  QMenu* options = menuBar()->addMenu("オプション(&O)");
  jpeg1_ = action(options, "JPEG1", "JPEG圧縮設定...(&J)", programIni_, &ProgramIni::JPEG1Click);
  qoraLDelete_ = action(options, "QoraL_Delete", "QORA-Lシリーズに登録した背景を削除....(&D)",
                        registration_, &RegistrationCommands::QoraL_DeleteClick);
  qoraLDelete_->setEnabled(false);
  QMenu* view = menuBar()->addMenu("表示(&L)");
  action(view, "LookAround1", "パノラマを見回す...(&L)", renderPanel_,
         &RenderPanel::LookAround1Click, QKeySequence(Qt::CTRL | Qt::Key_L));
  QMenu* version = menuBar()->addMenu("バージョン情報(&V)");
  action(version, "Author", "Horizonmillについて...(&A)", this, &Main::AuthorClick);
}

void THorizonmill_MainForm::ConnectControls() {
  using Main = THorizonmill_MainForm;
  connect(sceneControls_, &SceneControls::edited, this, &Main::SceneEdited);
  connect(sceneControls_, &SceneControls::redrawRequested, this, &Main::RedrawAll);
  connect(sceneControls_, &SceneControls::setGrad1Clicked, editors_,
          &EditorCommands::SetGrad1Click);
  connect(sceneControls_, &SceneControls::setGrad2Clicked, editors_,
          &EditorCommands::SetGrad2Click);
  connect(sceneControls_, &SceneControls::objectGroupClicked, editors_,
          &EditorCommands::EditObjectGroup);
  CeilingControls* ceiling = sceneControls_->Ceiling();
  connect(ceiling, &CeilingControls::tenjoTextureNameEntered, textures_,
          &TextureCommands::TenjoTextureNameEnter);
  connect(ceiling, &CeilingControls::tEnjoTextureReferClicked, textures_,
          &TextureCommands::TEnjoTextureReferClick);
  connect(ceiling, &CeilingControls::chTenjoTraClicked, editors_, &EditorCommands::ChTenjoTraClick);
  GroundControls* ground = sceneControls_->Ground();
  connect(ground, &GroundControls::groundTextureNameEntered, textures_,
          &TextureCommands::GroundTextureNameEnter);
  connect(ground, &GroundControls::groundTextureReferClicked, textures_,
          &TextureCommands::GroundTextureReferClick);
  connect(outputControls_, &OutputControls::edited, this, &Main::SceneEdited);
  connect(outputControls_, &OutputControls::redrawRequested, this, &Main::RedrawAll);
  connect(outputControls_, &OutputControls::referOutPutClicked, outputs_,
          &OutputCommands::ReferOutPutClick);
  connect(outputControls_, &OutputControls::goClicked, outputs_, &OutputCommands::GoClick);
  connect(outputControls_, &OutputControls::registToQoraLClicked, registration_,
          &RegistrationCommands::RegistToQoraLClick);
  connect(outputControls_, &OutputControls::resolutionLeft, this, &Main::ResolutionLeft);
}

void THorizonmill_MainForm::Start(const std::string& argument) {
  programIni_->ReadProgramIni();
  registration_->ReadProgramIni();
  files_->NewScene();
  if (!argument.empty() && FileExists(argument)) files_->OpenSettings(argument);
  SetTitle();
}

void THorizonmill_MainForm::closeEvent(QCloseEvent* event) {
  if (session_.Context().Rendering) {
    // The render is asked to stop; the window closes once it has returned.
    session_.Context().AbortRequested = true;
    renderPanel_->SetCloseAfterRender(true);
    event->ignore();
    return;
  }
  renderPanel_->SetCloseAfterRender(false);
  if (!files_->MaySetSceneAside()) {
    event->ignore();
    return;
  }
  // A program INI that cannot be written is reported, but never keeps the
  // program from ending.
  programIni_->WriteProgramIni();
  event->accept();
}

void THorizonmill_MainForm::AuthorClick() {
  // The first line, two blanks and the credit, then the second line. The box
  // does not wait: a render goes on while it is shown.
  dialogs_.Inform(this,
                  "Horizonmill Horizonmillらいと Version 1.06(1.0e-29L)  Horizonmill開発者一同\n"
                  "※現在らいと以外のバージョンは存在してません。");
}

void THorizonmill_MainForm::ResolutionLeft() {
  const std::string problem = session_.ResolutionProblem();
  if (problem.empty()) return;
  dialogs_.Beep();
  dialogs_.Message(this, "この出力解像度では作画できません。", Q(problem));
}

namespace {

// The settings file a drop carries: one local file ending in ".hm".
QString DroppedSettingsFile(const QMimeData* data) {
  if (!data->hasUrls() || data->urls().size() != 1) return {};
  const QUrl url = data->urls().constFirst();
  if (!url.isLocalFile() || !url.toLocalFile().endsWith(".hm", Qt::CaseInsensitive)) return {};
  return url.toLocalFile();
}

}  // namespace

void THorizonmill_MainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (!session_.Context().Rendering && !DroppedSettingsFile(event->mimeData()).isEmpty())
    event->acceptProposedAction();
}

void THorizonmill_MainForm::dropEvent(QDropEvent* event) {
  const QString file = DroppedSettingsFile(event->mimeData());
  if (file.isEmpty()) return;
  event->acceptProposedAction();
  files_->OpenDropped(file.toStdString());
}

// ---------------------------------------------------------------- SessionView

void THorizonmill_MainForm::ShowScene() {
  sceneControls_->ShowScene();
  outputControls_->ShowScene();
}

void THorizonmill_MainForm::RedrawAll() {
  const ControlStates states = session_.Refresh();
  sceneControls_->ShowStates(states);
  outputControls_->ShowStates(states);
  ApplyRenderLock();
  SceneEdited();
}

void THorizonmill_MainForm::ApplyRenderLock() {
  const bool idle = !session_.Context().Rendering;
  sceneControls_->setEnabled(idle);
  outputControls_->setEnabled(idle);
  for (QAction* a : {new1_, open1_, save1_, saveAs1_, cubeMap1_, jpeg1_}) a->setEnabled(idle);
  qoraLDelete_->setEnabled(idle && registration_->RemovalAvailable());
}

QString THorizonmill_MainForm::TitleFor(const std::string& settingsFilename) {
  return "Horizonmill . Horizonmillらいと - " + QString::fromStdString(settingsFilename) + "[*]";
}

void THorizonmill_MainForm::SetTitle() {
  setWindowTitle(TitleFor(session_.SettingsFilename()));
  SceneEdited();
}

void THorizonmill_MainForm::SceneEdited() { setWindowModified(session_.HasUnsavedChanges()); }

}  // namespace horizonmill::ui
