// TDelBackForm: the removal of backgrounds this program registered with the
// host system. It lists their aliases from the management file, shows the
// catalog picture of the one selected, and removes it after a Yes to the
// question (host/RegisteredBackgrounds.h does the file work).
#pragma once

#include <QDialog>
#include <vector>

#include "app/HostCommands.h"
#include "app/Session.h"
#include "image/WorkBitmap.h"

class QListWidget;
class QPushButton;

namespace horizonmill::ui {

class PreviewArea;
class UserDialogs;

class TDelBackForm : public QDialog {
  Q_OBJECT

 public:
  // `settings` and `dialogs` outlive the dialog.
  TDelBackForm(const ProgramSettings& settings, UserDialogs& dialogs, QWidget* parent = nullptr);

  // Opening: the folders of the host INI the settings remember
  // ("QoraL_Target") and its registered backgrounds.
  void Fill();
  const std::vector<RegisteredBackground>& Records() const { return records_; }

 signals:
  // The host's background list is gone: the window disables the command.
  void HostNotInstalled();

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  void BackAliasNamesClick();
  void DelBackBtnClick();
  void ShowList();
  void BlackSample();

  const ProgramSettings& settings_;
  UserDialogs& dialogs_;
  HostFolders folders_;
  std::vector<RegisteredBackground> records_;
  WorkBitmap sampleBitmap_;
  PreviewArea* sample_;
  QListWidget* backAliasNames_;
  QPushButton *delBackBtn_, *closeBtn_;
};

}  // namespace horizonmill::ui
