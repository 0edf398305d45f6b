#include "ui/GroundControls.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include "ui/BoundInput.h"
#include "ui/DialogParts.h"

namespace horizonmill::ui {

GroundControls::GroundControls(Session& session, QWidget* parent)
    : ControlGroup(parent), session_(session) {
  zimenNeeded_ =
      CheckBox("ZimenNeeded", tr("地面"),
               tr("地面テクスチャは、静かな水面とか氷とかなんか特殊なものが得意という偏った仕様…"));
  groundScaleLabel_ = Label("GroundScaleLabel", tr("大きさ"));
  groundScale_ =
      new BoundInput("GroundScale", 5,
                     tr("地面テクスチャの大きさです。本システムではテクスチャの解像度によ"
                        "らず一定のスケーリングを施します"),
                     session_, [](SceneSettings& s) -> std::string& { return s.Ground.Scale; });
  groundWarpLabel_ = Label("GroundWarpLabel", tr("歪み"));
  groundWarp_ = new BoundInput(
      "GroundWarp", 5, tr("地面に映り込んだ像をテクスチャの柄にあわせて歪ませます。波紋に近い効果"),
      session_, [](SceneSettings& s) -> std::string& { return s.Ground.ReflectionWarp; });
  zimenRefLabel1_ = Label("ZimenRefLabel1", tr("非鏡面"));
  zimenRefValue_ = TrackBar("ZimenRefValue", 0, 100, tr("地面テクスチャの鏡面係数…"));
  zimenRefLabel2_ = Label("ZimenRefLabel2", tr("鏡面"));
  groundTextureLabel_ = Label("GroundTextureLabel", tr("地面テクスチャ画像"));
  groundTextureName_ =
      new BoundInput("GroundTextureName", 0, tr("bmp、png、jpeg 形式の画像ファイルです"), session_,
                     [](SceneSettings& s) -> std::string& { return s.Ground.TextureFilename; });
  groundTextureRefer_ =
      Button("GroundTextureRefer", tr("参照"), tr("地面テクスチャ指定用のダイアログを出します"));

  auto* grid = new QGridLayout;
  grid->addWidget(groundScaleLabel_, 0, 0);
  auto* scaleRow = new QHBoxLayout;
  scaleRow->addWidget(groundScale_);
  scaleRow->addSpacing(16);
  scaleRow->addWidget(groundWarpLabel_);
  scaleRow->addWidget(groundWarp_);
  scaleRow->addStretch();
  grid->addLayout(scaleRow, 0, 1, 1, 3);
  grid->addWidget(zimenRefLabel1_, 1, 0);
  grid->addWidget(zimenRefValue_, 1, 1, 1, 2);
  grid->addWidget(zimenRefLabel2_, 1, 3);
  grid->addWidget(groundTextureLabel_, 2, 0, 1, 4);
  grid->addWidget(groundTextureName_, 3, 0, 1, 3);
  grid->addWidget(groundTextureRefer_, 3, 3);
  grid->setColumnStretch(1, 1);
  MakeGroup(this, zimenNeeded_, grid);

  connect(zimenNeeded_, &QCheckBox::toggled, this, [this](bool on) {
    session_.Scene().Ground.Enabled = on;
    emit redrawRequested();
    emit committed();
  });
  connect(zimenRefValue_, &QSlider::valueChanged, this, &GroundControls::ZimenRefValueChange);
  connect(zimenRefValue_, &QSlider::sliderReleased, this, &GroundControls::committed);
  for (BoundInput* input : {groundScale_, groundWarp_, groundTextureName_})
    connect(input, &BoundInput::edited, this, &GroundControls::edited);
  for (BoundInput* input : {groundScale_, groundWarp_}) {
    connect(input, &QLineEdit::returnPressed, this, &GroundControls::redrawRequested);
    connect(input, &QLineEdit::returnPressed, this, &GroundControls::committed);
  }
  connect(groundScale_, &TextInput::exited, this, [this] {
    groundScale_->setText(QString::fromStdString(GuardedScale(groundScale_->text().toStdString())));
    emit committed();
  });
  // Enter in the name loads the texture, which commits it with the picture.
  for (BoundInput* input : {groundWarp_, groundTextureName_})
    connect(input, &TextInput::exited, this, &GroundControls::committed);
  connect(groundTextureName_, &QLineEdit::returnPressed, this,
          &GroundControls::groundTextureNameEntered);
  connect(groundTextureRefer_, &QPushButton::clicked, this,
          &GroundControls::groundTextureReferClicked);
}

void GroundControls::ZimenRefValueChange(int position) {
  session_.Scene().Ground.Reflection = position;
  groundWarpLabel_->setEnabled(position != 0);
  groundWarp_->setEnabled(position != 0);
  emit edited();
  if (!zimenRefValue_->isSliderDown()) emit committed();  // a drag is done when let go
}

void GroundControls::ShowScene() {
  const GroundSettings& ground = session_.Scene().Ground;
  for (BoundInput* input : {groundScale_, groundWarp_, groundTextureName_}) input->Show();
  const QSignalBlocker blocks[] = {QSignalBlocker(zimenNeeded_), QSignalBlocker(zimenRefValue_)};
  zimenNeeded_->setChecked(ground.Enabled);
  zimenRefValue_->setValue(ground.Reflection);
}

void GroundControls::ShowStates(const ControlStates& states) {
  for (QWidget* w : std::initializer_list<QWidget*>{
           groundTextureLabel_, groundTextureName_, groundTextureRefer_, groundScaleLabel_,
           groundScale_, zimenRefLabel1_, zimenRefLabel2_, zimenRefValue_})
    w->setEnabled(states.ground);
  groundWarpLabel_->setEnabled(states.groundWarp);
  groundWarp_->setEnabled(states.groundWarp);
}

}  // namespace horizonmill::ui
