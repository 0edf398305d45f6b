// The pie-shaped progress gauge: a white sector on black that grows clockwise
// from twelve o'clock, with the percentage in its middle.
#pragma once

#include <QWidget>

namespace horizonmill::ui {

class ProgressPie : public QWidget {
  Q_OBJECT

 public:
  explicit ProgressPie(QWidget* parent = nullptr);
  int Value() const { return value_; }
  void SetValue(int percent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int value_ = 0;
};

}  // namespace horizonmill::ui
