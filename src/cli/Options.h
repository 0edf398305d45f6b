// Command-line options of horizonmill-render.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace horizonmill::cli {

struct Options {
  std::string scene;                 // settings file; empty: the default scene
  std::string output;                // -o; empty: the scene's output name
  std::optional<int> width, height;  // --size
  int quality = 90;
  bool preview = false;
  bool quiet = false;
  bool timings = false;
  bool help = false;
  std::vector<std::string> searchDirs;  // --search-dir, in order
};

// Parses argv; on bad usage returns nothing and sets `error` to a one-line reason.
std::optional<Options> ParseOptions(int argc, char** argv, std::string& error);

extern const char* const kUsage;

}  // namespace horizonmill::cli
