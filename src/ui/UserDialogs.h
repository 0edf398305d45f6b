// Everything of the window that waits for the user or makes a sound: file
// dialogs, message boxes, modal dialogs, the beep. The program shows the real
// ones (QtUserDialogs); tests answer in their place, so that nothing blocks.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;

namespace horizonmill::ui {

// One of the window's file dialogs, as it is to be run.
struct FileDialogSetup {
  QString name;           // "OutPutOpen", "ZimenTextureOpen", ...
  bool save = false;      // save (asks before overwriting) or open (the file must exist)
  QStringList filters;    // "ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp)", ...
  QString defaultSuffix;  // added to a typed name without one
  QString directory;      // where it opens; empty: the platform's default
  QString fileName;       // the preset file name
};

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  // The chosen file's path, or nothing when the user cancels.
  virtual std::optional<QString> ChooseFile(QWidget* parent, const FileDialogSetup& setup) = 0;
  // A message box with an OK button.
  virtual void Message(QWidget* parent, const QString& text) = 0;
  // The error box of a failed file operation; the text names the file and the reason.
  virtual void Error(QWidget* parent, const QString& text) = 0;
  virtual void Beep() = 0;
  // Shows the dialog modally; its result (QDialog::Accepted or Rejected).
  virtual int RunModal(QDialog& dialog) = 0;
};

class QtUserDialogs : public UserDialogs {
 public:
  std::optional<QString> ChooseFile(QWidget* parent, const FileDialogSetup& setup) override;
  void Message(QWidget* parent, const QString& text) override;
  void Error(QWidget* parent, const QString& text) override;
  void Beep() override;
  int RunModal(QDialog& dialog) override;
};

}  // namespace horizonmill::ui
