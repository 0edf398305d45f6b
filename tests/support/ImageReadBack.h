// Image files read back by the reader of one format alone, so that a test sees
// both which format a writer chose and what it wrote: PNG through libpng, JPEG
// and BMP through the picture readers, OpenEXR through the OpenEXR library,
// Radiance HDR through the reader of HdrReading.h.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/ImageOutput.h"
#include "image/BmpReader.h"
#include "image/PictureReader.h"
#include "image/WorkBitmap.h"
#include "support/HdrReading.h"
#include "support/PngReading.h"

namespace horizonmill::testing {

// The first bytes of every file of the format.
inline std::string_view SignatureOf(ImageFormat format) {
  switch (format) {
    case ImageFormat::Bmp:
      return "BM";
    case ImageFormat::Png:
      return {"\x89PNG\r\n\x1a\n", 8};
    case ImageFormat::Exr:
      return {"\x76\x2f\x31\x01", 4};
    case ImageFormat::Hdr:
      return "#?RADIANCE\n";
    case ImageFormat::Jpeg:
      break;
  }
  return "\xff\xd8\xff";
}

// The sRGB transfer function, linear 0..1 to encoded 0..1 (held at 1 above).
inline double LinearToSrgb(double linear) {
  if (!(linear > 0)) return 0;
  if (linear >= 1) return 1;
  return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
}

// A picture as read back, every channel on the eight-bit scale: the bytes of
// the eight-bit formats, the linear light of the HDR formats encoded to sRGB
// (times 255, not rounded), so that every format compares with the bitmap it
// was made of.
struct ReadBack {
  std::string problem;  // why the bytes are no file of the format; empty: they are
  int width = 0, height = 0;
  std::vector<double> rgb;  // red, green, blue per pixel, rows from the top
  double At(int x, int y, int c) const {
    return rgb[(static_cast<std::size_t>(y) * width + x) * 3 + c];
  }
};

// A bitmap, and a picture in linear light (red, green, blue floats per pixel),
// on the scale of a picture read back.
inline ReadBack ReadBackOf(const WorkBitmap& bitmap) {
  ReadBack back;
  back.width = bitmap.Width();
  back.height = bitmap.Height();
  for (int y = 0; y < back.height; ++y)
    for (int x = 0; x < back.width; ++x) {
      const BgrPixel p = bitmap.Row(y)[x];
      back.rgb.insert(back.rgb.end(), {double(p.r), double(p.g), double(p.b)});
    }
  return back;
}
inline ReadBack ReadBackOf(int width, int height, const std::vector<float>& linear) {
  ReadBack back;
  back.width = width;
  back.height = height;
  for (float v : linear) back.rgb.push_back(255 * LinearToSrgb(v));
  return back;
}

inline ReadBack ReadBackAs(ImageFormat format, const std::string& bytes) {
  ReadBack back;
  if (!std::string_view(bytes).starts_with(SignatureOf(format))) {
    back.problem = "the bytes do not start as a " + std::string(ImageFormatName(format)) +
                   " file: \"" + bytes.substr(0, 8) + "\"";
    return back;
  }
  const std::span<const std::uint8_t> span(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                           bytes.size());
  auto fromBitmap = [&](const WorkBitmap& bitmap) { back = ReadBackOf(bitmap); };
  auto fromLinear = [&](const FloatPicture& picture) {
    back = ReadBackOf(picture.width, picture.height, picture.rgb);
  };
  try {
    switch (format) {
      case ImageFormat::Bmp:
        fromBitmap(DecodeBmp(span));
        break;
      case ImageFormat::Png: {
        fromBitmap(DecodePng(bytes));
        if (back.width == 0) back.problem = "libpng cannot read the bytes";
        break;
      }
      case ImageFormat::Jpeg:
        fromBitmap(DecodeJpegPicture(span).bitmap);
        break;
      case ImageFormat::Exr:
        fromLinear(ReadExr(bytes).picture);
        break;
      case ImageFormat::Hdr:
        fromLinear(ReadRgbe(bytes).picture);
        break;
    }
  } catch (const std::exception& e) {
    back.problem = std::string("unreadable: ") + e.what();
  }
  return back;
}

// How far two pictures lie apart, per channel on the eight-bit scale; pictures
// of different sizes, or none, lie as far apart as can be.
struct Difference {
  double largest = 0, mean = 0;
};

inline Difference DifferenceBetween(const ReadBack& a, const ReadBack& b) {
  if (a.width != b.width || a.height != b.height || a.rgb.empty() || a.rgb.size() != b.rgb.size())
    return {1e9, 1e9};
  Difference d;
  for (std::size_t i = 0; i < a.rgb.size(); ++i) {
    const double diff = std::abs(a.rgb[i] - b.rgb[i]);
    d.largest = std::max(d.largest, diff);
    d.mean += diff;
  }
  d.mean /= static_cast<double>(a.rgb.size());
  return d;
}

inline Difference DifferenceBetween(const ReadBack& back, const WorkBitmap& bitmap) {
  return DifferenceBetween(back, ReadBackOf(bitmap));
}

}  // namespace horizonmill::testing
