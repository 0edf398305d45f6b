// Reading a whole file into memory, the way every reader of the program does:
// the size is checked before anything is held, and every failure names the file.
#pragma once

#include <cstddef>
#include <cstdint>
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
// cannot be opened or read (FileTooLarge as the rules say); Interrupted when an
// interrupt is pending (platform/Interrupt.h) before a block is read or while
// the reading waits for data.
std::string ReadWholeFile(const std::string& path, const WholeFileRules& rules = {});

// A file read piece by piece, for readers that look at a header before they
// decide how much more to read.
class InputFile {
 public:
  // Throws FileError naming the file when it cannot be opened, or when
  // `regularOnly` and it is no regular file ("not a regular file"). Opening
  // never waits: a FIFO is refused at once when `regularOnly`, and otherwise
  // the first Read waits for its writer.
  InputFile(const std::string& path, bool regularOnly);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  const std::string& Path() const { return path_; }
  bool Regular() const { return regular_; }
  // The size of a regular file when it was opened; 0 for anything else.
  std::uint64_t Size() const { return size_; }
  // Reads the next bytes into `out`, up to `size`; fewer only at the end of
  // the file. Throws FileError when reading fails, Interrupted as ReadWholeFile.
  std::size_t Read(void* out, std::size_t size);

 private:
  std::string path_;
  int fd_ = -1;
  bool regular_ = false;
  std::uint64_t size_ = 0;
  bool fifo_ = false;

  // Waits until the FIFO has data or its writer has closed it; false when a
  // signal came first.
  bool WaitForData();
};

}  // namespace horizonmill
