#include "ui/UserDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include "ui/CoreTexts.h"

namespace horizonmill::ui {

std::optional<QString> QtUserDialogs::ChooseFile(QWidget* parent, const FileDialogSetup& setup) {
  QFileDialog dialog(parent);
  dialog.setObjectName(setup.name);
  if (!setup.title.isEmpty()) dialog.setWindowTitle(setup.title);
  dialog.setAcceptMode(setup.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(setup.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilters(setup.filters);
  dialog.setDefaultSuffix(setup.defaultSuffix);
  if (!setup.directory.isEmpty()) dialog.setDirectory(setup.directory);
  if (!setup.fileName.isEmpty()) dialog.selectFile(setup.fileName);
  // A name typed without extension takes the one of the filter shown ("*.jpg"
  // gives ".jpg"), not always the first filter's.
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
    const auto m = QRegularExpression(R"(\(\*\.(\w+)\))").match(f);
    if (m.hasMatch()) dialog.setDefaultSuffix(m.captured(1));
  });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtUserDialogs::ChooseFolder(QWidget* parent, const QString& title,
                                                   const QString& directory) {
  QFileDialog dialog(parent, title, directory);
  dialog.setObjectName("FolderDialog");
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

void QtUserDialogs::Message(QWidget* parent, const QString& text, const QString& detail) {
  QMessageBox box(QMessageBox::Information, QStringLiteral("Horizonmill"), text, QMessageBox::Ok,
                  parent);
  if (!detail.isEmpty()) box.setDetailedText(detail);
  box.exec();
}

void QtUserDialogs::Error(QWidget* parent, const QString& text, const QString& detail) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Horizonmill"), text, QMessageBox::Ok,
                  parent);
  if (!detail.isEmpty()) box.setDetailedText(detail);
  box.exec();
}

bool QtUserDialogs::Ask(QWidget* parent, const QString& question) {
  return QMessageBox::question(parent, QStringLiteral("Horizonmill"), question,
                               QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

bool QtUserDialogs::OfferPictureFolder(QWidget* parent, const QString& text,
                                       const QString& detail) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Horizonmill"), text, QMessageBox::Cancel,
                  parent);
  QAbstractButton* folder =
      box.addButton(QCoreApplication::translate("UserDialogs", "画像のあるフォルダーを指定…"),
                    QMessageBox::AcceptRole);
  box.button(QMessageBox::Cancel)
      ->setText(QCoreApplication::translate("UserDialogs", "キャンセル"));
  box.setDefaultButton(qobject_cast<QPushButton*>(folder));
  if (!detail.isEmpty()) box.setDetailedText(detail);
  box.exec();
  return box.clickedButton() == folder;
}

SaveChoice QtUserDialogs::AskToSave(QWidget* parent, const QString& question) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Horizonmill"), question,
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
  box.button(QMessageBox::Save)->setText(QCoreApplication::translate("UserDialogs", "保存"));
  box.button(QMessageBox::Discard)->setText(QCoreApplication::translate("UserDialogs", "破棄"));
  box.button(QMessageBox::Cancel)
      ->setText(QCoreApplication::translate("UserDialogs", "キャンセル"));
  box.setDefaultButton(QMessageBox::Save);
  switch (box.exec()) {
    case QMessageBox::Save:
      return SaveChoice::Save;
    case QMessageBox::Discard:
      return SaveChoice::Discard;
    default:
      return SaveChoice::Cancel;
  }
}

void QtUserDialogs::Inform(QWidget* parent, const QString& text) {
  auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Horizonmill"), text,
                              QMessageBox::Ok, parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}

std::optional<QColor> QtUserDialogs::ChooseColour(QWidget* parent, const QColor& initial) {
  QColorDialog dialog(initial, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.selectedColor();
}

void QtUserDialogs::Beep() { QApplication::beep(); }

int QtUserDialogs::RunModal(QDialog& dialog) { return dialog.exec(); }

std::string FileDialog::Folder() const {
  const std::string path = fileName.toStdString();
  const auto cut = path.find_last_of('/');
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::optional<QString> RunFileDialog(UserDialogs& dialogs, QWidget* parent, FileDialog& dialog,
                                     const QString& presetName) {
  FileDialogSetup setup = dialog.setup;
  if (!dialog.fileName.isEmpty()) {
    setup.directory = QString::fromStdString(dialog.Folder());
    setup.fileName = dialog.fileName.mid(dialog.fileName.lastIndexOf('/') + 1);
  }
  if (!presetName.isEmpty()) setup.fileName = presetName;
  auto chosen = dialogs.ChooseFile(parent, setup);
  if (chosen) dialog.fileName = *chosen;
  return chosen;
}

void DialogAppHost::Beep() { dialogs_.Beep(); }

void DialogAppHost::MessageBox(const Message& message, std::string_view detail) {
  dialogs_.Message(parent_, CoreText(message), Q(detail));
}

bool DialogAppHost::Confirm(const Message& question) {
  return dialogs_.Ask(parent_, CoreText(question));
}

bool DialogAppHost::KeepAbortedRender() {
  return dialogs_.Ask(parent_, CoreText(MessageCode::KeepAbortedQuestion));
}

}  // namespace horizonmill::ui
