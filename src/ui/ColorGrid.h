// The 16-colour grid: the classic 16-colour palette in four rows of four. A
// left click selects the foreground colour, which is marked "FG" until the
// marks are cleared.
#pragma once

#include <QColor>
#include <QWidget>
#include <optional>

namespace horizonmill::ui {

class ColorGrid : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kColours = 16;
  // black, maroon, green, olive, navy, purple, teal, silver, grey, red, lime,
  // yellow, blue, fuchsia, aqua, white.
  static QColor PaletteColour(int index);

  ColorGrid(const QString& name, const QString& hint, QWidget* parent = nullptr);

  // The colour selected with the left button; nothing after ClearMarks.
  std::optional<QColor> ForegroundColor() const;
  void ClearMarks();
  // Where the colour of `index` is drawn.
  QRect CellRect(int index) const;

 signals:
  void changed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  int foreground_ = -1;
};

}  // namespace horizonmill::ui
