// What the commands of horizonmill-render share: the session on the program's
// settings, the scene loaded as the options say, the host that answers the
// sequences' questions without asking anybody, and the failure messages.
#pragma once

#include <string>
#include <string_view>

#include "app/AppHost.h"
#include "app/Session.h"
#include "cli/Options.h"
#include "cli/TerminalPort.h"
#include "cli/Warnings.h"

namespace horizonmill::cli {

inline constexpr const char* kName = "horizonmill-render";

// Prints "horizonmill-render: message" to standard error; returns 1.
int Fail(const std::string& message);
// Fail with MessageCode::MemoryExhausted in English and `reason` after it in
// brackets.
int FailOutOfMemory(const std::string& reason);
// Says that the command stopped for `signal` (SIGINT, SIGTERM) and that nothing
// was written; returns the exit status, 128 + signal.
int StopForInterrupt(int signal);
// The interrupt that aborted a render (SIGINT when none is pending any more).
int AbortingSignal();

// Nobody to ask on the command line: the command itself is the confirmation,
// an aborted render (only an interrupt aborts one) is never kept, and each
// message goes to standard error with its English reason.
class CommandLineHost : public AppHost {
 public:
  void MessageBox(const Message& message, std::string_view detail) override;
  bool Confirm(const Message&) override { return true; }
};

// Sets the session's picture budget (--picture-budget, else the environment's),
// search folders (--search-dir) and, for --thumbnail, that pictures which
// cannot be had leave their layers out (MissingPictures::LeaveOut), opens the
// options' scene file (if any) in it, applies --size, --quality and --threads,
// and prepares the scene; the diagnostics of the reading and of the preparation
// go to `warnings`. Returns 0, or the exit status after the message (2 when
// HORIZONMILL_PICTURE_BUDGET is no size; 1 when the scene cannot be read, or a
// picture cannot be decoded or is refused for memory). Throws Interrupted when
// an interrupt stops the loading.
int LoadScene(const Options& options, Session& session, WarningLog& warnings);
// With --strict, the exit status 1 after a message when there were warnings;
// otherwise 0.
int RefuseWarnings(const Options& options, const WarningLog& warnings);
// The render's port, made the session's: the bar on standard error when it is
// a terminal and not --quiet, the render's diagnostics as warnings pointing
// into the scene file; with --strict the first of them stops the render, so
// that nothing is written.
TerminalPort MakeTerminalPort(const Options& options, WarningLog& warnings, Session& session);
// After the render: with --strict, the exit status 1 after a message when the
// render reported anything (it was stopped then, and nothing written);
// otherwise 0.
int RefuseRenderReports(const Options& options, const TerminalPort& terminal);

}  // namespace horizonmill::cli
