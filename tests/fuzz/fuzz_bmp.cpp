// libFuzzer target for the BMP reader; the corpus is tests/fuzz/corpus/bmp.
#include <cstddef>
#include <cstdint>

#include "fuzz/bmp_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  horizonmill::fuzz::DecodeBmpInput(data, size);
  return 0;
}
