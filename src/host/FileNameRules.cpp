#include "host/FileNameRules.h"

#include "platform/TextCodec.h"

namespace horizonmill {
namespace {

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

std::size_t CharacterCount(std::string_view utf8) {
  std::size_t n = 0;
  for (char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

// Windows opens these names as devices whatever follows the first "." and
// however the letters are written; blanks before that "." do not count.
bool IsDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  for (std::string_view device : {"CON", "PRN", "AUX", "NUL"})
    if (EqualIgnoringAsciiCase(stem, device)) return true;
  if (stem.size() != 4 || stem[3] < '1' || stem[3] > '9') return false;
  return EqualIgnoringAsciiCase(stem.substr(0, 3), "COM") ||
         EqualIgnoringAsciiCase(stem.substr(0, 3), "LPT");
}

}  // namespace

std::optional<FileNameRefusal> FileNameProblem(std::string_view fileName) {
  const std::string badFile = "the file name \"" + RepairUtf8(fileName) + "\" ";
  if (!Utf8ToCp932(fileName))
    return {{MessageCode::BadFileName,
             badFile + "has characters the Japanese code page (CP932) cannot hold"}};
  if (CharacterCount(fileName) > static_cast<std::size_t>(kMaxFileNameLength))
    return {{MessageCode::FileNameTooLong,
             badFile + "is longer than " + std::to_string(kMaxFileNameLength) + " characters"}};
  if (fileName == "." || fileName == "..")
    return {{MessageCode::BadFileName, badFile + "would name a folder"}};
  for (char c : fileName)
    if (IsControl(c) || std::string_view("/\\:,*?\"<>|").find(c) != std::string_view::npos)
      return {{MessageCode::BadFileName,
               badFile + "may not contain / \\ : , * ? \" < > | or control characters"}};
  if (!fileName.empty() && (fileName.back() == ' ' || fileName.back() == '.'))
    return {{MessageCode::BadFileName,
             badFile + "may not end in a blank or \".\": Windows drops them from a name"}};
  if (IsDeviceName(fileName))
    return {{MessageCode::BadFileName,
             badFile + "is a device in Windows (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to "
                       "LPT9, with or without an extension)"}};
  return std::nullopt;
}

}  // namespace horizonmill
