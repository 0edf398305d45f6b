// What the language tests look for in a text: Japanese characters (kana,
// kanji, the ideographic space and full-width forms).
#pragma once

#include <QRegularExpression>
#include <QString>

#include "ui/InterfaceLanguage.h"

namespace horizonmill::ui {

inline bool HasJapanese(const QString& text) {
  static const QRegularExpression japanese(
      QStringLiteral("[\\x{3000}-\\x{30ff}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
  return text.contains(japanese);
}

// Speaks `code` while it lives, Japanese again after.
struct SpokenLanguage {
  explicit SpokenLanguage(const char* code) : installed(InterfaceLanguage::Install(code)) {}
  ~SpokenLanguage() { InterfaceLanguage::Install("ja"); }
  const bool installed;
};

}  // namespace horizonmill::ui
