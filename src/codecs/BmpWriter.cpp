#include "codecs/BmpWriter.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace horizonmill {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(v & 0xff);
  out.push_back((v >> 8) & 0xff);
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}

}  // namespace

void EncodeBmp(const WorkBitmap& bitmap, const EncodeOptions&, ByteSink& out) {
  const std::uint32_t width = bitmap.Width(), height = bitmap.Height();
  const std::uint32_t stride = static_cast<std::uint32_t>(WorkBitmap::StrideFor(bitmap.Width()));
  const std::uint32_t image_bytes = stride * height;
  std::vector<std::uint8_t> header;
  header.reserve(54);
  header.push_back('B');
  header.push_back('M');
  Put32(header, 54 + image_bytes);  // file size
  Put32(header, 0);                 // reserved
  Put32(header, 54);                // offset of the pixels
  Put32(header, 40);                // info header size
  Put32(header, width);
  Put32(header, height);  // positive: bottom-up rows
  Put16(header, 1);       // planes
  Put16(header, 24);      // bits per pixel
  Put32(header, 0);       // no compression
  Put32(header, image_bytes);
  Put32(header, 0);  // horizontal resolution
  Put32(header, 0);  // vertical resolution
  Put32(header, 0);  // colours used
  Put32(header, 0);  // important colours
  out.Write(header.data(), header.size());
  // Pixel bytes are written row by row with zero padding, so the file does not
  // depend on what the bitmap's padding bytes hold.
  std::vector<std::uint8_t> row(stride, 0);
  for (std::uint32_t y = height; y-- > 0;) {
    const auto* pixels = reinterpret_cast<const std::uint8_t*>(bitmap.Row(static_cast<int>(y)));
    std::copy(pixels, pixels + 3 * width, row.begin());
    out.Write(row.data(), stride);
    out.EncodedRows(1);
  }
}

}  // namespace horizonmill
