// Reading back the HDR outputs: OpenEXR through the OpenEXR library, Radiance
// RGBE through a small reader of its own (flat rows, and the run-length rows
// that start with 2, 2).
#pragma once

#include <ImfChannelList.h>
#include <ImfEnvmapAttribute.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfIO.h>
#include <ImfInputFile.h>
#include <ImfStandardAttributes.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace horizonmill::testing {

// A picture in linear light: red, green, blue floats per pixel, rows from the top.
struct FloatPicture {
  int width = 0, height = 0;
  std::vector<float> rgb;
  const float* At(int x, int y) const {
    return &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
  }
};

struct ExrFile {
  FloatPicture picture;
  Imf::Compression compression = Imf::NO_COMPRESSION;
  std::vector<std::string> channels;  // with their types checked to be half
  bool allHalf = true;
  std::optional<Imf::Envmap> envmap;
  bool hasChromaticities = false;
  Imf::Chromaticities chromaticities;
};

class MemoryInput : public Imf::IStream {
 public:
  explicit MemoryInput(const std::string& bytes) : Imf::IStream("memory"), bytes_(bytes) {}
  bool read(char c[], int n) override {
    if (position_ + static_cast<std::size_t>(n) > bytes_.size())
      throw std::runtime_error("read past the end of the file");
    std::memcpy(c, bytes_.data() + position_, static_cast<std::size_t>(n));
    position_ += static_cast<std::size_t>(n);
    return position_ < bytes_.size();
  }
  uint64_t tellg() override { return position_; }
  void seekg(uint64_t pos) override { position_ = pos; }

 private:
  const std::string& bytes_;
  std::size_t position_ = 0;
};

inline ExrFile ReadExr(const std::string& bytes) {
  MemoryInput stream(bytes);
  Imf::InputFile file(stream);
  ExrFile exr;
  const Imf::Header& header = file.header();
  const Imath::Box2i window = header.dataWindow();
  exr.picture.width = window.max.x - window.min.x + 1;
  exr.picture.height = window.max.y - window.min.y + 1;
  exr.compression = header.compression();
  for (auto it = header.channels().begin(); it != header.channels().end(); ++it) {
    exr.channels.emplace_back(it.name());
    exr.allHalf = exr.allHalf && it.channel().type == Imf::HALF;
  }
  if (Imf::hasEnvmap(header)) exr.envmap = Imf::envmap(header);
  exr.hasChromaticities = Imf::hasChromaticities(header);
  if (exr.hasChromaticities) exr.chromaticities = Imf::chromaticities(header);
  const int w = exr.picture.width, h = exr.picture.height;
  exr.picture.rgb.assign(static_cast<std::size_t>(w) * h * 3, 0.0f);
  char* base = reinterpret_cast<char*>(exr.picture.rgb.data()) -
               (static_cast<std::ptrdiff_t>(window.min.y) * w + window.min.x) * 3 * sizeof(float);
  Imf::FrameBuffer frame;
  const std::size_t xs = 3 * sizeof(float), ys = xs * w;
  frame.insert("R", Imf::Slice(Imf::FLOAT, base, xs, ys));
  frame.insert("G", Imf::Slice(Imf::FLOAT, base + sizeof(float), xs, ys));
  frame.insert("B", Imf::Slice(Imf::FLOAT, base + 2 * sizeof(float), xs, ys));
  file.setFrameBuffer(frame);
  file.readPixels(window.min.y, window.max.y);
  return exr;
}

struct RgbeFile {
  std::vector<std::string> headerLines;  // up to the empty line
  std::string sizeLine;
  FloatPicture picture;
  int runLengthRows = 0;  // rows that came run-length encoded
};

// A colour from its four bytes, as Radiance reads it: (m + 0.5) · 2^(e − 136).
inline void RgbeToFloat(const std::uint8_t* p, float* rgb) {
  if (p[3] == 0) {
    rgb[0] = rgb[1] = rgb[2] = 0;
    return;
  }
  const float f = std::ldexp(1.0f, p[3] - (128 + 8));
  for (int c = 0; c < 3; ++c) rgb[c] = (static_cast<float>(p[c]) + 0.5f) * f;
}

inline RgbeFile ReadRgbe(const std::string& bytes) {
  RgbeFile file;
  std::size_t at = 0;
  auto line = [&] {
    const std::size_t end = bytes.find('\n', at);
    if (end == std::string::npos) throw std::runtime_error("no end of line in the header");
    std::string text = bytes.substr(at, end - at);
    at = end + 1;
    return text;
  };
  for (std::string text = line(); !text.empty(); text = line()) file.headerLines.push_back(text);
  file.sizeLine = line();
  int w = 0, h = 0;
  if (std::sscanf(file.sizeLine.c_str(), "-Y %d +X %d", &h, &w) != 2 || w <= 0 || h <= 0)
    throw std::runtime_error("a size line other than -Y H +X W");
  file.picture.width = w;
  file.picture.height = h;
  file.picture.rgb.resize(static_cast<std::size_t>(w) * h * 3);
  auto next = [&]() -> std::uint8_t {
    if (at >= bytes.size()) throw std::runtime_error("the pixels end early");
    return static_cast<std::uint8_t>(bytes[at++]);
  };
  std::vector<std::uint8_t> row(static_cast<std::size_t>(w) * 4);
  for (int y = 0; y < h; ++y) {
    const bool runs = w >= 8 && w <= 0x7fff && at + 4 <= bytes.size() && bytes[at] == 2 &&
                      bytes[at + 1] == 2 && (static_cast<std::uint8_t>(bytes[at + 2]) & 0x80) == 0;
    if (runs) {
      ++file.runLengthRows;
      next();
      next();
      const int width = next() << 8 | next();
      if (width != w) throw std::runtime_error("a row of another width");
      for (int c = 0; c < 4; ++c) {
        int x = 0;
        while (x < w) {
          int n = next();
          if (n > 128) {
            n -= 128;
            const std::uint8_t v = next();
            if (n == 0 || x + n > w) throw std::runtime_error("a run beyond the row");
            for (int k = 0; k < n; ++k) row[static_cast<std::size_t>(x++) * 4 + c] = v;
          } else {
            if (n == 0 || x + n > w) throw std::runtime_error("a stretch beyond the row");
            for (int k = 0; k < n; ++k) row[static_cast<std::size_t>(x++) * 4 + c] = next();
          }
        }
      }
    } else {
      for (std::size_t i = 0; i < row.size(); ++i) row[i] = next();
    }
    for (int x = 0; x < w; ++x)
      RgbeToFloat(&row[static_cast<std::size_t>(x) * 4],
                  &file.picture.rgb[(static_cast<std::size_t>(y) * w + x) * 3]);
  }
  if (at != bytes.size()) throw std::runtime_error("bytes after the last row");
  return file;
}

}  // namespace horizonmill::testing
