#include "image/BmpReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "image/BmpLayout.h"
#include "image/ImageLimits.h"
#include "image/PictureBudget.h"
#include "platform/Interrupt.h"
#include "platform/WholeFile.h"

namespace horizonmill {
namespace {

using detail::BmpEncoding;
using detail::BmpLayout;
using detail::FailBmp;
using detail::Get16;
using detail::Get32;

// One colour channel of a bit-field pixel, scaled to 8 bits.
class Channel {
 public:
  explicit Channel(std::uint32_t mask) : mask_(mask) {
    if (mask == 0) return;
    shift_ = __builtin_ctz(mask);
    max_ = mask >> shift_;
    // Narrow channels (every 16-bit layout) are looked up; wide ones divided.
    if (max_ < 4096) {
      table_.resize(max_ + 1);
      for (std::uint32_t v = 0; v <= max_; ++v) table_[v] = Scale(v);
    }
  }
  std::uint8_t operator()(std::uint32_t pixel) const {
    if (mask_ == 0) return 0;
    const std::uint32_t v = (pixel & mask_) >> shift_;
    return table_.empty() ? Scale(v) : table_[v];
  }

 private:
  // Round(v * 255 / max). max is odd (the mask is shifted down to its lowest
  // set bit), so 510 * v / max is never an odd integer: there are no halves,
  // and the integer form below is exact.
  std::uint8_t Scale(std::uint32_t v) const {
    return static_cast<std::uint8_t>((std::uint64_t{v} * 510 + max_) / (2 * std::uint64_t{max_}));
  }

  std::uint32_t mask_;
  int shift_ = 0;
  std::uint32_t max_ = 0;
  std::vector<std::uint8_t> table_;
};

void DecodeRows(std::span<const std::uint8_t> bytes, const BmpLayout& layout, WorkBitmap& out) {
  const int width = static_cast<int>(layout.width);
  const int height = static_cast<int>(layout.height);
  const std::uint8_t* bits = bytes.data() + layout.bits_offset;
  const Channel red(layout.masks[0]), green(layout.masks[1]), blue(layout.masks[2]);
  const int depth = layout.bits;
  const int per_byte = depth <= 8 ? 8 / depth : 1;
  const unsigned index_mask = (1u << std::min(depth, 8)) - 1;
  for (int r = 0; r < height; ++r) {
    StopIfInterrupted();
    const std::uint8_t* s = bits + layout.row_bytes * r;
    BgrPixel* d = out.Row(layout.top_down ? r : height - 1 - r);
    switch (layout.encoding) {
      case BmpEncoding::Palette:
        if (depth == 8) {
          for (int x = 0; x < width; ++x) d[x] = layout.palette[s[x]];
        } else {
          // Pixels fill each byte from its high bits down.
          for (int x = 0; x < width; ++x) {
            const int shift = 8 - depth * (x % per_byte + 1);
            d[x] = layout.palette[(s[x / per_byte] >> shift) & index_mask];
          }
        }
        break;
      case BmpEncoding::Bgr24:
        std::memcpy(d, s, static_cast<std::size_t>(width) * 3);
        break;
      case BmpEncoding::Bgrx32:
        for (int x = 0; x < width; ++x) d[x] = BgrPixel{s[4 * x], s[4 * x + 1], s[4 * x + 2]};
        break;
      case BmpEncoding::Masks:
        for (int x = 0; x < width; ++x) {
          const std::uint32_t v = depth == 16 ? Get16(s + 2 * x) : Get32(s + 4 * x);
          d[x] = BgrPixel{blue(v), green(v), red(v)};
        }
        break;
      default:
        break;
    }
  }
}

// Run-length data, rows bottom-up. Every pixel starts as palette index 0, which
// is what the stream's skips (delta, end of line, end of bitmap) leave behind.
void DecodeRle(std::span<const std::uint8_t> stream, const BmpLayout& layout, WorkBitmap& out) {
  const bool four = layout.encoding == BmpEncoding::Rle4;
  const std::int64_t width = layout.width, height = layout.height;
  FillWorkBitmap(out, layout.palette[0]);
  std::int64_t x = 0, y = 0;  // y counts rows from the bottom
  std::size_t i = 0;
  const std::size_t n = stream.size();
  auto check_run = [&](std::int64_t count) {
    if (y >= height) FailBmp("RLE data continues past the last row");
    if (x + count > width)
      FailBmp("an RLE run passes the end of row " + std::to_string(y) + " (column " +
              std::to_string(x + count) + " of " + std::to_string(width) + ")");
  };
  // A stream that stops before its end-of-bitmap code is taken as ended there.
  while (n - i >= 2) {
    const std::uint8_t count = stream[i], value = stream[i + 1];
    i += 2;
    if (count > 0) {
      check_run(count);
      BgrPixel* row = out.Row(static_cast<int>(height - 1 - y)) + x;
      if (four) {
        const BgrPixel colours[2] = {layout.palette[value >> 4], layout.palette[value & 15]};
        for (int k = 0; k < count; ++k) row[k] = colours[k & 1];
      } else {
        std::fill_n(row, count, layout.palette[value]);
      }
      x += count;
    } else if (value == 0) {  // end of line
      StopIfInterrupted();
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return;
    } else if (value == 2) {  // delta: move right and up
      StopIfInterrupted();
      if (n - i < 2) return;
      x += stream[i];
      y += stream[i + 1];
      i += 2;
      if (x > width || y > height || (y == height && x > 0))
        FailBmp("an RLE delta moves outside the picture");
    } else {  // a literal run of `value` pixels, padded to a 16-bit boundary
      const std::size_t data = four ? (value + 1u) / 2 : value;
      if (n - i < data) return;
      check_run(value);
      BgrPixel* row = out.Row(static_cast<int>(height - 1 - y)) + x;
      const std::uint8_t* s = stream.data() + i;
      if (four) {
        for (int k = 0; k < value; ++k)
          row[k] = layout.palette[k & 1 ? s[k / 2] & 15 : s[k / 2] >> 4];
      } else {
        for (int k = 0; k < value; ++k) row[k] = layout.palette[s[k]];
      }
      x += value;
      i += std::min(data + (data & 1), n - i);
    }
  }
}

// Decodes the pixels of a picture whose layout has been read; `bytes` is the
// file up to layout.data_end at least.
WorkBitmap DecodeLaidOut(std::span<const std::uint8_t> bytes, const BmpLayout& layout) {
  WorkBitmap out;
  if (!out.Resize(static_cast<int>(layout.width), static_cast<int>(layout.height)))
    throw BmpTooLarge("not enough memory for a picture of " +
                      detail::SizeText(layout.width, layout.height) + " pixels");
  if (layout.encoding == BmpEncoding::Rle8 || layout.encoding == BmpEncoding::Rle4)
    DecodeRle(bytes.subspan(layout.bits_offset, layout.data_end - layout.bits_offset), layout, out);
  else
    DecodeRows(bytes, layout, out);
  return out;
}

std::span<const std::uint8_t> Bytes(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

}  // namespace

WorkBitmap DecodeBmp(std::span<const std::uint8_t> bytes) {
  return DecodeBmp(bytes, kMaxImageBytes);
}

WorkBitmap DecodeBmp(std::span<const std::uint8_t> bytes, std::int64_t maxPixelBytes) {
  return DecodeLaidOut(bytes, detail::ReadBmpLayout(bytes, bytes.size(), maxPixelBytes));
}

WorkBitmap ReadBmpFile(const std::string& path, const PictureBudget* budget) {
  try {
    // The header first: a file whose header refuses it is never read further.
    InputFile file(path, true);
    std::string bytes(std::min<std::uint64_t>(file.Size(), detail::kBmpHeadBytes), '\0');
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    const BmpLayout layout = detail::ReadBmpLayout(Bytes(bytes), file.Size(), kMaxImageBytes);
    if (budget != nullptr)
      budget->Admit(path, static_cast<int>(layout.width), static_cast<int>(layout.height));
    // Then only what the pixels need; a file that shrank meanwhile is truncated.
    const std::size_t head = bytes.size();
    bytes.resize(static_cast<std::size_t>(std::max<std::uint64_t>(layout.data_end, head)));
    bytes.resize(head + file.Read(bytes.data() + head, bytes.size() - head));
    if (bytes.size() < layout.data_end) throw BmpError("the file is truncated");
    return DecodeLaidOut(Bytes(bytes), layout);
  } catch (const BmpTooLarge& e) {
    throw BmpFileTooLarge(path, e.what());
  } catch (const BmpError& e) {
    throw FileError(path, e.what());
  } catch (const std::bad_alloc&) {
    throw BmpFileTooLarge(path, "not enough memory to read the file");
  }
}

}  // namespace horizonmill
