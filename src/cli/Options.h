// Command-line options of horizonmill-render.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/OutputPlan.h"

namespace horizonmill::cli {

// What horizonmill-render is asked to do.
enum class Command { Render, Register, ListRegistered, Unregister, WriteDefault };

struct Options {
  Command command = Command::Render;
  std::string scene;                  // settings file; empty: the default scene
  std::string output;                 // -o; empty: the scene's output name; "-": standard output
  std::optional<ImageFormat> format;  // --format: the image's format on standard output
  // The scene's output name may replace any regular file; --write-default may
  // replace an existing file.
  bool overwrite = false;
  std::optional<int> width, height;  // --size
  std::optional<int> quality;        // --quality
  std::optional<int> pngLevel;       // --png-level
  std::optional<int> threads;        // --threads; none: the render context's default
  bool preview = false;
  bool quiet = false;
  bool timings = false;
  bool strict = false;  // a warning about the scene or the output is an error
  bool help = false;
  bool version = false;
  bool noMetadata = false;  // JPEG without the panorama's XMP
  std::string cubemap;      // --cubemap: the folder of the six faces
  std::optional<int> faceSize;
  std::optional<CubeFaceFormat> cubemapFormat;
  std::optional<CubeLayout> cubemapLayout;          // --cubemap-layout
  std::optional<CubeConvention> cubemapConvention;  // --cubemap-convention
  std::optional<double> sunRatio;                   // --sun-ratio
  std::optional<int> thumbnail;                     // --thumbnail: the side to fit
  std::string sunJson;                              // --sun-json
  std::string shJson;                               // --sh-json
  std::string settingsFile;                         // --write-default
  std::vector<std::string> searchDirs;              // --search-dir, in order
  std::optional<std::int64_t> pictureBudget;        // --picture-budget, in bytes
  // The registration commands.
  std::string hostIni;  // --register, --list-registered or --unregister
  std::optional<std::string> alias, name;
  bool jpeg = false;
};

// Parses argv; on bad usage returns nothing and sets `error` to a one-line reason.
std::optional<Options> ParseOptions(int argc, char** argv, std::string& error);

extern const char* const kUsage;

}  // namespace horizonmill::cli
