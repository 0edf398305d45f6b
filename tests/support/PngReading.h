// PNG pictures read back by libpng, for the tests of what the program writes.
#pragma once

#include <png.h>

#include <string>

#include "image/WorkBitmap.h"

namespace horizonmill::testing {

// The picture libpng reads back from the bytes (8-bit RGB into the bitmap's
// blue, green, red); an empty bitmap when libpng cannot read them.
inline WorkBitmap DecodePng(const std::string& bytes) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return {};
  image.format = PNG_FORMAT_BGR;  // the bitmap's own order
  WorkBitmap bitmap(static_cast<int>(image.width), static_cast<int>(image.height));
  if (!png_image_finish_read(&image, nullptr, bitmap.Bits(),
                             static_cast<png_int_32>(bitmap.Stride()), nullptr))
    return {};
  return bitmap;
}

}  // namespace horizonmill::testing
