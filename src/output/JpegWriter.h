// JPEG output through the JPEG library: baseline, full colour, the library's
// defaults for everything but the quality factor.
#pragma once

#include <cstdio>

#include "image/WorkBitmap.h"

namespace horizonmill {

inline constexpr int kDefaultJpegQuality = 90;

// Compresses the bitmap at quality 0..100 (0 is the library's lowest) into the
// stream. Throws std::runtime_error with the library's message on failure.
void EncodeJpeg(const WorkBitmap& bitmap, int quality, std::FILE* out);

}  // namespace horizonmill
