#include "ui/EditHistory.h"

#include <QAction>
#include <QCoreApplication>
#include <QUndoCommand>
#include <QUndoStack>
#include <utility>

#include "ui/SessionView.h"

namespace horizonmill::ui {
namespace {

// What a step is called after the first value it changes, in the order of the
// window's controls (the old output format before the resolution it holds).
struct ValueCaption {
  const char* caption;
  bool (*differs)(const SceneValues&, const SceneValues&);
};
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
};

QString CaptionOf(const SceneValues& before, const SceneValues& after) {
  for (const ValueCaption& c : kCaptions)
    if (c.differs(before, after))
      return QCoreApplication::translate("horizonmill::ui::EditHistory", c.caption);
  return EditHistory::tr("設定の変更");
}

// A step made after the change it records: pushing it (which redoes it) does
// nothing; only a later redo puts the change back.
class RecordedStep : public QUndoCommand {
 public:
  void redo() final {
    if (std::exchange(recorded_, false)) return;
    Redo();
  }

 protected:
  virtual void Redo() = 0;

 private:
  bool recorded_ = true;
};

class ValuesStep : public RecordedStep {
 public:
  ValuesStep(SceneSettings& scene, SceneValues before, SceneValues after)
      : scene_(scene), before_(std::move(before)), after_(std::move(after)) {
    setText(CaptionOf(before_, after_));
  }
  void undo() override { before_.ApplyTo(scene_); }

 protected:
  void Redo() override { after_.ApplyTo(scene_); }

 private:
  SceneSettings& scene_;
  SceneValues before_, after_;
};

// A texture chosen: its values (its name, the layer's switch, the ceiling's
// transparent colour) under the layer's caption. The picture is the cache's:
// an undo brings the old name back, and the next preparation its picture.
class TextureStep : public ValuesStep {
 public:
  TextureStep(SceneSettings& scene, TextureLayer layer, SceneValues before, SceneValues after)
      : ValuesStep(scene, std::move(before), std::move(after)) {
    setText(layer == TextureLayer::Ground ? EditHistory::tr("地面テクスチャ画像")
                                          : EditHistory::tr("天井テクスチャ画像"));
  }
};

// An entry appended to a group. Every later step has been undone before this
// one is, so the entry is the group's last then, and goes back there.
class AddObjectStep : public RecordedStep {
 public:
  AddObjectStep(ObjectGroup& group, ObjectEntry& entry) : group_(group), entry_(entry) {
    setText(EditHistory::tr("オブジェクトの追加"));
  }
  void undo() override { owned_ = group_.Release(&entry_); }

 protected:
  void Redo() override { group_.Append(std::move(owned_)); }

 private:
  ObjectGroup& group_;
  ObjectEntry& entry_;
  std::unique_ptr<ObjectEntry> owned_;  // while undone
};

// An entry taken out of its group, kept to go back before its old neighbour.
class DeleteObjectStep : public QUndoCommand {
 public:
  DeleteObjectStep(ObjectGroup& group, ObjectEntry& entry) : group_(group), entry_(entry) {
    setText(EditHistory::tr("オブジェクトの削除"));
  }
  void redo() override {
    next_ = entry_.Next();
    owned_ = group_.Release(&entry_);
  }
  void undo() override { group_.Insert(next_, std::move(owned_)); }

 private:
  ObjectGroup& group_;
  ObjectEntry& entry_;
  ObjectEntry* next_ = nullptr;
  std::unique_ptr<ObjectEntry> owned_;  // while deleted
};

class ObjectSettingsStep : public RecordedStep {
 public:
  ObjectSettingsStep(ObjectEntry& entry, const ObjectEntry& before) : entry_(entry) {
    before_.CopySettingsFrom(before);
    after_.CopySettingsFrom(entry);
    setText(EditHistory::tr("オブジェクトの設定"));
  }
  void undo() override { entry_.CopySettingsFrom(before_); }

 protected:
  void Redo() override { entry_.CopySettingsFrom(after_); }

 private:
  ObjectEntry& entry_;
  ObjectEntry before_, after_;  // settings only: no picture, no links
};

}  // namespace

EditHistory::EditHistory(Session& session, SessionView& view, QObject* parent)
    : QObject(parent),
      session_(session),
      view_(view),
      stack_(new QUndoStack(this)),
      committed_(SceneValues::Of(session.Scene())) {
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
  const QString step =
      pending ? CaptionOf(committed_, SceneValues::Of(session_.Scene())) : stack_->undoText();
  undo_->setText(step.isEmpty() ? tr("元に戻す") : tr("元に戻す: %1").arg(step));
  undo_->setEnabled(!locked_ && (pending || stack_->canUndo()));
  // Committing what was typed would clear what there is to redo.
  const bool redoable = !pending && stack_->canRedo();
  redo_->setText(redoable ? tr("やり直し: %1").arg(stack_->redoText()) : tr("やり直し"));
  redo_->setEnabled(!locked_ && redoable);
}

bool EditHistory::CanUndo() const { return Pending() || stack_->canUndo(); }
bool EditHistory::CanRedo() const { return !Pending() && stack_->canRedo(); }

void EditHistory::Push(QUndoCommand* step) {
  stack_->push(step);
  committed_ = SceneValues::Of(session_.Scene());
  ShowState();
  emit changed();
}

void EditHistory::Commit() {
  SceneValues now = SceneValues::Of(session_.Scene());
  if (now == committed_) return;
  Push(new ValuesStep(session_.Scene(), committed_, std::move(now)));
}

void EditHistory::CommitTexture(TextureLayer layer) {
  Push(new TextureStep(session_.Scene(), layer, committed_, SceneValues::Of(session_.Scene())));
}

void EditHistory::ObjectAdded(ObjectGroup& group, ObjectEntry& entry) {
  Commit();
  Push(new AddObjectStep(group, entry));
}

void EditHistory::DeleteObject(ObjectGroup& group, ObjectEntry& entry) {
  Commit();
  Push(new DeleteObjectStep(group, entry));
}

void EditHistory::ObjectChanged(ObjectEntry& entry, const ObjectEntry& before) {
  if (entry.SameSettingsAs(before)) return;
  Commit();
  Push(new ObjectSettingsStep(entry, before));
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
  committed_ = SceneValues::Of(session_.Scene());
  ShowState();
  emit changed();
}

void EditHistory::Clear() {
  stack_->clear();
  committed_ = SceneValues::Of(session_.Scene());
  ShowState();
}

}  // namespace horizonmill::ui
