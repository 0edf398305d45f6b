// Our BMP reader: every variant a Windows program loads (1, 4, 8, 16, 24 and 32
// bits, RLE4 and RLE8, bit-field masks, top-down and bottom-up rows, the OS/2
// core header) into a 24-bit WorkBitmap. Every header field is validated; a
// damaged file is an error, never a crash or an out-of-bounds read.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

#include "image/PixelImage.h"
#include "image/WorkBitmap.h"

namespace horizonmill {

class BmpError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Decodes a BMP held in memory. Throws BmpError saying what is wrong.
WorkBitmap DecodeBmp(std::span<const std::uint8_t> bytes);

// Reads and decodes a file. Throws FileError naming the file and the reason.
WorkBitmap ReadBmpFile(const std::string& path);

// A picture file as a PixelImage (every pixel opaque). nullptr when the
// PixelImage cannot be allocated; throws FileError when the file is no loadable BMP.
PixelImagePtr LoadPictureFile(const std::string& path);

}  // namespace horizonmill
