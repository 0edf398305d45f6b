#include "platform/FileError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/OpenChecked.h"

namespace horizonmill {

std::string ErrnoReason(int error) { return std::strerror(error); }

int OpenChecked(const std::string& path, int flags, unsigned mode,
                const std::function<void(int fd, const struct stat& status)>& check) {
  const int fd = ::open(path.c_str(), flags, mode);
  if (fd < 0) throw FileError(path, ErrnoReason(errno));
  try {
    struct stat status;
    if (::fstat(fd, &status) != 0) throw FileError(path, ErrnoReason(errno));
    check(fd, status);
  } catch (...) {
    ::close(fd);
    throw;
  }
  return fd;
}

}  // namespace horizonmill
