// The core's texts in the window's language. The core (no Qt) keeps its
// Japanese texts — stage messages, the messages and questions of the
// sequences, the captions over the preview — and the window passes each one
// it shows through CoreText, which looks it up in the catalogue of
// CoreTexts.cpp: an exact text, or a text composed around a name or a number
// by its pattern (the variable part written %1).
#pragma once

#include <QString>
#include <string_view>
#include <vector>

namespace horizonmill::ui {

// The context of the catalogue in the translation files.
inline constexpr char kCoreTextContext[] = "CoreText";

// `text` translated: the translation of the catalogue's text equal to it; else
// of the first pattern whose parts before and after %1 begin and end it, with
// what lies between put in for %1; else `text` as it is.
QString CoreText(std::string_view text);

// The catalogue's source texts, the patterns with their %1.
const std::vector<const char*>& CoreTextCatalogue();

}  // namespace horizonmill::ui
