#include "ui/ColorPanel.h"

#include <QPainter>

namespace horizonmill::ui {

ColorPanel::ColorPanel(const QString& name, const QString& hint, QWidget* parent) : QFrame(parent) {
  setObjectName(name);
  setToolTip(hint);
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(2);
  setFixedSize(48, 32);
}

void ColorPanel::SetColour(const QColor& colour) {
  colour_ = colour;
  update();
}

void ColorPanel::paintEvent(QPaintEvent* event) {
  QPainter(this).fillRect(contentsRect(), colour_);
  QFrame::paintEvent(event);
}

}  // namespace horizonmill::ui
