// The 24-bit BMP file: file header, 40-byte info header, rows bottom-up with
// each row padded to 4 bytes, no compression.
#pragma once

#include "codecs/EncodeOptions.h"
#include "image/WorkBitmap.h"
#include "platform/ByteSink.h"

namespace horizonmill {

// Writes the bitmap as a BMP file into the sink, telling it of every row
// written (ByteSink::EncodedRows); what the sink throws passes through. The
// format has no settings and no place for metadata: nothing of the options
// changes a byte.
void EncodeBmp(const WorkBitmap& bitmap, const EncodeOptions& options, ByteSink& out);

}  // namespace horizonmill
