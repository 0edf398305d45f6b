// PNG output: 24-bit colour (8 bits per channel, no alpha, no palette),
// lossless, not interlaced.
//
// The image data is compressed in pieces of whole rows on a work crew
// (render/WorkCrew.h): each piece is filtered and deflated on its own, with no
// history from the piece before it, and ends byte-aligned on a full flush (the
// last one on the end of the stream). Laid one after the other behind a zlib
// header, with the Adler-32 of the whole worked out from the pieces' own, they
// make one ordinary zlib stream: any PNG reader decodes the file as usual. The
// bytes are the same for any number of threads.
#pragma once

#include "codecs/EncodeOptions.h"
#include "image/WorkBitmap.h"
#include "platform/ByteSink.h"

namespace horizonmill {

// Writes the bitmap as a PNG file into the sink, compressed as the options'
// PngOptions say, flushing it at the end. Throws std::runtime_error saying why
// on failure (memory running out); a sink that cannot take the bytes, or
// throws when told of rows encoded (ByteSink::EncodedRows, after every piece),
// ends the writing with what it threw. A picture that says it is a full
// panorama (the options' metadata, codecs/PanoramaXmp.h) carries its XMP
// packet uncompressed in an iTXt chunk with the keyword kPngXmpKeyword before
// the image data (the standard XMP place in a PNG file).
void EncodePng(const WorkBitmap& bitmap, const EncodeOptions& options, ByteSink& out);

inline constexpr const char* kPngXmpKeyword = "XML:com.adobe.xmp";

}  // namespace horizonmill
