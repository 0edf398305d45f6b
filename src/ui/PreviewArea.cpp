#include "ui/PreviewArea.h"

#include <QMouseEvent>
#include <QPainter>

namespace horizonmill::ui {

PreviewArea::PreviewArea(WorkBitmap& bitmap, QWidget* parent) : QWidget(parent), bitmap_(bitmap) {
  setObjectName("Preview");
  setFixedSize(bitmap.Width(), bitmap.Height());
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::PointingHandCursor);
}

QImage PreviewArea::Wrap(WorkBitmap& bitmap) {
  return QImage(bitmap.Bits(), bitmap.Width(), bitmap.Height(),
                static_cast<qsizetype>(bitmap.Stride()), QImage::Format_BGR888);
}

void PreviewArea::DrawMessage(QPainter& painter, const QString& text) {
  painter.setPen(Qt::black);
  painter.setBackground(Qt::white);
  painter.setBackgroundMode(Qt::OpaqueMode);
  const QFontMetrics metrics = painter.fontMetrics();
  painter.drawText(QPoint(4, 4 + metrics.ascent()), text);
}

void PreviewArea::ShowBitmap() {
  message_.clear();
  cleared_ = false;
  RepaintNow();
}

void PreviewArea::Clear() {
  message_.clear();
  cleared_ = true;
  RepaintNow();
}

void PreviewArea::ShowMessage(const QString& text) {
  message_ = text;
  RepaintNow();
}

void PreviewArea::RepaintNow() {
  if (isVisible()) repaint();
}

void PreviewArea::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (cleared_)
    p.fillRect(rect(), palette().window());
  else
    p.drawImage(0, 0, Wrap(bitmap_));
  if (!message_.isEmpty()) DrawMessage(p, message_);
}

void PreviewArea::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (!rect().contains(at)) return;
  if (event->button() == Qt::LeftButton) emit clicked();
  emit released(event->button(), at);
}

}  // namespace horizonmill::ui
