// The rules a background's file name follows: the name of its pictures in the
// host's folders (NAME.bmp or NAME.jpg, c_NAME.bmp, and NAME.jpg in the
// Direct3D folder), which must stay inside those folders and be a name the
// host's Windows can open.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Messages.h"

namespace horizonmill {

inline constexpr int kMaxFileNameLength = 32;  // characters

struct FileNameRefusal {
  MessageCode message;  // what the user is told: BadFileName or FileNameTooLong
  std::string reason;   // in English, naming the name and the rule
};

// Why `fileName` cannot be a background's file name, or nothing when it can.
// Refused: more than kMaxFileNameLength characters; characters CP932 cannot
// hold; "." and ".."; any of / \ : , * ? " < > | and control characters; a
// "." or blank at the end (Windows drops them, so x. would be x); the device
// names CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9 in any letter case, alone or
// before an extension ("nul.txt", "Com1.bmp"; "CONSOLE" and "xcon" are
// names). The empty name is allowed.
std::optional<FileNameRefusal> FileNameProblem(std::string_view fileName);

}  // namespace horizonmill
