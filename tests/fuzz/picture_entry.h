// The PNG and JPEG decoders' fuzzing entry points, shared by the libFuzzer
// targets and by the regression test that replays their corpora with the
// normal compiler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "image/PictureReader.h"

namespace horizonmill::fuzz {

// The largest picture (with the decoder's own buffers) the fuzzers decode:
// enough for every path of the decoders, well inside the fuzzer's memory.
inline constexpr std::int64_t kMaxFuzzPictureBytes = std::int64_t{64} << 20;

// Decodes the bytes with `decode` (DecodePngPicture or DecodeJpegPicture); a
// PictureError is the expected outcome for damaged input. A picture that
// comes out is read in full, holes included, so that a row outside its buffer
// or a mask that disagrees with the picture shows under the sanitizers.
// Returns a checksum (0 for a refused input).
template <typename Decode>
std::uint32_t DecodePictureInput(Decode decode, const std::uint8_t* data, std::size_t size) {
  try {
    const Picture picture = decode(std::span<const std::uint8_t>(data, size), kMaxFuzzPictureBytes);
    const WorkBitmap& bitmap = picture.bitmap;
    std::uint32_t sum = 1;
    for (int y = 0; y < bitmap.Height(); ++y) {
      const BgrPixel* row = bitmap.Row(y);
      for (int x = 0; x < bitmap.Width(); ++x) sum = sum * 31 + BgrAsInt(row[x]);
    }
    if (!picture.holes.empty()) {
      if (picture.holes.size() !=
          static_cast<std::size_t>(bitmap.Width()) * static_cast<std::size_t>(bitmap.Height()))
        __builtin_trap();
      for (const std::uint8_t h : picture.holes) sum = sum * 3 + h;
    }
    return sum;
  } catch (const PictureError&) {
    return 0;
  }
}

inline std::uint32_t DecodePngInput(const std::uint8_t* data, std::size_t size) {
  return DecodePictureInput([](std::span<const std::uint8_t> bytes,
                               std::int64_t most) { return DecodePngPicture(bytes, most); },
                            data, size);
}

inline std::uint32_t DecodeJpegInput(const std::uint8_t* data, std::size_t size) {
  return DecodePictureInput([](std::span<const std::uint8_t> bytes,
                               std::int64_t most) { return DecodeJpegPicture(bytes, most); },
                            data, size);
}

}  // namespace horizonmill::fuzz
