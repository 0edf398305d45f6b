#include "ui/TextInput.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QRegularExpression>
#include <QUrl>
#include <QValidator>

namespace horizonmill::ui {
namespace {

// Whether `after` is `before` with one run of characters taken out.
bool IsDeletion(const QString& before, const QString& after) {
  if (after.size() >= before.size()) return false;
  qsizetype head = 0;
  while (head < after.size() && after[head] == before[head]) ++head;
  qsizetype tail = 0;
  while (head + tail < after.size() &&
         after[after.size() - 1 - tail] == before[before.size() - 1 - tail])
    ++tail;
  return head + tail == after.size();
}

// Whether `text` is what an input of the kind may hold: while a number is
// being typed, or (`whole`) once it is one.
bool Matches(TextKind kind, const QString& text, bool whole) {
  if (kind == TextKind::Any) return true;
  // By kind (Integer, Count, Real), typed then whole.
  static const QRegularExpression patterns[3][2] = {
      {QRegularExpression(R"(^[-+]?[0-9]*$)"), QRegularExpression(R"(^[-+]?[0-9]+$)")},
      {QRegularExpression(R"(^[0-9]*$)"), QRegularExpression(R"(^[0-9]+$)")},
      {QRegularExpression(R"(^[-+]?[0-9]*\.?[0-9]*([eE][-+]?[0-9]*)?$)"),
       QRegularExpression(R"(^[-+]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][-+]?[0-9]+)?$)")},
  };
  return patterns[static_cast<int>(kind) - 1][whole ? 1 : 0].match(text).hasMatch();
}

bool IsNumber(TextKind kind, const QString& text) { return Matches(kind, text, true); }

// Whether a whole number of `text` lies beyond the range's upper end (a
// number too long to convert does).
bool BeyondRange(const std::optional<NumberRange>& range, const QString& text) {
  if (!range || text.isEmpty() || text == "-" || text == "+") return false;
  bool converted = false;
  const qlonglong value = text.toLongLong(&converted);
  return !converted || value > range->max;
}

bool WithinRange(const std::optional<NumberRange>& range, const QString& text) {
  if (!range) return true;
  bool converted = false;
  const qlonglong value = text.toLongLong(&converted);
  return converted && value >= range->min && value <= range->max;
}

// Refuses an edit that makes the text longer than the limit, leaves what a
// number field cannot take, or a whole number beyond the range. The text the
// program put there is always accepted (a settings file may hold anything),
// and so is a deletion from whatever the input holds. Text that is not yet a
// whole number of the kind within the range is intermediate: the input refuses
// it only when the user presses Enter or moves on. The line edit holds the
// edited text already when it asks, so the text before the edit is kept here.
class TypingRule : public QValidator {
 public:
  TypingRule(int limit, TextKind kind, std::optional<NumberRange> range, const QString& shown,
             QLineEdit* edit)
      : QValidator(edit),
        limit_(limit),
        kind_(kind),
        range_(range),
        shown_(shown),
        before_(edit->text()) {}
  State validate(QString& input, int&) const override {
    beyondRange_ = false;
    if (input != shown_ && !IsDeletion(before_, input)) {
      if ((limit_ > 0 && input.size() > limit_) || !TypingFits(kind_, input)) return Invalid;
      if (BeyondRange(range_, input)) {
        beyondRange_ = true;
        return Invalid;
      }
    }
    before_ = input;
    const bool finished = input == shown_ || (IsNumber(kind_, input) && WithinRange(range_, input));
    return finished ? Acceptable : Intermediate;
  }
  // Whether the last edit refused went beyond the range.
  bool BeyondRangeRefused() const { return beyondRange_; }

 private:
  int limit_;
  TextKind kind_;
  std::optional<NumberRange> range_;
  const QString& shown_;
  mutable QString before_;
  mutable bool beyondRange_ = false;
};

}  // namespace

bool TypingFits(TextKind kind, const QString& text) { return Matches(kind, text, false); }

TextInput::TextInput(const QString& name, int typingLimit, QWidget* parent)
    : QLineEdit(parent), typingLimit_(typingLimit) {
  setObjectName(name);
  if (typingLimit > 0) setValidator(new TypingRule(typingLimit, kind_, range_, shown_, this));
  connect(this, &QLineEdit::inputRejected, this, [this] {
    const auto* rule = dynamic_cast<const TypingRule*>(validator());
    if (rule && rule->BeyondRangeRefused()) emit refused(Takes());
  });
  setStyleSheet(
      "QLineEdit { background: black; color: lime; selection-background-color: lime;"
      " selection-color: black; }"
      "QLineEdit:disabled { background: #404040; color: #7c9c7c; }");
}

void TextInput::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // Leaving the window, or being disabled while a render runs, is not moving on.
  const auto reason = event->reason();
  if (isEnabled() && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
    RefuseUnfinished();
    emit exited();
  }
}

void TextInput::keyPressEvent(QKeyEvent* event) {
  // Enter commits the last good text when the edit is refused.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) RefuseUnfinished();
  QLineEdit::keyPressEvent(event);
}

bool TextInput::RefuseUnfinished() {
  if (hasAcceptableInput()) {
    good_ = text();
    return false;
  }
  // The good text first: the message may take the focus.
  setText(good_);
  emit refused(Takes());
  return true;
}

QString TextInput::Takes() const {
  switch (kind_) {
    case TextKind::Integer:
    case TextKind::Count:
      return range_
                 ? tr("%1 から %2 までの整数を入力してください。").arg(range_->min).arg(range_->max)
                 : tr("整数を入力してください。");
    case TextKind::Real:
      return tr("数値を入力してください。");
    case TextKind::Any:
      break;
  }
  return {};
}

void TextInput::SetKind(TextKind kind, std::optional<NumberRange> range) {
  kind_ = kind;
  range_ = range;
  delete validator();
  setValidator(new TypingRule(typingLimit_, kind_, range_, shown_, this));
}

void TextInput::ShowText(const QString& text) {
  shown_ = text;
  good_ = text;
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
  struct Rule {
    const char* name;
    TextKind kind;
    std::optional<NumberRange> range;
  };
  // An image side is at most 65535 pixels.
  const NumberRange side{1, 65535};
  const Rule rules[] = {
      {"Seed", TextKind::Integer, {}},    {"AirDepth", TextKind::Real, {}},
      {"Stars", TextKind::Count, {}},     {"StarSize", TextKind::Real, {}},
      {"TenjoScale", TextKind::Real, {}}, {"GroundScale", TextKind::Real, {}},
      {"GroundWarp", TextKind::Real, {}}, {"ResX", TextKind::Count, side},
      {"ResY", TextKind::Count, side},    {"numofobj", TextKind::Count, {}},
      {"Scale", TextKind::Real, {}},
  };
  for (const Rule& rule : rules)
    for (TextInput* input : root.findChildren<TextInput*>(rule.name))
      input->SetKind(rule.kind, rule.range);
  for (const char* name : {"TenjoTextureName", "GroundTextureName"})
    for (TextInput* input : root.findChildren<TextInput*>(name)) input->AcceptFileDrops();
}

}  // namespace horizonmill::ui
