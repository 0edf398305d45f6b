// horizonmill-render: renders a settings file (or the default scene) headless
// and writes the image as PNG, BMP or JPEG, a cube map and the sun's direction,
// or registers it with a host system.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/Options.h"
#include "cli/RegisterCommands.h"
#include "cli/SceneRender.h"
#include "cli/TerminalHost.h"
#include "image/ImageLimits.h"
#include "image/WorkBitmap.h"
#include "output/CubeMapExport.h"
#include "output/ImageOutput.h"
#include "output/JpegWriter.h"
#include "output/OutputTarget.h"
#include "output/Session.h"
#include "output/SunDirection.h"
#include "platform/ApplicationSettings.h"
#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "platform/Interrupt.h"
#include "render/Pipeline.h"
#include "scene/SettingsFile.h"

namespace horizonmill::cli {
namespace {

// What one run writes: the panorama (-o, else the scene's output name unless
// only a cube map or the sun is asked for), the cube map, the sun. Every name
// is an output name through OutputPathOf.
struct Outputs {
  std::string image;
  std::string cubemap;
  std::optional<CubeFaceFormat> faces;
  std::string sun;

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    if (!image.empty()) names.push_back(image);
    if (faces)
      for (CubeFace face : kCubeFaces) names.push_back(CubeFacePath(cubemap, face, *faces));
    if (!sun.empty()) names.push_back(sun);
    return names;
  }
  bool WritesJpeg() const {
    return (!image.empty() && ImageFormatOf(image) == ImageFormat::Jpeg) ||
           faces == CubeFaceFormat::Jpeg;
  }
};

// What can be said before the render about the format: an extension that
// names none of the formats, and a quality that does not apply.
void WarnAboutFormat(const Options& options, const Outputs& outputs, WarningLog& warnings) {
  const std::string& out = outputs.image;
  if (!out.empty() && !HasImageExtension(out)) {
    const std::string ext = LowerCaseExtension(out);
    warnings.Warn(out, (ext.empty() ? std::string("the name has no extension")
                                    : "the extension \"" + ext + "\" names no picture format") +
                           "; the image is written as JPEG (.png, .bmp, .jpg and .jpeg choose "
                           "the format)");
  }
  if (options.quality && !outputs.WritesJpeg()) {
    std::string what = "nothing is written as JPEG";
    if (!out.empty())
      what = std::string("the image is written as ") + ImageFormatName(ImageFormatOf(out));
    else if (outputs.faces)
      what = std::string("the faces are written as ") + ImageFormatName(*outputs.faces);
    warnings.Warn(out.empty() ? outputs.cubemap : out, "--quality applies to JPEG only; " + what);
  }
}

// Every name checked before the render, which would otherwise be spent for
// nothing. 0, or the exit status after the message.
int CheckOutputs(const Options& options, const Session& session, OutputSize size, int faceSize,
                 Outputs& outputs) {
  const bool others = !options.cubemap.empty() || !options.sunJson.empty();
  outputs.image = OutputPathOf(options.output.empty() && !others ? session.Scene().Output.Filename
                                                                 : options.output);
  if (outputs.image.empty() && !others)
    return Fail("no output file: give one with -o (the scene's Output_Filename is empty)");
  if (!outputs.image.empty()) {
    const OutputOrigin origin = options.output.empty() && !options.overwrite
                                    ? OutputOrigin::SceneFile
                                    : OutputOrigin::Named;
    if (const auto problem = CheckOutputTarget(outputs.image, origin, size)) {
      const bool namedWouldDo = !CheckOutputTarget(outputs.image, OutputOrigin::Named, size);
      return Fail(*problem + (namedWouldDo ? " (-o or --overwrite replaces it)" : ""));
    }
  }
  if (!options.cubemap.empty()) {
    outputs.cubemap = OutputPathOf(options.cubemap);
    outputs.faces = options.cubemapFormat.value_or(kDefaultCubeFaceFormat);
    if (const std::string limit = WorkBitmap::LimitReason(faceSize, faceSize); !limit.empty())
      return Fail(std::string(kMemoryExhausted) + " (cube faces: " + limit + ")");
    if (const auto problem = CheckCubeMapTarget(outputs.cubemap, *outputs.faces))
      return Fail(*problem);
  }
  if (!options.sunJson.empty()) {
    outputs.sun = OutputPathOf(options.sunJson);
    // No picture: no size to check.
    if (const auto problem = CheckOutputTarget(outputs.sun, OutputOrigin::Named, OutputSize{1, 1}))
      return Fail(*problem);
  }
  std::vector<std::string> names = outputs.Names();
  std::sort(names.begin(), names.end());
  if (const auto twice = std::adjacent_find(names.begin(), names.end()); twice != names.end())
    return Fail(*twice + ": named twice among the files to write");
  return 0;
}

int Run(const Options& options) {
  Session session;
  WarningLog warnings(stderr);
  if (const int status = LoadScene(options, session, warnings)) return status;
  const OutputSize size = options.preview ? OutputSize{kPreviewWidth, kPreviewHeight}
                                          : OutputSizeOf(session.Scene().Output.Resolution);
  const int faceSize = options.faceSize.value_or(DefaultCubeFaceSize(size.width));
  Outputs outputs;
  if (const int status = CheckOutputs(options, session, size, faceSize, outputs)) return status;
  WarnAboutFormat(options, outputs, warnings);
  if (const int status = RefuseWarnings(options, warnings)) return status;

  const bool show = !options.quiet;
  TerminalHost host(stderr, show && ::isatty(STDERR_FILENO));
  const auto start = std::chrono::steady_clock::now();
  // The sun alone needs no picture.
  const bool renders = !outputs.image.empty() || outputs.faces;
  if (renders)
    if (const int status = RenderScene(options, session, host)) return status;
  const WorkBitmap& image = RenderedImage(options, session);

  const int quality =
      outputs.WritesJpeg()
          ? options.quality.value_or(ReadApplicationSettings(ProgramIni()).JPEGQuality)
          : kDefaultJpegQuality;
  const ImageMetadata metadata = options.noMetadata ? ImageMetadata::None : ImageMetadata::Panorama;
  std::vector<FileToWrite> files;
  if (!outputs.image.empty())
    files.push_back({outputs.image, [&](ByteSink& out) {
                       EncodeImage(image, outputs.image, quality, metadata, out);
                     }});
  const std::string sun =
      outputs.sun.empty() ? "" : SunJson(DescribeSun(session.Scene().Sun, size.width, size.height));
  if (!sun.empty()) files.push_back({outputs.sun, [&](ByteSink& out) { out.Write(sun); }});
  const auto write_start = std::chrono::steady_clock::now();
  try {
    if (outputs.faces)
      WriteCubeMap(image, outputs.cubemap, faceSize, *outputs.faces, quality, files);
    else
      WriteFilesAtomically(files);
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
    const double seconds = Ms(end - start).count() / 1000;
    if (!outputs.image.empty()) {
      const ImageFormat format = ImageFormatOf(outputs.image);
      const std::string what = format == ImageFormat::Jpeg
                                   ? "JPEG quality " + std::to_string(quality)
                                   : std::string(ImageFormatName(format));
      std::fprintf(stderr, "%s: wrote %s (%d x %d, %s) in %.2f s\n", kName, outputs.image.c_str(),
                   image.Width(), image.Height(), what.c_str(), seconds);
    }
    if (outputs.faces)
      std::fprintf(stderr, "%s: wrote the cube map %s (px, nx, py, ny, pz, nz%s, %d x %d)\n", kName,
                   outputs.cubemap.c_str(), std::string(CubeFaceExtension(*outputs.faces)).c_str(),
                   faceSize, faceSize);
    if (!sun.empty()) std::fprintf(stderr, "%s: wrote %s\n", kName, outputs.sun.c_str());
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
