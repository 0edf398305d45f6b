#include "ui/CubeMapForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

#include "render/CubeMap.h"

namespace horizonmill::ui {

TCubeMapForm::TCubeMapForm(QWidget* parent) : QDialog(parent) {
  setObjectName("CubeMapForm");
  setWindowTitle(tr("キューブマップの出力"));

  layout_ = new QComboBox(this);
  layout_->setObjectName("CubeLayout");
  const std::pair<CubeLayout, QString> layouts[] = {
      {CubeLayout::Faces, tr("6枚の画像 (px, nx, py, ny, pz, nz)")},
      {CubeLayout::Row, tr("横一列 (6 × 1)")},
      {CubeLayout::Column, tr("縦一列 (1 × 6)")},
      {CubeLayout::Grid2x3, tr("2 × 3 (X+, X−, Y+, Y−, Z+, Z−)")},
      {CubeLayout::Grid3x2, tr("3 × 2 (X+, X−, Y+, Y−, Z+, Z−)")},
      {CubeLayout::Cross, tr("横十字")},
      {CubeLayout::VerticalCross, tr("縦十字")},
  };
  for (const auto& [layout, text] : layouts) layout_->addItem(text, static_cast<int>(layout));
  layout_->setToolTip(tr("6枚の画像か、1枚にまとめた配置かを選びます"));

  convention_ = new QComboBox(this);
  convention_->setObjectName("CubeConvention");
  convention_->addItem(tr("OpenGL"), static_cast<int>(CubeConvention::Gl));
  convention_->addItem(tr("three.js の背景"), static_cast<int>(CubeConvention::ThreeJs));
  convention_->setToolTip(
      tr("three.js の背景では左右の面を入れ替え、各面を鏡像にして、パノラマと同じ景色に見せます"));

  format_ = new QComboBox(this);
  format_->setObjectName("CubeFormat");
  const std::pair<ImageFormat, const char*> formats[] = {
      {ImageFormat::Png, "PNG"},          {ImageFormat::Jpeg, "JPEG"},
      {ImageFormat::Bmp, "BMP"},          {ImageFormat::Exr, "OpenEXR (HDR)"},
      {ImageFormat::Hdr, "Radiance HDR"},
  };
  for (const auto& [format, name] : formats) format_->addItem(name, static_cast<int>(format));

  faceSize_ = new QSpinBox(this);
  faceSize_->setObjectName("FaceSize");
  faceSize_->setRange(1, 65535);
  faceSize_->setSuffix(tr(" ピクセル"));
  connect(faceSize_, &QSpinBox::valueChanged, this, [this] { faceSizeChosen_ = true; });

  sh_ = new QCheckBox(tr("環境光の係数 (sh.json) も書き出す"), this);
  sh_->setObjectName("CubeShJson");
  sh_->setToolTip(
      tr("拡散光を照らす球面調和係数 9 個を、面と同じフォルダーに JSON で書き出します"));

  auto* form = new QFormLayout;
  form->addRow(tr("配置"), layout_);
  form->addRow(tr("面の向き"), convention_);
  form->addRow(tr("形式"), format_);
  form->addRow(tr("面の大きさ"), faceSize_);
  form->addRow(sh_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("CubeMapOk");
  buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(tr("キャンセル"));
  auto* column = new QVBoxLayout(this);
  column->addLayout(form);
  column->addWidget(buttons);
  column->setSizeConstraint(QLayout::SetFixedSize);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TCubeMapForm::SetDefaultFaceSize(int panoramaWidth) {
  if (faceSizeChosen_) return;
  faceSize_->blockSignals(true);
  faceSize_->setValue(DefaultCubeFaceSize(panoramaWidth));
  faceSize_->blockSignals(false);
}

void TCubeMapForm::FillRequest(OutputRequest& request) const {
  request.cubeLayout = static_cast<CubeLayout>(layout_->currentData().toInt());
  request.cubeConvention = static_cast<CubeConvention>(convention_->currentData().toInt());
  request.faceFormat = static_cast<ImageFormat>(format_->currentData().toInt());
  request.faceSize = faceSize_->value();
  request.shJson = sh_->isChecked() ? request.cubemap + "/" + kShFileName : std::string();
}

}  // namespace horizonmill::ui
