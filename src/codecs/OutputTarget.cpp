#include "codecs/OutputTarget.h"

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

// Whether anything at all is at `path`: a file, a folder, a link (to
// anything or nothing).
bool SomethingThere(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 || errno != ENOENT;
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
                                             OutputSize size, std::optional<ImageFormat> format) {
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
  // A scene may come from anywhere and name any file the user can write, by
  // an absolute name or "..\", its own pictures too: its name only ever
  // makes a new file.
  if (origin == OutputOrigin::SceneFile && SomethingThere(path))
    return problem("exists, and the scene's output name never replaces a file");
  // A size beyond what any image may have is the render's to refuse, with the
  // limit it breaks: saying .png or .bmp would do could only mislead.
  if (format == ImageFormat::Jpeg && WorkBitmap::FitsLimits(size.width, size.height) &&
      (size.width > kMaxJpegSide || size.height > kMaxJpegSide))
    return problem("a JPEG picture can be at most " + std::to_string(kMaxJpegSide) +
                   " pixels a side, and this one would be " + std::to_string(size.width) + " x " +
                   std::to_string(size.height) + " (a .png or .bmp name has no such limit)");
  return std::nullopt;
}

}  // namespace horizonmill
