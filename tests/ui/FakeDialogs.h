// UserDialogs answered by a test: file and folder dialogs return the queued answers, the
// colour dialog and questions what the test set, message boxes and beeps are
// recorded, and a modal dialog is shown, handed to onModal (which clicks its
// buttons) and hidden again. Nothing waits for a person.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "ui/UserDialogs.h"

namespace horizonmill::ui {

class FakeDialogs : public UserDialogs {
 public:
  std::optional<QString> ChooseFile(QWidget*, const FileDialogSetup& setup) override {
    asked.push_back(setup);
    if (answers.isEmpty()) return std::nullopt;
    const QString answer = answers.takeFirst();
    if (answer.isEmpty()) return std::nullopt;
    return answer;
  }
  std::optional<QString> ChooseFolder(QWidget*, const QString& title,
                                      const QString& directory) override {
    folderAsked << title + "|" + directory;
    if (folders.isEmpty()) return std::nullopt;
    const QString answer = folders.takeFirst();
    if (answer.isEmpty()) return std::nullopt;
    return answer;
  }
  void Message(QWidget*, const QString& text, const QString& detail) override {
    messages << text;
    details << detail;
  }
  void Error(QWidget*, const QString& text, const QString& detail) override {
    errors << text;
    errorDetails << detail;
  }
  bool Ask(QWidget*, const QString& question) override {
    questions << question;
    return answerYes;
  }
  // Recorded with the messages.
  bool OfferPictureFolder(QWidget*, const QString& text, const QString& detail) override {
    messages << text;
    details << detail;
    ++folderOffers;
    return pointAtFolder;
  }
  SaveChoice AskToSave(QWidget*, const QString& question) override {
    questions << question;
    return saveChoice;
  }
  // The real box: it must not wait, whoever tests with it.
  void Inform(QWidget* parent, const QString& text) override {
    informed << text;
    QtUserDialogs().Inform(parent, text);
  }
  std::optional<QColor> ChooseColour(QWidget*, const QColor& initial) override {
    colourAskedWith = initial;
    return colour;
  }
  void Beep() override { ++beeps; }
  int RunModal(QDialog& dialog) override {
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    onModal(dialog);
    if (dialog.isVisible()) dialog.reject();
    return dialog.result();
  }

  QStringList answers;  // what the file dialogs return, in turn ("" cancels)
  std::vector<FileDialogSetup> asked;
  QStringList folders;      // what the folder dialogs return, in turn ("" cancels)
  QStringList folderAsked;  // "title|directory" of each folder dialog
  QStringList messages, details, errors, errorDetails, questions, informed;
  bool answerYes = false;
  bool pointAtFolder = false;  // the answer to the list of pictures that cannot be had
  int folderOffers = 0;
  SaveChoice saveChoice = SaveChoice::Cancel;  // the answer about unsaved changes
  std::optional<QColor> colour;                // what the colour dialog returns
  QColor colourAskedWith;
  int beeps = 0;
  std::function<void(QDialog&)> onModal = [](QDialog& d) { d.reject(); };
};

}  // namespace horizonmill::ui
