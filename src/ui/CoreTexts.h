// The core's messages in the window's language. The core names what it tells
// by a code (platform/Messages.h); the window words each code through the
// catalogue of CoreTexts.cpp, whose source texts are the Japanese ones the
// translation files translate (a value the message carries written %1).
#pragma once

#include <QString>

#include "platform/Messages.h"

namespace horizonmill::ui {

// The context of the catalogue in the translation files.
inline constexpr char kCoreTextContext[] = "CoreText";

// The message in the window's language, its values put in for %1, %2, ...
QString CoreText(const Message& message);

// The catalogue's source text of a code (Japanese, UTF-8), as the translation
// files hold it.
const char* CoreTextSource(MessageCode code);

}  // namespace horizonmill::ui
