// Loading and rendering the scene as the options say, shared by the output
// and the registration commands of horizonmill-render.
#pragma once

#include <string>

#include "cli/Options.h"
#include "cli/TerminalHost.h"
#include "image/WorkBitmap.h"
#include "scene/SceneSettings.h"

namespace horizonmill::cli {

inline constexpr const char* kName = "horizonmill-render";

// Prints "horizonmill-render: message" to standard error; returns 1.
int Fail(const std::string& message);

// Reads the options' scene file (if any) over `scene` and applies --size.
// Returns 0, or the exit status after the message.
int LoadScene(const Options& options, SceneSettings& scene);

// Renders the scene into `image`: at its output size, or the preview with
// --preview. Returns 0, or the exit status after the message (1 when the size
// is beyond the limits, 130 after Ctrl-C).
int RenderScene(const Options& options, SceneSettings& scene, TerminalHost& host,
                WorkBitmap& image);

}  // namespace horizonmill::cli
