// horizonmill-render: renders a settings file (or the default scene) headless
// and writes the image as BMP or JPEG.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include "cli/Options.h"
#include "cli/SceneLoading.h"
#include "cli/TerminalHost.h"
#include "image/ImageLimits.h"
#include "image/WorkBitmap.h"
#include "output/ImageOutput.h"
#include "platform/FileError.h"
#include "render/Pipeline.h"
#include "scene/SceneSettings.h"

namespace horizonmill::cli {
namespace {

constexpr const char* kName = "horizonmill-render";

int Fail(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", kName, message.c_str());
  return 1;
}

int Run(const Options& options) {
  SceneSettings scene;
  if (!options.scene.empty()) {
    SearchDirReaderHost reader(options.searchDirs, stderr);
    if (const auto error = LoadScene(scene, options.scene, reader)) return Fail(*error);
  }

  if (options.width) {
    scene.Output.Resolution.Width = std::to_string(*options.width);
    scene.Output.Resolution.Height = std::to_string(*options.height);
  }
  const std::string out = options.output.empty() ? scene.Output.Filename : options.output;
  if (out.empty())
    return Fail("no output file: give one with -o (the scene's Output_Filename is empty)");

  const bool show = !options.quiet;
  TerminalHost host(stderr, show && ::isatty(STDERR_FILENO));
  RenderContext context;
  context.Host = &host;

  WorkBitmap preview(kPreviewWidth, kPreviewHeight);
  FillWorkBitmap(preview, BgrPixel{192, 192, 192});
  WorkBitmap output;
  WorkBitmap* target = &preview;
  if (!options.preview) {
    const OutputSize size = OutputSizeOf(scene.Output.Resolution);
    if (!output.Resize(size.width, size.height))
      return Fail(std::string(kMemoryExhausted) + " (a " + std::to_string(size.width) + " x " +
                  std::to_string(size.height) +
                  " image is beyond the limits: sides up to 65535 pixels, at most 2 GiB of pixels, "
                  "or memory ran out)");
    target = &output;
  }

  const auto start = std::chrono::steady_clock::now();
  RenderBackground(context, scene, *target, preview);
  host.Finish();
  if (context.AbortRequested) {
    std::fprintf(stderr, "%s: interrupted; nothing written\n", kName);
    return 130;
  }

  const auto write_start = std::chrono::steady_clock::now();
  try {
    SaveImage(*target, out, options.quality);
  } catch (const FileError& e) {
    return Fail(e.what());
  }
  const auto end = std::chrono::steady_clock::now();
  using Ms = std::chrono::duration<double, std::milli>;

  if (options.timings) {
    for (const auto& [stage, ms] : host.Timings())
      std::fprintf(stderr, "  %-10s %9.1f ms\n", StageName(stage), ms);
    std::fprintf(stderr, "  %-10s %9.1f ms\n", "write", Ms(end - write_start).count());
  }
  if (show) {
    std::fprintf(
        stderr, "%s: wrote %s (%d x %d, %s) in %.2f s\n", kName, out.c_str(), target->Width(),
        target->Height(),
        IsBmpFilename(out) ? "BMP" : ("JPEG quality " + std::to_string(options.quality)).c_str(),
        Ms(end - start).count() / 1000);
  }
  return 0;
}

}  // namespace
}  // namespace horizonmill::cli

int main(int argc, char** argv) {
  using namespace horizonmill::cli;
  std::string error;
  const auto options = ParseOptions(argc, argv, error);
  if (!options) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", kName, error.c_str(), kName);
    return 2;
  }
  if (options->help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  // Ctrl-C from here on stops the render at its next step; nothing is written.
  InstallInterruptHandler();
  try {
    return Run(*options);
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}
