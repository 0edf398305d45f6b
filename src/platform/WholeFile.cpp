#include "platform/WholeFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <stdexcept>

namespace horizonmill {

std::string ReadWholeFile(const std::string& path, const WholeFileRules& rules) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                       &std::fclose);
  if (!file) throw FileError(path, ErrnoReason(errno));
  struct stat status;
  if (::fstat(::fileno(file.get()), &status) != 0) throw FileError(path, ErrnoReason(errno));
  const bool regular = S_ISREG(status.st_mode);
  if (rules.regularOnly && !regular) throw FileError(path, "not a regular file");
  const auto tooLarge = [&] { return FileTooLarge(path, std::string(rules.tooLargeReason)); };
  // A regular file's size is known: a file too long is refused before it is read.
  if (regular && static_cast<std::uint64_t>(status.st_size) > rules.maxBytes) throw tooLarge();
  std::string bytes;
  try {
    // Read straight into place: one read takes a regular file whole (asking for
    // a byte more shows that it ended); anything longer is read in growing
    // steps, never holding more than a byte past the limit.
    const std::size_t most = rules.maxBytes + 1;
    bytes.resize(regular ? static_cast<std::size_t>(status.st_size) + 1
                         : std::min<std::size_t>(65536, most));
    std::size_t used = 0;
    while (true) {
      used += std::fread(bytes.data() + used, 1, bytes.size() - used, file.get());
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
  if (std::ferror(file.get())) throw FileError(path, ErrnoReason(errno ? errno : EIO));
  return bytes;
}

}  // namespace horizonmill
