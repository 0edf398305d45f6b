#include "ui/BoundInput.h"

#include <QKeyEvent>
#include <QSignalBlocker>

namespace horizonmill::ui {
namespace {

bool IsUndoOrRedo(const QKeyEvent& key) {
  return key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo) ||
         key.keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Z) ||
         key.keyCombination() == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z) ||
         key.keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y);
}

}  // namespace

BoundInput::BoundInput(const char* name, int typingLimit, const QString& hint, Session& session,
                       Field field, QWidget* parent)
    : TextInput(name, typingLimit, parent), session_(session), field_(field) {
  setToolTip(hint);
  if (typingLimit > 0) setFixedWidth(fontMetrics().horizontalAdvance('0') * (typingLimit + 2) + 14);
  connect(this, &QLineEdit::textChanged, this, &BoundInput::TextChange);
}

void BoundInput::Show() {
  const QSignalBlocker block(this);
  ShowText(QString::fromStdString(field_(session_.Scene())));
}

bool BoundInput::event(QEvent* event) {
  // Not taken by the input, the keys reach the window's shortcuts.
  if (event->type() == QEvent::ShortcutOverride && IsUndoOrRedo(*static_cast<QKeyEvent*>(event))) {
    event->ignore();
    return true;
  }
  return TextInput::event(event);
}

void BoundInput::keyPressEvent(QKeyEvent* event) {
  // No shortcut took them (nothing to undo or redo): the text stays as it is.
  if (IsUndoOrRedo(*event)) {
    event->ignore();
    return;
  }
  TextInput::keyPressEvent(event);
}

void BoundInput::TextChange(const QString& text) {
  field_(session_.Scene()) = text.toStdString();
  emit edited();
}

}  // namespace horizonmill::ui
