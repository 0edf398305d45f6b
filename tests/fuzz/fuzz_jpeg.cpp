// libFuzzer target for the JPEG decoder; the corpus is tests/fuzz/corpus/jpeg.
#include <cstddef>
#include <cstdint>

#include "fuzz/picture_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  horizonmill::fuzz::DecodeJpegInput(data, size);
  return 0;
}
