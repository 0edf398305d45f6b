// PNG output through libpng: 24-bit colour (8 bits per channel, no alpha, no
// palette), lossless, not interlaced.
#pragma once

#include <string_view>

#include "image/WorkBitmap.h"
#include "platform/ByteSink.h"

namespace horizonmill {

// Writes the bitmap as a PNG file into the sink, flushing it at the end. Throws
// std::runtime_error with the library's message on failure; a sink that cannot
// take the bytes, or throws when told of a row encoded (ByteSink::EncodedRows,
// after every row), ends the writing with what it threw. An XMP packet, when
// given, goes uncompressed into an iTXt chunk with the keyword
// kPngXmpKeyword before the image data (the standard XMP place in a PNG file).
void EncodePng(const WorkBitmap& bitmap, ByteSink& out, std::string_view xmpPacket = {});

inline constexpr const char* kPngXmpKeyword = "XML:com.adobe.xmp";

}  // namespace horizonmill
