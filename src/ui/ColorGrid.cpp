#include "ui/ColorGrid.h"

#include <QMouseEvent>
#include <QPainter>

namespace horizonmill::ui {
namespace {

constexpr int kCell = 22;  // each colour's square, frame included
constexpr QRgb kPalette[ColorGrid::kColours] = {
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};

}  // namespace

QColor ColorGrid::PaletteColour(int index) { return QColor(kPalette[index]); }

ColorGrid::ColorGrid(const QString& name, const QString& hint, QWidget* parent) : QWidget(parent) {
  setObjectName(name);
  setToolTip(hint);
  setFixedSize(4 * kCell + 1, 4 * kCell + 1);
  setCursor(Qt::PointingHandCursor);
}

std::optional<QColor> ColorGrid::ForegroundColor() const {
  if (foreground_ < 0) return std::nullopt;
  return PaletteColour(foreground_);
}

void ColorGrid::ClearMarks() {
  foreground_ = -1;
  update();
}

QRect ColorGrid::CellRect(int index) const {
  return QRect(index % 4 * kCell, index / 4 * kCell, kCell + 1, kCell + 1);
}

void ColorGrid::paintEvent(QPaintEvent*) {
  QPainter p(this);
  for (int i = 0; i < kColours; ++i) {
    const QRect cell = CellRect(i);
    p.fillRect(cell, palette().dark());
    p.fillRect(cell.adjusted(1, 1, -1, -1), PaletteColour(i));
    if (i != foreground_) continue;
    // The mark in the colour that stands out from the cell.
    const QColor mark = PaletteColour(i).lightness() < 128 ? Qt::white : Qt::black;
    p.setPen(mark);
    p.drawRect(cell.adjusted(2, 2, -3, -3));
    QFont small = font();
    small.setPixelSize(9);
    small.setBold(true);
    p.setFont(small);
    p.drawText(cell, Qt::AlignCenter, QStringLiteral("FG"));
  }
}

void ColorGrid::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  for (int i = 0; i < kColours; ++i) {
    if (!CellRect(i).adjusted(0, 0, -1, -1).contains(event->position().toPoint())) continue;
    foreground_ = i;
    update();
    emit changed();
    return;
  }
}

}  // namespace horizonmill::ui
