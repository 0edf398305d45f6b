// The one error type for files that cannot be read or written: its message
// names the file and the reason.
#pragma once

#include <stdexcept>
#include <string>

namespace horizonmill {

class FileError : public std::runtime_error {
 public:
  FileError(const std::string& path, const std::string& reason)
      : std::runtime_error(path + ": " + reason), path_(path), reason_(reason) {}
  const std::string& Path() const { return path_; }
  const std::string& Reason() const { return reason_; }

 private:
  std::string path_;
  std::string reason_;
};

// The reason text for the current errno.
std::string ErrnoReason(int error);

}  // namespace horizonmill
