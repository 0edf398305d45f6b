#include "cli/SceneRender.h"

#include <cstdio>

#include "cli/SceneLoading.h"
#include "image/ImageLimits.h"
#include "output/ImageOutput.h"
#include "render/Pipeline.h"

namespace horizonmill::cli {

int Fail(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", kName, message.c_str());
  return 1;
}

int LoadScene(const Options& options, SceneSettings& scene) {
  if (!options.scene.empty()) {
    SearchDirReaderHost reader(options.searchDirs, stderr);
    if (const auto error = LoadScene(scene, options.scene, reader)) return Fail(*error);
  }
  if (options.width) {
    scene.Output.Resolution.Width = std::to_string(*options.width);
    scene.Output.Resolution.Height = std::to_string(*options.height);
  }
  return 0;
}

int RenderScene(const Options& options, SceneSettings& scene, TerminalHost& host,
                WorkBitmap& image) {
  RenderContext context;
  context.Host = &host;

  WorkBitmap preview(kPreviewWidth, kPreviewHeight);
  FillWorkBitmap(preview, BgrPixel{192, 192, 192});
  if (options.preview) {
    RenderBackground(context, scene, preview, preview);
    image = std::move(preview);
  } else {
    const OutputSize size = OutputSizeOf(scene.Output.Resolution);
    if (!image.Resize(size.width, size.height))
      return Fail(std::string(kMemoryExhausted) + " (a " + std::to_string(size.width) + " x " +
                  std::to_string(size.height) +
                  " image is beyond the limits: sides up to 65535 pixels, at most 2 GiB of pixels, "
                  "or memory ran out)");
    RenderBackground(context, scene, image, preview);
  }
  host.Finish();
  if (context.AbortRequested) {
    std::fprintf(stderr, "%s: interrupted; nothing written\n", kName);
    return 130;
  }
  return 0;
}

}  // namespace horizonmill::cli
