// Reading the scene file of horizonmill-render and finding its pictures,
// without asking anybody. A picture the file names is looked for beside the
// scene file, in the program's folder, where it says, then in each
// --search-dir in turn (scene/PictureSearch.h); one found nowhere is left out
// (an object) or drawn as the "無" tile (a texture), with a warning. Every
// diagnostic goes to standard error in English, naming the file and the line,
// or the part of the scene it is about. A picture that cannot be decoded, or
// one refused for memory (too large, or beyond the picture budget), makes the
// scene unrenderable as it stands: the loading fails with the reason. A
// thumbnail's run (--thumbnail) leaves out instead, with a warning, every layer
// and object whose picture is found nowhere or cannot be read.
#pragma once

#include <optional>
#include <string>

#include "app/Session.h"
#include "cli/Warnings.h"

namespace horizonmill::cli {

// Opens `path` in the session, as the window does (so the old output format
// holds the resolution at 3072 x 1536), its diagnostics going to `warnings`.
// Returns nothing on success, otherwise the one-line reason why the scene
// cannot be rendered, naming the file: the settings file cannot be read or is
// no settings file, or the reading stopped for memory. Throws Interrupted when
// an interrupt stops it.
std::optional<std::string> OpenScene(Session& session, const std::string& path,
                                     WarningLog& warnings);

// Prepares the session's scene (named `scene`, empty for the default one):
// its diagnostics go to `warnings`. Returns nothing when it can be rendered,
// otherwise the reason: a picture that cannot be decoded (unless the session
// leaves such a picture out: MissingPictures::LeaveOut, a warning then), or
// one refused for memory. Throws Interrupted when an interrupt stops it.
std::optional<std::string> CheckPictures(Session& session, const std::string& scene,
                                         WarningLog& warnings);

}  // namespace horizonmill::cli
