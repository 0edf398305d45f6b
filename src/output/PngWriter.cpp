#include "output/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <exception>
#include <stdexcept>
#include <string>

namespace horizonmill {
namespace {

// What the library's callbacks share with EncodePng. A failure leaves the
// library through its error function, which jumps back into EncodePng: no C++
// exception ever passes through the library's C frames.
struct WriteState {
  ByteSink* sink = nullptr;
  std::exception_ptr sinkFailure;  // what the sink threw, handed on as it was
  std::string message;
};

WriteState& StateOf(png_structp png) { return *static_cast<WriteState*>(png_get_io_ptr(png)); }

[[noreturn]] void ErrorExit(png_structp png, png_const_charp message) {
  static_cast<WriteState*>(png_get_error_ptr(png))->message = message;
  png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

void WriteBytes(png_structp png, png_bytep data, png_size_t size) {
  WriteState& state = StateOf(png);
  try {
    state.sink->Write(data, size);
  } catch (...) {
    state.sinkFailure = std::current_exception();
  }
  if (state.sinkFailure) png_error(png, "the bytes could not be written");
}

// Tells the sink of a row encoded; false, with what it threw kept, when it
// refuses to go on.
bool CountRow(WriteState& state) {
  try {
    state.sink->EncodedRows(1);
    return true;
  } catch (...) {
    state.sinkFailure = std::current_exception();
    return false;
  }
}

void FlushBytes(png_structp png) {
  WriteState& state = StateOf(png);
  try {
    state.sink->Flush();
  } catch (...) {
    state.sinkFailure = std::current_exception();
  }
  if (state.sinkFailure) png_error(png, "the bytes could not be written");
}

}  // namespace

void EncodePng(const WorkBitmap& bitmap, ByteSink& out, std::string_view xmpPacket) {
  // The library takes the chunk's texts as writable C strings, and copies them.
  std::string keyword = kPngXmpKeyword, xmp(xmpPacket);
  WriteState state;
  state.sink = &out;
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, ErrorExit, IgnoreWarning);
  if (png == nullptr) throw std::runtime_error("PNG writing failed: the library cannot start");
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    if (state.sinkFailure) std::rethrow_exception(state.sinkFailure);
    throw std::runtime_error("PNG writing failed: " + state.message);
  }
  if (info == nullptr) png_error(png, "no memory for the picture's header");
  png_set_write_fn(png, &state, WriteBytes, FlushBytes);
  png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.Width()),
               static_cast<png_uint_32>(bitmap.Height()), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!xmp.empty()) {
    // Uncompressed, with no language tag: how XMP readers expect it.
    png_text text{};
    text.compression = PNG_ITXT_COMPRESSION_NONE;
    text.key = keyword.data();
    text.text = xmp.data();
    text.itxt_length = xmp.size();
    png_set_text(png, info, &text, 1);
  }
  png_write_info(png, info);
  // The bitmap's rows hold blue, green, red: the library swaps them as it writes.
  png_set_bgr(png);
  for (int y = 0; y < bitmap.Height(); ++y) {
    png_write_row(png, reinterpret_cast<png_const_bytep>(bitmap.Row(y)));
    if (!CountRow(state)) png_error(png, "the bytes could not be written");
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  out.Flush();
}

}  // namespace horizonmill
