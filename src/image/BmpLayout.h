// Inside the BMP reader: the file's headers read and checked against the file,
// giving everything the pixel decoders need (BmpReader.cpp).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "image/BmpReader.h"
#include "image/Colour.h"

namespace horizonmill::detail {

[[noreturn]] inline void FailBmp(const std::string& reason) { throw BmpError(reason); }

// Little-endian fields.
inline std::uint16_t Get16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline std::uint32_t Get32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

// "W x H" for messages.
std::string SizeText(std::int64_t width, std::int64_t height);

enum class BmpEncoding { Palette, Rle8, Rle4, Bgr24, Bgrx32, Masks };

struct BmpLayout {
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool top_down = false;
  int bits = 0;
  BmpEncoding encoding = BmpEncoding::Palette;
  std::array<std::uint32_t, 3> masks{};  // red, green, blue
  std::array<BgrPixel, 256> palette{};   // entries past the file's palette stay black
  std::size_t bits_offset = 0;
  std::uint64_t row_bytes = 0;  // bytes per row in the file (uncompressed)
  // Where the bytes the decoder reads end: the last row of an uncompressed
  // picture, the end of the RLE data (capped, see RleDataCap).
  std::uint64_t data_end = 0;
};

// The most RLE data a picture of width x height is read with: 4 bytes a pixel,
// 2 a row and 2 more, more than the most wasteful honest encoding needs (a
// 2-byte code for every pixel, every row ended, the bitmap ended).
inline std::uint64_t RleDataCap(std::int64_t width, std::int64_t height) {
  return 4 * static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) +
         2 * static_cast<std::uint64_t>(height) + 2;
}

// Every header field, the colour masks and the palette lie within this many
// bytes from the start of a file: a reader looks at them before anything else.
inline constexpr std::size_t kBmpHeadBytes = 14 + 124 + 16 + 256 * 4;

// Reads and checks the headers, the palette and the room for the pixels, in
// that order; the size limits are checked before the palette is read. `head`
// is the start of a file of `fileBytes` bytes: all of it, or at least
// kBmpHeadBytes. Throws BmpError saying what is wrong (BmpTooLarge when the
// picture breaks the image limits or needs more than maxPixelBytes as a
// WorkBitmap).
BmpLayout ReadBmpLayout(std::span<const std::uint8_t> head, std::uint64_t fileBytes,
                        std::int64_t maxPixelBytes);

}  // namespace horizonmill::detail
