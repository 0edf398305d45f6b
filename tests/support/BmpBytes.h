// Reads the pixels of a 24-bit uncompressed BMP file straight from its bytes,
// independently of the program's own reader, to check what the writer wrote.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "image/Colour.h"

namespace horizonmill::testing {

struct BmpView {
  explicit BmpView(const std::string& bytes) : bytes_(bytes) {}
  std::uint32_t U32(std::size_t at) const {
    std::uint32_t v;
    std::memcpy(&v, bytes_.data() + at, 4);
    return v;
  }
  std::uint16_t U16(std::size_t at) const {
    std::uint16_t v;
    std::memcpy(&v, bytes_.data() + at, 2);
    return v;
  }
  int Width() const { return static_cast<int>(U32(18)); }
  int Height() const { return static_cast<int>(U32(22)); }
  std::size_t Stride() const {
    return (static_cast<std::size_t>(Width()) * 3 + 3) & ~std::size_t{3};
  }
  // Pixel (x, y) with y = 0 the top row (the file stores rows bottom-up).
  BgrPixel At(int x, int y) const {
    const std::size_t at = U32(10) + (Height() - 1 - y) * Stride() + 3 * x;
    return BgrPixel{static_cast<std::uint8_t>(bytes_[at]),
                    static_cast<std::uint8_t>(bytes_[at + 1]),
                    static_cast<std::uint8_t>(bytes_[at + 2])};
  }

 private:
  const std::string& bytes_;
};

}  // namespace horizonmill::testing
