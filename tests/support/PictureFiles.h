// Picture files written for a test: small BMP and PNG pictures of one colour
// or of a pattern, in a folder of the test's.
#pragma once

#include <png.h>

#include <cstdint>
#include <string>

#include "codecs/BmpWriter.h"
#include "image/WorkBitmap.h"
#include "platform/ByteSink.h"
#include "support/PictureEncoding.h"
#include "support/TempDir.h"

namespace horizonmill::testing {

// A width x height bitmap of one colour.
inline WorkBitmap UniformBitmap(int width, int height, BgrPixel colour) {
  WorkBitmap bitmap(width, height);
  FillWorkBitmap(bitmap, colour);
  return bitmap;
}

// Writes the bitmap as a 24-bit BMP file at `path`.
inline void WriteBmpFile(const std::string& path, const WorkBitmap& bitmap) {
  MemorySink bytes;
  EncodeBmp(bitmap, {}, bytes);
  WriteFile(path, bytes.Bytes());
}

// A PNG file whose pixel (x, y) is a hole where `hole(x, y)`, otherwise
// `colour`.
template <typename Hole>
void WriteHoleyPng(const std::string& path, int width, int height, PackedColour colour, Hole hole) {
  RgbaPicture picture{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.pixels.push_back(hole(x, y) ? (colour & 0x00ffffffu) : colour);
  WriteFile(path, EncodePngLayout(picture, PngLayout{PNG_COLOR_TYPE_RGB_ALPHA, 8}));
}

}  // namespace horizonmill::testing
