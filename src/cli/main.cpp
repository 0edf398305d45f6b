// horizonmill-render: renders a settings file (or the default scene) headless
// and writes the image as BMP or JPEG, or registers it with a host system.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include "cli/Options.h"
#include "cli/RegisterCommands.h"
#include "cli/SceneRender.h"
#include "cli/TerminalHost.h"
#include "image/WorkBitmap.h"
#include "output/ImageOutput.h"
#include "output/JpegWriter.h"
#include "output/OutputTarget.h"
#include "output/Session.h"
#include "platform/FileError.h"
#include "platform/Interrupt.h"

namespace horizonmill::cli {
namespace {

int Run(const Options& options) {
  Session session;
  if (const int status = LoadScene(options, session)) return status;
  const std::string& filename = session.Scene().Output.Filename;
  const std::string out = options.output.empty() ? filename : options.output;
  if (out.empty())
    return Fail("no output file: give one with -o (the scene's Output_Filename is empty)");
  // Checked before the render, which would otherwise be spent for nothing.
  const OutputOrigin origin =
      options.output.empty() && !options.overwrite ? OutputOrigin::SceneFile : OutputOrigin::Named;
  if (const auto problem = CheckOutputTarget(out, origin)) {
    const bool namedWouldDo = !CheckOutputTarget(out, OutputOrigin::Named);
    return Fail(*problem + (namedWouldDo ? " (-o or --overwrite replaces it)" : ""));
  }

  const bool show = !options.quiet;
  TerminalHost host(stderr, show && ::isatty(STDERR_FILENO));
  const auto start = std::chrono::steady_clock::now();
  if (const int status = RenderScene(options, session, host)) return status;
  const WorkBitmap& image = RenderedImage(options, session);

  const int quality = options.quality.value_or(kDefaultJpegQuality);
  const auto write_start = std::chrono::steady_clock::now();
  try {
    SaveImage(image, out, quality);
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
    std::fprintf(stderr, "%s: wrote %s (%d x %d, %s) in %.2f s\n", kName, out.c_str(),
                 image.Width(), image.Height(),
                 IsBmpFilename(out) ? "BMP" : ("JPEG quality " + std::to_string(quality)).c_str(),
                 Ms(end - start).count() / 1000);
  }
  return 0;
}

}  // namespace
}  // namespace horizonmill::cli

int main(int argc, char** argv) {
  using namespace horizonmill;
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
  // SIGINT and SIGTERM from here on stop the loading, the render or the writing
  // at its next step; nothing is left written.
  InstallInterruptHandlers();
  try {
    if (options->command != Command::Render) return RunRegistrationCommand(*options);
    return Run(*options);
  } catch (const Interrupted& e) {
    return StopForInterrupt(e.Signal());
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}
