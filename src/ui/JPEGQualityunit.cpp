#include "ui/JPEGQualityunit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

namespace horizonmill::ui {

TJPEGQualityForm::TJPEGQualityForm(QWidget* parent) : QDialog(parent) {
  setObjectName("JPEGQualityForm");
  setWindowTitle(tr("JPEG圧縮率の指定"));

  quality_ = new QScrollBar(Qt::Horizontal, this);
  quality_->setObjectName("Quality");
  quality_->setRange(0, 100);
  quality_->setPageStep(10);
  quality_->setToolTip(tr("圧縮率と品質のトレードオフを指定します。"));
  quality_->setMinimumWidth(320);
  qualityText_ = new QLabel("0%", this);
  qualityText_->setObjectName("QualityText");
  qualityText_->setAlignment(Qt::AlignCenter);
  QFont big = qualityText_->font();
  big.setPointSizeF(big.pointSizeF() * 1.4);
  big.setBold(true);
  qualityText_->setFont(big);
  auto* low = new QLabel(tr("低品質高圧縮省サイズ"), this);
  auto* high = new QLabel(tr("高品質低圧縮大サイズ"), this);
  high->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  auto* ok = new QPushButton(tr("OK"), this);
  ok->setObjectName("BitBtn1");
  ok->setDefault(true);
  auto* cancel = new QPushButton(tr("キャンセル"), this);
  cancel->setObjectName("BitBtn2");

  auto* grid = new QGridLayout(this);
  grid->addWidget(qualityText_, 0, 0, 1, 2);
  grid->addWidget(quality_, 1, 0, 1, 2);
  grid->addWidget(low, 2, 0);
  grid->addWidget(high, 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  grid->addLayout(buttons, 3, 0, 1, 2);
  grid->setSizeConstraint(QLayout::SetFixedSize);

  connect(quality_, &QScrollBar::valueChanged, this, &TJPEGQualityForm::QualityChange);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TJPEGQualityForm::SetQuality(int quality) {
  quality_->setValue(quality);
  QualityChange(quality_->value());
}

int TJPEGQualityForm::Quality() const { return quality_->value(); }

void TJPEGQualityForm::QualityChange(int position) {
  qualityText_->setText(QStringLiteral("%1%").arg(position));
}

}  // namespace horizonmill::ui
