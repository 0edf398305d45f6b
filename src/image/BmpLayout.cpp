#include "image/BmpLayout.h"

#include <algorithm>
#include <cstring>

#include "image/ImageLimits.h"
#include "image/WorkBitmap.h"

namespace horizonmill::detail {
namespace {

constexpr std::size_t kFileHeaderBytes = 14;

// Compression field values.
constexpr std::uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitFields = 3, kBiJpeg = 4,
                        kBiPng = 5, kBiAlphaBitFields = 6;

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
      FailBmp("unknown bitmap header size " + std::to_string(size));
  }
}

// The fields of the file header and the bitmap header, as they stand.
struct Header {
  HeaderKind kind;
  std::uint32_t size;  // of the bitmap header
  // A short OS/2 2.x header leaves the fields it omits at 0.
  std::array<std::uint8_t, 124> bytes{};
  std::uint32_t planes = 0, compression = kBiRgb, colours_used = 0;
};

Header ReadHeader(std::span<const std::uint8_t> bytes, BmpLayout& layout) {
  if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') {
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'A')
      FailBmp("OS/2 bitmap arrays are not supported");
    FailBmp("not a BMP file (no \"BM\" signature)");
  }
  if (bytes.size() < kFileHeaderBytes + 4) FailBmp("the file ends inside the BMP header");
  layout.bits_offset = Get32(&bytes[10]);
  Header header;
  header.size = Get32(&bytes[14]);
  header.kind = KindOfHeader(header.size);
  if (bytes.size() - kFileHeaderBytes < header.size)
    FailBmp("the file ends inside the bitmap header");
  const std::uint8_t* h = header.bytes.data();
  std::memcpy(header.bytes.data(), &bytes[kFileHeaderBytes], header.size);
  if (header.kind == HeaderKind::Core) {
    layout.width = Get16(h + 4);
    layout.height = Get16(h + 6);
    header.planes = Get16(h + 8);
    layout.bits = Get16(h + 10);
  } else {
    layout.width = static_cast<std::int32_t>(Get32(h + 4));
    layout.height = static_cast<std::int32_t>(Get32(h + 8));
    header.planes = Get16(h + 12);
    layout.bits = Get16(h + 14);
    header.compression = Get32(h + 16);
    header.colours_used = Get32(h + 32);
  }
  return header;
}

// Planes, depth and size; a negative height means rows top-down.
void CheckGeometry(const Header& header, BmpLayout& layout) {
  const std::uint32_t compression = header.compression;
  if (header.kind == HeaderKind::Windows && (compression == kBiJpeg || compression == kBiPng))
    FailBmp(std::string(compression == kBiJpeg ? "JPEG" : "PNG") +
            " inside a BMP file is not supported");
  if (header.planes != 1)
    FailBmp("the number of planes is " + std::to_string(header.planes) + ", not 1");
  const int bits = layout.bits;
  if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    FailBmp("unsupported bit depth " + std::to_string(bits));
  if (layout.width <= 0) FailBmp("the width is " + std::to_string(layout.width));
  if (layout.height == 0) FailBmp("the height is 0");
  if (layout.height < 0) {
    layout.top_down = true;
    layout.height = -layout.height;
  }
}

// The encoding of the pixels and its colour masks (which may follow the header).
// Returns where the palette starts.
std::size_t ChooseEncoding(std::span<const std::uint8_t> bytes, const Header& header,
                           BmpLayout& layout) {
  const std::uint32_t compression = header.compression;
  const int bits = layout.bits;
  std::size_t palette_start = kFileHeaderBytes + header.size;
  switch (compression) {
    case kBiRgb:
      layout.encoding = bits <= 8    ? BmpEncoding::Palette
                        : bits == 24 ? BmpEncoding::Bgr24
                        : bits == 32 ? BmpEncoding::Bgrx32
                                     : BmpEncoding::Masks;
      layout.masks = {0x7c00, 0x03e0, 0x001f};  // 16 bits: 5-5-5
      break;
    case kBiRle8:
    case kBiRle4:
      if (bits != (compression == kBiRle8 ? 8 : 4))
        FailBmp("RLE" + std::to_string(compression == kBiRle8 ? 8 : 4) + " compression with " +
                std::to_string(bits) + " bits per pixel");
      if (layout.top_down) FailBmp("a compressed bitmap cannot be top-down");
      layout.encoding = compression == kBiRle8 ? BmpEncoding::Rle8 : BmpEncoding::Rle4;
      break;
    case kBiBitFields:
    case kBiAlphaBitFields: {
      if (header.kind == HeaderKind::Os2) {
        if (compression == kBiBitFields) FailBmp("OS/2 Huffman compression is not supported");
        FailBmp("unknown compression " + std::to_string(compression));
      }
      if (bits != 16 && bits != 32)
        FailBmp("bit-field masks with " + std::to_string(bits) + " bits per pixel");
      layout.encoding = BmpEncoding::Masks;
      if (header.size >= 52) {
        const std::uint8_t* h = header.bytes.data();
        layout.masks = {Get32(h + 40), Get32(h + 44), Get32(h + 48)};
      } else {
        // The masks follow a 40-byte header (a fourth, alpha, with compression 6).
        const std::size_t mask_bytes = compression == kBiBitFields ? 12 : 16;
        if (bytes.size() < palette_start + mask_bytes)
          FailBmp("the file ends inside the colour masks");
        const std::uint8_t* m = &bytes[palette_start];
        layout.masks = {Get32(m), Get32(m + 4), Get32(m + 8)};
        palette_start += mask_bytes;
      }
      break;
    }
    case kBiJpeg:  // Windows headers with JPEG or PNG were refused above
      FailBmp("OS/2 RLE24 compression is not supported");
    default:
      FailBmp("unknown compression " + std::to_string(compression));
  }
  if (layout.encoding == BmpEncoding::Masks &&
      layout.masks == std::array<std::uint32_t, 3>{0xff0000, 0xff00, 0xff} && bits == 32)
    layout.encoding = BmpEncoding::Bgrx32;
  return palette_start;
}

// The size limits come before anything else is read, let alone allocated.
void CheckSizeLimits(const BmpLayout& layout, std::int64_t maxPixelBytes) {
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
}

// Reads the palette of a picture of up to 8 bits per pixel into layout.palette.
void ReadPalette(std::span<const std::uint8_t> bytes, std::size_t start, int entryBytes,
                 std::uint32_t declared, BmpLayout& layout) {
  const std::uint32_t most = 1u << layout.bits;
  if (start > layout.bits_offset) FailBmp("the pixel data starts inside the header");
  const std::uint64_t room = (layout.bits_offset - start) / entryBytes;
  std::uint64_t count = declared == 0 ? most : declared;
  // A palette longer than the depth can index is accepted when the file really
  // holds it before the pixels; only its first entries can be used.
  if (count > most) {
    if (count > room)
      FailBmp("palette of " + std::to_string(count) + " colours for " +
              std::to_string(layout.bits) + " bits per pixel");
    count = most;
  }
  // A palette cut short by the bits offset keeps the entries before it.
  count = std::min<std::uint64_t>(count, room);
  if (count == 0) FailBmp("the palette is missing");
  if (start + count * entryBytes > bytes.size()) FailBmp("the file ends inside the palette");
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint8_t* e = bytes.data() + start + i * entryBytes;
    layout.palette[i] = BgrPixel{e[0], e[1], e[2]};
  }
}

// The pixels lie behind the headers and the palette, and every row is there
// (the last one may lack its padding). RLE data must be able to describe the
// picture: a file of a few bytes declaring millions of pixels is refused
// before anything is allocated for them.
void CheckPixelData(std::uint64_t fileBytes, std::size_t paletteStart, BmpLayout& layout) {
  if (layout.bits > 8 && layout.bits_offset < paletteStart)
    FailBmp("the pixel data starts inside the header");
  if (layout.bits_offset >= fileBytes) FailBmp("the file ends before the pixel data");
  const std::uint64_t present = fileBytes - layout.bits_offset;
  const std::uint64_t pixels = static_cast<std::uint64_t>(layout.width) * layout.height;
  if (layout.encoding == BmpEncoding::Rle8 || layout.encoding == BmpEncoding::Rle4) {
    // At most 255 pixels a 2-byte code.
    const std::uint64_t most = present / 2 * 255;
    if (pixels > most)
      FailBmp("the RLE data (" + std::to_string(present) + " bytes) cannot describe " +
              SizeText(layout.width, layout.height) + " pixels: runs of 255 pixels in 2 bytes " +
              "each describe at most " + std::to_string(most));
    layout.data_end =
        layout.bits_offset + std::min(present, RleDataCap(layout.width, layout.height));
    return;
  }
  const std::uint64_t row_bits = static_cast<std::uint64_t>(layout.width) * layout.bits;
  layout.row_bytes = (row_bits + 31) / 32 * 4;
  const std::uint64_t needed = layout.row_bytes * (layout.height - 1) + (row_bits + 7) / 8;
  if (present < needed)
    FailBmp("the file is truncated: the pixels need " + std::to_string(needed) + " bytes, " +
            std::to_string(present) + " are there");
  layout.data_end = layout.bits_offset + needed;
}

}  // namespace

std::string SizeText(std::int64_t width, std::int64_t height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

BmpLayout ReadBmpLayout(std::span<const std::uint8_t> head, std::uint64_t fileBytes,
                        std::int64_t maxPixelBytes) {
  // What the head holds is all that is read here: it is the whole file, or
  // long enough for every field below.
  BmpLayout layout;
  const Header header = ReadHeader(head, layout);
  CheckGeometry(header, layout);
  const std::size_t palette_start = ChooseEncoding(head, header, layout);
  CheckSizeLimits(layout, maxPixelBytes);
  if (layout.bits <= 8)
    ReadPalette(head, palette_start, header.kind == HeaderKind::Core ? 3 : 4, header.colours_used,
                layout);
  CheckPixelData(fileBytes, palette_start, layout);
  return layout;
}

}  // namespace horizonmill::detail
