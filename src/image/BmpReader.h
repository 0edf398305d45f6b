// Our BMP reader: every variant a Windows program loads (1, 4, 8, 16, 24 and 32
// bits, RLE4 and RLE8, bit-field masks, top-down and bottom-up rows, the OS/2
// core header) into a 24-bit WorkBitmap. Every header field is validated; a
// damaged file is an error, never a crash or an out-of-bounds read.
//
// Also read: 2-bit palettes, the 52- and 56-byte headers with masks inside,
// alpha bit fields (compression 6), and OS/2 2.x headers of 16 to 64 bytes.
// Refused with a reason: JPEG or PNG inside a BMP, OS/2 Huffman and RLE24
// compression, OS/2 bitmap arrays, 64-bit pixels.
//
// Rules where files disagree with their own headers:
// - The file-size and image-size fields are ignored; the pixels are read from
//   the bits offset, and the file must hold every row (the last row may lack
//   its padding). A file that ends early is an error.
// - Palette indices past the palette read as black. A palette that overlaps
//   the pixels (bits offset inside it) is cut at the bits offset.
// - RLE: pixels the stream skips (delta, end of line, end of bitmap) are
//   palette index 0. A stream that runs out before its end-of-bitmap code is
//   taken as ended there. A run or a delta that leaves the picture is an error.
//   A picture larger than its data could describe in runs of 255 pixels (2
//   bytes each) is refused before anything is allocated for it, and data past
//   RleDataCap (BmpLayout.h: 4 bytes a pixel) is never read.
// - Alpha is dropped. Bit-field channels are scaled to 8 bits by
//   Round(value * 255 / channel maximum); an empty mask gives 0.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

#include "image/PixelImage.h"
#include "image/WorkBitmap.h"
#include "platform/FileError.h"

namespace horizonmill {

class PictureBudget;  // image/PictureBudget.h

class BmpError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The picture does not fit in memory: a side above 65535, more than 2 GiB of
// pixels (ImageLimits.h), or the allocation failed. Refused before anything
// large is allocated; the window reports it as memory exhaustion.
class BmpTooLarge : public BmpError {
 public:
  using BmpError::BmpError;
};

// ReadBmpFile's form of BmpTooLarge (the file could also be read, but its
// picture is too large for memory).
class BmpFileTooLarge : public FileError {
 public:
  using FileError::FileError;
};

// Decodes a BMP held in memory. Throws BmpError saying what is wrong
// (BmpTooLarge when the picture would not fit in memory).
WorkBitmap DecodeBmp(std::span<const std::uint8_t> bytes);
// The same with a lower ceiling on the bytes of the result (rows padded to 4
// bytes, 3 bytes a pixel); a larger picture throws BmpTooLarge. The fuzzer uses
// it to stay within its memory budget.
WorkBitmap DecodeBmp(std::span<const std::uint8_t> bytes, std::int64_t maxPixelBytes);

// Reads a BMP file header first: only a regular file is read, and only when
// its headers pass (and the budget, when given, admits the picture: see
// image/PictureBudget.h) are the bytes its pixels need read and decoded.
// Throws FileError naming the file and the reason (BmpFileTooLarge when the
// picture would not fit in memory, PictureOverBudget when the budget refuses
// it); Interrupted when an interrupt is pending while the file is read.
WorkBitmap ReadBmpFile(const std::string& path, const PictureBudget* budget = nullptr);

}  // namespace horizonmill
