#include "image/BmpReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "image/ImageLimits.h"
#include "platform/WholeFile.h"

namespace horizonmill {
namespace {

constexpr std::size_t kFileHeaderBytes = 14;

// Compression field values.
constexpr std::uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitFields = 3, kBiJpeg = 4,
                        kBiPng = 5, kBiAlphaBitFields = 6;

[[noreturn]] void Fail(const std::string& reason) { throw BmpError(reason); }

std::uint16_t Get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t Get32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

enum class Encoding { Palette, Rle8, Rle4, Bgr24, Bgrx32, Masks };

// Everything the pixel loops need, taken from the headers and checked against
// the size of the file.
struct Layout {
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool top_down = false;
  int bits = 0;
  Encoding encoding = Encoding::Palette;
  std::array<std::uint32_t, 3> masks{};  // red, green, blue
  std::array<BgrPixel, 256> palette{};   // entries past the file's palette stay black
  std::size_t bits_offset = 0;
  std::uint64_t row_bytes = 0;  // bytes per row in the file (uncompressed)
};

enum class HeaderKind { Core, Windows, Os2 };

HeaderKind KindOfHeader(std::uint32_t size) {
  switch (size) {
    case 12:
      return HeaderKind::Core;
    case 40:
    case 52:
    case 56:
    case 108:
    case 124:
      return HeaderKind::Windows;
    default:
      // OS/2 2.x headers may stop after any field from the bit count on.
      if (size >= 16 && size <= 64) return HeaderKind::Os2;
      Fail("unknown bitmap header size " + std::to_string(size));
  }
}

std::string SizeText(std::int64_t width, std::int64_t height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

// Reads the palette of a picture of up to 8 bits per pixel into layout.palette.
void ReadPalette(std::span<const std::uint8_t> bytes, std::size_t start, int entryBytes,
                 std::uint32_t declared, Layout& layout) {
  const std::uint32_t most = 1u << layout.bits;
  if (start > layout.bits_offset) Fail("the pixel data starts inside the header");
  const std::uint64_t room = (layout.bits_offset - start) / entryBytes;
  std::uint64_t count = declared == 0 ? most : declared;
  // A palette longer than the depth can index is accepted when the file really
  // holds it before the pixels; only its first entries can be used.
  if (count > most) {
    if (count > room)
      Fail("palette of " + std::to_string(count) + " colours for " + std::to_string(layout.bits) +
           " bits per pixel");
    count = most;
  }
  // A palette cut short by the bits offset keeps the entries before it.
  count = std::min<std::uint64_t>(count, room);
  if (count == 0) Fail("the palette is missing");
  if (start + count * entryBytes > bytes.size()) Fail("the file ends inside the palette");
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint8_t* e = bytes.data() + start + i * entryBytes;
    layout.palette[i] = BgrPixel{e[0], e[1], e[2]};
  }
}

Layout ReadLayout(std::span<const std::uint8_t> bytes, std::int64_t maxPixelBytes) {
  if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') {
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'A')
      Fail("OS/2 bitmap arrays are not supported");
    Fail("not a BMP file (no \"BM\" signature)");
  }
  if (bytes.size() < kFileHeaderBytes + 4) Fail("the file ends inside the BMP header");
  Layout layout;
  layout.bits_offset = Get32(&bytes[10]);
  const std::uint32_t header_size = Get32(&bytes[14]);
  const HeaderKind kind = KindOfHeader(header_size);
  if (bytes.size() - kFileHeaderBytes < header_size) Fail("the file ends inside the bitmap header");
  // A short OS/2 2.x header leaves the fields it omits at 0.
  std::array<std::uint8_t, 124> h{};
  std::memcpy(h.data(), &bytes[kFileHeaderBytes], header_size);

  std::uint32_t planes, compression = kBiRgb, colours_used = 0;
  if (kind == HeaderKind::Core) {
    layout.width = Get16(&h[4]);
    layout.height = Get16(&h[6]);
    planes = Get16(&h[8]);
    layout.bits = Get16(&h[10]);
  } else {
    layout.width = static_cast<std::int32_t>(Get32(&h[4]));
    layout.height = static_cast<std::int32_t>(Get32(&h[8]));
    planes = Get16(&h[12]);
    layout.bits = Get16(&h[14]);
    compression = Get32(&h[16]);
    colours_used = Get32(&h[32]);
  }
  if (kind == HeaderKind::Windows && (compression == kBiJpeg || compression == kBiPng))
    Fail(std::string(compression == kBiJpeg ? "JPEG" : "PNG") +
         " inside a BMP file is not supported");
  if (planes != 1) Fail("the number of planes is " + std::to_string(planes) + ", not 1");
  const int bits = layout.bits;
  if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    Fail("unsupported bit depth " + std::to_string(bits));
  if (layout.width <= 0) Fail("the width is " + std::to_string(layout.width));
  if (layout.height == 0) Fail("the height is 0");
  if (layout.height < 0) {
    layout.top_down = true;
    layout.height = -layout.height;
  }

  std::size_t palette_start = kFileHeaderBytes + header_size;
  switch (compression) {
    case kBiRgb:
      layout.encoding = bits <= 8    ? Encoding::Palette
                        : bits == 24 ? Encoding::Bgr24
                        : bits == 32 ? Encoding::Bgrx32
                                     : Encoding::Masks;
      layout.masks = {0x7c00, 0x03e0, 0x001f};  // 16 bits: 5-5-5
      break;
    case kBiRle8:
    case kBiRle4:
      if (bits != (compression == kBiRle8 ? 8 : 4))
        Fail("RLE" + std::to_string(compression == kBiRle8 ? 8 : 4) + " compression with " +
             std::to_string(bits) + " bits per pixel");
      if (layout.top_down) Fail("a compressed bitmap cannot be top-down");
      layout.encoding = compression == kBiRle8 ? Encoding::Rle8 : Encoding::Rle4;
      break;
    case kBiBitFields:
    case kBiAlphaBitFields: {
      if (kind == HeaderKind::Os2) {
        if (compression == kBiBitFields) Fail("OS/2 Huffman compression is not supported");
        Fail("unknown compression " + std::to_string(compression));
      }
      if (bits != 16 && bits != 32)
        Fail("bit-field masks with " + std::to_string(bits) + " bits per pixel");
      layout.encoding = Encoding::Masks;
      if (header_size >= 52) {
        layout.masks = {Get32(&h[40]), Get32(&h[44]), Get32(&h[48])};
      } else {
        // The masks follow a 40-byte header (a fourth, alpha, with compression 6).
        const std::size_t mask_bytes = compression == kBiBitFields ? 12 : 16;
        if (bytes.size() < palette_start + mask_bytes)
          Fail("the file ends inside the colour masks");
        const std::uint8_t* m = &bytes[palette_start];
        layout.masks = {Get32(m), Get32(m + 4), Get32(m + 8)};
        palette_start += mask_bytes;
      }
      break;
    }
    case kBiJpeg:  // Windows headers with JPEG or PNG were refused above
      Fail("OS/2 RLE24 compression is not supported");
    default:
      Fail("unknown compression " + std::to_string(compression));
  }
  if (layout.encoding == Encoding::Masks &&
      layout.masks == std::array<std::uint32_t, 3>{0xff0000, 0xff00, 0xff} && bits == 32)
    layout.encoding = Encoding::Bgrx32;

  // The size limits come before anything else is read, let alone allocated.
  const std::int64_t result_bytes =
      layout.width <= kMaxImageSide
          ? static_cast<std::int64_t>(WorkBitmap::StrideFor(static_cast<int>(layout.width))) *
                layout.height
          : 0;
  if (layout.width > kMaxImageSide || layout.height > kMaxImageSide ||
      !WorkBitmap::FitsLimits(static_cast<int>(layout.width), static_cast<int>(layout.height)) ||
      result_bytes > maxPixelBytes)
    throw BmpTooLarge("the picture of " + SizeText(layout.width, layout.height) +
                      " pixels is too large for memory");

  if (bits <= 8) {
    ReadPalette(bytes, palette_start, kind == HeaderKind::Core ? 3 : 4, colours_used, layout);
  } else if (layout.bits_offset < palette_start) {
    Fail("the pixel data starts inside the header");
  }
  if (layout.bits_offset >= bytes.size()) Fail("the file ends before the pixel data");
  if (layout.encoding != Encoding::Rle8 && layout.encoding != Encoding::Rle4) {
    const std::uint64_t row_bits = static_cast<std::uint64_t>(layout.width) * bits;
    layout.row_bytes = (row_bits + 31) / 32 * 4;
    const std::uint64_t needed = layout.row_bytes * (layout.height - 1) + (row_bits + 7) / 8;
    const std::uint64_t present = bytes.size() - layout.bits_offset;
    if (present < needed)
      Fail("the file is truncated: the pixels need " + std::to_string(needed) + " bytes, " +
           std::to_string(present) + " are there");
  }
  return layout;
}

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

void DecodeRows(std::span<const std::uint8_t> bytes, const Layout& layout, WorkBitmap& out) {
  const int width = static_cast<int>(layout.width);
  const int height = static_cast<int>(layout.height);
  const std::uint8_t* bits = bytes.data() + layout.bits_offset;
  const Channel red(layout.masks[0]), green(layout.masks[1]), blue(layout.masks[2]);
  const int depth = layout.bits;
  const int per_byte = depth <= 8 ? 8 / depth : 1;
  const unsigned index_mask = (1u << std::min(depth, 8)) - 1;
  for (int r = 0; r < height; ++r) {
    const std::uint8_t* s = bits + layout.row_bytes * r;
    BgrPixel* d = out.Row(layout.top_down ? r : height - 1 - r);
    switch (layout.encoding) {
      case Encoding::Palette:
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
      case Encoding::Bgr24:
        std::memcpy(d, s, static_cast<std::size_t>(width) * 3);
        break;
      case Encoding::Bgrx32:
        for (int x = 0; x < width; ++x) d[x] = BgrPixel{s[4 * x], s[4 * x + 1], s[4 * x + 2]};
        break;
      case Encoding::Masks:
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
void DecodeRle(std::span<const std::uint8_t> stream, const Layout& layout, WorkBitmap& out) {
  const bool four = layout.encoding == Encoding::Rle4;
  const std::int64_t width = layout.width, height = layout.height;
  FillWorkBitmap(out, layout.palette[0]);
  std::int64_t x = 0, y = 0;  // y counts rows from the bottom
  std::size_t i = 0;
  const std::size_t n = stream.size();
  auto check_run = [&](std::int64_t count) {
    if (y >= height) Fail("RLE data continues past the last row");
    if (x + count > width)
      Fail("an RLE run passes the end of row " + std::to_string(y) + " (column " +
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
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return;
    } else if (value == 2) {  // delta: move right and up
      if (n - i < 2) return;
      x += stream[i];
      y += stream[i + 1];
      i += 2;
      if (x > width || y > height || (y == height && x > 0))
        Fail("an RLE delta moves outside the picture");
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

}  // namespace

WorkBitmap DecodeBmp(std::span<const std::uint8_t> bytes) {
  return DecodeBmp(bytes, kMaxImageBytes);
}

WorkBitmap DecodeBmp(std::span<const std::uint8_t> bytes, std::int64_t maxPixelBytes) {
  const Layout layout = ReadLayout(bytes, maxPixelBytes);
  WorkBitmap out;
  if (!out.Resize(static_cast<int>(layout.width), static_cast<int>(layout.height)))
    throw BmpTooLarge("not enough memory for a picture of " +
                      SizeText(layout.width, layout.height) + " pixels");
  if (layout.encoding == Encoding::Rle8 || layout.encoding == Encoding::Rle4)
    DecodeRle(bytes.subspan(layout.bits_offset), layout, out);
  else
    DecodeRows(bytes, layout, out);
  return out;
}

WorkBitmap ReadBmpFile(const std::string& path) {
  std::string bytes;
  try {
    bytes = ReadWholeFile(path);
  } catch (const FileTooLarge& e) {
    throw BmpFileTooLarge(path, e.Reason());
  }
  try {
    return DecodeBmp(std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  } catch (const BmpTooLarge& e) {
    throw BmpFileTooLarge(path, e.what());
  } catch (const BmpError& e) {
    throw FileError(path, e.what());
  }
}

PixelImagePtr LoadPictureFile(const std::string& path) {
  WorkBitmap bitmap = ReadBmpFile(path);
  PixelImagePtr image = MakePixelImage(bitmap.Width(), bitmap.Height());
  if (image) LoadImageFromBitmap(*image, bitmap);
  return image;
}

}  // namespace horizonmill
