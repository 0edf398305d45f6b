// TObjectForm: the object group editor. It edits one of the scene's object
// groups in place: every change is written into the selected entry at once,
// with no OK or Cancel, and is one step of the window's edit history (adding
// and deleting an entry too). The preview shows the selected entry's picture with its
// key colour blinking red; a left click there picks the key colour, a right
// click one the picture does not use. Opened modally, so no render can run
// while it is open.
#pragma once

#include <QDialog>

#include "app/Session.h"
#include "image/WorkBitmap.h"
#include "ui/DialogParts.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSlider;
class QTimer;

namespace horizonmill::ui {

class EditHistory;
struct FileDialog;
class PreviewArea;
class TextInput;
class UserDialogs;

class TObjectForm : public QDialog {
  Q_OBJECT

 public:
  // The group indices the window hands over.
  enum GroupIndex { Near = 0, Mid = 1, Far = 2 };

  // `session`, `dialogs`, `openDialog` (ObjectOpenDialog, which the settings
  // reader uses too) and `history` outlive the dialog.
  TObjectForm(Session& session, UserDialogs& dialogs, FileDialog& openDialog, EditHistory& history,
              QWidget* parent = nullptr);

  // Opening for a group: the caption names it, the list shows its entries, none
  // selected; the picture dialog starts in the folder "ObjectDir" remembers.
  void Edit(GroupIndex group);
  // The entries changed without the dialog (New, a settings file read): it
  // lets go of the entry it held.
  void Forget();

  // The selected entry of the group as it stands now; nullptr when none is.
  ObjectEntry* CurrentEntry() const;
  bool Blinking() const { return blink_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  // Closing keeps the picture dialog's folder as "ObjectDir".
  void done(int result) override;

 private:
  ObjectGroup& Group() const;
  void FillList();
  // After a list click, an add or a delete: the controls show the selected
  // entry, or are disabled when none is selected.
  void Select();
  void SetSettingsEnabled(bool enabled);
  void AddObjectClick();
  void DeleteObjectClick();
  void UpDatePreviewTimer();
  void RedrawPreview();
  void ObjPreviewMouseUp(Qt::MouseButton button, QPoint at);
  void StoreObjectDir();
  void NoMemory();
  // A change of the selected entry is complete: a step of the edit history.
  void CommitEntry();

  Session& session_;
  UserDialogs& dialogs_;
  FileDialog& openDialog_;
  EditHistory& history_;
  GroupIndex group_ = Near;
  // The selected entry by its place in the group, not by its address: the
  // group's entries are the document's, which undo and redo replace.
  int row_ = -1;
  bool blink_ = false;
  WorkBitmap preview_;

  PreviewArea* objPreview_;
  QListWidget* objectList_;
  QPushButton *addObject_, *deleteObject_;
  QCheckBox *jimenAtt_, *ismanual_, *isShading_;
  MixtureButtons mixture_;
  QSlider* opacity_;
  QLabel *opacityLabel1_, *opacityLabel2_, *numofobjLabel_, *scaleLabel_;
  TextInput *numofobj_, *scale_;
  QTimer* upDatePreview_;
};

}  // namespace horizonmill::ui
