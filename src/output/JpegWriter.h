// JPEG output through the JPEG library: baseline, full colour, the library's
// defaults for everything but the quality factor.
#pragma once

#include "image/WorkBitmap.h"
#include "platform/ByteSink.h"

namespace horizonmill {

inline constexpr int kDefaultJpegQuality = 90;

// Compresses the bitmap at quality 0..100 (0 is the library's lowest) into the
// sink, flushing it at the end. Throws std::runtime_error with the library's
// message on failure; a sink that cannot take the bytes is the library's
// "output file write error".
void EncodeJpeg(const WorkBitmap& bitmap, int quality, ByteSink& out);

}  // namespace horizonmill
