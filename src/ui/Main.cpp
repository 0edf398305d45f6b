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
#include "ui/DelBackForm.h"
#include "ui/DialogParts.h"
#include "ui/Grad1Form.h"
#include "ui/Grad2Form.h"
#include "ui/JPEGQualityunit.h"
#include "ui/ObjForm.h"
#include "ui/PreviewArea.h"
#include "ui/ProgressPie.h"
#include "ui/RegistName.h"
#include "ui/TenjoTraForm.h"
#include "ui/TextInput.h"

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

// A framed group of controls with a bold header line (a label, or the layer's
// switch).
QFrame* Group(QWidget* header, QLayout* body) {
  auto* frame = new QFrame;
  frame->setFrameShape(QFrame::StyledPanel);
  auto* box = new QVBoxLayout(frame);
  box->setContentsMargins(8, 6, 8, 8);
  box->setSpacing(6);
  QFont bold = header->font();
  bold.setBold(true);
  header->setFont(bold);
  box->addWidget(header);
  box->addLayout(body);
  return frame;
}

QCheckBox* CheckBox(const char* name, const char* caption, const char* hint = nullptr) {
  auto* c = new QCheckBox(caption);
  c->setObjectName(name);
  if (hint) c->setToolTip(hint);
  return c;
}

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
  left->addWidget(outputControls_ = BuildOutputControls());
  left->addStretch();
  auto* central = new QWidget;
  auto* columns = new QHBoxLayout(central);
  columns->addLayout(left);
  columns->addWidget(sceneControls_ = BuildSceneControls(), 1);
  setCentralWidget(central);

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

TextInput* THorizonmill_MainForm::AddInput(const char* name, int typingLimit, const char* hint,
                                           std::string& (*field)(SceneSettings&)) {
  auto* input = new TextInput(name, typingLimit);
  input->setToolTip(hint);
  if (typingLimit > 0) {
    // Room for the limit's characters and a little more.
    input->setFixedWidth(input->fontMetrics().horizontalAdvance('0') * (typingLimit + 2) + 14);
  }
  bindings_.push_back({input, field});
  connect(input, &QLineEdit::textChanged, this, [this, field](const QString& text) {
    field(session_.Scene()) = text.toStdString();
    SceneEdited();
  });
  return input;
}

QPushButton* THorizonmill_MainForm::AddButton(const char* name, const char* caption,
                                              const char* hint) {
  auto* b = new QPushButton(caption);
  b->setObjectName(name);
  b->setToolTip(hint);
  return b;
}

QLabel* THorizonmill_MainForm::AddLabel(const char* name, const char* caption) {
  auto* l = new QLabel(caption);
  l->setObjectName(name);
  return l;
}

QWidget* THorizonmill_MainForm::BuildSceneControls() {
  auto* panel = new QWidget;
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, 0, 0);

  // Sky, sun, aerial perspective.
  setGrad1_ =
      AddButton("SetGrad1", "空のグラデーション...", "空間を満たす水平グラデーションを定義します");
  setGrad2_ =
      AddButton("SetGrad2", "太陽設定...",
                "同心円グラデーションを定義します。オブジェクトに対する光源としても機能します");
  seed_ = AddInput("Seed", 5,
                   "星、オブジェクト配置に関する乱数j系列を指定します 整数を指定してください",
                   [](SceneSettings& s) -> std::string& { return s.RandomSeed; });
  airDepth_ = AddInput("AirDepth", 5, "推奨値は100以内の正の数値",
                       [](SceneSettings& s) -> std::string& { return s.AirDepth; });
  auto* sky = new QGridLayout;
  sky->addWidget(setGrad1_, 0, 0, 1, 2);
  sky->addWidget(setGrad2_, 0, 2, 1, 2);
  sky->addWidget(new QLabel("乱数のシード"), 1, 0);
  sky->addWidget(seed_, 1, 1, Qt::AlignLeft);
  sky->addWidget(new QLabel("空気遠近強さ"), 1, 2);
  sky->addWidget(airDepth_, 1, 3, Qt::AlignLeft);
  sky->setColumnStretch(1, 1);
  sky->setColumnStretch(3, 1);
  column->addWidget(Group(new QLabel("空と太陽"), sky));

  // Stars.
  stars_ = AddInput("Stars", 6, "星も空気遠近の影響を適当に受けます",
                    [](SceneSettings& s) -> std::string& { return s.Stars.NumberOfStars; });
  starSize_ = AddInput("StarSize", 6, "星の大きさの基準値。あまり大きくすると破綻します。",
                       [](SceneSettings& s) -> std::string& { return s.Stars.SizeOfStars; });
  auto* starRow = new QHBoxLayout;
  starRow->addWidget(new QLabel("星　数"));
  starRow->addWidget(stars_);
  starRow->addSpacing(16);
  starRow->addWidget(new QLabel("大きさ"));
  starRow->addWidget(starSize_);
  starRow->addStretch();
  column->addWidget(Group(new QLabel("星"), starRow));

  // Ceiling.
  tenjoNeeded_ = CheckBox("TenjoNeeded", "天井", "天井と呼んでいますが通常は雲でしょう");
  tenjoScaleLabel_ = AddLabel("TenjoScaleLabel", "大きさ");
  tenjoScale_ = AddInput("TenjoScale", 5,
                         "天井テクスチャの大きさです。本システムではテクスチャの解像度によらず一定"
                         "のスケーリングを施します",
                         [](SceneSettings& s) -> std::string& { return s.Ceiling.Scale; });
  chTenjoTra_ = AddButton(
      "ChTenjoTra", "透過色設定",
      "天井テクスチャの完全透過色(部分）を設定します。空気遠近をかけている場合はお勧めしません");
  tenjoOpacityLabel1_ = AddLabel("TenjoOpacityLabel1", "不透明");
  tenjoOpacity_ = TrackBar("TenjoOpacity", 0, 100, "天井テクスチャの透明度です");
  tenjoOpacityLabel2_ = AddLabel("TenjoOpacityLabel2", "透明");
  const char* mixHint = "天井テクスチャのグラデーションおよび星空に対する合成方法です";
  tenjoPanel_ = new QWidget;
  tenjoPanel_->setObjectName("TenjoPanel");
  tenjoPanel_->setToolTip(mixHint);
  auto* mixRow = new QHBoxLayout(tenjoPanel_);
  mixRow->setContentsMargins(0, 0, 0, 0);
  auto* mixGroup = new QButtonGroup(tenjoPanel_);
  const std::pair<QRadioButton**, std::pair<const char*, const char*>> radios[] = {
      {&tenjoAdd_, {"TenjoAdd", "加法混色"}},
      {&tenjoNorm_, {"TenjoNorm", "中間混色"}},
      {&tenjoSub_, {"TenjoSub", "減法混色"}}};
  const std::uint8_t modes[] = {MixtureMode::Add, MixtureMode::Norm, MixtureMode::Sub};
  for (int i = 0; i < 3; ++i) {
    auto* r = new QRadioButton(radios[i].second.second);
    r->setObjectName(radios[i].second.first);
    r->setToolTip(mixHint);
    mixGroup->addButton(r);
    mixRow->addWidget(r);
    *radios[i].first = r;
    connect(r, &QRadioButton::toggled, this, [this, mode = modes[i]](bool on) {
      if (!on) return;
      session_.Scene().Ceiling.MixtureMode = mode;
      SceneEdited();
    });
  }
  mixRow->addStretch();
  tenjoTextureLabel_ = AddLabel("TenjoTextureLabel", "天井テクスチャ画像");
  tenjoTextureName_ =
      AddInput("TenjoTextureName", 0, "bmp 形式の画像ファイルです",
               [](SceneSettings& s) -> std::string& { return s.Ceiling.TextureFilename; });
  tEnjoTextureRefer_ =
      AddButton("TEnjoTextureRefer", "参照", "天井テクスチャ指定用のダイアログを出します");
  auto* ceiling = new QGridLayout;
  ceiling->addWidget(tenjoScaleLabel_, 0, 0);
  auto* scaleRow = new QHBoxLayout;
  scaleRow->addWidget(tenjoScale_);
  scaleRow->addStretch();
  scaleRow->addWidget(chTenjoTra_);
  ceiling->addLayout(scaleRow, 0, 1, 1, 3);
  ceiling->addWidget(tenjoOpacityLabel1_, 1, 0);
  ceiling->addWidget(tenjoOpacity_, 1, 1, 1, 2);
  ceiling->addWidget(tenjoOpacityLabel2_, 1, 3);
  ceiling->addWidget(tenjoPanel_, 2, 0, 1, 4);
  ceiling->addWidget(tenjoTextureLabel_, 3, 0, 1, 4);
  ceiling->addWidget(tenjoTextureName_, 4, 0, 1, 3);
  ceiling->addWidget(tEnjoTextureRefer_, 4, 3);
  ceiling->setColumnStretch(1, 1);
  column->addWidget(Group(tenjoNeeded_, ceiling));

  // Ground.
  zimenNeeded_ =
      CheckBox("ZimenNeeded", "地面",
               "地面テクスチャは、静かな水面とか氷とかなんか特殊なものが得意という偏った仕様…");
  groundScaleLabel_ = AddLabel("GroundScaleLabel", "大きさ");
  groundScale_ = AddInput("GroundScale", 5,
                          "地面テクスチャの大きさです。本システムではテクスチャの解像度によらず一定"
                          "のスケーリングを施します",
                          [](SceneSettings& s) -> std::string& { return s.Ground.Scale; });
  groundWarpLabel_ = AddLabel("GroundWarpLabel", "歪み");
  groundWarp_ = AddInput("GroundWarp", 5,
                         "地面に映り込んだ像をテクスチャの柄にあわせて歪ませます。波紋に近い効果",
                         [](SceneSettings& s) -> std::string& { return s.Ground.ReflectionWarp; });
  zimenRefLabel1_ = AddLabel("ZimenRefLabel1", "非鏡面");
  zimenRefValue_ = TrackBar("ZimenRefValue", 0, 100, "地面テクスチャの鏡面係数…");
  zimenRefLabel2_ = AddLabel("ZimenRefLabel2", "鏡面");
  groundTextureLabel_ = AddLabel("GroundTextureLabel", "地面テクスチャ画像");
  groundTextureName_ =
      AddInput("GroundTextureName", 0, "bmp 形式の画像ファイルです",
               [](SceneSettings& s) -> std::string& { return s.Ground.TextureFilename; });
  groundTextureRefer_ =
      AddButton("GroundTextureRefer", "参照", "地面テクスチャ指定用のダイアログを出します");
  auto* ground = new QGridLayout;
  ground->addWidget(groundScaleLabel_, 0, 0);
  auto* groundRow = new QHBoxLayout;
  groundRow->addWidget(groundScale_);
  groundRow->addSpacing(16);
  groundRow->addWidget(groundWarpLabel_);
  groundRow->addWidget(groundWarp_);
  groundRow->addStretch();
  ground->addLayout(groundRow, 0, 1, 1, 3);
  ground->addWidget(zimenRefLabel1_, 1, 0);
  ground->addWidget(zimenRefValue_, 1, 1, 1, 2);
  ground->addWidget(zimenRefLabel2_, 1, 3);
  ground->addWidget(groundTextureLabel_, 2, 0, 1, 4);
  ground->addWidget(groundTextureName_, 3, 0, 1, 3);
  ground->addWidget(groundTextureRefer_, 3, 3);
  ground->setColumnStretch(1, 1);
  column->addWidget(Group(zimenNeeded_, ground));

  // Objects.
  setFarObject_ = AddButton("SetFarObject", "遠景オブジェクト設定...",
                            "最も奥に描かれるオブジェクト群を設定します");
  setMiddleObject_ = AddButton("SetMiddleObject", "中景オブジェクト設定...",
                               "中ぐらいの距離に描かれるオブジェクト群を設定します");
  setNearObject_ =
      AddButton("SetNearObject", "近景オブジェクト設定...",
                "近い距離に（といってもあんまり近くないのは作者の偏った思想のせい）以下略");
  auto* objects = new QHBoxLayout;
  objects->addWidget(setFarObject_);
  objects->addWidget(setMiddleObject_);
  objects->addWidget(setNearObject_);
  column->addWidget(Group(new QLabel("オブジェクト"), objects));
  column->addStretch();

  // Bindings of the switches, track bars and buttons.
  connect(tenjoNeeded_, &QCheckBox::toggled, this, [this](bool on) {
    session_.Scene().Ceiling.Enabled = on;
    RedrawAll();
  });
  connect(zimenNeeded_, &QCheckBox::toggled, this, [this](bool on) {
    session_.Scene().Ground.Enabled = on;
    RedrawAll();
  });
  connect(tenjoOpacity_, &QSlider::valueChanged, this, [this](int v) {
    session_.Scene().Ceiling.Transparency = v;
    SceneEdited();
  });
  connect(zimenRefValue_, &QSlider::valueChanged, this,
          &THorizonmill_MainForm::ZimenRefValueChange);
  for (TextInput* input :
       {seed_, airDepth_, stars_, starSize_, groundScale_, tenjoScale_, groundWarp_})
    connect(input, &QLineEdit::returnPressed, this, &THorizonmill_MainForm::RedrawAll);
  for (TextInput* input : {groundScale_, tenjoScale_})
    connect(input, &TextInput::exited, this, [input] {
      input->setText(QString::fromStdString(GuardedScale(input->text().toStdString())));
    });
  connect(groundTextureName_, &QLineEdit::returnPressed, this,
          &THorizonmill_MainForm::GroundTextureNameEnter);
  connect(tenjoTextureName_, &QLineEdit::returnPressed, this,
          &THorizonmill_MainForm::TenjoTextureNameEnter);
  connect(tenjoTextureName_, &QLineEdit::textEdited, this,
          &THorizonmill_MainForm::TenjoTextureNameEdited);
  connect(groundTextureRefer_, &QPushButton::clicked, this,
          &THorizonmill_MainForm::GroundTextureReferClick);
  connect(tEnjoTextureRefer_, &QPushButton::clicked, this,
          &THorizonmill_MainForm::TEnjoTextureReferClick);
  connect(chTenjoTra_, &QPushButton::clicked, this, &THorizonmill_MainForm::ChTenjoTraClick);
  connect(setGrad1_, &QPushButton::clicked, this, &THorizonmill_MainForm::SetGrad1Click);
  connect(setGrad2_, &QPushButton::clicked, this, &THorizonmill_MainForm::SetGrad2Click);
  connect(setFarObject_, &QPushButton::clicked, this,
          [this] { EditObjectGroup(TObjectForm::Far); });
  connect(setMiddleObject_, &QPushButton::clicked, this,
          [this] { EditObjectGroup(TObjectForm::Mid); });
  connect(setNearObject_, &QPushButton::clicked, this,
          [this] { EditObjectGroup(TObjectForm::Near); });
  return panel;
}

QWidget* THorizonmill_MainForm::BuildOutputControls() {
  resX_ = AddInput("ResX", 4, "出力画像の幅(ピクセル）です。もちろん整数",
                   [](SceneSettings& s) -> std::string& { return s.Output.Resolution.Width; });
  resY_ = AddInput("ResY", 4, "出力画像の高さ（ピクセル）もちろん整数",
                   [](SceneSettings& s) -> std::string& { return s.Output.Resolution.Height; });
  outPutFilen_ = AddInput("OutPutFilen", 0,
                          "jpeg(.jpg) か bmp(.bmp) "
                          "形式の画像ファイルを指定して下さい。絶対パスでの記入をオススメします。",
                          [](SceneSettings& s) -> std::string& { return s.Output.Filename; });
  referOutPut_ = AddButton("ReferOutPut", "参照", "出力画像指定用のダイアログを出します");
  go_ = AddButton("Go", "レンダリングを実行し完成画像を画像ファイルとして出力",
                  "完成画像を作画し、出力します");
  registToQoraL_ = AddButton("RegistToQoraL", "QORA-Lシリーズに登録",
                             "背景画像を作画しQora-Lシリーズに登録します。");
  // The old output format's switches exist for the settings file only.
  isOldFormat_ = CheckBox("isOldFormat", "分割出力モード（");
  dietMode_ = CheckBox("DietMode", "ダイエットモード ）");

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("出力解像度"), 0, 0);
  auto* resolution = new QHBoxLayout;
  resolution->addWidget(resX_);
  resolution->addWidget(new QLabel("X"));
  resolution->addWidget(resY_);
  resolution->addStretch();
  resolution->addWidget(isOldFormat_);
  resolution->addWidget(dietMode_);
  isOldFormat_->hide();
  dietMode_->hide();
  grid->addLayout(resolution, 0, 1, 1, 2);
  grid->addWidget(new QLabel("出力画像ファイル名"), 1, 0, 1, 3);
  grid->addWidget(outPutFilen_, 2, 0, 1, 2);
  grid->addWidget(referOutPut_, 2, 2);
  grid->addWidget(go_, 3, 0, 1, 3);
  grid->addWidget(registToQoraL_, 4, 0, 1, 3);
  grid->setColumnStretch(1, 1);

  for (TextInput* input : {resX_, resY_, outPutFilen_})
    connect(input, &QLineEdit::returnPressed, this, &THorizonmill_MainForm::RedrawAll);
  auto format = [this] {
    session_.Scene().Output.Format = !isOldFormat_->isChecked() ? OutputFormat::Normal
                                     : dietMode_->isChecked()   ? OutputFormat::OldDiet
                                                                : OutputFormat::Old;
    RedrawAll();
  };
  connect(isOldFormat_, &QCheckBox::toggled, this, format);
  connect(dietMode_, &QCheckBox::toggled, this, format);
  connect(referOutPut_, &QPushButton::clicked, this, &THorizonmill_MainForm::ReferOutPutClick);
  connect(go_, &QPushButton::clicked, this, &THorizonmill_MainForm::GoClick);
  connect(registToQoraL_, &QPushButton::clicked, this, &THorizonmill_MainForm::RegistToQoraLClick);
  return Group(new QLabel("出力"), grid);
}

void THorizonmill_MainForm::ShowScene() {
  SceneSettings& scene = session_.Scene();
  for (const TextBinding& b : bindings_) {
    const QSignalBlocker block(b.input);
    b.input->setText(QString::fromStdString(b.field(scene)));
  }
  const QSignalBlocker blocks[] = {
      QSignalBlocker(tenjoNeeded_), QSignalBlocker(zimenNeeded_),  QSignalBlocker(isOldFormat_),
      QSignalBlocker(dietMode_),    QSignalBlocker(tenjoOpacity_), QSignalBlocker(zimenRefValue_),
      QSignalBlocker(tenjoAdd_),    QSignalBlocker(tenjoNorm_),    QSignalBlocker(tenjoSub_)};
  tenjoNeeded_->setChecked(scene.Ceiling.Enabled);
  zimenNeeded_->setChecked(scene.Ground.Enabled);
  isOldFormat_->setChecked(scene.Output.Format != OutputFormat::Normal);
  dietMode_->setChecked(scene.Output.Format == OutputFormat::OldDiet);
  tenjoOpacity_->setValue(scene.Ceiling.Transparency);
  zimenRefValue_->setValue(scene.Ground.Reflection);
  const std::uint8_t mode = scene.Ceiling.MixtureMode;
  (mode == MixtureMode::Add   ? tenjoAdd_
   : mode == MixtureMode::Sub ? tenjoSub_
                              : tenjoNorm_)
      ->setChecked(true);
}

void THorizonmill_MainForm::RedrawAll() {
  const ControlStates s = session_.Refresh();
  for (QWidget* w : std::initializer_list<QWidget*>{
           tenjoScaleLabel_, tenjoScale_, tenjoPanel_, tenjoAdd_, tenjoNorm_, tenjoSub_,
           tenjoOpacityLabel1_, tenjoOpacity_, tenjoOpacityLabel2_, tenjoTextureLabel_,
           tenjoTextureName_, tEnjoTextureRefer_})
    w->setEnabled(s.ceiling);
  chTenjoTra_->setEnabled(s.ceilingColour);
  for (QWidget* w : std::initializer_list<QWidget*>{
           groundTextureLabel_, groundTextureName_, groundTextureRefer_, groundScaleLabel_,
           groundScale_, zimenRefLabel1_, zimenRefLabel2_, zimenRefValue_})
    w->setEnabled(s.ground);
  groundWarpLabel_->setEnabled(s.groundWarp);
  groundWarp_->setEnabled(s.groundWarp);
  dietMode_->setEnabled(s.dietMode);
  if (!s.resolution) {
    // The old output format holds the resolution (Session::Refresh set it).
    const QSignalBlocker bx(resX_), by(resY_);
    resX_->setText(QString::fromStdString(session_.Scene().Output.Resolution.Width));
    resY_->setText(QString::fromStdString(session_.Scene().Output.Resolution.Height));
  } else {
    const QSignalBlocker block(dietMode_);
    dietMode_->setChecked(false);
  }
  resX_->setEnabled(s.resolution);
  resY_->setEnabled(s.resolution);
  go_->setEnabled(s.output);
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
