// The 24-bit BMP file: file header, 40-byte info header, rows bottom-up with
// each row padded to 4 bytes, no compression.
#pragma once

#include <cstdio>

#include "image/WorkBitmap.h"

namespace horizonmill {

// Writes the bitmap as a BMP file to the stream. Throws std::runtime_error when
// the stream reports a write error.
void EncodeBmp(const WorkBitmap& bitmap, std::FILE* out);

}  // namespace horizonmill
