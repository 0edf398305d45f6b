#include "support/PictureEncoding.h"

#include <png.h>

#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <stdexcept>

namespace horizonmill::testing {
namespace {

void Append(png_structp png, png_bytep data, std::size_t size) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), size);
}
void Flush(png_structp) {}

// Writes rows of `rowBytes` bytes each, as `fill` packs them, with libpng.
template <typename Fill>
std::string WritePng(int width, int height, const PngLayout& layout,
                     const std::vector<png_color>& palette, const std::vector<png_byte>& alphas,
                     std::size_t rowBytes, Fill fill) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<std::vector<png_byte>> rows(height, std::vector<png_byte>(rowBytes));
  std::vector<png_bytep> pointers;
  pointers.reserve(rows.size());
  for (auto& r : rows) pointers.push_back(r.data());
  for (int y = 0; y < height; ++y) fill(y, rows[y].data());
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("libpng could not write the test picture");
  }
  png_set_write_fn(png, &out, Append, Flush);
  png_set_IHDR(png, info, width, height, layout.depth, layout.colourType,
               layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (layout.colourType == PNG_COLOR_TYPE_PALETTE)
    png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  if (layout.trns) {
    if (layout.colourType == PNG_COLOR_TYPE_PALETTE) {
      png_set_tRNS(png, info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
    } else {
      const int scale = layout.depth == 16 ? 257 : 1;
      const int shift = layout.depth < 8 ? 8 - layout.depth : 0;
      const PackedColour c = layout.transparentColour;
      png_color_16 colour{};
      colour.red = static_cast<png_uint_16>(((c & 0xff) >> shift) * scale);
      colour.green = static_cast<png_uint_16>((((c >> 8) & 0xff) >> shift) * scale);
      colour.blue = static_cast<png_uint_16>((((c >> 16) & 0xff) >> shift) * scale);
      colour.gray = colour.red;
      png_set_tRNS(png, info, nullptr, 0, &colour);
    }
  }
  png_write_info(png, info);
  png_write_image(png, pointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::uint32_t Channel(PackedColour c, int i) { return (c >> (8 * i)) & 0xff; }

}  // namespace

WorkBitmap RgbaPicture::Bitmap() const {
  WorkBitmap bitmap(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bitmap.Row(y)[x] = PackedToBgr(At(x, y));
  return bitmap;
}

std::vector<std::uint8_t> RgbaPicture::Holes() const {
  std::vector<std::uint8_t> holes;
  for (const PackedColour c : pixels) holes.push_back(Channel(c, 3) < 128);
  return holes;
}

std::string EncodePngLayout(const RgbaPicture& picture, const PngLayout& layout) {
  const int w = picture.width, depth = layout.depth;
  std::vector<png_color> palette;
  std::vector<png_byte> alphas;
  std::vector<PackedColour> entries;
  if (layout.colourType == PNG_COLOR_TYPE_PALETTE) {
    for (const PackedColour c : picture.pixels) {
      const PackedColour key = layout.trns ? c : (c | 0xff000000u);
      if (std::find(entries.begin(), entries.end(), key) == entries.end()) entries.push_back(key);
    }
    if (entries.size() > (std::size_t{1} << depth))
      throw std::runtime_error("too many colours for the palette");
    for (const PackedColour c : entries) {
      palette.push_back(png_color{static_cast<png_byte>(Channel(c, 0)),
                                  static_cast<png_byte>(Channel(c, 1)),
                                  static_cast<png_byte>(Channel(c, 2))});
      alphas.push_back(static_cast<png_byte>(Channel(c, 3)));
    }
  }
  int channels = 1;
  switch (layout.colourType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      channels = 2;
      break;
    case PNG_COLOR_TYPE_RGB:
      channels = 3;
      break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
      channels = 4;
      break;
    default:
      break;
  }
  const std::size_t rowBytes = (static_cast<std::size_t>(w) * channels * depth + 7) / 8;
  return WritePng(picture.width, picture.height, layout, palette, alphas, rowBytes,
                  [&](int y, png_byte* row) {
                    // Samples packed from the high bits down, 16-bit ones big-endian.
                    std::size_t bit = 0;
                    auto put = [&](std::uint32_t v8) {
                      if (depth == 16) {
                        const std::uint32_t v = v8 * 257;
                        row[bit / 8] = static_cast<png_byte>(v >> 8);
                        row[bit / 8 + 1] = static_cast<png_byte>(v);
                      } else if (depth == 8) {
                        row[bit / 8] = static_cast<png_byte>(v8);
                      } else {
                        const std::uint32_t v = v8 >> (8 - depth);
                        row[bit / 8] |= static_cast<png_byte>(v << (8 - depth - bit % 8));
                      }
                      bit += depth;
                    };
                    for (int x = 0; x < w; ++x) {
                      const PackedColour c = picture.At(x, y);
                      switch (layout.colourType) {
                        case PNG_COLOR_TYPE_PALETTE: {
                          const PackedColour key = layout.trns ? c : (c | 0xff000000u);
                          const auto at = std::find(entries.begin(), entries.end(), key);
                          const auto index = static_cast<std::uint32_t>(at - entries.begin());
                          // An index is written as it is, not scaled.
                          if (depth == 8) {
                            row[bit / 8] = static_cast<png_byte>(index);
                          } else {
                            row[bit / 8] |= static_cast<png_byte>(index << (8 - depth - bit % 8));
                          }
                          bit += depth;
                          break;
                        }
                        case PNG_COLOR_TYPE_GRAY:
                          put(Channel(c, 0));
                          break;
                        case PNG_COLOR_TYPE_GRAY_ALPHA:
                          put(Channel(c, 0));
                          put(Channel(c, 3));
                          break;
                        case PNG_COLOR_TYPE_RGB:
                          for (int i = 0; i < 3; ++i) put(Channel(c, i));
                          break;
                        default:
                          for (int i = 0; i < 4; ++i) put(Channel(c, i));
                          break;
                      }
                    }
                  });
}

std::string EncodePng16(int width, int height, const std::vector<std::uint16_t>& channels) {
  const PngLayout layout{PNG_COLOR_TYPE_RGB_ALPHA, 16};
  return WritePng(width, height, layout, {}, {}, static_cast<std::size_t>(width) * 8,
                  [&](int y, png_byte* row) {
                    for (int i = 0; i < width * 4; ++i) {
                      const std::uint16_t v = channels[static_cast<std::size_t>(y) * width * 4 + i];
                      row[2 * i] = static_cast<png_byte>(v >> 8);
                      row[2 * i + 1] = static_cast<png_byte>(v);
                    }
                  });
}

namespace {

struct JpegFailure {
  jpeg_error_mgr errors;
  std::jmp_buf jump;
};

[[noreturn]] void JumpOut(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<JpegFailure*>(cinfo->err)->jump, 1);
}

// libjpeg's compressor into memory: `configure` after the defaults, then
// `fill(y, row)` for each row of `components` samples a pixel.
template <typename Configure, typename Fill>
std::string WriteJpeg(int width, int height, int components, J_COLOR_SPACE space,
                      Configure&& configure, Fill&& fill) {
  jpeg_compress_struct cinfo{};
  JpegFailure failure{};
  cinfo.err = jpeg_std_error(&failure.errors);
  failure.errors.error_exit = JumpOut;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * components);
  if (setjmp(failure.jump)) {
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    throw std::runtime_error("libjpeg could not write the test picture");
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = components;
  cinfo.in_color_space = space;
  jpeg_set_defaults(&cinfo);
  configure(cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    fill(static_cast<int>(cinfo.next_scanline), row.data());
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::string out(reinterpret_cast<char*>(buffer), size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return out;
}

}  // namespace

std::string EncodeJpeg(const WorkBitmap& bitmap, bool progressive, bool grey) {
  auto configure = [&](jpeg_compress_struct& cinfo) {
    jpeg_set_quality(&cinfo, 100, TRUE);
    for (int c = 0; c < cinfo.num_components; ++c)
      cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    if (progressive) jpeg_simple_progression(&cinfo);
  };
  auto fill = [&](int y, JSAMPLE* row) {
    const BgrPixel* in = bitmap.Row(y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      if (grey) {
        row[x] = in[x].g;
      } else {
        row[3 * x] = in[x].r;
        row[3 * x + 1] = in[x].g;
        row[3 * x + 2] = in[x].b;
      }
    }
  };
  return WriteJpeg(bitmap.Width(), bitmap.Height(), grey ? 1 : 3, grey ? JCS_GRAYSCALE : JCS_RGB,
                   configure, fill);
}

std::string EncodeCmykJpeg(int width, int height) {
  return WriteJpeg(
      width, height, 4, JCS_CMYK, [](jpeg_compress_struct&) {},
      [&](int, JSAMPLE* row) { std::fill_n(row, static_cast<std::size_t>(width) * 4, 100); });
}

WorkBitmap LibjpegDecode(const std::string& bytes) {
  jpeg_decompress_struct cinfo{};
  JpegFailure failure{};
  cinfo.err = jpeg_std_error(&failure.errors);
  failure.errors.error_exit = JumpOut;
  WorkBitmap bitmap;
  std::vector<JSAMPLE> row;
  if (setjmp(failure.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return WorkBitmap();
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  jpeg_read_header(&cinfo, TRUE);
  jpeg_start_decompress(&cinfo);
  bitmap.Resize(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
  const int n = cinfo.output_components;
  row.resize(static_cast<std::size_t>(cinfo.output_width) * n);
  while (cinfo.output_scanline < cinfo.output_height) {
    BgrPixel* out = bitmap.Row(static_cast<int>(cinfo.output_scanline));
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&cinfo, rows, 1);
    for (int x = 0; x < bitmap.Width(); ++x)
      out[x] = n == 1 ? BgrPixel{row[x], row[x], row[x]}
                      : BgrPixel{row[3 * x + 2], row[3 * x + 1], row[3 * x]};
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return bitmap;
}

}  // namespace horizonmill::testing
