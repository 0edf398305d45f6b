#include "ui/EditHistory.h"

#include <QAction>
#include <QCoreApplication>
#include <QUndoCommand>
#include <QUndoStack>
#include <cstddef>
#include <utility>

#include "ui/SessionView.h"

namespace horizonmill::ui {
namespace {

// What a step is called after the first value it changes, in the order of the
// window's controls (the old output format before the resolution it holds),
// then the object groups.
struct ValueCaption {
  const char* caption;
  bool (*differs)(const SceneSettings&, const SceneSettings&);
};
std::size_t Objects(const SceneSettings& s) { return s.Far.Size() + s.Mid.Size() + s.Near.Size(); }
const ValueCaption kCaptions[] = {
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "空のグラデーション"),
     [](auto& a, auto& b) { return a.Sky != b.Sky; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "太陽設定"),
     [](auto& a, auto& b) { return a.Sun != b.Sun; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "乱数のシード"),
     [](auto& a, auto& b) { return a.RandomSeed != b.RandomSeed; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "空気遠近強さ"),
     [](auto& a, auto& b) { return a.AirDepth != b.AirDepth; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "星の数"),
     [](auto& a, auto& b) { return a.Stars.NumberOfStars != b.Stars.NumberOfStars; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "星の大きさ"),
     [](auto& a, auto& b) { return a.Stars.SizeOfStars != b.Stars.SizeOfStars; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "星"),
     [](auto& a, auto& b) { return a.Stars != b.Stars; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "天井"),
     [](auto& a, auto& b) { return a.Ceiling.Enabled != b.Ceiling.Enabled; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "天井テクスチャ画像"),
     [](auto& a, auto& b) { return a.Ceiling.TextureFilename != b.Ceiling.TextureFilename; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "天井の大きさ"),
     [](auto& a, auto& b) { return a.Ceiling.Scale != b.Ceiling.Scale; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "透過色設定"),
     [](auto& a, auto& b) { return a.Ceiling.OpaqueColor != b.Ceiling.OpaqueColor; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "天井の透明度"),
     [](auto& a, auto& b) { return a.Ceiling.Transparency != b.Ceiling.Transparency; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "天井の合成方法"),
     [](auto& a, auto& b) { return a.Ceiling.MixtureMode != b.Ceiling.MixtureMode; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "地面"),
     [](auto& a, auto& b) { return a.Ground.Enabled != b.Ground.Enabled; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "地面テクスチャ画像"),
     [](auto& a, auto& b) { return a.Ground.TextureFilename != b.Ground.TextureFilename; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "地面の大きさ"),
     [](auto& a, auto& b) { return a.Ground.Scale != b.Ground.Scale; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "地面の歪み"),
     [](auto& a, auto& b) { return a.Ground.ReflectionWarp != b.Ground.ReflectionWarp; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "地面の鏡面係数"),
     [](auto& a, auto& b) { return a.Ground.Reflection != b.Ground.Reflection; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "分割出力モード"),
     [](auto& a, auto& b) { return a.Output.Format != b.Output.Format; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "出力解像度"),
     [](auto& a, auto& b) { return a.Output.Resolution != b.Output.Resolution; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "出力画像ファイル名"),
     [](auto& a, auto& b) { return a.Output.Filename != b.Output.Filename; }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "オブジェクトの追加"),
     [](auto& a, auto& b) { return Objects(a) < Objects(b); }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "オブジェクトの削除"),
     [](auto& a, auto& b) { return Objects(a) > Objects(b); }},
    {QT_TRANSLATE_NOOP("horizonmill::ui::EditHistory", "オブジェクトの設定"),
     [](auto& a, auto& b) { return a.Far != b.Far || a.Mid != b.Mid || a.Near != b.Near; }},
};

QString CaptionOf(const SceneSettings& before, const SceneSettings& after) {
  for (const ValueCaption& c : kCaptions)
    if (c.differs(before, after))
      return QCoreApplication::translate("horizonmill::ui::EditHistory", c.caption);
  return EditHistory::tr("設定の変更");
}

// A step holds the document before and after it. It is made after the change
// it records: pushing it (which redoes it) does nothing; only a later redo puts
// the change back. Undo and redo put a whole document in place, so the window
// shows, saves and renders exactly what the step held; the pictures stay
// decoded in the session's cache, and the next preparation finds them there.
class DocumentStep : public QUndoCommand {
 public:
  DocumentStep(SceneSettings& scene, SceneSettings before, SceneSettings after,
               const QString& caption)
      : scene_(scene), before_(std::move(before)), after_(std::move(after)) {
    setText(caption);
  }
  void undo() override { scene_ = before_; }
  void redo() override {
    if (std::exchange(recorded_, false)) return;
    scene_ = after_;
  }

 private:
  SceneSettings& scene_;
  SceneSettings before_, after_;
  bool recorded_ = true;
};

}  // namespace

EditHistory::EditHistory(Session& session, SessionView& view, QObject* parent)
    : QObject(parent),
      session_(session),
      view_(view),
      stack_(new QUndoStack(this)),
      committed_(session.Scene()) {
  connect(stack_, &QUndoStack::indexChanged, this, &EditHistory::ShowState);
}

void EditHistory::ShowIn(QAction* undo, QAction* redo) {
  undo_ = undo;
  redo_ = redo;
  ShowState();
}

void EditHistory::SetLocked(bool locked) {
  locked_ = locked;
  ShowState();
}

void EditHistory::ShowState() {
  if (undo_ == nullptr || redo_ == nullptr) return;
  const bool pending = Pending();
  const QString step = pending ? CaptionOf(committed_, session_.Scene()) : stack_->undoText();
  undo_->setText(step.isEmpty() ? tr("元に戻す") : tr("元に戻す: %1").arg(step));
  undo_->setEnabled(!locked_ && (pending || stack_->canUndo()));
  // Committing what was typed would clear what there is to redo.
  const bool redoable = !pending && stack_->canRedo();
  redo_->setText(redoable ? tr("やり直し: %1").arg(stack_->redoText()) : tr("やり直し"));
  redo_->setEnabled(!locked_ && redoable);
}

bool EditHistory::CanUndo() const { return Pending() || stack_->canUndo(); }
bool EditHistory::CanRedo() const { return !Pending() && stack_->canRedo(); }

void EditHistory::Push(const QString& caption) {
  stack_->push(new DocumentStep(session_.Scene(), committed_, session_.Scene(), caption));
  committed_ = session_.Scene();
  ShowState();
  emit changed();
}

void EditHistory::Commit() {
  if (Pending()) Push(CaptionOf(committed_, session_.Scene()));
}

void EditHistory::CommitTexture(TextureLayer layer) {
  if (!Pending()) return;
  Push(layer == TextureLayer::Ground ? tr("地面テクスチャ画像") : tr("天井テクスチャ画像"));
}

void EditHistory::Undo() {
  if (locked_) return;
  Commit();
  if (!stack_->canUndo()) return;
  stack_->undo();
  ShowScene();
}

void EditHistory::Redo() {
  if (Pending() || !stack_->canRedo() || locked_) return;
  stack_->redo();
  ShowScene();
}

void EditHistory::ShowScene() {
  view_.ShowScene();
  view_.RedrawAll();
  committed_ = session_.Scene();
  ShowState();
  emit changed();
}

void EditHistory::Clear() {
  stack_->clear();
  committed_ = session_.Scene();
  ShowState();
}

}  // namespace horizonmill::ui
