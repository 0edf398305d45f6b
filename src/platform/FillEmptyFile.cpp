#include "platform/FillEmptyFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileError.h"

namespace horizonmill {

namespace {

// Makes the file empty again after a failed write, so that it holds nothing
// cut off; the reason of the failure is kept.
[[noreturn]] void FailEmptied(int fd, const std::string& path, const std::string& reason) {
  if (::ftruncate(fd, 0) == 0) ::fsync(fd);
  ::close(fd);
  throw FileError(path, reason);
}

}  // namespace

bool FillEmptyFile(const std::string& path, std::string_view bytes) {
  // Non-blocking, so that a FIFO never waits in open(); no link is followed.
  const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != 0) {
    ::close(fd);
    return false;
  }
  // The room for every byte first: a full disk (or a file size limit) is met
  // before anything is written. A file system that cannot reserve room meets
  // it in the writing, and the file is emptied again.
  if (!bytes.empty() && ::fallocate(fd, 0, 0, static_cast<off_t>(bytes.size())) != 0 &&
      errno != EOPNOTSUPP && errno != ENOSYS)
    FailEmptied(fd, path, ErrnoReason(errno));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) FailEmptied(fd, path, n < 0 ? ErrnoReason(errno) : "nothing was written");
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) FailEmptied(fd, path, ErrnoReason(errno));
  if (::close(fd) != 0) throw FileError(path, ErrnoReason(errno));
  return true;
}

}  // namespace horizonmill
