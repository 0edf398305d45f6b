#include "output/JpegWriter.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

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

}  // namespace

void EncodeJpeg(const WorkBitmap& bitmap, int quality, std::FILE* out) {
  jpeg_compress_struct cinfo;
  ErrorManager err;
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = ErrorExit;
  err.base.output_message = SilentMessage;
  err.message[0] = '\0';
  // Everything that must be released after a library error lives outside the
  // jump's reach.
  std::vector<std::uint8_t> row(static_cast<std::size_t>(bitmap.Width()) * 3);
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    throw std::runtime_error(std::string("JPEG compression failed: ") + err.message);
  }
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, out);
  cinfo.image_width = static_cast<JDIMENSION>(bitmap.Width());
  cinfo.image_height = static_cast<JDIMENSION>(bitmap.Height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality < 0 ? 0 : quality > 100 ? 100 : quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    const BgrPixel* pixels = bitmap.Row(static_cast<int>(cinfo.next_scanline));
    for (int x = 0; x < bitmap.Width(); ++x) {
      row[3 * x] = pixels[x].r;
      row[3 * x + 1] = pixels[x].g;
      row[3 * x + 2] = pixels[x].b;
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
}

}  // namespace horizonmill
