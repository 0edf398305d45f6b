// The BMP decoder's fuzzing entry point, shared by the libFuzzer target and by
// the regression test that replays the corpus with the normal compiler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "image/BmpReader.h"

namespace horizonmill::fuzz {

// The largest picture the fuzzer decodes: enough for every path of the reader,
// small enough to stay well inside the fuzzer's memory budget.
inline constexpr std::int64_t kMaxFuzzPixelBytes = std::int64_t{64} << 20;

// Decodes the bytes; a BmpError is the expected outcome for damaged input. A
// picture that comes out is read in full, so that a row outside its buffer or
// a size that disagrees with the buffer shows under the sanitizers. Returns a
// checksum of the pixels (0 for a refused input).
inline std::uint32_t DecodeBmpInput(const std::uint8_t* data, std::size_t size) {
  try {
    const WorkBitmap bitmap =
        DecodeBmp(std::span<const std::uint8_t>(data, size), kMaxFuzzPixelBytes);
    std::uint32_t sum = 1;
    for (int y = 0; y < bitmap.Height(); ++y) {
      const BgrPixel* row = bitmap.Row(y);
      for (int x = 0; x < bitmap.Width(); ++x) sum = sum * 31 + BgrAsInt(row[x]);
    }
    return sum;
  } catch (const BmpError&) {
    return 0;
  }
}

}  // namespace horizonmill::fuzz
