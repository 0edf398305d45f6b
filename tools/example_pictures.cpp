// Writes the pictures of the example scenes (tools/ExamplePictures.h) into a
// folder, as BMP files and the cut-out ones as PNG files:
//   horizonmill-example-pictures DIR
#include <cstdio>
#include <string>

#include "ExamplePictures.h"
#include "codecs/ImageOutput.h"
#include "platform/AtomicFile.h"
#include "platform/FileError.h"

int main(int argc, char** argv) {
  using namespace horizonmill;
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  try {
    for (const auto& [name, picture] : examples::ExamplePictures()) SaveAsBmp(picture, dir + name);
    for (const examples::CutOutPicture& cut : examples::CutOutPictures()) {
      const std::string png = examples::EncodeCutOutPng(cut);
      WriteFileAtomically(dir + cut.file,
                          [&](ByteSink& out) { out.Write(png.data(), png.size()); });
    }
  } catch (const FileError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
