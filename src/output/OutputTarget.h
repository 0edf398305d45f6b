// Where an image may be written, checked before the render so that a scene
// cannot make the program destroy what it should not, and so that a render is
// not spent on a name that cannot be written.
#pragma once

#include <optional>
#include <string>

namespace horizonmill {

// Who chose the output name.
enum class OutputOrigin {
  // The user: -o, or --overwrite, on the command line; the name in the window.
  Named,
  // The scene file's Output_Filename, rendered without -o or --overwrite.
  SceneFile,
};

// Nothing when an image may be written to `path`; otherwise why not, as a
// message naming the path:
// - a folder, device, FIFO or socket there is never replaced (the atomic
//   writer refuses them too, platform/AtomicFile.h);
// - a name from the scene file does not replace an existing file unless it is
//   empty or, by its first bytes, a picture of a format the program writes
//   (BMP or JPEG): a scene from elsewhere cannot overwrite a document.
// A symbolic link counts as what it points to here; the writer replaces the
// link itself.
std::optional<std::string> CheckOutputTarget(const std::string& path, OutputOrigin origin);

}  // namespace horizonmill
