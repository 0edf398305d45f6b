#include "ui/TenjoTraForm.h"

#include <QTimer>
#include <QVBoxLayout>
#include <utility>

#include "image/Placeholders.h"
#include "render/EditorPreviews.h"
#include "ui/DialogParts.h"
#include "ui/PreviewArea.h"

namespace horizonmill::ui {
TTenjoTraForm::TTenjoTraForm(QWidget* parent)
    : QDialog(parent), ceilingSample_(kEditorPreviewWidth, kEditorPreviewHeight) {
  setObjectName("TenjoTraForm");
  setWindowTitle(tr("天井の透過色設定"));
  if (!ceilingSample_.Empty()) FillWorkBitmap(ceilingSample_, BgrPixel{0, 0, 0});
  const QString hint = tr("左クリックで透過色の選択、右クリックでキャンセル");
  tenjoSample_ = EditorPreview(ceilingSample_, "TenjoSample", hint);
  upDateSample_ = new QTimer(this);
  upDateSample_->setObjectName("UpDateSample");
  upDateSample_->setInterval(250);

  auto* box = new QVBoxLayout(this);
  box->addLayout(PreviewWithHint(tenjoSample_, hint));
  box->addLayout(OkCancel(this, "Okey", tr("OK"), "BitBtn1", tr("キャンセル")));
  box->setSizeConstraint(QLayout::SetFixedSize);

  connect(tenjoSample_, &PreviewArea::released, this, &TTenjoTraForm::TenjoSampleMouseUp);
  connect(upDateSample_, &QTimer::timeout, this, &TTenjoTraForm::UpDateSampleTimer);
}

void TTenjoTraForm::Edit(PackedColour opaqueColor, std::shared_ptr<const PixelImage> texture) {
  candidate_ = opaqueColor;
  texture_ = std::move(texture);
  RedrawCeilingSample();
}

void TTenjoTraForm::RedrawCeilingSample() {
  if (!texture_ || ceilingSample_.Empty()) return;
  DrawKeyColourPreview(ceilingSample_, *texture_, candidate_, blink_);
  tenjoSample_->ShowBitmap();
}

void TTenjoTraForm::TenjoSampleMouseUp(Qt::MouseButton button, QPoint at) {
  if (!texture_) return;
  if (button == Qt::LeftButton)
    candidate_ = KeyColourAt(*texture_, at.x(), at.y(), ceilingSample_.Width(),
                             ceilingSample_.Height(), candidate_);
  else if (button == Qt::RightButton)
    candidate_ = FindUnusedColour(*texture_);
  else
    return;
  RedrawCeilingSample();
}

void TTenjoTraForm::UpDateSampleTimer() {
  blink_ = !blink_;
  RedrawCeilingSample();
}

void TTenjoTraForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  upDateSample_->start();
}

void TTenjoTraForm::hideEvent(QHideEvent* event) {
  upDateSample_->stop();
  texture_ = nullptr;  // only lent for the showing
  QDialog::hideEvent(event);
}

}  // namespace horizonmill::ui
