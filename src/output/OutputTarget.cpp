#include "output/OutputTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string_view>

#include "platform/AtomicFile.h"
#include "platform/FileError.h"

namespace horizonmill {
namespace {

// The first bytes of each format the program writes.
constexpr std::array<std::string_view, 2> kWrittenSignatures = {
    std::string_view("BM"),            // BMP
    std::string_view("\xFF\xD8\xFF"),  // JPEG
};

enum class Content { Absent, Empty, Picture, Other, Unreadable };

// What the file at `path` (following a link) holds, judged by its first bytes.
Content ContentOf(const std::string& path) {
  // Non-blocking, so that a link to a FIFO does not wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? Content::Absent : Content::Unreadable;
  struct stat st;
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  char head[4] = {};
  const ssize_t n = regular ? ::read(fd, head, sizeof head) : -1;
  ::close(fd);
  if (!regular) return Content::Other;
  if (n < 0) return Content::Unreadable;
  if (n == 0) return Content::Empty;
  const std::string_view first(head, static_cast<std::size_t>(n));
  for (std::string_view signature : kWrittenSignatures)
    if (first.substr(0, signature.size()) == signature) return Content::Picture;
  return Content::Other;
}

}  // namespace

std::optional<std::string> CheckOutputTarget(const std::string& path, OutputOrigin origin) {
  if (const std::string reason = NotReplaceableReason(path); !reason.empty())
    return FileError(path, reason).what();
  if (origin == OutputOrigin::Named) return std::nullopt;
  switch (ContentOf(path)) {
    case Content::Absent:
    case Content::Empty:
    case Content::Picture:
      return std::nullopt;
    case Content::Unreadable:
      return FileError(path,
                       "exists and cannot be read to tell whether it is a picture, so the "
                       "scene's output name does not replace it")
          .what();
    case Content::Other:
      break;
  }
  return FileError(path,
                   "exists and is not a BMP or JPEG picture, so the scene's output name does not "
                   "replace it")
      .what();
}

}  // namespace horizonmill
