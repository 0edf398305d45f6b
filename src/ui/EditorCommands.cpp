#include "ui/EditorCommands.h"

#include "ui/EditHistory.h"
#include "ui/Grad1Form.h"
#include "ui/Grad2Form.h"
#include "ui/LivePreview.h"
#include "ui/ObjForm.h"
#include "ui/SessionView.h"
#include "ui/TenjoTraForm.h"
#include "ui/UserDialogs.h"

namespace horizonmill::ui {

EditorCommands::EditorCommands(Session& session, UserDialogs& dialogs, QWidget* window,
                               SessionView& view, FileDialog& objectOpenDialog,
                               EditHistory& history, LivePreview& live)
    : QObject(window),
      session_(session),
      dialogs_(dialogs),
      view_(view),
      history_(history),
      live_(live) {
  grad1Form_ = new TGrad1Form(dialogs_, window);
  grad2Form_ = new TGrad2Form(dialogs_, grad1Form_->SkyPreviewBitmap(), window);
  objForm_ = new TObjectForm(session_, dialogs_, objectOpenDialog, history_, window);
  tenjoTraForm_ = new TTenjoTraForm(window);
}

void EditorCommands::SetGrad1Click() {
  if (session_.Context().Rendering) return;
  grad1Form_->Edit(session_.Scene().Sky);
  if (dialogs_.RunModal(*grad1Form_) == QDialog::Accepted) {
    session_.Scene().Sky = grad1Form_->Gradation();
    history_.Commit();
  }
  view_.SceneEdited();
}

void EditorCommands::SetGrad2Click() {
  if (session_.Context().Rendering) return;
  // The sun is edited over the scene's sky as it stands now.
  grad2Form_->Edit(session_.Scene().Sun, session_.Scene().Sky);
  if (dialogs_.RunModal(*grad2Form_) == QDialog::Accepted) {
    session_.Scene().Sun = grad2Form_->Sun();
    history_.Commit();
  }
  view_.SceneEdited();
}

void EditorCommands::EditObjectGroup(int group) {
  if (session_.Context().Rendering) return;
  // The editor changes the group in place: no render may run meanwhile. The
  // dialog is modal; an automatic preview of its changes follows it.
  live_.Hold();
  objForm_->Edit(static_cast<TObjectForm::GroupIndex>(group));
  dialogs_.RunModal(*objForm_);
  live_.Release();
  view_.RedrawAll();
}

void EditorCommands::ChTenjoTraClick() {
  CeilingSettings& ceiling = session_.Scene().Ceiling;
  SharedPicture texture = session_.CeilingPicture();
  if (!texture) {
    dialogs_.Beep();
    return;
  }
  if (session_.Context().Rendering) return;
  tenjoTraForm_->Edit(ceiling.OpaqueColor, std::move(texture));
  if (dialogs_.RunModal(*tenjoTraForm_) == QDialog::Accepted) {
    ceiling.OpaqueColor = tenjoTraForm_->Candidate();
    history_.Commit();
  }
  view_.SceneEdited();
}

void EditorCommands::ObjectGroupsChanged() { objForm_->Forget(); }

}  // namespace horizonmill::ui
