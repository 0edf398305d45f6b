#include "ui/TextInput.h"

#include <QFocusEvent>
#include <QValidator>

namespace horizonmill::ui {
namespace {

// Refuses an edit that makes the text longer than the limit; an over-long text
// from a file may still be shortened.
class TypingLimit : public QValidator {
 public:
  TypingLimit(int limit, QLineEdit* edit) : QValidator(edit), limit_(limit), edit_(edit) {}
  State validate(QString& input, int&) const override {
    const auto n = input.size();
    return n <= limit_ || n < edit_->text().size() ? Acceptable : Invalid;
  }

 private:
  int limit_;
  QLineEdit* edit_;
};

}  // namespace

TextInput::TextInput(const QString& name, int typingLimit, QWidget* parent) : QLineEdit(parent) {
  setObjectName(name);
  if (typingLimit > 0) setValidator(new TypingLimit(typingLimit, this));
  setStyleSheet(
      "QLineEdit { background: black; color: lime; selection-background-color: lime;"
      " selection-color: black; }"
      "QLineEdit:disabled { background: #404040; color: #7c9c7c; }");
}

void TextInput::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // Leaving the window, or being disabled while a render runs, is not moving on.
  const auto reason = event->reason();
  if (isEnabled() && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
    emit exited();
}

}  // namespace horizonmill::ui
