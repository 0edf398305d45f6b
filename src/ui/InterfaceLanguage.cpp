#include "ui/InterfaceLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

#include "platform/ApplicationSettings.h"

namespace horizonmill::ui {
namespace {

// The translators installed, owned by the application.
struct Installed {
  std::string code = std::string(kDefaultLanguage);
  QTranslator* program = nullptr;
  QTranslator* qt = nullptr;
};

Installed& State() {
  static Installed installed;
  return installed;
}

void Remove(QTranslator*& translator) {
  if (translator == nullptr) return;
  QCoreApplication::removeTranslator(translator);
  delete translator;
  translator = nullptr;
}

}  // namespace

bool InterfaceLanguage::Install(const std::string& code) {
  if (KnownLanguage(code) != code) return false;
  auto program = std::make_unique<QTranslator>(QCoreApplication::instance());
  if (!program->load(QString::fromStdString(":/i18n/horizonmill_" + code))) return false;
  auto qt = std::make_unique<QTranslator>(QCoreApplication::instance());
  if (!qt->load(QString::fromStdString("qtbase_" + code),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    qt.reset();
  Installed& installed = State();
  Remove(installed.program);
  Remove(installed.qt);
  installed.code = code;
  installed.program = program.release();
  QCoreApplication::installTranslator(installed.program);
  if (qt) {
    installed.qt = qt.release();
    QCoreApplication::installTranslator(installed.qt);
  }
  return true;
}

std::string InterfaceLanguage::Current() { return State().code; }

QString InterfaceLanguage::NativeName(const std::string& code) {
  // Not translated: each language is named so that its readers find it.
  if (code == "en") return QStringLiteral("English");
  if (code == "ja") return QStringLiteral("日本語");
  return QString::fromStdString(code);
}

}  // namespace horizonmill::ui
