// The window's text inputs: lime text on black, an optional typing limit, and
// a signal when the user moves on to another control.
#pragma once

#include <QLineEdit>

namespace horizonmill::ui {

class TextInput : public QLineEdit {
  Q_OBJECT

 public:
  // `typingLimit` caps what typing can reach (0: no cap). Text the program sets
  // (from a settings file) is taken whole, and may be shortened by typing.
  TextInput(const QString& name, int typingLimit, QWidget* parent = nullptr);

 signals:
  // The focus went to another control of the window (not to another window).
  void exited();

 protected:
  void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace horizonmill::ui
