#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileError.h"
#include "platform/Interrupt.h"
#include "platform/OpenChecked.h"

namespace horizonmill {

FileLock::FileLock(const std::string& path, LockOn on) {
  // O_NONBLOCK: a FIFO put where the lock file belongs must not hang the open.
  const int flags = on == LockOn::File ? O_CREAT | O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK
                                       : O_RDONLY | O_DIRECTORY | O_CLOEXEC;
  fd_ = OpenChecked(path, flags, 0666, [&](int fd, const struct stat& status) {
    if (on == LockOn::File && !S_ISREG(status.st_mode))
      throw FileError(path, "not a regular file, so it cannot serve as a lock file");
    // A signal ends the wait (the handlers do not restart calls); the
    // request to stop is looked at before waiting again.
    while (::flock(fd, LOCK_EX) != 0) {
      if (errno != EINTR) throw FileError(path, ErrnoReason(errno));
      StopIfInterrupted();
    }
  });
}

FileLock::~FileLock() { ::close(fd_); }

}  // namespace horizonmill
