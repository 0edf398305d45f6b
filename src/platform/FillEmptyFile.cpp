#include "platform/FillEmptyFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/FileError.h"

namespace horizonmill {

bool FillEmptyFile(const std::string& path, std::string_view bytes) {
  // Non-blocking, so that a FIFO never waits in open(); no link is followed.
  const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != 0) {
    ::close(fd);
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const std::string reason = n < 0 ? std::strerror(errno) : "nothing was written";
      ::close(fd);
      throw FileError(path, reason);
    }
    done += static_cast<std::size_t>(n);
  }
  const bool synced = ::fsync(fd) == 0;
  const std::string reason = synced ? "" : std::strerror(errno);
  if (::close(fd) != 0 && synced) throw FileError(path, std::strerror(errno));
  if (!synced) throw FileError(path, reason);
  return true;
}

}  // namespace horizonmill
