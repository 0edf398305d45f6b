// TDelBackForm: the removal of backgrounds this program registered with the
// host system. It lists their aliases from the management file, shows the
// catalog picture of the one selected, and removes it after a Yes to the
// question (output/RegisteredBackgrounds.h does the file work).
#pragma once

#include <QDialog>
#include <filesystem>
#include <vector>

#include "image/WorkBitmap.h"
#include "output/RegisteredBackgrounds.h"

class QListWidget;
class QPushButton;

namespace horizonmill::ui {

class PreviewArea;
class UserDialogs;

class TDelBackForm : public QDialog {
  Q_OBJECT

 public:
  TDelBackForm(UserDialogs& dialogs, std::filesystem::path iniPath, QWidget* parent = nullptr);

  // Opening: the host as the program INI remembers it ("QoraL_Target",
  // "QoraL_BGDir", "QoraL_D3DDir") and its registered backgrounds.
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

  UserDialogs& dialogs_;
  std::filesystem::path iniPath_;
  HostFolders folders_;
  std::vector<RegisteredBackground> records_;
  WorkBitmap sampleBitmap_;
  PreviewArea* sample_;
  QListWidget* backAliasNames_;
  QPushButton *delBackBtn_, *closeBtn_;
};

}  // namespace horizonmill::ui
