// PNG and JPEG files of every kind the picture reader takes, written by libpng
// and libjpeg themselves, for the tests of the reader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/Colour.h"
#include "image/WorkBitmap.h"

namespace horizonmill::testing {

// A picture with an alpha of its own: red, green, blue and alpha per pixel
// (PackedColour), row 0 first.
struct RgbaPicture {
  int width = 0;
  int height = 0;
  std::vector<PackedColour> pixels;

  PackedColour& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  PackedColour At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  // Its red, green and blue as a bitmap (alpha dropped).
  WorkBitmap Bitmap() const;
  // 1 where alpha is below 128.
  std::vector<std::uint8_t> Holes() const;
};

struct PngLayout {
  int colourType;  // PNG_COLOR_TYPE_*
  int depth;       // bits per channel (per index for a palette)
  bool interlaced = false;
  // Grey and RGB: transparency as a tRNS colour, which must be
  // `transparentColour` (its red, green, blue); a palette: alpha per entry.
  bool trns = false;
  PackedColour transparentColour = 0;
};

// The picture as a PNG of that layout. Channels are written as they are at 8
// bits, times 257 at 16 bits, their top bits below 8; a grey layout takes the
// red channel. A palette holds the picture's distinct colours (alpha included
// when trns), at most 2^depth of them.
std::string EncodePngLayout(const RgbaPicture& picture, const PngLayout& layout);
// A 16-bit RGBA PNG of exactly these channel values (red, green, blue, alpha per pixel).
std::string EncodePng16(int width, int height, const std::vector<std::uint16_t>& channels);

// The bitmap as a JPEG at quality 100 without chroma subsampling; grey from
// its green channel.
std::string EncodeJpeg(const WorkBitmap& bitmap, bool progressive, bool grey);
// A w x h CMYK JPEG (as print work keeps them).
std::string EncodeCmykJpeg(int width, int height);
// What libjpeg's own decoding of the bytes gives (default settings, grey
// spread to red, green, blue); an empty bitmap when it fails.
WorkBitmap LibjpegDecode(const std::string& bytes);

}  // namespace horizonmill::testing
