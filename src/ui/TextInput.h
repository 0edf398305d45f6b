// The window's text inputs: lime text on black, an optional typing limit,
// what typing may put in (a number field takes only numbers, within its
// range), and a signal when the user moves on to another control.
#pragma once

#include <QLineEdit>
#include <optional>

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

// The values a whole-number input takes, both ends included.
struct NumberRange {
  qlonglong min = 0;
  qlonglong max = 0;
};

class TextInput : public QLineEdit {
  Q_OBJECT

 public:
  // `typingLimit` caps what typing can reach (0: no cap). Text the program sets
  // (from a settings file) is taken whole, and may be shortened by typing.
  TextInput(const QString& name, int typingLimit, QWidget* parent = nullptr);

  // What typing and pasting may put in from now on: text of the kind, and
  // for a whole number one no larger than the range allows. Text the program
  // shows (ShowText) is taken whole whatever it holds, and deleting from it is
  // always allowed. An edit that is not yet a number of the kind within the
  // range ("", "-", "0" where the range starts at 1) is refused when the user
  // presses Enter or moves on: the input says why (refused) and shows its last
  // good text again.
  void SetKind(TextKind kind, std::optional<NumberRange> range = std::nullopt);
  // Puts the text in as the program's own (from the scene), not as typing; it
  // is the input's good text from now on.
  void ShowText(const QString& text);
  // Accept a file dropped from a file manager: its path becomes the text and
  // is entered, as if typed and Enter pressed.
  void AcceptFileDrops();

 signals:
  // The focus went to another control of the window (not to another window).
  void exited();
  // An edit was refused: `why` says what the input takes.
  void refused(const QString& why);

 protected:
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // What the input takes, as the user is told.
  QString Takes() const;
  // An edit that is no number of the kind within the range: the user is told,
  // and the last good text comes back. False when the text stands.
  bool RefuseUnfinished();

  int typingLimit_;
  TextKind kind_ = TextKind::Any;
  std::optional<NumberRange> range_;
  QString shown_;  // the text the program put in last
  QString good_;   // the text last shown or committed as a number within the range
  bool fileDrops_ = false;
};

// What the window's inputs take, by object name, set on the inputs under
// `root` (the main window and the dialogs it owns): the number fields take
// numbers only (the output size 1 to 65535), the texture names take a picture
// dropped on them.
void SetTypingRules(QWidget& root);

}  // namespace horizonmill::ui
