// TRegistName: the dialog that asks for a background's alias and file name
// before it is registered with the host system, and for the picture's format.
// Created once: the inputs keep their text from one registration to the next.
// OK is enabled once both inputs hold text (and stays enabled); the names are
// checked by the registration itself (CheckRegistration).
#pragma once

#include <QDialog>
#include <string>

#include "app/HostCommands.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace horizonmill::ui {

class TRegistName : public QDialog {
  Q_OBJECT

 public:
  explicit TRegistName(QWidget* parent = nullptr);

  // The host's background folder as its INI names it, shown after "インストール先".
  void SetSaveDir(const std::string& bgDir);
  BackgroundNames Names() const;

 private:
  void InputChange();

  QLineEdit *backName_, *fileName_;
  QRadioButton *bmpSelected_, *jpegSelected_;
  QLabel* saveDir_;
  QPushButton* okeyBtn_;
};

}  // namespace horizonmill::ui
