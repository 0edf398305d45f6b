// Where an image may be written, checked before the render so that a scene
// cannot make the program destroy what it should not, and so that a render is
// not spent on an image that cannot be written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "codecs/ImageOutput.h"

namespace horizonmill {

// Who chose the output name.
enum class OutputOrigin {
  // The user: -o, or --overwrite, on the command line; the name in the window.
  Named,
  // The scene file's Output_Filename, rendered without -o or --overwrite.
  SceneFile,
};

// True for a Windows drive-letter name ("C:/pictures/sky.jpg"), which cannot
// exist here.
bool IsDriveLetterName(std::string_view name);

// The largest side of a JPEG picture, which the JPEG library refuses beyond.
inline constexpr int kMaxJpegSide = 65500;

// Nothing when an image of `size` in `format` (nothing: a file that holds no
// picture) may be written to `path` (an output name already through
// OutputPathOf); otherwise why not, as a message naming the path, in this
// order:
// - a Windows drive-letter name ("C:/pictures/sky.jpg") cannot exist here;
// - a name ending in "/" names a folder;
// - the folder the name lies in must exist, be a folder, and take a new file
//   (checked as the writer would make it, platform/AtomicFile.h);
// - a folder, device, FIFO or socket there is never replaced (the atomic
//   writer refuses them too);
// - a name from the scene file never replaces an existing file, whatever it
//   holds: a scene from elsewhere can name any file by an absolute name or
//   "..\", its own pictures included;
// - a JPEG is at most kMaxJpegSide pixels a side (a size beyond what any image
//   may have is not said here: the render refuses it before it starts, naming
//   the limit, OutputSizeProblem in codecs/ImageOutput.h).
// A symbolic link counts as what it points to here; the writer replaces the
// link itself, and only when it points to a regular file.
std::optional<std::string> CheckOutputTarget(const std::string& path, OutputOrigin origin,
                                             OutputSize size, std::optional<ImageFormat> format);

}  // namespace horizonmill
