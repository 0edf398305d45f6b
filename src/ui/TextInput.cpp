#include "ui/TextInput.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QMimeData>
#include <QRegularExpression>
#include <QUrl>
#include <QValidator>

namespace horizonmill::ui {
namespace {

// Refuses an edit that makes the text longer than the limit, or that leaves
// what a number field cannot take. The text the program put there is always
// accepted (a settings file may hold anything), and typing may shorten
// whatever the input holds. The line edit holds the edited text already when
// it asks, so the text before the edit is kept here.
class TypingRule : public QValidator {
 public:
  TypingRule(int limit, TextKind kind, const QString& shown, QLineEdit* edit)
      : QValidator(edit), limit_(limit), kind_(kind), shown_(shown), before_(edit->text()) {}
  State validate(QString& input, int&) const override {
    const bool fits = input == shown_ || input.size() < before_.size() ||
                      ((limit_ <= 0 || input.size() <= limit_) && TypingFits(kind_, input));
    if (fits) before_ = input;
    return fits ? Acceptable : Invalid;
  }

 private:
  int limit_;
  TextKind kind_;
  const QString& shown_;
  mutable QString before_;
};

}  // namespace

bool TypingFits(TextKind kind, const QString& text) {
  static const QRegularExpression integer(R"(^[-+]?[0-9]*$)");
  static const QRegularExpression count(R"(^[0-9]*$)");
  static const QRegularExpression real(R"(^[-+]?[0-9]*\.?[0-9]*([eE][-+]?[0-9]*)?$)");
  switch (kind) {
    case TextKind::Any:
      return true;
    case TextKind::Integer:
      return integer.match(text).hasMatch();
    case TextKind::Count:
      return count.match(text).hasMatch();
    case TextKind::Real:
      return real.match(text).hasMatch();
  }
  return false;
}

TextInput::TextInput(const QString& name, int typingLimit, QWidget* parent)
    : QLineEdit(parent), typingLimit_(typingLimit) {
  setObjectName(name);
  if (typingLimit > 0) setValidator(new TypingRule(typingLimit, kind_, shown_, this));
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

void TextInput::SetKind(TextKind kind) {
  kind_ = kind;
  delete validator();
  setValidator(new TypingRule(typingLimit_, kind_, shown_, this));
}

void TextInput::ShowText(const QString& text) {
  shown_ = text;
  setText(text);
}

void TextInput::AcceptFileDrops() {
  fileDrops_ = true;
  setAcceptDrops(true);
}

namespace {

// The local file a drop carries, when it carries exactly one.
QString DroppedFile(const QMimeData* data) {
  if (!data->hasUrls() || data->urls().size() != 1) return {};
  const QUrl url = data->urls().constFirst();
  return url.isLocalFile() ? url.toLocalFile() : QString();
}

}  // namespace

void TextInput::dragEnterEvent(QDragEnterEvent* event) {
  if (fileDrops_ && !DroppedFile(event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
    return;
  }
  QLineEdit::dragEnterEvent(event);
}

void TextInput::dropEvent(QDropEvent* event) {
  const QString file = fileDrops_ ? DroppedFile(event->mimeData()) : QString();
  if (file.isEmpty()) {
    QLineEdit::dropEvent(event);
    return;
  }
  event->acceptProposedAction();
  setFocus(Qt::OtherFocusReason);
  setText(file);
  emit returnPressed();
}

void SetTypingRules(QWidget& root) {
  const std::pair<const char*, TextKind> kinds[] = {
      {"Seed", TextKind::Integer},    {"AirDepth", TextKind::Real},
      {"Stars", TextKind::Count},     {"StarSize", TextKind::Real},
      {"TenjoScale", TextKind::Real}, {"GroundScale", TextKind::Real},
      {"GroundWarp", TextKind::Real}, {"ResX", TextKind::Count},
      {"ResY", TextKind::Count},      {"numofobj", TextKind::Count},
      {"Scale", TextKind::Real},
  };
  for (const auto& [name, kind] : kinds)
    for (TextInput* input : root.findChildren<TextInput*>(name)) input->SetKind(kind);
  for (const char* name : {"TenjoTextureName", "GroundTextureName"})
    for (TextInput* input : root.findChildren<TextInput*>(name)) input->AcceptFileDrops();
}

}  // namespace horizonmill::ui
