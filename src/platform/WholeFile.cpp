#include "platform/WholeFile.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <stdexcept>

#include "platform/Interrupt.h"
#include "platform/OpenChecked.h"

namespace horizonmill {

InputFile::InputFile(const std::string& path, bool regularOnly) : path_(path) {
  // Without O_NONBLOCK, opening a FIFO waits for a writer: a FIFO where an
  // INI file belongs would hang the program before it could be refused.
  fd_ = OpenChecked(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0,
                    [&](int fd, const struct stat& status) {
                      regular_ = S_ISREG(status.st_mode);
                      if (regularOnly && !regular_) throw FileError(path, "not a regular file");
                      if (regular_) size_ = static_cast<std::uint64_t>(status.st_size);
                      fifo_ = S_ISFIFO(status.st_mode);
                      // What is read is read blocking again, as it would have
                      // been opened.
                      const int flags = ::fcntl(fd, F_GETFL);
                      if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
                        throw FileError(path, ErrnoReason(errno));
                    });
}

InputFile::~InputFile() { ::close(fd_); }

std::size_t InputFile::Read(void* out, std::size_t size) {
  // Blocks small enough that an interrupt is seen soon after it arrives.
  constexpr std::size_t kBlock = std::size_t{16} << 20;
  auto* p = static_cast<char*>(out);
  std::size_t done = 0;
  while (done < size) {
    StopIfInterrupted();
    if (fifo_ && !WaitForData()) continue;
    const ssize_t n = ::read(fd_, p + done, std::min(size - done, kBlock));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw FileError(path_, ErrnoReason(errno));
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

bool InputFile::WaitForData() {
  // A FIFO opened before its writer reads as ended until one comes: poll
  // waits for data or for a writer that came and went (and returns early
  // for a signal, which the loop then looks at).
  pollfd wait{fd_, POLLIN, 0};
  const int n = ::poll(&wait, 1, -1);
  if (n < 0 && errno != EINTR) throw FileError(path_, ErrnoReason(errno));
  return n > 0;
}

std::string ReadWholeFile(const std::string& path, const WholeFileRules& rules) {
  InputFile file(path, rules.regularOnly);
  const auto tooLarge = [&] { return FileTooLarge(path, std::string(rules.tooLargeReason)); };
  // A regular file's size is known: a file too long is refused before it is read.
  if (file.Regular() && file.Size() > rules.maxBytes) throw tooLarge();
  std::string bytes;
  try {
    // Read straight into place: one read takes a regular file whole (asking for
    // a byte more shows that it ended); anything longer is read in growing
    // steps, never holding more than a byte past the limit.
    const std::size_t most = rules.maxBytes + 1;
    bytes.resize(file.Regular() ? static_cast<std::size_t>(file.Size()) + 1
                                : std::min<std::size_t>(65536, most));
    std::size_t used = 0;
    while (true) {
      used += file.Read(bytes.data() + used, bytes.size() - used);
      if (used > rules.maxBytes) throw tooLarge();
      if (used < bytes.size()) break;
      bytes.resize(std::min(bytes.size() * 2, most));
    }
    bytes.resize(used);
  } catch (const std::bad_alloc&) {
    throw tooLarge();
  } catch (const std::length_error&) {
    throw tooLarge();
  }
  return bytes;
}

}  // namespace horizonmill
