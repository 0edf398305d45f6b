#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>

#include "platform/FileError.h"

namespace horizonmill {

std::string ErrnoReason(int error) { return std::strerror(error); }

namespace {

mode_t NewFileMode(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

void WriteFileAtomically(const std::string& path, const std::function<void(std::FILE*)>& write) {
  if (path.empty()) throw FileError(path, "no file name");
  std::string temp = path + ".tmp-XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) throw FileError(path, ErrnoReason(errno));
  std::FILE* out = ::fdopen(fd, "wb");
  if (out == nullptr) {
    const int error = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    throw FileError(path, ErrnoReason(error));
  }
  auto fail = [&](int error) {
    std::fclose(out);
    ::unlink(temp.c_str());
    throw FileError(path, ErrnoReason(error));
  };
  try {
    write(out);
  } catch (const FileError&) {
    std::fclose(out);
    ::unlink(temp.c_str());
    throw;
  } catch (const std::exception& e) {
    std::fclose(out);
    ::unlink(temp.c_str());
    throw FileError(path, e.what());
  }
  if (std::fflush(out) != 0 || std::ferror(out)) fail(errno ? errno : EIO);
  if (::fchmod(fd, NewFileMode(path)) != 0) fail(errno);
  if (::fsync(fd) != 0) fail(errno);
  if (std::fclose(out) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    throw FileError(path, ErrnoReason(error));
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    throw FileError(path, ErrnoReason(error));
  }
}

}  // namespace horizonmill
