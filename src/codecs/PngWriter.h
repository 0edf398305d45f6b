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

#include <string_view>

#include "image/WorkBitmap.h"
#include "platform/ByteSink.h"

namespace horizonmill {

// The filter put in front of every row. Adaptive tries the five and keeps the
// one whose bytes, read as signed, sum to the least in magnitude.
enum class PngFilter { None, Sub, Up, Average, Paeth, Adaptive };

// The zlib levels --png-level takes, and the one used when none is asked for.
// Chosen by measurement (bench/png_bench.cpp, the every-layer example and a
// photograph-like picture at 3072 x 1536): the Sub filter at level 4 makes
// files the size of level 6 with adaptive filtering on rendered skies (6% larger
// on photographs) in a fifth to a quarter of its time; Paeth and adaptive
// filtering lose to Sub on the rendered pictures at every level, and levels 1
// to 3 save up to a third of the time for files 7 to 18% larger.
inline constexpr int kMinPngLevel = 0;
inline constexpr int kMaxPngLevel = 9;
inline constexpr int kDefaultPngLevel = 4;
inline constexpr PngFilter kDefaultPngFilter = PngFilter::Sub;

struct PngOptions {
  int level = kDefaultPngLevel;  // kMinPngLevel .. kMaxPngLevel; others are clamped
  PngFilter filter = kDefaultPngFilter;
  // The threads that compress (1: the caller alone); 0 or less: the default
  // number of render threads (render/RenderContext.h).
  int threads = 0;
  // Rows per piece; 0: as many as make about kPngPieceBytes of image data, at
  // most kPngPieceRows (the sink hears of the rows piece by piece, so a write
  // asked to stop stops within that many rows).
  int pieceRows = 0;
};
inline constexpr int kPngPieceBytes = 256 * 1024;
inline constexpr int kPngPieceRows = 16;

// Writes the bitmap as a PNG file into the sink, flushing it at the end. Throws
// std::runtime_error saying why on failure (memory running out); a sink that
// cannot take the bytes, or throws when told of rows encoded
// (ByteSink::EncodedRows, after every piece), ends the writing with what it
// threw. An XMP packet, when given, goes uncompressed into an iTXt chunk with
// the keyword kPngXmpKeyword before the image data (the standard XMP place in
// a PNG file).
void EncodePng(const WorkBitmap& bitmap, ByteSink& out, std::string_view xmpPacket = {},
               const PngOptions& options = {});

inline constexpr const char* kPngXmpKeyword = "XML:com.adobe.xmp";

}  // namespace horizonmill
