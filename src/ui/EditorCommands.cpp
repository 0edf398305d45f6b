#include "ui/EditorCommands.h"

#include "ui/EditHistory.h"
#include "ui/Grad1Form.h"
#include "ui/Grad2Form.h"
#include "ui/LivePreview.h"
#include "ui/ObjForm.h"
#include "ui/ProgramIni.h"
#include "ui/SessionView.h"
#include "ui/TenjoTraForm.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {

EditorCommands::EditorCommands(const WindowParts& parts) : QObject(parts.window), parts_(parts) {
  grad1Form_ = new TGrad1Form(parts_.dialogs, parts_.window);
  grad2Form_ = new TGrad2Form(parts_.dialogs, grad1Form_->SkyPreviewBitmap(), parts_.window);
  objForm_ = new TObjectForm(parts_.session, parts_.dialogs, parts_.programIni.ObjectOpenDialog(),
                             parts_.history, parts_.window);
  tenjoTraForm_ = new TTenjoTraForm(parts_.window);
}

void EditorCommands::SetGrad1Click() {
  if (parts_.session.Context().Rendering) return;
  grad1Form_->Edit(parts_.session.Scene().Sky);
  if (parts_.dialogs.RunModal(*grad1Form_) == QDialog::Accepted) {
    parts_.session.Scene().Sky = grad1Form_->Gradation();
    parts_.history.Commit();
  }
  parts_.view.SceneEdited();
}

void EditorCommands::SetGrad2Click() {
  if (parts_.session.Context().Rendering) return;
  // The sun is edited over the scene's sky as it stands now.
  grad2Form_->Edit(parts_.session.Scene().Sun, parts_.session.Scene().Sky);
  if (parts_.dialogs.RunModal(*grad2Form_) == QDialog::Accepted) {
    parts_.session.Scene().Sun = grad2Form_->Sun();
    parts_.history.Commit();
  }
  parts_.view.SceneEdited();
}

void EditorCommands::EditObjectGroup(int group) {
  if (parts_.session.Context().Rendering) return;
  // The editor changes the group in place: no render may run meanwhile. The
  // dialog is modal; an automatic preview of its changes follows it.
  parts_.live.Hold();
  objForm_->Edit(static_cast<TObjectForm::GroupIndex>(group));
  parts_.dialogs.RunModal(*objForm_);
  parts_.live.Release();
  parts_.view.RedrawAll();
}

void EditorCommands::ChTenjoTraClick() {
  CeilingSettings& ceiling = parts_.session.Scene().Ceiling;
  SharedPicture texture = parts_.session.CeilingPicture();
  if (!texture) {
    parts_.dialogs.Beep();
    return;
  }
  if (parts_.session.Context().Rendering) return;
  tenjoTraForm_->Edit(ceiling.OpaqueColor, std::move(texture));
  if (parts_.dialogs.RunModal(*tenjoTraForm_) == QDialog::Accepted) {
    ceiling.OpaqueColor = tenjoTraForm_->Candidate();
    parts_.history.Commit();
  }
  parts_.view.SceneEdited();
}

void EditorCommands::ObjectGroupsChanged() { objForm_->Forget(); }

}  // namespace horizonmill::ui
