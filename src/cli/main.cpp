// horizonmill-render: renders a settings file (or the default scene) headless
// and writes the image as PNG, BMP or JPEG, or registers it with a host system.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
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
#include "platform/ApplicationSettings.h"
#include "platform/FileError.h"
#include "platform/Interrupt.h"
#include "render/Pipeline.h"
#include "scene/SettingsFile.h"

namespace horizonmill::cli {
namespace {

// What can be said before the render about the format: an extension that
// names none of the formats, and a quality that does not apply.
void WarnAboutFormat(const Options& options, const std::string& out, WarningLog& warnings) {
  const ImageFormat format = ImageFormatOf(out);
  if (!HasImageExtension(out)) {
    const std::string ext = LowerCaseExtension(out);
    warnings.Warn(out, (ext.empty() ? std::string("the name has no extension")
                                    : "the extension \"" + ext + "\" names no picture format") +
                           "; the image is written as JPEG (.png, .bmp, .jpg and .jpeg choose "
                           "the format)");
  }
  if (options.quality && format != ImageFormat::Jpeg)
    warnings.Warn(out, std::string("--quality applies to JPEG only; the image is written as ") +
                           ImageFormatName(format));
}

int Run(const Options& options) {
  Session session;
  WarningLog warnings(stderr);
  if (const int status = LoadScene(options, session, warnings)) return status;
  const std::string& filename = session.Scene().Output.Filename;
  const std::string out = OutputPathOf(options.output.empty() ? filename : options.output);
  if (out.empty())
    return Fail("no output file: give one with -o (the scene's Output_Filename is empty)");
  // Checked before the render, which would otherwise be spent for nothing.
  const OutputOrigin origin =
      options.output.empty() && !options.overwrite ? OutputOrigin::SceneFile : OutputOrigin::Named;
  const OutputSize size = options.preview ? OutputSize{kPreviewWidth, kPreviewHeight}
                                          : OutputSizeOf(session.Scene().Output.Resolution);
  if (const auto problem = CheckOutputTarget(out, origin, size)) {
    const bool namedWouldDo = !CheckOutputTarget(out, OutputOrigin::Named, size);
    return Fail(*problem + (namedWouldDo ? " (-o or --overwrite replaces it)" : ""));
  }
  WarnAboutFormat(options, out, warnings);
  if (const int status = RefuseWarnings(options, warnings)) return status;

  const bool show = !options.quiet;
  TerminalHost host(stderr, show && ::isatty(STDERR_FILENO));
  const auto start = std::chrono::steady_clock::now();
  if (const int status = RenderScene(options, session, host)) return status;
  const WorkBitmap& image = RenderedImage(options, session);

  const ImageFormat format = ImageFormatOf(out);
  const int quality =
      format == ImageFormat::Jpeg
          ? options.quality.value_or(ReadApplicationSettings(ProgramIni()).JPEGQuality)
          : kDefaultJpegQuality;
  const auto write_start = std::chrono::steady_clock::now();
  try {
    SaveImage(image, out, quality, ImageMetadata::Panorama);
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
    const std::string what = format == ImageFormat::Jpeg ? "JPEG quality " + std::to_string(quality)
                                                         : std::string(ImageFormatName(format));
    std::fprintf(stderr, "%s: wrote %s (%d x %d, %s) in %.2f s\n", kName, out.c_str(),
                 image.Width(), image.Height(), what.c_str(), Ms(end - start).count() / 1000);
  }
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
    std::printf("%s %s\n", kName, HORIZONMILL_VERSION);
    return 0;
  }
  // SIGINT and SIGTERM from here on stop the loading, the render or the writing
  // at its next step; nothing is left written.
  InstallInterruptHandlers();
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
