// Everything of the window that waits for the user or makes a sound: file
// dialogs, message boxes, questions, the colour dialog, modal dialogs, the
// beep. The program shows the real ones (QtUserDialogs); tests answer in their
// place, so that nothing blocks.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

#include "app/AppHost.h"

class QDialog;
class QWidget;

namespace horizonmill::ui {

// The answers to the question about unsaved changes.
enum class SaveChoice { Save, Discard, Cancel };

// One of the window's file dialogs, as it is to be run.
struct FileDialogSetup {
  QString name;           // "OutPutOpen", "ZimenTextureOpen", ...
  QString title;          // empty: the platform's title for opening or saving
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
  // A folder (existing, or made in the dialog), starting in `directory`; nothing
  // when the user cancels.
  virtual std::optional<QString> ChooseFolder(QWidget* parent, const QString& title,
                                              const QString& directory) = 0;
  // A message box with an OK button; `detail`, when given, says more (in
  // English, naming the file or folder) behind the box's details button.
  virtual void Message(QWidget* parent, const QString& text, const QString& detail = {}) = 0;
  // The error box of a failed operation: `text` says in the window's language
  // what failed; `detail` (in English, naming the file and the reason) is
  // behind the box's details button.
  virtual void Error(QWidget* parent, const QString& text, const QString& detail = {}) = 0;
  // A question with the buttons Yes and No (No the default); true for Yes.
  virtual bool Ask(QWidget* parent, const QString& question) = 0;
  // The list of pictures a scene names that cannot be had, as a question: a
  // button to point at the folder that holds them (true), or キャンセル, which
  // leaves the scene as it is (false). `detail` as for Message.
  virtual bool OfferPictureFolder(QWidget* parent, const QString& text, const QString& detail) = 0;
  // The question before unsaved changes would be lost: 保存 / 破棄 / キャンセル.
  virtual SaveChoice AskToSave(QWidget* parent, const QString& question) = 0;
  // A message box that does not wait: the caller goes on (a render keeps
  // running) while it is shown, and it closes by itself when dismissed.
  virtual void Inform(QWidget* parent, const QString& text) = 0;
  // The colour dialog, starting at `initial`; the colour chosen, or nothing
  // when the user cancels.
  virtual std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial) = 0;
  virtual void Beep() = 0;
  // Shows the dialog modally; its result (QDialog::Accepted or Rejected).
  virtual int RunModal(QDialog& dialog) = 0;
};

class QtUserDialogs : public UserDialogs {
 public:
  std::optional<QString> ChooseFile(QWidget* parent, const FileDialogSetup& setup) override;
  std::optional<QString> ChooseFolder(QWidget* parent, const QString& title,
                                      const QString& directory) override;
  void Message(QWidget* parent, const QString& text, const QString& detail = {}) override;
  void Error(QWidget* parent, const QString& text, const QString& detail = {}) override;
  bool Ask(QWidget* parent, const QString& question) override;
  bool OfferPictureFolder(QWidget* parent, const QString& text, const QString& detail) override;
  SaveChoice AskToSave(QWidget* parent, const QString& question) override;
  void Inform(QWidget* parent, const QString& text) override;
  std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial) override;
  void Beep() override;
  int RunModal(QDialog& dialog) override;
};

// A file dialog of the program and the file last chosen in it during this
// run, whose folder the program INI keeps.
struct FileDialog {
  FileDialogSetup setup;
  QString fileName;

  // The folder of the file last chosen, with its final separator; empty when
  // none was chosen.
  std::string Folder() const;
};

// Runs the dialog, opening in the folder of the file last chosen in it (or its
// initial folder) with that file's name, or `presetName` when given.
std::optional<QString> RunFileDialog(UserDialogs& dialogs, QWidget* parent, FileDialog& dialog,
                                     const QString& presetName = {});

// The questions and messages of the sequences (registration, removal, an
// aborted render), asked through the window's dialogs in the window's
// language (CoreText). An aborted render is kept only when the user says so
// (No is the default).
class DialogAppHost : public AppHost {
 public:
  DialogAppHost(UserDialogs& dialogs, QWidget* parent) : dialogs_(dialogs), parent_(parent) {}
  void Beep() override;
  void MessageBox(const Message& message, std::string_view detail) override;
  bool Confirm(const Message& question) override;
  bool KeepAbortedRender() override;

 private:
  UserDialogs& dialogs_;
  QWidget* parent_;
};

// UTF-8 text of the core as a QString.
inline QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace horizonmill::ui
