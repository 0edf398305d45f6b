#include "ui/ProgressPie.h"

#include <QPainter>
#include <algorithm>

namespace horizonmill::ui {

ProgressPie::ProgressPie(QWidget* parent) : QWidget(parent) {
  setFixedSize(61, 65);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ProgressPie::SetValue(int percent) {
  percent = std::clamp(percent, 0, 100);
  if (percent == value_) return;
  value_ = percent;
  update();
}

void ProgressPie::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::black);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF pie = QRectF(rect()).adjusted(3, 5, -3, -5);
  p.setPen(QPen(Qt::white, 1));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(pie);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  // Qt counts sixteenths of a degree, counter-clockwise from three o'clock.
  p.drawPie(pie, 90 * 16, -value_ * 360 * 16 / 100);
  // The figure stays readable over white and black alike.
  p.setCompositionMode(QPainter::CompositionMode_Difference);
  p.setPen(Qt::white);
  p.drawText(rect(), Qt::AlignCenter, QStringLiteral("%1%").arg(value_));
}

}  // namespace horizonmill::ui
