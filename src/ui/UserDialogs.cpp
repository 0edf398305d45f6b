#include "ui/UserDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace horizonmill::ui {

std::optional<QString> QtUserDialogs::ChooseFile(QWidget* parent, const FileDialogSpec& spec) {
  QFileDialog dialog(parent);
  dialog.setObjectName(spec.name);
  dialog.setAcceptMode(spec.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(spec.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilters(spec.filters);
  dialog.setDefaultSuffix(spec.defaultSuffix);
  if (!spec.directory.isEmpty()) dialog.setDirectory(spec.directory);
  if (!spec.fileName.isEmpty()) dialog.selectFile(spec.fileName);
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
