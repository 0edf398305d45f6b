// libFuzzer target for the renderers: a settings file with pictures from a
// small fixed set, rendered at 64 x 32; the corpus is tests/fuzz/corpus/render.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/render_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string problem = horizonmill::fuzz::CheckRenderInput(data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "%s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
