#include "ui/CeilingControls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

#include "ui/BoundInput.h"
#include "ui/DialogParts.h"

namespace horizonmill::ui {

CeilingControls::CeilingControls(Session& session, QWidget* parent)
    : ControlGroup(parent), session_(session) {
  tenjoNeeded_ = CheckBox("TenjoNeeded", tr("天井"), tr("天井と呼んでいますが通常は雲でしょう"));
  tenjoScaleLabel_ = Label("TenjoScaleLabel", tr("大きさ"));
  tenjoScale_ =
      new BoundInput("TenjoScale", 5,
                     tr("天井テクスチャの大きさです。本システムではテクスチャの解像度によら"
                        "ず一定のスケーリングを施します"),
                     session_, [](SceneSettings& s) -> std::string& { return s.Ceiling.Scale; });
  chTenjoTra_ = Button("ChTenjoTra", tr("透過色設定"),
                       tr("天井テクスチャの完全透過色("
                          "部分）を設定します。空気遠近をかけている場合はお勧めしません"));
  tenjoOpacityLabel1_ = Label("TenjoOpacityLabel1", tr("不透明"));
  tenjoOpacity_ = TrackBar("TenjoOpacity", 0, 100, tr("天井テクスチャの透明度です"));
  tenjoOpacityLabel2_ = Label("TenjoOpacityLabel2", tr("透明"));
  const QString mixHint = tr("天井テクスチャのグラデーションおよび星空に対する合成方法です");
  tenjoPanel_ = new QWidget;
  tenjoPanel_->setObjectName("TenjoPanel");
  tenjoPanel_->setToolTip(mixHint);
  auto* mixRow = new QHBoxLayout(tenjoPanel_);
  mixRow->setContentsMargins(0, 0, 0, 0);
  auto* mixGroup = new QButtonGroup(tenjoPanel_);
  const std::pair<QRadioButton**, std::pair<const char*, QString>> radios[] = {
      {&tenjoAdd_, {"TenjoAdd", tr("加法混色")}},
      {&tenjoNorm_, {"TenjoNorm", tr("中間混色")}},
      {&tenjoSub_, {"TenjoSub", tr("減法混色")}}};
  const std::uint8_t modes[] = {MixtureMode::Add, MixtureMode::Norm, MixtureMode::Sub};
  for (int i = 0; i < 3; ++i) {
    auto* r = new QRadioButton(radios[i].second.second);
    r->setObjectName(radios[i].second.first);
    r->setToolTip(mixHint);
    mixGroup->addButton(r);
    mixRow->addWidget(r);
    *radios[i].first = r;
    connect(r, &QRadioButton::toggled, this,
            [this, mode = modes[i]](bool on) { MixtureToggled(mode, on); });
  }
  mixRow->addStretch();
  tenjoTextureLabel_ = Label("TenjoTextureLabel", tr("天井テクスチャ画像"));
  tenjoTextureName_ =
      new BoundInput("TenjoTextureName", 0, tr("bmp、png、jpeg 形式の画像ファイルです"), session_,
                     [](SceneSettings& s) -> std::string& { return s.Ceiling.TextureFilename; });
  tEnjoTextureRefer_ =
      Button("TEnjoTextureRefer", tr("参照"), tr("天井テクスチャ指定用のダイアログを出します"));

  auto* grid = new QGridLayout;
  grid->addWidget(tenjoScaleLabel_, 0, 0);
  auto* scaleRow = new QHBoxLayout;
  scaleRow->addWidget(tenjoScale_);
  scaleRow->addStretch();
  scaleRow->addWidget(chTenjoTra_);
  grid->addLayout(scaleRow, 0, 1, 1, 3);
  grid->addWidget(tenjoOpacityLabel1_, 1, 0);
  grid->addWidget(tenjoOpacity_, 1, 1, 1, 2);
  grid->addWidget(tenjoOpacityLabel2_, 1, 3);
  grid->addWidget(tenjoPanel_, 2, 0, 1, 4);
  grid->addWidget(tenjoTextureLabel_, 3, 0, 1, 4);
  grid->addWidget(tenjoTextureName_, 4, 0, 1, 3);
  grid->addWidget(tEnjoTextureRefer_, 4, 3);
  grid->setColumnStretch(1, 1);
  MakeGroup(this, tenjoNeeded_, grid);

  connect(tenjoNeeded_, &QCheckBox::toggled, this, [this](bool on) {
    session_.Scene().Ceiling.Enabled = on;
    emit redrawRequested();
    emit committed();
  });
  connect(tenjoOpacity_, &QSlider::valueChanged, this, [this](int v) {
    session_.Scene().Ceiling.Transparency = v;
    emit edited();
    if (!tenjoOpacity_->isSliderDown()) emit committed();  // a drag is done when let go
  });
  connect(tenjoOpacity_, &QSlider::sliderReleased, this, &CeilingControls::committed);
  for (BoundInput* input : {tenjoScale_, tenjoTextureName_})
    connect(input, &BoundInput::edited, this, &CeilingControls::edited);
  connect(tenjoScale_, &QLineEdit::returnPressed, this, &CeilingControls::redrawRequested);
  connect(tenjoScale_, &QLineEdit::returnPressed, this, &CeilingControls::committed);
  connect(tenjoScale_, &TextInput::exited, this, [this] {
    tenjoScale_->setText(QString::fromStdString(GuardedScale(tenjoScale_->text().toStdString())));
    emit committed();
  });
  // Enter in the name loads the texture, which commits it with the picture.
  connect(tenjoTextureName_, &TextInput::exited, this, &CeilingControls::committed);
  connect(tenjoTextureName_, &QLineEdit::returnPressed, this, [this] {
    emit tenjoTextureNameEntered();
    TenjoTextureNameEdited();
  });
  // Once the name typed is the scene's.
  connect(tenjoTextureName_, &BoundInput::edited, this, &CeilingControls::TenjoTextureNameEdited);
  connect(tEnjoTextureRefer_, &QPushButton::clicked, this,
          &CeilingControls::tEnjoTextureReferClicked);
  connect(chTenjoTra_, &QPushButton::clicked, this, &CeilingControls::chTenjoTraClicked);
}

void CeilingControls::MixtureToggled(std::uint8_t mode, bool on) {
  if (!on) return;
  session_.Scene().Ceiling.MixtureMode = mode;
  emit edited();
  emit committed();
}

void CeilingControls::ShowScene() {
  const CeilingSettings& ceiling = session_.Scene().Ceiling;
  tenjoScale_->Show();
  tenjoTextureName_->Show();
  const QSignalBlocker blocks[] = {QSignalBlocker(tenjoNeeded_), QSignalBlocker(tenjoOpacity_),
                                   QSignalBlocker(tenjoAdd_), QSignalBlocker(tenjoNorm_),
                                   QSignalBlocker(tenjoSub_)};
  tenjoNeeded_->setChecked(ceiling.Enabled);
  tenjoOpacity_->setValue(ceiling.Transparency);
  (ceiling.MixtureMode == MixtureMode::Add   ? tenjoAdd_
   : ceiling.MixtureMode == MixtureMode::Sub ? tenjoSub_
                                             : tenjoNorm_)
      ->setChecked(true);
}

void CeilingControls::ShowStates(const ControlStates& states) {
  for (QWidget* w : std::initializer_list<QWidget*>{
           tenjoScaleLabel_, tenjoScale_, tenjoPanel_, tenjoAdd_, tenjoNorm_, tenjoSub_,
           tenjoOpacityLabel1_, tenjoOpacity_, tenjoOpacityLabel2_, tenjoTextureLabel_,
           tenjoTextureName_, tEnjoTextureRefer_})
    w->setEnabled(states.ceiling);
  chTenjoTra_->setEnabled(states.ceilingColour);
}

// The name typed is the scene's already: its picture, when it can be had, is
// what the transparent-colour picker shows.
void CeilingControls::TenjoTextureNameEdited() {
  chTenjoTra_->setEnabled(session_.CeilingPicture() != nullptr);
}

}  // namespace horizonmill::ui
