// EditHistory: undo and redo over every change to the scene (the 編集 menu).
// A step is made when an edit is complete — a text committed (Enter, or moving
// on to another control), a switch, a radio button, a slider let go, an
// editor's OK, a texture chosen, an object added, deleted or changed in the
// object editor — so typing a text is one step, and so is a slider's drag.
// A step is a document: the scene as the last step left it and the scene now,
// named after the first thing that differs. Undo and redo put the whole
// document back, object entries included, so what the window then shows, saves
// and renders is the one scene the step held. Pictures are no step's: they stay
// decoded in the session's picture cache. A new scene or an opened file clears
// the history. Undo and redo show the scene anew in the window; the window
// renders the preview when told (changed).
#pragma once

#include <QObject>

#include "app/Session.h"
#include "scene/SceneSettings.h"

class QAction;
class QUndoStack;

namespace horizonmill::ui {

class SessionView;

class EditHistory : public QObject {
  Q_OBJECT

 public:
  // `session` and `view` outlive the history.
  EditHistory(Session& session, SessionView& view, QObject* parent = nullptr);

  // The edit menu's commands, kept up to date: "元に戻す: 乱数のシード" names
  // the step, and each is enabled when there is a step to take (typing not yet
  // committed counts) and no render holds the scene (SetLocked).
  void ShowIn(QAction* undo, QAction* redo);
  void SetLocked(bool locked);
  // The scene changed, perhaps by typing not yet committed: the commands'
  // texts and enabling follow.
  void ShowState();

  // A step of whatever changed since the last step (values, object entries
  // added, deleted or changed); none when nothing did.
  void Commit();
  // A texture chosen for the layer, with the values that changed with it (its
  // name, the layer's switch, the ceiling's transparent colour) as one step
  // named after the layer's texture.
  void CommitTexture(TextureLayer layer);

  // Typing not yet committed is committed first, so undo takes it back.
  void Undo();
  void Redo();
  // The scene was replaced as a whole (New, Open): no step leads back.
  void Clear();

  bool CanUndo() const;
  bool CanRedo() const;
  // The document as the last step left it (what typing not yet committed
  // started from).
  const SceneSettings& Committed() const { return committed_; }

 signals:
  // A step was made, undone or redone: the scene changed.
  void changed();

 private:
  // A step from the last one's document to the scene as it is now.
  void Push(const QString& caption);
  // After an undo or a redo: the window shows the scene as it now stands.
  void ShowScene();
  bool Pending() const { return session_.Scene() != committed_; }

  Session& session_;
  SessionView& view_;
  QUndoStack* stack_;
  // The document as the last step left it.
  SceneSettings committed_;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  bool locked_ = false;
};

}  // namespace horizonmill::ui
