#include "codecs/JpegWriter.h"

// The library's headers use FILE and size_t without declaring them.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "codecs/PanoramaXmp.h"

namespace horizonmill {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void SilentMessage(j_common_ptr) {}

// The library's destination: a buffer handed to the sink whenever it fills and
// at the end. The sink's exceptions must not pass through the library's C
// frames: they are kept, and end the compression through the library's write
// error (ErrorExit); once out of the library the kept one is thrown, so that
// the sink's own reason (a reader that closed a pipe, an interrupt) is told,
// not the library's guess at a full disk.
struct SinkDestination {
  jpeg_destination_mgr base;
  ByteSink* sink;
  std::exception_ptr failure;
  JOCTET buffer[65536];
};

SinkDestination& DestinationOf(j_compress_ptr cinfo) {
  return *reinterpret_cast<SinkDestination*>(cinfo->dest);
}

void InitDestination(j_compress_ptr cinfo) {
  SinkDestination& d = DestinationOf(cinfo);
  d.base.next_output_byte = d.buffer;
  d.base.free_in_buffer = sizeof d.buffer;
}

// Passes the first `size` bytes of the buffer on; false when the sink refuses them.
bool Pass(SinkDestination& d, std::size_t size, bool flush) {
  try {
    d.sink->Write(d.buffer, size);
    if (flush) d.sink->Flush();
    return true;
  } catch (...) {
    if (!d.failure) d.failure = std::current_exception();
    return false;
  }
}

// Tells the sink of rows encoded; false when it refuses to go on (what it
// threw, the sink has kept: ByteSink).
bool CountRows(SinkDestination& d, int rows) {
  try {
    d.sink->EncodedRows(rows);
    return true;
  } catch (...) {
    if (!d.failure) d.failure = std::current_exception();
    return false;
  }
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  SinkDestination& d = DestinationOf(cinfo);
  if (!Pass(d, sizeof d.buffer, false)) ERREXIT(cinfo, JERR_FILE_WRITE);
  InitDestination(cinfo);
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  SinkDestination& d = DestinationOf(cinfo);
  if (!Pass(d, sizeof d.buffer - d.base.free_in_buffer, true)) ERREXIT(cinfo, JERR_FILE_WRITE);
}

}  // namespace

void EncodeJpeg(const WorkBitmap& bitmap, const EncodeOptions& options, ByteSink& out) {
  const int quality = options.quality;
  const std::string xmpPacket = XmpPacketFor(bitmap.Width(), bitmap.Height(), options.metadata);
  if (xmpPacket.size() > kMaxJpegXmpBytes) throw std::runtime_error("XMP packet too large");
  jpeg_compress_struct cinfo;
  ErrorManager err;
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = ErrorExit;
  err.base.output_message = SilentMessage;
  err.message[0] = '\0';
  // Everything that must be released after a library error lives outside the
  // jump's reach.
#ifndef JCS_EXTENSIONS
  std::vector<std::uint8_t> row(static_cast<std::size_t>(bitmap.Width()) * 3);
#endif
  auto destination = std::make_unique<SinkDestination>();
  std::string xmpSegment;
  if (!xmpPacket.empty()) (xmpSegment = kJpegXmpNamespace).append(1, '\0').append(xmpPacket);
  destination->base.init_destination = InitDestination;
  destination->base.empty_output_buffer = EmptyOutputBuffer;
  destination->base.term_destination = TermDestination;
  destination->sink = &out;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    if (destination->failure) std::rethrow_exception(destination->failure);
    throw std::runtime_error(std::string("JPEG compression failed: ") + err.message);
  }
  jpeg_create_compress(&cinfo);
  cinfo.dest = &destination->base;
  cinfo.image_width = static_cast<JDIMENSION>(bitmap.Width());
  cinfo.image_height = static_cast<JDIMENSION>(bitmap.Height());
  cinfo.input_components = 3;
#ifdef JCS_EXTENSIONS
  // libjpeg-turbo reads the bitmap's blue, green, red rows as they are.
  cinfo.in_color_space = JCS_EXT_BGR;
#else
  cinfo.in_color_space = JCS_RGB;
#endif
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality < 0 ? 0 : quality > 100 ? 100 : quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  if (!xmpPacket.empty())
    jpeg_write_marker(&cinfo, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(xmpSegment.data()),
                      static_cast<unsigned>(xmpSegment.size()));
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = static_cast<int>(cinfo.next_scanline);
#ifdef JCS_EXTENSIONS
    // The library only reads the rows it is handed.
    JSAMPROW rows[16];
    const int count = std::min(16, bitmap.Height() - y);
    for (int i = 0; i < count; ++i)
      rows[i] = reinterpret_cast<JSAMPROW>(const_cast<BgrPixel*>(bitmap.Row(y + i)));
    jpeg_write_scanlines(&cinfo, rows, static_cast<JDIMENSION>(count));
    if (!CountRows(*destination, count)) ERREXIT(&cinfo, JERR_FILE_WRITE);
#else
    const BgrPixel* pixels = bitmap.Row(y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      row[3 * x] = pixels[x].r;
      row[3 * x + 1] = pixels[x].g;
      row[3 * x + 2] = pixels[x].b;
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
    if (!CountRows(*destination, 1)) ERREXIT(&cinfo, JERR_FILE_WRITE);
#endif
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
}

}  // namespace horizonmill
