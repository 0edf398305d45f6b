// The window's controls: built grouped by layer, each bound to its field of the
// scene. The commands are in MainCommands.cpp.
#include "ui/Main.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "render/Pipeline.h"
#include "ui/CeilingControls.h"
#include "ui/DelBackForm.h"
#include "ui/DialogParts.h"
#include "ui/Grad1Form.h"
#include "ui/Grad2Form.h"
#include "ui/GroundControls.h"
#include "ui/JPEGQualityunit.h"
#include "ui/ObjForm.h"
#include "ui/OutputControls.h"
#include "ui/PreviewArea.h"
#include "ui/ProgressPie.h"
#include "ui/RegistName.h"
#include "ui/SceneControls.h"
#include "ui/TenjoTraForm.h"

namespace horizonmill::ui {
namespace {

const QString kBmpFilter = "ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp)";
const QString kSettingsFilter = "Horizonmillデータファイル (*.hm)";

FileDialogSetup Dialog(const char* name, bool save, QStringList filters, const char* suffix) {
  FileDialogSetup setup;
  setup.name = name;
  setup.save = save;
  setup.filters = std::move(filters);
  setup.defaultSuffix = suffix;
  return setup;
}

FileDialogSetup PictureDialog(const char* name) { return Dialog(name, false, {kBmpFilter}, "bmp"); }

}  // namespace

THorizonmill_MainForm::THorizonmill_MainForm(UserDialogs& dialogs, std::filesystem::path iniPath,
                                             QWidget* parent)
    : QMainWindow(parent), session_(ProgramSettings(std::move(iniPath))), dialogs_(dialogs) {
  setObjectName("Horizonmill_MainForm");
  session_.Context().Host = this;

  outPutOpen_.setup =
      Dialog("OutPutOpen", true, {kBmpFilter, "JPEGイメージ (*.jpg)", "PNG (*.png)"}, "bmp");
  tenjoTextureOpen_.setup = PictureDialog("TenjoTextureOpen");
  zimenTextureOpen_.setup = PictureDialog("ZimenTextureOpen");
  openSettingDlg_.setup = Dialog("OpenSettingDlg", false, {kSettingsFilter}, "hm");
  saveSettingDlg_.setup = Dialog("SaveSettingDlg", true, {kSettingsFilter}, "hm");
  objectOpenDialog_.setup = PictureDialog("ObjectOpenDialog");
  qoraLIniOpenDlg_.setup =
      Dialog("QoraLIniOpenDlg", false, {"Iniファイル (*.ini *.Ini *.INI)"}, "ini");
  qoraLIniOpenDlg_.setup.title =
      "Qora LシリーズのIniファイル(QoraL1.Ini,QoraL2.Iniなど)を指定して下さい。";
  qoraLIniOpenDlg_.setup.fileName = "QoraL2.ini";

  BuildMenu();
  preview_ = new PreviewArea(session_.PreviewBitmap());
  preview_->setToolTip("ここをクリックするとプレビュー画像を作画します");
  progressDisp_ = new ProgressPie(preview_);
  progressDisp_->setObjectName("ProgressDisp");
  progressDisp_->setToolTip("頑張って作画中です");
  progressDisp_->move(preview_->width() - progressDisp_->width(), 0);
  progressDisp_->hide();
  rendAbort_ = new QPushButton("作画中止", preview_);
  rendAbort_->setObjectName("RendAbort");
  rendAbort_->setToolTip(
      "作画を中止します。中止した結果なんか変な画像が表示される可能性があります");
  rendAbort_->adjustSize();
  rendAbort_->move(preview_->width() - rendAbort_->width() - 2, progressDisp_->height() + 2);
  rendAbort_->hide();

  auto* left = new QVBoxLayout;
  left->addWidget(preview_);
  auto* previewHint = new QLabel("ここをクリックするとプレビュー画像を作画します");
  previewHint->setEnabled(false);
  left->addWidget(previewHint);
  left->addWidget(outputControls_ = new OutputControls(session_));
  left->addStretch();
  auto* central = new QWidget;
  auto* columns = new QHBoxLayout(central);
  columns->addLayout(left);
  columns->addWidget(sceneControls_ = new SceneControls(session_), 1);
  setCentralWidget(central);
  ConnectControls();

  // The dialogs, in the order the program creates them.
  grad1Form_ = new TGrad1Form(dialogs_, this);
  grad2Form_ = new TGrad2Form(dialogs_, grad1Form_->SkyPreviewBitmap(), this);
  objForm_ = new TObjectForm(session_, dialogs_, objectOpenDialog_, this);
  tenjoTraForm_ = new TTenjoTraForm(this);
  registName_ = new TRegistName(this);
  jpegQualityForm_ = new TJPEGQualityForm(this);
  delBackForm_ = new TDelBackForm(session_.Settings(), dialogs_, this);
  connect(delBackForm_, &TDelBackForm::HostNotInstalled, this, [this] {
    removalAvailable_ = false;
    ApplyRenderLock();
  });

  peep_ = new QTimer(this);
  peep_->setObjectName("Peep");
  peep_->setInterval(100);
  connect(peep_, &QTimer::timeout, this, &THorizonmill_MainForm::PeepTimer);
  peep_->start();

  connect(preview_, &PreviewArea::clicked, this, &THorizonmill_MainForm::PreviewClick);
  connect(rendAbort_, &QPushButton::clicked, this, &THorizonmill_MainForm::RendAbortClick);
  ShowScene();
  RedrawAll();
  SetTitle();
}

THorizonmill_MainForm::~THorizonmill_MainForm() {
  session_.Context().Host = &RenderContext::NullHost();
}

void THorizonmill_MainForm::ConnectControls() {
  using Main = THorizonmill_MainForm;
  connect(sceneControls_, &SceneControls::edited, this, &Main::SceneEdited);
  connect(sceneControls_, &SceneControls::redrawRequested, this, &Main::RedrawAll);
  connect(sceneControls_, &SceneControls::setGrad1Clicked, this, &Main::SetGrad1Click);
  connect(sceneControls_, &SceneControls::setGrad2Clicked, this, &Main::SetGrad2Click);
  connect(sceneControls_, &SceneControls::objectGroupClicked, this, &Main::EditObjectGroup);
  CeilingControls* ceiling = sceneControls_->Ceiling();
  connect(ceiling, &CeilingControls::tenjoTextureNameEntered, this, &Main::TenjoTextureNameEnter);
  connect(ceiling, &CeilingControls::tEnjoTextureReferClicked, this, &Main::TEnjoTextureReferClick);
  connect(ceiling, &CeilingControls::chTenjoTraClicked, this, &Main::ChTenjoTraClick);
  GroundControls* ground = sceneControls_->Ground();
  connect(ground, &GroundControls::groundTextureNameEntered, this, &Main::GroundTextureNameEnter);
  connect(ground, &GroundControls::groundTextureReferClicked, this, &Main::GroundTextureReferClick);
  connect(outputControls_, &OutputControls::edited, this, &Main::SceneEdited);
  connect(outputControls_, &OutputControls::redrawRequested, this, &Main::RedrawAll);
  connect(outputControls_, &OutputControls::referOutPutClicked, this, &Main::ReferOutPutClick);
  connect(outputControls_, &OutputControls::goClicked, this, &Main::GoClick);
  connect(outputControls_, &OutputControls::registToQoraLClicked, this, &Main::RegistToQoraLClick);
}

void THorizonmill_MainForm::BuildMenu() {
  auto action = [this](QMenu* menu, const char* name, const char* caption,
                       void (THorizonmill_MainForm::*handler)(), QKeySequence keys = {}) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    a->setShortcut(keys);
    connect(a, &QAction::triggered, this, handler);
    return a;
  };
  QMenu* file = menuBar()->addMenu("ファイル(&F)");
  new1_ = action(file, "New1", "設定の新規作成(&N)", &THorizonmill_MainForm::New1Click,
                 QKeySequence::New);
  open1_ = action(file, "Open1", "設定を開く(&O)", &THorizonmill_MainForm::Open1Click,
                  QKeySequence::Open);
  save1_ = action(file, "Save1", "設定を上書き保存(&S)", &THorizonmill_MainForm::Save1Click,
                  QKeySequence::Save);
  saveAs1_ = action(file, "SaveAs1", "設定を名前を付けて保存(&A)",
                    &THorizonmill_MainForm::SaveAs1Click, QKeySequence::SaveAs);
  file->addSeparator();
  cubeMap1_ = action(file, "CubeMap1", "キューブマップを出力...(&C)",
                     &THorizonmill_MainForm::CubeMap1Click);
  cubeMap1_->setToolTip(
      "完成画像を作画し、3Dソフト用のキューブマップ（px, nx, py, ny, pz, nz の6面）"
      "としてフォルダーに出力します");
  file->setToolTipsVisible(true);
  file->addSeparator();
  action(file, "Exit1", "終了(&X)", &THorizonmill_MainForm::Exit1Click, QKeySequence::Quit);
  QMenu* options = menuBar()->addMenu("オプション(&O)");
  jpeg1_ = action(options, "JPEG1", "JPEG圧縮設定...(&J)", &THorizonmill_MainForm::JPEG1Click);
  qoraLDelete_ = action(options, "QoraL_Delete", "QORA-Lシリーズに登録した背景を削除....(&D)",
                        &THorizonmill_MainForm::QoraL_DeleteClick);
  qoraLDelete_->setEnabled(false);
  QMenu* view = menuBar()->addMenu("表示(&L)");
  action(view, "LookAround1", "パノラマを見回す...(&L)", &THorizonmill_MainForm::LookAround1Click,
         QKeySequence(Qt::CTRL | Qt::Key_L));
  QMenu* version = menuBar()->addMenu("バージョン情報(&V)");
  action(version, "Author", "Horizonmillについて...(&A)", &THorizonmill_MainForm::AuthorClick);
}

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
  qoraLDelete_->setEnabled(idle && removalAvailable_);
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
