#include "codecs/RgbeWriter.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace horizonmill {
namespace {

constexpr int kMinRunLength = 4;
constexpr int kLongestRun = 127;
constexpr int kLongestStretch = 128;

// One byte plane of a row, as runs and stretches of bytes.
void EncodePlane(const std::uint8_t* bytes, int count, std::string& out) {
  int i = 0;
  while (i < count) {
    // The next run of at least kMinRunLength equal bytes, from i on.
    int runStart = i, runLength = 0;
    while (runStart < count) {
      runLength = 1;
      while (runStart + runLength < count && runLength < kLongestRun &&
             bytes[runStart + runLength] == bytes[runStart])
        ++runLength;
      if (runLength >= kMinRunLength) break;
      runStart += runLength;
    }
    if (runStart >= count) runStart = count, runLength = 0;
    // The bytes before it as stretches.
    while (i < runStart) {
      const int n = std::min(kLongestStretch, runStart - i);
      out.push_back(static_cast<char>(n));
      out.append(reinterpret_cast<const char*>(bytes + i), static_cast<std::size_t>(n));
      i += n;
    }
    if (runLength >= kMinRunLength) {
      out.push_back(static_cast<char>(128 + runLength));
      out.push_back(static_cast<char>(bytes[runStart]));
      i = runStart + runLength;
    }
  }
}

}  // namespace

std::array<std::uint8_t, 4> RgbeOf(float r, float g, float b) {
  auto held = [](float c) { return c > 0 ? c : 0.0f; };  // no number: 0
  r = held(r);
  g = held(g);
  b = held(b);
  const float v = std::max({r, g, b});
  if (!(v >= 1e-32f)) return {0, 0, 0, 0};
  int e = 0;
  std::frexp(v, &e);
  if (e > 127) {  // beyond what the exponent byte holds
    e = 127;
    const float top = std::ldexp(255.0f / 256.0f, e);
    r = std::min(r, top);
    g = std::min(g, top);
    b = std::min(b, top);
  }
  const float scale = std::ldexp(256.0f, -e);
  auto mantissa = [&](float c) { return static_cast<std::uint8_t>(std::min(255.0f, c * scale)); };
  return {mantissa(r), mantissa(g), mantissa(b), static_cast<std::uint8_t>(e + 128)};
}

void EncodeRgbe(const LinearPicture& picture, const EncodeOptions&, ByteSink& out) {
  const int w = picture.width, h = picture.height;
  if (w <= 0 || h <= 0) throw std::runtime_error("a Radiance picture needs at least one pixel");
  out.Write(
      "#?RADIANCE\n"
      "# Horizonmill: linear light, Rec. 709 primaries\n"
      "FORMAT=32-bit_rle_rgbe\n"
      "PRIMARIES= 0.640 0.330 0.300 0.600 0.150 0.060 0.3127 0.3290\n"
      "\n"
      "-Y " +
      std::to_string(h) + " +X " + std::to_string(w) + "\n");
  const bool runLengths = w >= 8 && w <= 0x7fff;
  std::vector<float> rgb(static_cast<std::size_t>(w) * 3);
  std::vector<std::uint8_t> planes(static_cast<std::size_t>(w) * 4);
  std::string row;
  for (int y = 0; y < h; ++y) {
    picture.row(y, rgb.data());
    row.clear();
    if (runLengths) {
      for (int x = 0; x < w; ++x) {
        const auto p = RgbeOf(rgb[3 * x], rgb[3 * x + 1], rgb[3 * x + 2]);
        for (int c = 0; c < 4; ++c) planes[static_cast<std::size_t>(c) * w + x] = p[c];
      }
      row.push_back(2);
      row.push_back(2);
      row.push_back(static_cast<char>(w >> 8));
      row.push_back(static_cast<char>(w & 0xff));
      for (int c = 0; c < 4; ++c)
        EncodePlane(planes.data() + static_cast<std::size_t>(c) * w, w, row);
    } else {
      for (int x = 0; x < w; ++x) {
        auto p = RgbeOf(rgb[3 * x], rgb[3 * x + 1], rgb[3 * x + 2]);
        // 1, 1, 1 starts a repeat in flat rows: the same colour as 2, 2, 2
        // at half the scale.
        if (p[0] == 1 && p[1] == 1 && p[2] == 1 && p[3] > 0)
          p = {2, 2, 2, static_cast<std::uint8_t>(p[3] - 1)};
        row.append(reinterpret_cast<const char*>(p.data()), p.size());
      }
    }
    out.Write(row);
    out.EncodedRows(1);
  }
  out.Flush();
}

}  // namespace horizonmill
