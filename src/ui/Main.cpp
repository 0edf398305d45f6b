// The window: its parts laid out, the menu, the controls' requests connected
// to the commands, and what the window shows of the session as it changes.
#include "ui/Main.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>
#include <QVBoxLayout>

#include "Version.h"
#include "platform/Paths.h"
#include "ui/CeilingControls.h"
#include "ui/EditHistory.h"
#include "ui/EditorCommands.h"
#include "ui/FileCommands.h"
#include "ui/GroundControls.h"
#include "ui/InterfaceLanguage.h"
#include "ui/LivePreview.h"
#include "ui/OutputCommands.h"
#include "ui/OutputControls.h"
#include "ui/ProgramIni.h"
#include "ui/RegistrationCommands.h"
#include "ui/RenderPanel.h"
#include "ui/RenderRunner.h"
#include "ui/SceneControls.h"
#include "ui/TextInput.h"
#include "ui/TextureCommands.h"
#include "ui/UserDialogs.h"
#include "ui/WindowParts.h"

namespace horizonmill::ui {

THorizonmill_MainForm::THorizonmill_MainForm(UserDialogs& dialogs, std::filesystem::path iniPath,
                                             QWidget* parent)
    : QMainWindow(parent), session_(ProgramSettings(std::move(iniPath))), dialogs_(dialogs) {
  setObjectName("Horizonmill_MainForm");
  programIni_ = new ProgramIni(session_, dialogs_, this);
  renderPanel_ = new RenderPanel(session_, dialogs_, *this);
  live_ = new LivePreview(session_, *renderPanel_, this);
  live_->SetAutomatic(session_.Settings().Values().AutoPreview);
  session_.Context().Port = &live_->Port();
  history_ = new EditHistory(session_, *this, this);

  auto* left = new QVBoxLayout;
  left->addWidget(renderPanel_);
  left->addWidget(outputControls_ = new OutputControls(session_));
  left->addStretch();
  auto* central = new QWidget;
  auto* columns = new QHBoxLayout(central);
  columns->addLayout(left);
  columns->addWidget(sceneControls_ = new SceneControls(session_), 1);
  setCentralWidget(central);

  const WindowParts parts{.session = session_,
                          .dialogs = dialogs_,
                          .window = this,
                          .view = *this,
                          .programIni = *programIni_,
                          .panel = *renderPanel_,
                          .outputControls = *outputControls_,
                          .history = *history_,
                          .live = *live_};
  editors_ = new EditorCommands(parts);
  files_ = new FileCommands(parts, *editors_);
  textures_ = new TextureCommands(parts);
  outputs_ = new OutputCommands(parts);
  registration_ = new RegistrationCommands(parts);
  BuildMenu();
  ConnectControls();
  SetTypingRules(*this);
  for (TextInput* input : findChildren<TextInput*>())
    connect(input, &TextInput::refused, this, &THorizonmill_MainForm::InputRefused);
  setAcceptDrops(true);
  ShowScene();
  RedrawAll();
  SetTitle();
}

THorizonmill_MainForm::~THorizonmill_MainForm() {
  // The render's worker reads the session: it goes first.
  renderPanel_->Runner().Abandon();
  session_.Context().Port = &RenderContext::NullPort();
}

void THorizonmill_MainForm::BuildMenu() {
  auto action = [](QMenu* menu, const char* name, const QString& caption, auto* receiver,
                   auto handler, const QKeySequence& keys = {}) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    a->setShortcut(keys);
    QObject::connect(a, &QAction::triggered, receiver, handler);
    return a;
  };
  using Main = THorizonmill_MainForm;
  QMenu* file = menuBar()->addMenu(tr("ファイル(&F)"));
  new1_ = action(file, "New1", tr("設定の新規作成(&N)"), files_,
                 WhenIdle(files_, &FileCommands::New1Click), QKeySequence::New);
  open1_ = action(file, "Open1", tr("設定を開く(&O)"), files_,
                  WhenIdle(files_, &FileCommands::Open1Click), QKeySequence::Open);
  save1_ = action(file, "Save1", tr("設定を上書き保存(&S)"), files_,
                  WhenIdle(files_, &FileCommands::Save1Click), QKeySequence::Save);
  saveAs1_ = action(file, "SaveAs1", tr("設定を名前を付けて保存(&A)"), files_,
                    WhenIdle(files_, &FileCommands::SaveAs1Click), QKeySequence::SaveAs);
  files_->AttachRecentMenu(file->addMenu(tr("最近使ったファイル(&R)")));
  file->addSeparator();
  cubeMap1_ = action(file, "CubeMap1", tr("キューブマップを出力...(&C)"), outputs_,
                     WhenIdle(outputs_, &OutputCommands::CubeMap1Click));
  cubeMap1_->setToolTip(
      tr("完成画像を作画し、3Dソフト用のキューブマップ（px, nx, py, ny, pz, nz の6面）"
         "としてフォルダーに出力します"));
  file->setToolTipsVisible(true);
  file->addSeparator();
  action(file, "Exit1", tr("終了(&X)"), this, &Main::Exit1Click, QKeySequence::Quit);
  QMenu* edit = menuBar()->addMenu(tr("編集(&E)"));
  edit->setObjectName("Edit1");
  undo1_ = action(edit, "Undo1", tr("元に戻す"), history_, WhenIdle(history_, &EditHistory::Undo),
                  QKeySequence(Qt::CTRL | Qt::Key_Z));
  redo1_ = action(edit, "Redo1", tr("やり直し"), history_, WhenIdle(history_, &EditHistory::Redo));
  redo1_->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  history_->ShowIn(undo1_, redo1_);
  QMenu* options = menuBar()->addMenu(tr("オプション(&O)"));
  jpeg1_ = action(options, "JPEG1", tr("JPEG圧縮設定...(&J)"), programIni_,
                  WhenIdle(programIni_, &ProgramIni::JPEG1Click));
  qoraLDelete_ =
      action(options, "QoraL_Delete", tr("QORA-Lシリーズに登録した背景を削除....(&D)"),
             registration_, WhenIdle(registration_, &RegistrationCommands::QoraL_DeleteClick));
  qoraLDelete_->setEnabled(false);
  BuildLanguageMenu(options);
  QMenu* view = menuBar()->addMenu(tr("表示(&L)"));
  action(view, "LookAround1", tr("パノラマを見回す...(&L)"), renderPanel_,
         &RenderPanel::LookAround1Click, QKeySequence(Qt::CTRL | Qt::Key_L));
  autoPreview1_ =
      action(view, "AutoPreview1", tr("自動プレビュー(&P)"), this, &Main::AutoPreview1Click);
  autoPreview1_->setCheckable(true);
  autoPreview1_->setChecked(live_->Automatic());
  autoPreview1_->setToolTip(tr("設定を変更するたびにプレビュー画像を作画します"));
  view->setToolTipsVisible(true);
  QMenu* version = menuBar()->addMenu(tr("バージョン情報(&V)"));
  action(version, "Author", tr("Horizonmillについて...(&A)"), this, &Main::AuthorClick);
}

void THorizonmill_MainForm::BuildLanguageMenu(QMenu* options) {
  // In both languages, and each language by its own name, so that a reader of
  // either finds it whichever the window speaks.
  QMenu* language = options->addMenu(QStringLiteral("Language / 言語"));
  language->setObjectName("Language1");
  auto* choices = new QActionGroup(language);
  for (const std::string_view code : kLanguages) {
    QAction* a = language->addAction(InterfaceLanguage::NativeName(std::string(code)));
    a->setObjectName(code == "ja" ? "Japanese1" : "English1");
    a->setCheckable(true);
    a->setChecked(code == InterfaceLanguage::Current());
    choices->addAction(a);
    connect(a, &QAction::triggered, this, [this, code] { LanguageClick(std::string(code)); });
  }
}

void THorizonmill_MainForm::LanguageClick(const std::string& code) {
  session_.Settings().SetLanguage(code);
  if (!programIni_->WriteProgramIni() || code == InterfaceLanguage::Current()) return;
  // The window is built in one language: the other one comes with the next
  // start. Said in both, the reader's and the one chosen.
  dialogs_.Message(this, QStringLiteral("表示言語は次回の起動から切り替わります。\n"
                                        "The new language takes effect the next time "
                                        "Horizonmill starts."));
}

void THorizonmill_MainForm::ConnectControls() {
  using Main = THorizonmill_MainForm;
  connect(sceneControls_, &SceneControls::edited, this, &Main::SceneEdited);
  connect(sceneControls_, &SceneControls::redrawRequested, this, &Main::RedrawAll);
  connect(sceneControls_, &SceneControls::setGrad1Clicked, editors_,
          WhenIdle(editors_, &EditorCommands::SetGrad1Click));
  connect(sceneControls_, &SceneControls::setGrad2Clicked, editors_,
          WhenIdle(editors_, &EditorCommands::SetGrad2Click));
  connect(sceneControls_, &SceneControls::objectGroupClicked, editors_,
          WhenIdle(editors_, &EditorCommands::EditObjectGroup));
  CeilingControls* ceiling = sceneControls_->Ceiling();
  connect(ceiling, &CeilingControls::tenjoTextureNameEntered, textures_,
          WhenIdle(textures_, &TextureCommands::TenjoTextureNameEnter));
  connect(ceiling, &CeilingControls::tEnjoTextureReferClicked, textures_,
          WhenIdle(textures_, &TextureCommands::TEnjoTextureReferClick));
  connect(ceiling, &CeilingControls::chTenjoTraClicked, editors_,
          WhenIdle(editors_, &EditorCommands::ChTenjoTraClick));
  GroundControls* ground = sceneControls_->Ground();
  connect(ground, &GroundControls::groundTextureNameEntered, textures_,
          WhenIdle(textures_, &TextureCommands::GroundTextureNameEnter));
  connect(ground, &GroundControls::groundTextureReferClicked, textures_,
          WhenIdle(textures_, &TextureCommands::GroundTextureReferClick));
  connect(outputControls_, &OutputControls::edited, this, &Main::SceneEdited);
  connect(outputControls_, &OutputControls::redrawRequested, this, &Main::RedrawAll);
  connect(outputControls_, &OutputControls::referOutPutClicked, outputs_,
          WhenIdle(outputs_, &OutputCommands::ReferOutPutClick));
  connect(outputControls_, &OutputControls::goClicked, outputs_,
          WhenIdle(outputs_, &OutputCommands::GoClick));
  connect(outputControls_, &OutputControls::registToQoraLClicked, registration_,
          WhenIdle(registration_, &RegistrationCommands::RegistToQoraLClick));
  connect(outputControls_, &OutputControls::resolutionLeft, this, &Main::ResolutionLeft);
  connect(files_, &FileCommands::recentFileChosen, this, [this](const QString& path) {
    WaitForPreview([this, file = path.toStdString()] { files_->OpenRecent(file); });
  });
  // Every completed edit is a step; each step, undone or redone, is previewed.
  connect(sceneControls_, &SceneControls::committed, history_, &EditHistory::Commit);
  connect(outputControls_, &OutputControls::committed, history_, &EditHistory::Commit);
  connect(history_, &EditHistory::changed, live_, &LivePreview::Request);
}

void THorizonmill_MainForm::Start(const std::string& argument) {
  programIni_->ReadProgramIni();
  registration_->ReadProgramIni();
  files_->NewScene();
  if (!argument.empty() && FileExists(argument)) files_->OpenSettings(argument);
  SetTitle();
}

void THorizonmill_MainForm::closeEvent(QCloseEvent* event) {
  if (!renderPanel_->Closing()) {
    // Asked first: a render goes on while the question is open, and
    // キャンセル leaves it running. Then it is stopped and waited for; files
    // being written are stopped, and the window closes once they have.
    if (!MayClose() || !renderPanel_->StopForClose()) {
      event->ignore();
      return;
    }
  } else if (session_.Context().Rendering) {
    event->ignore();  // answered already: closes once the render has stopped
    return;
  }
  // A program INI that cannot be written is reported, but never keeps the
  // program from ending.
  programIni_->WriteProgramIni();
  event->accept();
}

bool THorizonmill_MainForm::MayClose() {
  // An automatic preview is nothing the user waits for: only the changes are asked about.
  const bool userRender = session_.Context().Rendering && !live_->Running();
  if (!userRender || session_.HasUnsavedChanges()) return files_->MaySetSceneAside();
  return dialogs_.Ask(this, tr("作画中です。作画を中止して終了しますか？"));
}

void THorizonmill_MainForm::WaitForPreview(std::function<void()> command) {
  live_->WhenIdle(std::move(command));
}

void THorizonmill_MainForm::AutoPreview1Click(bool on) {
  live_->SetAutomatic(on);
  session_.Settings().SetAutoPreview(on);
  programIni_->WriteProgramIni();
}

void THorizonmill_MainForm::AuthorClick() {
  // The first line, two blanks and the credit, then the second line. The box
  // does not wait: a render goes on while it is shown. The number is the
  // project's (Version.h); "(1.0e-29L)" belongs to the edition's name, as
  // "らいと" does.
  dialogs_.Inform(this,
                  tr("Horizonmill Horizonmillらいと Version %1(1.0e-29L)  Horizonmill開発者一同\n"
                     "※現在らいと以外のバージョンは存在してません。")
                      .arg(QString::fromUtf8(kVersion)));
}

void THorizonmill_MainForm::InputRefused(const QString& why) {
  dialogs_.Beep();
  dialogs_.Message(this, why);
}

void THorizonmill_MainForm::ResolutionLeft() {
  const std::string problem = session_.ResolutionProblem();
  if (problem.empty()) return;
  dialogs_.Beep();
  dialogs_.Message(this, tr("この出力解像度では作画できません。"), Q(problem));
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
  WaitForPreview([this, path = file.toStdString()] { files_->OpenDropped(path); });
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
  // An automatic preview locks nothing: what must not run meanwhile waits
  // for it (WhenIdle).
  const bool idle = !session_.Context().Rendering || live_->Running();
  sceneControls_->setEnabled(idle);
  outputControls_->setEnabled(idle);
  for (QAction* a : {new1_, open1_, save1_, saveAs1_, cubeMap1_, jpeg1_}) a->setEnabled(idle);
  qoraLDelete_->setEnabled(idle && registration_->RemovalAvailable());
  history_->SetLocked(!idle);
}

QString THorizonmill_MainForm::TitleFor(const QString& settingsName) {
  return tr("Horizonmill . Horizonmillらいと - %1[*]").arg(settingsName);
}

void THorizonmill_MainForm::SetTitle() {
  setWindowTitle(TitleFor(FileCommands::ShownName(session_)));
  SceneEdited();
}

void THorizonmill_MainForm::SceneEdited() {
  setWindowModified(session_.HasUnsavedChanges());
  history_->ShowState();
}

void THorizonmill_MainForm::SceneReplaced() {
  history_->Clear();
  live_->Request();
}

}  // namespace horizonmill::ui
