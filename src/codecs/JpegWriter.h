// JPEG output through the JPEG library: baseline, full colour, the library's
// defaults for everything but the quality factor.
#pragma once

#include <cstddef>
#include <string_view>

#include "codecs/EncodeOptions.h"
#include "image/WorkBitmap.h"
#include "platform/ByteSink.h"

namespace horizonmill {

// Compresses the bitmap at the options' quality (0..100, 0 the library's
// lowest) into the sink, flushing it at the end. Throws std::runtime_error
// with the library's message on failure; a sink that cannot take the bytes, or
// throws when told of rows encoded (ByteSink::EncodedRows, after every batch
// of at most 16), is the library's "output file write error". A picture that
// says it is a full panorama (the options' metadata, codecs/PanoramaXmp.h)
// carries its XMP packet in an APP1 segment after the JFIF header (the
// standard XMP place in a JPEG file).
void EncodeJpeg(const WorkBitmap& bitmap, const EncodeOptions& options, ByteSink& out);

// The name that opens the XMP segment, NUL-terminated in the file.
inline constexpr std::string_view kJpegXmpNamespace = "http://ns.adobe.com/xap/1.0/";
// A segment holds 65533 bytes after its length field.
inline constexpr std::size_t kMaxJpegXmpBytes = 65533 - kJpegXmpNamespace.size() - 1;

}  // namespace horizonmill
