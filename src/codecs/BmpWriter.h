// The 24-bit BMP file: file header, 40-byte info header, rows bottom-up with
// each row padded to 4 bytes, no compression.
#pragma once

#include "image/WorkBitmap.h"
#include "platform/ByteSink.h"

namespace horizonmill {

// Writes the bitmap as a BMP file into the sink, telling it of every row
// written (ByteSink::EncodedRows); what the sink throws passes through.
void EncodeBmp(const WorkBitmap& bitmap, ByteSink& out);

}  // namespace horizonmill
