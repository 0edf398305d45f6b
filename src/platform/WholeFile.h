// Reading a whole file into memory, the way every reader of the program does:
// the size is checked before anything is held, and every failure names the file.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

#include "platform/FileError.h"

namespace horizonmill {

// The file holds more bytes than the reader takes, or more than memory holds.
class FileTooLarge : public FileError {
 public:
  using FileError::FileError;
};

struct WholeFileRules {
  // A longer file is refused with FileTooLarge(path, tooLargeReason): a regular
  // file before it is read, anything else as soon as more than this has come.
  std::size_t maxBytes = std::numeric_limits<std::size_t>::max() / 2;
  std::string_view tooLargeReason = "the file is too large for memory";
  // True: only a regular file is read; a directory, device or pipe is refused
  // with "not a regular file". False: whatever opens is read to its end.
  bool regularOnly = true;
};

// The file's bytes. Throws FileError naming the file and the reason when it
// cannot be opened or read (FileTooLarge as the rules say).
std::string ReadWholeFile(const std::string& path, const WholeFileRules& rules = {});

}  // namespace horizonmill
