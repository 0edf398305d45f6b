#include "cli/SceneRender.h"

#include <csignal>
#include <cstdio>

#include "cli/SceneLoading.h"
#include "image/ImageLimits.h"
#include "image/PictureBudget.h"
#include "output/ImageOutput.h"
#include "platform/Interrupt.h"

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

int LoadScene(const Options& options, Session& session) {
  std::string budgetError;
  const std::int64_t budget = PictureBudgetFromEnvironment(&budgetError);
  if (!options.pictureBudget && !budgetError.empty()) {
    Fail(budgetError);
    return 2;
  }
  session.SetPictureBudget(options.pictureBudget.value_or(budget));
  if (!options.scene.empty()) {
    SearchDirReaderHost reader(options.searchDirs, stderr);
    if (const auto error = LoadScene(session, options.scene, reader)) return Fail(*error);
  }
  if (options.width) {
    OutputResolution& resolution = session.Scene().Output.Resolution;
    resolution.Width = std::to_string(*options.width);
    resolution.Height = std::to_string(*options.height);
  }
  return 0;
}

int RenderScene(const Options& options, Session& session, TerminalHost& host) {
  session.Context().Host = &host;
  if (options.preview) {
    session.RenderPreview();
  } else if (!session.RenderOutput()) {
    const OutputSize size = OutputSizeOf(session.Scene().Output.Resolution);
    return Fail(std::string(kMemoryExhausted) + " (a " + std::to_string(size.width) + " x " +
                std::to_string(size.height) +
                " image is beyond the limits: sides up to 65535 pixels, at most 2 GiB of pixels, "
                "or memory ran out)");
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
