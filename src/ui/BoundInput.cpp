#include "ui/BoundInput.h"

#include <QSignalBlocker>

namespace horizonmill::ui {

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

void BoundInput::TextChange(const QString& text) {
  field_(session_.Scene()) = text.toStdString();
  emit edited();
}

}  // namespace horizonmill::ui
