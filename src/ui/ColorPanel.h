// A colour panel: a sunken frame filled with one colour (an editor's pen, the
// sun's centre and outer colour).
#pragma once

#include <QColor>
#include <QFrame>

#include "image/Colour.h"

namespace horizonmill::ui {

inline QColor ToQColor(PackedColour c) { return QColor(Red(c), Green(c), Blue(c)); }
// Opaque: the colour dialog's colours reach the scene with alpha 255.
inline PackedColour ToPacked(const QColor& c) { return MakePacked(c.red(), c.green(), c.blue()); }
// Red, green and blue clamped to 0..255 and rounded, as a panel shows them.
inline QColor ToQColor(const FloatColour& c) { return ToQColor(PackFloatColour(c)); }

class ColorPanel : public QFrame {
  Q_OBJECT

 public:
  ColorPanel(const QString& name, const QString& hint, QWidget* parent = nullptr);

  void SetColour(const QColor& colour);
  const QColor& Colour() const { return colour_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor colour_ = Qt::white;
};

}  // namespace horizonmill::ui
