// InterfaceLanguage: the language the window speaks. Chosen before the window
// is built, it installs two translators into the application: the program's
// own texts (translations/horizonmill_CODE.ts, compiled into the program as
// :/i18n/horizonmill_CODE.qm) and those of Qt's standard dialogs and buttons
// (qtbase_CODE from Qt's translations). The source texts are Japanese, the
// default language.
#pragma once

#include <QString>
#include <string>

namespace horizonmill::ui {

class InterfaceLanguage {
 public:
  // Makes `code` (one of kLanguages) the window's language, its translators
  // replacing those installed before. False, and nothing changed, for any
  // other code or when the program's translation cannot be loaded. A missing
  // translation of Qt's own texts leaves them in English.
  static bool Install(const std::string& code);
  // The code installed last; kDefaultLanguage while none is.
  static std::string Current();
  // The language's name in the language itself ("日本語", "English"), for the
  // menu that chooses it.
  static QString NativeName(const std::string& code);
};

}  // namespace horizonmill::ui
