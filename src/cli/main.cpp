// horizonmill-render: renders a settings file (or the default scene) headless
// and writes the image as PNG, BMP or JPEG, a cube map and the sun's direction,
// or registers it with a host system.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Version.h"
#include "app/OutputPlan.h"
#include "app/ProgramSettings.h"
#include "app/RenderAndWrite.h"
#include "app/Session.h"
#include "cli/Options.h"
#include "cli/RegisterCommands.h"
#include "cli/SceneRender.h"
#include "cli/TerminalPort.h"
#include "platform/FileError.h"
#include "platform/Interrupt.h"
#include "render/RenderContext.h"
#include "scene/SettingsFile.h"

namespace horizonmill::cli {
namespace {

OutputRequest RequestOf(const Options& options) {
  OutputRequest request;
  if (!options.output.empty()) request.image = options.output;
  request.overwrite = options.overwrite;
  request.streamFormat = options.format;
  request.cubemap = options.cubemap;
  request.faceFormat = options.cubemapFormat;
  request.faceSize = options.faceSize;
  request.cubeLayout = options.cubemapLayout;
  request.cubeConvention = options.cubemapConvention;
  request.sunRatio = options.sunRatio;
  request.sunJson = options.sunJson;
  request.shJson = options.shJson;
  request.quality = options.quality;
  request.pngLevel = options.pngLevel;
  request.preview = options.preview;
  request.thumbnail = options.thumbnail;
  request.metadata = options.noMetadata ? ImageMetadata::None : ImageMetadata::Panorama;
  return request;
}

void PrintSummary(const OutputPlan& plan, double seconds) {
  if (!plan.image.empty()) {
    const OutputSize size = plan.ImageSize();
    const std::string what = plan.imageFormat == ImageFormat::Jpeg
                                 ? "JPEG quality " + std::to_string(plan.quality)
                                 : std::string(ImageFormatName(plan.imageFormat));
    const std::string where = plan.ToStandardOutput() ? "standard output" : plan.image;
    std::fprintf(stderr, "%s: wrote %s (%d x %d, %s%s) in %.2f s\n", kName, where.c_str(),
                 size.width, size.height, what.c_str(), plan.thumbnail > 0 ? ", a thumbnail" : "",
                 seconds);
  }
  if (plan.faces && plan.cubeLayout == CubeLayout::Faces)
    std::fprintf(stderr, "%s: wrote the cube map %s (px, nx, py, ny, pz, nz%s, %d x %d, %s)\n",
                 kName, plan.cubemap.c_str(), std::string(CubeFaceExtension(*plan.faces)).c_str(),
                 plan.faceSize, plan.faceSize,
                 std::string(CubeConventionName(plan.cubeConvention)).c_str());
  else if (plan.faces)
    std::fprintf(stderr, "%s: wrote the cube map %s (%s, faces %d x %d, %s)\n", kName,
                 plan.Names()[plan.image.empty() || plan.ToStandardOutput() ? 0 : 1].c_str(),
                 std::string(CubeLayoutName(plan.cubeLayout)).c_str(), plan.faceSize, plan.faceSize,
                 std::string(CubeConventionName(plan.cubeConvention)).c_str());
  if (!plan.sun.empty()) std::fprintf(stderr, "%s: wrote %s\n", kName, plan.sun.c_str());
  if (!plan.sh.empty()) std::fprintf(stderr, "%s: wrote %s\n", kName, plan.sh.c_str());
}

int Run(const Options& options) {
  Session session{ProgramSettings(DefaultProgramIni())};
  WarningLog warnings(stderr);
  if (const int status = LoadScene(options, session, warnings)) return status;
  const PlannedOutputs planned = PlanOutputs(RequestOf(options), session);
  if (!planned.plan) return Fail(planned.error);
  const OutputPlan& plan = *planned.plan;
  if (plan.ToStandardOutput() && ::isatty(STDOUT_FILENO))
    return Fail(
        "-o - writes the image to standard output, which is a terminal here: redirect it "
        "to a file or a pipe");
  for (const OutputWarning& w : plan.warnings) warnings.Warn(w.where, w.text);
  // --threads decides without it.
  if (const std::string problem = RenderThreadsProblem(); !problem.empty() && !options.threads)
    warnings.Warn("", problem);
  if (const int status = RefuseWarnings(options, warnings)) return status;

  TerminalPort terminal = MakeTerminalPort(options, warnings, session);
  session.Context().Port = &terminal;
  CommandLineHost ui;
  RunResult result;
  try {
    result = RenderAndWrite(session, plan, ui);
  } catch (const FileError& e) {
    return Fail(e.what());
  }
  terminal.Finish();
  if (const int status = RefuseRenderReports(options, terminal)) return status;
  switch (result.outcome) {
    case RunOutcome::Written:
      // Heard after the last file was renamed into place (syncing its
      // folder): the files are written, and the program still stops for it.
      if (const int signal = PendingInterrupt()) {
        std::fprintf(stderr, "%s: %s after every file was in place; they are written\n", kName,
                     Interrupted(signal).what());
        return Interrupted(signal).ExitStatus();
      }
      break;
    case RunOutcome::NotWritten:
      return StopForInterrupt(AbortingSignal());
    case RunOutcome::OutOfMemory:
      return FailOutOfMemory(result.reason);
  }
  if (options.timings) {
    for (const auto& [stage, ms] : terminal.Timings())
      std::fprintf(stderr, "  %-10s %9.1f ms\n", StageName(stage), ms);
    std::fprintf(stderr, "  %-10s %9.1f ms\n", "write", result.writeSeconds * 1000);
  }
  if (!options.quiet) PrintSummary(plan, result.renderSeconds + result.writeSeconds);
  return 0;
}

// --write-default: the default scene as a settings file to start from.
int WriteDefault(const Options& options) {
  const std::string& path = options.settingsFile;
  std::error_code ec;
  if (!options.overwrite && std::filesystem::exists(std::filesystem::symlink_status(path, ec)))
    return Fail(path + ": exists; --overwrite replaces it");
  WriteSettings(SceneSettings{}, path);
  if (!options.quiet)
    std::fprintf(stderr, "%s: wrote the default scene to %s\n", kName, path.c_str());
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
  if (options->version) {
    std::printf("%s %s\n", kName, kVersion);
    return 0;
  }
  // SIGINT and SIGTERM from here on stop the loading, the render or the writing
  // at its next step; nothing is left written.
  InstallInterruptHandlers();
  // The program INI is read before anything else; a FIFO there must not
  // make the program wait, nor be passed over in silence.
  if (const std::string problem = ApplicationIniProblem(DefaultProgramIni()); !problem.empty())
    return Fail(problem + " (the program's INI file; HORIZONMILL_INI names another)");
  // A reader of standard output that goes away is a write error, told as one.
  std::signal(SIGPIPE, SIG_IGN);
  try {
    if (options->command == Command::WriteDefault) return WriteDefault(*options);
    if (options->command != Command::Render) return RunRegistrationCommand(*options);
    return Run(*options);
  } catch (const Interrupted& e) {
    return StopForInterrupt(e.Signal());
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}
