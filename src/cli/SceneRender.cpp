#include "cli/SceneRender.h"

#include <csignal>
#include <cstdio>

#include "cli/SceneLoading.h"
#include "image/ImageLimits.h"
#include "image/PictureBudget.h"
#include "output/ImageOutput.h"
#include "platform/ApplicationSettings.h"
#include "platform/Interrupt.h"
#include "platform/Paths.h"

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

std::filesystem::path ProgramIni() {
  return ApplicationIniPath(std::filesystem::path(ProgramDirectory()) / "horizonmill");
}

int LoadScene(const Options& options, Session& session, WarningLog& warnings) {
  std::string budgetError;
  const std::int64_t budget = PictureBudgetFromEnvironment(&budgetError);
  if (!options.pictureBudget && !budgetError.empty()) {
    Fail(budgetError);
    return 2;
  }
  session.SetPictureBudget(options.pictureBudget.value_or(budget));
  if (!options.scene.empty()) {
    SearchDirReaderHost reader(options.searchDirs, options.scene, warnings);
    if (const auto error = LoadScene(session, options.scene, reader)) return Fail(*error);
  }
  if (options.width) {
    OutputResolution& resolution = session.Scene().Output.Resolution;
    resolution.Width = std::to_string(*options.width);
    resolution.Height = std::to_string(*options.height);
  }
  return 0;
}

int RefuseWarnings(const Options& options, const WarningLog& warnings) {
  if (!options.strict || warnings.Count() == 0) return 0;
  return Fail(std::to_string(warnings.Count()) +
              (warnings.Count() == 1 ? " warning" : " warnings") +
              ", which --strict makes an error: nothing was rendered");
}

int RenderScene(const Options& options, Session& session, TerminalHost& host) {
  session.Context().Host = &host;
  if (options.threads) session.Context().Threads = *options.threads;
  if (options.preview) {
    session.RenderPreview();
  } else if (!session.RenderOutput()) {
    const std::string reason = OutputSizeProblem(OutputSizeOf(session.Scene().Output.Resolution));
    return Fail(std::string(kMemoryExhausted) + " (" + reason + ")");
  }
  host.Finish();
  // Only an interrupt aborts a render here.
  if (session.Context().AbortRequested)
    return StopForInterrupt(PendingInterrupt() != 0 ? PendingInterrupt() : SIGINT);
  return 0;
}

const WorkBitmap& RenderedImage(const Options& options, const Session& session) {
  return options.preview ? session.PreviewBitmap() : session.OutputBitmap();
}

}  // namespace horizonmill::cli
