#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileError.h"
#include "platform/Interrupt.h"

namespace horizonmill {

FileLock::FileLock(const std::string& path) {
  // O_NONBLOCK: a FIFO put where the lock file belongs must not hang the open.
  fd_ = ::open(path.c_str(), O_CREAT | O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd_ < 0) throw FileError(path, ErrnoReason(errno));
  const auto fail = [&](const std::string& reason) {
    ::close(fd_);
    throw FileError(path, reason);
  };
  struct stat status;
  if (::fstat(fd_, &status) != 0) fail(ErrnoReason(errno));
  if (!S_ISREG(status.st_mode)) fail("not a regular file, so it cannot serve as a lock file");
  // A signal ends the wait (the handlers do not restart calls); the request
  // to stop is looked at before waiting again.
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno != EINTR) fail(ErrnoReason(errno));
    try {
      StopIfInterrupted();
    } catch (...) {
      ::close(fd_);
      throw;
    }
  }
}

FileLock::~FileLock() { ::close(fd_); }

}  // namespace horizonmill
