// EditorCommands: the editors the window opens on the scene — the sky's
// gradation (SetGrad1), the sun (SetGrad2), the object groups (SetFarObject,
// SetMiddleObject, SetNearObject) and the ceiling's transparent colour
// (ChTenjoTra) — each modal. An editor's OK is one step of the edit history;
// in the object editor each change is one. No automatic preview runs while
// the object editor, which changes the groups in place, is open.
#pragma once

#include <QObject>

#include "app/Session.h"
#include "ui/WindowParts.h"

namespace horizonmill::ui {

class TGrad1Form;
class TGrad2Form;
class TObjectForm;
class TTenjoTraForm;

class EditorCommands : public QObject {
  Q_OBJECT

 public:
  explicit EditorCommands(const WindowParts& parts);

  void SetGrad1Click();
  void SetGrad2Click();
  void EditObjectGroup(int group);  // TObjectForm::GroupIndex: Near 0, Mid 1, Far 2
  void ChTenjoTraClick();
  // The object groups changed without the editor (New, a settings file read).
  void ObjectGroupsChanged();

 private:
  WindowParts parts_;
  TGrad1Form* grad1Form_;
  TGrad2Form* grad2Form_;
  TObjectForm* objForm_;
  TTenjoTraForm* tenjoTraForm_;
};

}  // namespace horizonmill::ui
