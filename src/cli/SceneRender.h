// Loading and rendering the scene as the options say, shared by the output
// and the registration commands of horizonmill-render.
#pragma once

#include <filesystem>
#include <string>

#include "cli/Options.h"
#include "cli/TerminalHost.h"
#include "cli/Warnings.h"
#include "image/WorkBitmap.h"
#include "output/Session.h"

namespace horizonmill::cli {

inline constexpr const char* kName = "horizonmill-render";

// Prints "horizonmill-render: message" to standard error; returns 1.
int Fail(const std::string& message);
// Says that the command stopped for `signal` (SIGINT, SIGTERM) and that nothing
// was written; returns the exit status, 128 + signal.
int StopForInterrupt(int signal);

// The program INI the window uses: named after the window's program file,
// which lies beside this one.
std::filesystem::path ProgramIni();

// Sets the session's picture budget (--picture-budget, else the environment's),
// opens the options' scene file (if any) in it, its warnings going to
// `warnings`, and applies --size. Returns 0, or the exit status after the
// message (2 when HORIZONMILL_PICTURE_BUDGET is no size). Throws Interrupted
// when an interrupt stops the loading.
int LoadScene(const Options& options, Session& session, WarningLog& warnings);
// With --strict, the exit status 1 after a message when there were warnings;
// otherwise 0.
int RefuseWarnings(const Options& options, const WarningLog& warnings);

// Renders the session's scene: the full image at its output size, or the
// preview with --preview. Returns 0, or the exit status after the message (1
// when the size is beyond the limits, which the message names, or memory ran
// out; 130 or 143 after SIGINT or SIGTERM).
int RenderScene(const Options& options, Session& session, TerminalHost& host);
// What RenderScene drew: the session's OutputBitmap, or its PreviewBitmap.
const WorkBitmap& RenderedImage(const Options& options, const Session& session);

}  // namespace horizonmill::cli
