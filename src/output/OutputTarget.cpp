#include "output/OutputTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string_view>

#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "platform/Paths.h"

namespace horizonmill {
namespace {

// The first bytes of each format the program writes.
constexpr std::array<std::string_view, 5> kWrittenSignatures = {
    std::string_view("BM"),                // BMP
    std::string_view("\xFF\xD8\xFF"),      // JPEG
    std::string_view("\x89PNG"),           // PNG
    std::string_view("\x76\x2F\x31\x01"),  // OpenEXR
    std::string_view("#?RADIANCE"),        // Radiance HDR
};

enum class Content { Absent, Empty, Picture, Other, Unreadable };

// What the file at `path` (following a link) holds, judged by its first bytes.
Content ContentOf(const std::string& path) {
  // Non-blocking, so that a link to a FIFO does not wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? Content::Absent : Content::Unreadable;
  struct stat st;
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  char head[16] = {};  // more than the longest signature
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

// Why the folder the name lies in cannot take the image; empty when it can.
std::string FolderProblem(const std::string& path) {
  const std::string folder = DirectoryOf(path);
  // Without its last "/", so that a file there is found as what it is.
  const std::string name = folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder;
  struct stat st;
  if (::stat(name.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return "the folder " + folder + " does not exist";
    return "the folder " + folder + " cannot be reached: " + ErrnoReason(errno);
  }
  if (!S_ISDIR(st.st_mode)) return folder + " is no folder";
  return {};
}

}  // namespace

bool IsDriveLetterName(std::string_view name) {
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  return name.size() >= 2 && letter(name[0]) && name[1] == ':';
}

std::optional<std::string> CheckOutputTarget(const std::string& path, OutputOrigin origin,
                                             OutputSize size) {
  // The message a FileError would carry (a string of its own: what() dies with the error).
  auto problem = [&](const std::string& reason) {
    return std::string(FileError(path, reason).what());
  };
  if (IsDriveLetterName(path))
    return problem(
        "a Windows drive-letter name, which cannot exist here; give a path on this "
        "machine");
  if (path.ends_with('/') && NotReplaceableReason(path).empty())
    return problem("ends in \"/\", so it names a folder, not a picture file");
  if (const std::string reason = FolderProblem(path); !reason.empty()) return problem(reason);
  if (const std::string reason = NotReplaceableReason(path); !reason.empty())
    return problem(reason);
  if (const std::string reason = NotWritableReason(path); !reason.empty())
    return problem("cannot be written: " + reason);
  if (origin == OutputOrigin::SceneFile) {
    switch (ContentOf(path)) {
      case Content::Absent:
      case Content::Empty:
      case Content::Picture:
        break;
      case Content::Unreadable:
        return problem(
            "exists and cannot be read to tell whether it is a picture, so the scene's output "
            "name does not replace it");
      case Content::Other:
        return problem(
            "exists and is not a picture of ours (BMP, JPEG, PNG, OpenEXR, Radiance HDR), so "
            "the scene's output name does not replace it");
    }
  }
  // A size beyond what any image may have is the render's to refuse, with the
  // limit it breaks: saying .png or .bmp would do could only mislead.
  if (ImageFormatOf(path) == ImageFormat::Jpeg && WorkBitmap::FitsLimits(size.width, size.height) &&
      (size.width > kMaxJpegSide || size.height > kMaxJpegSide))
    return problem("a JPEG picture can be at most " + std::to_string(kMaxJpegSide) +
                   " pixels a side, and this one would be " + std::to_string(size.width) + " x " +
                   std::to_string(size.height) + " (a .png or .bmp name has no such limit)");
  return std::nullopt;
}

}  // namespace horizonmill
