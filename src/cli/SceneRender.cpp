#include "cli/SceneRender.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "cli/SceneLoading.h"
#include "image/PictureBudget.h"
#include "platform/Interrupt.h"
#include "platform/Messages.h"

namespace horizonmill::cli {

int Fail(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", kName, message.c_str());
  return 1;
}

int StopForInterrupt(int signal) {
  const Interrupted stop(signal);
  std::fprintf(stderr, "%s: %s; nothing was written\n", kName, stop.what());
  return stop.ExitStatus();
}

int AbortingSignal() { return PendingInterrupt() != 0 ? PendingInterrupt() : SIGINT; }

int FailOutOfMemory(const std::string& reason) {
  return Fail(std::string(EnglishText(MessageCode::MemoryExhausted)) + " (" + reason + ")");
}

void CommandLineHost::MessageBox(const Message& message, std::string_view detail) {
  std::fprintf(stderr, "%s: %s", kName, message.English().c_str());
  if (!detail.empty())
    std::fprintf(stderr, " (%.*s)", static_cast<int>(detail.size()), detail.data());
  std::fputc('\n', stderr);
}

int LoadScene(const Options& options, Session& session, WarningLog& warnings) {
  std::string budgetError;
  const std::int64_t budget = PictureBudgetFromEnvironment(&budgetError);
  if (!options.pictureBudget && !budgetError.empty()) {
    Fail(budgetError);
    return 2;
  }
  session.SetPictureBudget(options.pictureBudget.value_or(budget));
  // A thumbnail shows what can be drawn: a file manager may let the
  // thumbnailer see the scene file alone, and a placeholder tile would stand
  // for the whole scene there.
  if (options.thumbnail) session.SetMissing(MissingPictures::LeaveOut);
  for (const std::string& folder : options.searchDirs) session.AddSearchFolder(folder);
  if (!options.scene.empty())
    if (const auto error = OpenScene(session, options.scene, warnings)) return Fail(*error);
  if (options.width) {
    OutputResolution& resolution = session.Scene().Output.Resolution;
    resolution.Width = std::to_string(*options.width);
    resolution.Height = std::to_string(*options.height);
  }
  if (options.quality) session.SetJpegQuality(*options.quality);
  if (options.threads) session.Context().Threads = *options.threads;
  if (const auto error = CheckPictures(session, options.scene, warnings)) return Fail(*error);
  return 0;
}

int RefuseWarnings(const Options& options, const WarningLog& warnings) {
  if (!options.strict || warnings.Count() == 0) return 0;
  return Fail(std::to_string(warnings.Count()) +
              (warnings.Count() == 1 ? " warning" : " warnings") +
              ", which --strict makes an error: nothing was rendered");
}

TerminalPort MakeTerminalPort(const Options& options, WarningLog& warnings, Session& session) {
  TerminalPort terminal(stderr, !options.quiet && ::isatty(STDERR_FILENO), warnings, options.scene);
  if (options.strict) terminal.StopOnReport(&session.Context().AbortRequested);
  return terminal;
}

int RefuseRenderReports(const Options& options, const TerminalPort& terminal) {
  if (!options.strict || !terminal.Reported()) return 0;
  return Fail(
      "the render could not draw everything, which --strict makes an error: nothing "
      "was written");
}

}  // namespace horizonmill::cli
