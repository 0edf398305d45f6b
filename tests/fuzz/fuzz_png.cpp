// libFuzzer target for the PNG decoder; the corpus is tests/fuzz/corpus/png.
#include <cstddef>
#include <cstdint>

#include "fuzz/picture_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  horizonmill::fuzz::DecodePngInput(data, size);
  return 0;
}
