// The window's text inputs: lime text on black, an optional typing limit,
// what typing may put in (a number field takes only numbers), and a signal
// when the user moves on to another control.
#pragma once

#include <QLineEdit>

namespace horizonmill::ui {

// What a text input takes from typing.
enum class TextKind {
  Any,
  Integer,  // digits with an optional sign
  Count,    // digits
  Real,     // a decimal number with an optional sign and exponent ("1.5", "-.5", "2E-3")
};

// Whether typing may leave `text` in an input of the kind: a number still
// being typed ("-", "1.", "2E") counts; letters never do.
bool TypingFits(TextKind kind, const QString& text);

class TextInput : public QLineEdit {
  Q_OBJECT

 public:
  // `typingLimit` caps what typing can reach (0: no cap). Text the program sets
  // (from a settings file) is taken whole, and may be shortened by typing.
  TextInput(const QString& name, int typingLimit, QWidget* parent = nullptr);

  // What typing may put in from now on; text the program shows (ShowText) is
  // taken whole whatever it holds, and typing may always shorten it.
  void SetKind(TextKind kind);
  // Puts the text in as the program's own (from the scene), not as typing.
  void ShowText(const QString& text);
  // Accept a file dropped from a file manager: its path becomes the text and
  // is entered, as if typed and Enter pressed.
  void AcceptFileDrops();

 signals:
  // The focus went to another control of the window (not to another window).
  void exited();

 protected:
  void focusOutEvent(QFocusEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  int typingLimit_;
  TextKind kind_ = TextKind::Any;
  QString shown_;  // the text the program put in last
  bool fileDrops_ = false;
};

// What the window's inputs take, by object name, set on the inputs under
// `root` (the main window and the dialogs it owns): the number fields take
// numbers only, the texture names take a picture dropped on them.
void SetTypingRules(QWidget& root);

}  // namespace horizonmill::ui
