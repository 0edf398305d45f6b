#include "ui/UserDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace horizonmill::ui {

std::optional<QString> QtUserDialogs::ChooseFile(QWidget* parent, const FileDialogSetup& setup) {
  QFileDialog dialog(parent);
  dialog.setObjectName(setup.name);
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

void QtUserDialogs::Message(QWidget* parent, const QString& text) {
  QMessageBox::information(parent, QStringLiteral("Horizonmill"), text);
}

void QtUserDialogs::Error(QWidget* parent, const QString& text) {
  QMessageBox::critical(parent, QStringLiteral("Horizonmill"), text);
}

void QtUserDialogs::Beep() { QApplication::beep(); }

int QtUserDialogs::RunModal(QDialog& dialog) { return dialog.exec(); }

}  // namespace horizonmill::ui
