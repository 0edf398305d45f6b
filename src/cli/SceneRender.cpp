#include "cli/SceneRender.h"

#include <cstdio>

#include "cli/SceneLoading.h"
#include "image/ImageLimits.h"
#include "output/ImageOutput.h"

namespace horizonmill::cli {

int Fail(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", kName, message.c_str());
  return 1;
}

int LoadScene(const Options& options, Session& session) {
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
  if (session.Context().AbortRequested) {
    std::fprintf(stderr, "%s: interrupted; nothing written\n", kName);
    return 130;
  }
  return 0;
}

const WorkBitmap& RenderedImage(const Options& options, const Session& session) {
  return options.preview ? session.PreviewBitmap() : session.OutputBitmap();
}

}  // namespace horizonmill::cli
