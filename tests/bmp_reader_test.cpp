#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "codecs/BmpWriter.h"
#include "image/BmpReader.h"
#include "image/PictureBudget.h"
#include "image/PictureReader.h"
#include "platform/AtomicFile.h"

namespace horizonmill {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The test picture: a red "F" on blue, 5 x 5, so a flipped row order, mirrored
// columns or swapped channels all show. Index 1 is the F, index 0 the ground.
constexpr int kW = 5, kH = 5;
constexpr const char* kF[kH] = {"####.", "#....", "###..", "#....", "#...."};
int FIndex(int x, int y) { return kF[y][x] == '#' ? 1 : 0; }

constexpr BgrPixel kRed{0, 0, 255}, kBlue{255, 0, 0}, kBlack{0, 0, 0};

void Put16(Bytes& out, std::uint32_t v) {
  out.push_back(v & 0xff);
  out.push_back((v >> 8) & 0xff);
}
void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}

struct Header {
  std::uint32_t size = 40;  // 12 for the OS/2 core header
  std::int32_t width = kW;
  std::int32_t height = kH;  // negative: top-down
  std::uint16_t planes = 1;
  std::uint16_t bits = 8;
  std::uint32_t compression = 0;
  std::uint32_t colours_used = 0;
  std::array<std::uint32_t, 4> masks{};  // written inside headers of 52 bytes and more
};

// A whole file: file header, info header, what follows it (masks, palette),
// then the pixel bytes at the offset the file header names.
Bytes MakeBmp(const Header& h, const Bytes& afterHeader, const Bytes& pixels) {
  Bytes info;
  if (h.size == 12) {
    Put32(info, 12);
    Put16(info, h.width);
    Put16(info, h.height);
    Put16(info, h.planes);
    Put16(info, h.bits);
  } else {
    Put32(info, h.size);
    Put32(info, h.width);
    Put32(info, h.height);
    Put16(info, h.planes);
    Put16(info, h.bits);
    Put32(info, h.compression);
    Put32(info, static_cast<std::uint32_t>(pixels.size()));
    Put32(info, 2835);
    Put32(info, 2835);
    Put32(info, h.colours_used);
    Put32(info, 0);
    for (std::uint32_t m : h.masks)
      if (info.size() < h.size) Put32(info, m);
    info.resize(h.size, 0);
  }
  Bytes out{'B', 'M'};
  const std::uint32_t offset = 14 + info.size() + afterHeader.size();
  Put32(out, offset + pixels.size());
  Put32(out, 0);
  Put32(out, offset);
  out.insert(out.end(), info.begin(), info.end());
  out.insert(out.end(), afterHeader.begin(), afterHeader.end());
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

// Rows of raw pixel values (y = 0 the top row), stored bottom-up unless
// top_down, each padded to 4 bytes; palette depths pack from the high bits.
Bytes PackRows(int bits, const std::function<std::uint32_t(int, int)>& value,
               bool topDown = false) {
  Bytes out;
  const std::size_t stride = (kW * bits + 31) / 32 * 4;
  for (int r = 0; r < kH; ++r) {
    const int y = topDown ? r : kH - 1 - r;
    Bytes row(stride, 0);
    for (int x = 0; x < kW; ++x) {
      const std::uint32_t v = value(x, y);
      if (bits < 8) {
        row[x * bits / 8] |= v << (8 - bits - x * bits % 8);
      } else {
        for (int b = 0; b < bits / 8; ++b) row[x * bits / 8 + b] = (v >> (8 * b)) & 0xff;
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

Bytes Palette(std::initializer_list<BgrPixel> colours, int entryBytes = 4) {
  Bytes out;
  for (BgrPixel c : colours) {
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    if (entryBytes == 4) out.push_back(0);
  }
  return out;
}

Bytes Masks(std::initializer_list<std::uint32_t> masks) {
  Bytes out;
  for (std::uint32_t m : masks) Put32(out, m);
  return out;
}

// Every pixel is red where the F is and blue elsewhere.
::testing::AssertionResult ShowsF(const WorkBitmap& bitmap) {
  if (bitmap.Width() != kW || bitmap.Height() != kH)
    return ::testing::AssertionFailure() << "size " << bitmap.Width() << " x " << bitmap.Height();
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const BgrPixel p = bitmap.Row(y)[x], want = FIndex(x, y) ? kRed : kBlue;
      if (!(p == want))
        return ::testing::AssertionFailure()
               << "pixel (" << x << ", " << y << ") is b" << +p.b << " g" << +p.g << " r" << +p.r;
    }
  return ::testing::AssertionSuccess();
}

std::string RefusalOf(const Bytes& file) {
  try {
    DecodeBmp(file);
  } catch (const BmpError& e) {
    return e.what();
  }
  return "(loaded)";
}

TEST(DecodeBmp, PaletteDepthsBottomUpAndTopDown) {
  for (int bits : {1, 2, 4, 8}) {
    SCOPED_TRACE(bits);
    Header h;
    h.bits = bits;
    h.colours_used = 2;
    const Bytes palette = Palette({kBlue, kRed});
    EXPECT_TRUE(ShowsF(DecodeBmp(MakeBmp(h, palette, PackRows(bits, FIndex)))));
    h.height = -kH;
    EXPECT_TRUE(ShowsF(DecodeBmp(MakeBmp(h, palette, PackRows(bits, FIndex, true)))));
  }
}

TEST(DecodeBmp, DirectColourDepths) {
  auto pick = [](std::uint32_t red, std::uint32_t blue) {
    return [=](int x, int y) { return FIndex(x, y) ? red : blue; };
  };
  Header h;
  h.bits = 24;
  EXPECT_TRUE(ShowsF(DecodeBmp(MakeBmp(h, {}, PackRows(24, pick(0xff0000, 0x0000ff))))));
  h.bits = 32;  // the fourth byte is ignored, whatever it holds
  EXPECT_TRUE(ShowsF(DecodeBmp(MakeBmp(h, {}, PackRows(32, pick(0x5aff0000, 0xa50000ff))))));
  h.bits = 16;  // 5-5-5 by default; the top bit is ignored
  EXPECT_TRUE(ShowsF(DecodeBmp(MakeBmp(h, {}, PackRows(16, pick(0xfc00, 0x001f))))));
  h.height = -kH;
  EXPECT_TRUE(ShowsF(DecodeBmp(MakeBmp(h, {}, PackRows(16, pick(0x7c00, 0x001f), true)))));
}

TEST(DecodeBmp, BitFieldMasksInEveryPlace) {
  auto pick = [](std::uint32_t red, std::uint32_t blue) {
    return [=](int x, int y) { return FIndex(x, y) ? red : blue; };
  };
  Header h;
  h.bits = 16;
  h.compression = 3;  // masks after a 40-byte header: 5-6-5
  EXPECT_TRUE(ShowsF(
      DecodeBmp(MakeBmp(h, Masks({0xf800, 0x07e0, 0x001f}), PackRows(16, pick(0xf800, 0x001f))))));
  h.bits = 32;  // red in the top byte, blue in the second
  const Bytes xbgr = PackRows(32, pick(0xff000000, 0x0000ff00));
  EXPECT_TRUE(ShowsF(DecodeBmp(MakeBmp(h, Masks({0xff000000, 0xff0000, 0xff00}), xbgr))));
  h.masks = {0xff000000, 0xff0000, 0xff00, 0};
  for (std::uint32_t size : {52u, 56u, 108u, 124u}) {  // masks inside the header
    SCOPED_TRACE(size);
    h.size = size;
    EXPECT_TRUE(ShowsF(DecodeBmp(MakeBmp(h, {}, xbgr))));
  }
  h.size = 40;
  h.compression = 6;  // alpha bit fields: four masks after the header
  EXPECT_TRUE(ShowsF(DecodeBmp(MakeBmp(h, Masks({0xff000000, 0xff0000, 0xff00, 0xff}), xbgr))));
  // A V5 header with compression 0 keeps the plain layout, whatever its masks say.
  h.size = 124;
  h.compression = 0;
  EXPECT_TRUE(ShowsF(DecodeBmp(MakeBmp(h, {}, PackRows(32, pick(0xff0000, 0x0000ff))))));
}

TEST(DecodeBmp, BitFieldChannelsScaleByRounding) {
  // One pixel per case: Round(v * 255 / max). 5 bits: 1 -> 8.2 -> 8, 16 -> 131.6
  // -> 132, 31 -> 255. 6 bits: 1 -> 4.05 -> 4. 10 bits: 512 -> 127.6 -> 128.
  // 2 bits: 1 -> 85. An empty mask gives 0.
  Header h;
  h.width = 1;
  h.height = 1;
  h.bits = 16;
  h.compression = 3;
  auto one = [&](const Bytes& masks, std::uint32_t v, int bytes) {
    Bytes px;
    for (int b = 0; b < 4; ++b) px.push_back(b < bytes ? (v >> (8 * b)) & 0xff : 0);
    return DecodeBmp(MakeBmp(h, masks, px)).Row(0)[0];
  };
  EXPECT_EQ(one(Masks({0x7c00, 0x03e0, 0x001f}), 1 << 10 | 16 << 5 | 31, 2),
            (BgrPixel{255, 132, 8}));
  EXPECT_EQ(one(Masks({0xf800, 0x07e0, 0x001f}), 1 << 5, 2), (BgrPixel{0, 4, 0}));
  EXPECT_EQ(one(Masks({0x0030, 0, 0x0003}), 0x0031, 2), (BgrPixel{85, 0, 255}));
  h.bits = 32;
  EXPECT_EQ(one(Masks({0x3ff00000, 0x000ffc00, 0x000003ff}), 512u << 20 | 1023, 4),
            (BgrPixel{255, 0, 128}));
}

TEST(DecodeBmp, Os2Headers) {
  Header h;
  h.size = 12;  // 3-byte palette entries, always 2^bits of them
  std::vector<BgrPixel> colours(256, kBlack);
  colours[0] = kBlue;
  colours[1] = kRed;
  Bytes palette;
  for (BgrPixel c : colours) {
    palette.push_back(c.b);
    palette.push_back(c.g);
    palette.push_back(c.r);
  }
  EXPECT_TRUE(ShowsF(DecodeBmp(MakeBmp(h, palette, PackRows(8, FIndex)))));
  // A palette cut short by the pixel offset keeps the entries before it.
  palette.resize(2 * 3);
  EXPECT_TRUE(ShowsF(DecodeBmp(MakeBmp(h, palette, PackRows(8, FIndex)))));
  h.bits = 24;
  EXPECT_TRUE(ShowsF(DecodeBmp(MakeBmp(
      h, {}, PackRows(24, [](int x, int y) { return FIndex(x, y) ? 0xff0000u : 0xffu; })))));
  // OS/2 2.x headers may stop after the bit count; the missing fields are 0
  // (no compression, a full palette of 4-byte entries).
  h.size = 16;
  h.bits = 8;
  Bytes full = Palette({kBlue, kRed});
  full.resize(256 * 4, 0);
  EXPECT_TRUE(ShowsF(DecodeBmp(MakeBmp(h, full, PackRows(8, FIndex)))));
}

TEST(DecodeBmp, PaletteLengthsAndIndicesPastThePalette) {
  Header h;
  h.colours_used = 1;  // index 1 lies past the palette: black, never a stray read
  WorkBitmap b = DecodeBmp(MakeBmp(h, Palette({kBlue}), PackRows(8, FIndex)));
  EXPECT_EQ(b.Row(0)[0], kBlack);
  EXPECT_EQ(b.Row(0)[4], kBlue);
  // More entries than 8 bits can index, really present before the pixels: accepted.
  h.colours_used = 300;
  Bytes big = Palette({kBlue, kRed});
  big.resize(300 * 4, 0);
  EXPECT_TRUE(ShowsF(DecodeBmp(MakeBmp(h, big, PackRows(8, FIndex)))));
  // Claimed but absent: refused.
  h.colours_used = 0x12345678;
  EXPECT_NE(RefusalOf(MakeBmp(h, Palette({kBlue, kRed}), PackRows(8, FIndex))).find("palette"),
            std::string::npos);
}

// RLE streams for a 5 x 5 picture; rows bottom-up. 0 = blue, 1 = red, 2 = green.
Bytes Rle(std::initializer_list<std::uint8_t> stream, int bits, std::int32_t height = kH) {
  Header h;
  h.bits = bits;
  h.compression = bits == 8 ? 1 : 2;
  h.height = height;
  h.colours_used = 3;
  return MakeBmp(h, Palette({kBlue, kRed, BgrPixel{0, 255, 0}}), Bytes(stream));
}

TEST(DecodeBmp, Rle8RunsLiteralsAndEscapes) {
  // Bottom row: run of 2 red, literal (green, red, green) with its pad byte.
  // Then end of line; a delta of (+3, +1) skips to row 2 column 3: run of 2 red.
  // End of line, then end of bitmap: rows 3 and 4 are skipped.
  const WorkBitmap b =
      DecodeBmp(Rle({2, 1, 0, 3, 2, 1, 2, 0, 0, 0, 0, 2, 3, 1, 2, 1, 0, 0, 0, 1}, 8));
  const BgrPixel g{0, 255, 0};
  const std::vector<std::vector<BgrPixel>> want = {
      {kBlue, kBlue, kBlue, kBlue, kBlue},  // row 4 (top): skipped
      {kBlue, kBlue, kBlue, kBlue, kBlue},  // row 3: skipped
      {kBlue, kBlue, kBlue, kRed, kRed},    // row 2: delta target
      {kBlue, kBlue, kBlue, kBlue, kBlue},  // row 1: skipped by the delta
      {kRed, kRed, g, kRed, g},             // row 0 (bottom)
  };
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) EXPECT_EQ(b.Row(y)[x], want[y][x]) << x << ", " << y;
}

TEST(DecodeBmp, Rle4AlternatesNibbles) {
  // Run of 5 alternating red/green; end of line; literal of 3 (red, blue,
  // green) in 2 bytes, already a 16-bit boundary; no end-of-bitmap code: the
  // stream taken as ended.
  const WorkBitmap b = DecodeBmp(Rle({5, 0x12, 0, 0, 0, 3, 0x10, 0x20}, 4));
  const BgrPixel g{0, 255, 0};
  const BgrPixel bottom[kW] = {kRed, g, kRed, g, kRed};
  const BgrPixel next[kW] = {kRed, kBlue, g, kBlue, kBlue};
  for (int x = 0; x < kW; ++x) {
    EXPECT_EQ(b.Row(4)[x], bottom[x]) << x;
    EXPECT_EQ(b.Row(3)[x], next[x]) << x;
    EXPECT_EQ(b.Row(0)[x], kBlue) << x;
  }
}

TEST(DecodeBmp, RleThatLeavesThePictureIsRefused) {
  EXPECT_NE(RefusalOf(Rle({6, 1, 0, 1}, 8)).find("end of row"), std::string::npos);
  EXPECT_NE(RefusalOf(Rle({0, 3, 1, 1, 1, 0, 0, 3, 1, 1, 1, 0}, 8)).find("end of row"),
            std::string::npos);
  EXPECT_NE(RefusalOf(Rle({0, 2, 6, 0, 0, 1}, 8)).find("delta"), std::string::npos);
  EXPECT_NE(RefusalOf(Rle({0, 2, 0, 6, 0, 1}, 8)).find("delta"), std::string::npos);
  // Five ends of line reach the top; a run after them would write above it.
  EXPECT_NE(RefusalOf(Rle({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1}, 8)).find("last row"),
            std::string::npos);
  EXPECT_NE(RefusalOf(Rle({2, 1, 0, 1}, 8, -kH)).find("top-down"), std::string::npos);
  EXPECT_NE(RefusalOf(Rle({6, 0x11, 0, 1}, 4)).find("end of row"), std::string::npos);
}

TEST(DecodeBmp, RleDataMustBeAbleToDescribeThePicture) {
  // At most 255 pixels a 2-byte code: 4 bytes describe 510 pixels, not 511.
  const auto rle = [](int bits, std::int32_t width, std::int32_t height, const Bytes& stream) {
    Header h;
    h.bits = bits;
    h.compression = bits == 8 ? 1 : 2;
    h.width = width;
    h.height = height;
    h.colours_used = 2;
    return MakeBmp(h, Palette({kBlue, kRed}), stream);
  };
  for (const int bits : {8, 4}) {
    EXPECT_EQ(DecodeBmp(rle(bits, 102, 5, {0, 0, 0, 1})).Width(), 102);
    EXPECT_EQ(RefusalOf(rle(bits, 511, 1, {0, 0, 0, 1})),
              "the RLE data (4 bytes) cannot describe 511 x 1 pixels: runs of 255 pixels in 2 "
              "bytes each describe at most 510");
    EXPECT_THROW(DecodeBmp(rle(bits, 65535, 8000, {0, 1})), BmpError);
  }
  // Data past 4 bytes a pixel, 2 a row and 2 more is never read: for a 1 x 1
  // picture the run after two empty deltas lies past that.
  const Bytes late = rle(8, 1, 1, {0, 2, 0, 0, 0, 2, 0, 0, 1, 1});
  EXPECT_EQ(DecodeBmp(late).Row(0)[0], kBlue);
  EXPECT_EQ(DecodeBmp(rle(8, 1, 1, {0, 2, 0, 0, 1, 1})).Row(0)[0], kRed);
}

TEST(DecodeBmp, TruncationIsAnError) {
  // 24 bits, 5 wide: each row holds one pad byte. Only the last row's pad may
  // be missing; every shorter prefix of the file is refused.
  Header h;
  h.bits = 24;
  const Bytes file =
      MakeBmp(h, {}, PackRows(24, [](int x, int y) { return FIndex(x, y) ? 0xff0000u : 0xffu; }));
  EXPECT_TRUE(ShowsF(DecodeBmp(Bytes(file.begin(), file.end() - 1))));
  for (std::size_t n = 0; n + 1 < file.size(); ++n)
    EXPECT_THROW(DecodeBmp(std::span(file.data(), n)), BmpError) << n;
  // The palette and the bit-field masks count too.
  h.bits = 8;
  const Bytes paletted = MakeBmp(h, Palette({kBlue, kRed}), {});
  EXPECT_NE(RefusalOf(Bytes(paletted.begin(), paletted.begin() + 54 + 5)).find("palette"),
            std::string::npos);
}

TEST(DecodeBmp, ImpossibleHeaderFieldsAreRefused) {
  const Bytes palette = Palette({kBlue, kRed});
  const Bytes rows = PackRows(8, FIndex);
  auto refusal = [&](const std::function<void(Header&)>& change) {
    Header h;
    change(h);
    return RefusalOf(MakeBmp(h, palette, rows));
  };
  EXPECT_NE(refusal([](Header& h) { h.size = 66; }).find("header size 66"), std::string::npos);
  EXPECT_NE(refusal([](Header& h) { h.planes = 2; }).find("planes"), std::string::npos);
  EXPECT_NE(refusal([](Header& h) { h.bits = 3; }).find("bit depth 3"), std::string::npos);
  EXPECT_NE(refusal([](Header& h) { h.width = -5; }).find("width"), std::string::npos);
  EXPECT_NE(refusal([](Header& h) { h.width = 0; }).find("width"), std::string::npos);
  EXPECT_NE(refusal([](Header& h) { h.height = 0; }).find("height"), std::string::npos);
  EXPECT_NE(refusal([](Header& h) { h.compression = 2; }).find("RLE4"), std::string::npos);
  EXPECT_NE(refusal([](Header& h) { h.compression = 3; }).find("bit-field"), std::string::npos);
  EXPECT_NE(refusal([](Header& h) { h.compression = 4; }).find("JPEG"), std::string::npos);
  EXPECT_NE(refusal([](Header& h) { h.compression = 5; }).find("PNG"), std::string::npos);
  EXPECT_NE(refusal([](Header& h) { h.compression = 9; }).find("compression 9"), std::string::npos);
  EXPECT_NE(refusal([](Header& h) {
              h.size = 64;  // OS/2 2.x: compression 3 is Huffman, not bit fields
              h.compression = 3;
            }).find("Huffman"),
            std::string::npos);

  Bytes file = MakeBmp(Header{}, palette, rows);
  file[0] = 'X';
  EXPECT_NE(RefusalOf(file).find("signature"), std::string::npos);
  file[0] = 'B';
  file[10] = 20;  // the pixels would start inside the info header
  EXPECT_NE(RefusalOf(file).find("inside the header"), std::string::npos);
  file[10] = 0;
  file[11] = 0x40;  // the pixels would start past the end of the file
  EXPECT_THROW(DecodeBmp(file), BmpError);
}

TEST(DecodeBmp, SizeLimitsAreCheckedBeforeAllocating) {
  // Files of a few bytes that claim huge pictures: BmpTooLarge, whatever the
  // rest of the file holds.
  auto claim = [](std::int32_t width, std::int32_t height) {
    Header h;
    h.bits = 24;
    h.width = width;
    h.height = height;
    return MakeBmp(h, {}, Bytes(16, 0));
  };
  EXPECT_THROW(DecodeBmp(claim(65536, 1)), BmpTooLarge);
  EXPECT_THROW(DecodeBmp(claim(1, -65536)), BmpTooLarge);
  EXPECT_THROW(DecodeBmp(claim(1, INT32_MIN)), BmpTooLarge);
  EXPECT_THROW(DecodeBmp(claim(3000000, 2000000)), BmpTooLarge);
  // 65535 wide: rows of 196608 bytes. 10923 rows pass 2 GiB, 10922 do not
  // (that file is then merely truncated).
  EXPECT_THROW(DecodeBmp(claim(65535, 10923)), BmpTooLarge);
  try {
    DecodeBmp(claim(65535, 10922));
    ADD_FAILURE() << "loaded";
  } catch (const BmpTooLarge&) {
    ADD_FAILURE() << "refused as too large";
  } catch (const BmpError& e) {
    EXPECT_NE(std::string(e.what()).find("truncated"), std::string::npos) << e.what();
  }
  try {
    DecodeBmp(claim(65536, 1));
  } catch (const BmpTooLarge& e) {
    EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
  }
  // A lower ceiling of our own: 5 x 5 needs 5 rows of 16 bytes.
  Header h;
  h.bits = 24;
  const Bytes f = MakeBmp(h, {}, PackRows(24, FIndex));
  EXPECT_NO_THROW(DecodeBmp(f, 80));
  EXPECT_THROW(DecodeBmp(f, 79), BmpTooLarge);
}

class BmpFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("horizonmill-bmp-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Write(const std::string& name, const Bytes& bytes) {
    std::string path = (dir_ / name).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
  }
  std::filesystem::path dir_;
};

TEST_F(BmpFiles, ReadBmpFileNamesTheFileInEveryError) {
  const std::string missing = (dir_ / "missing.bmp").string();
  try {
    ReadBmpFile(missing);
    ADD_FAILURE();
  } catch (const FileError& e) {
    EXPECT_EQ(e.Path(), missing);
    EXPECT_FALSE(e.Reason().empty());
  }
  EXPECT_THROW(ReadBmpFile(dir_.string()), FileError);
  const std::string damaged = Write("damaged.bmp", Bytes{'B', 'M', 1, 2, 3});
  try {
    ReadBmpFile(damaged);
    ADD_FAILURE();
  } catch (const BmpFileTooLarge&) {
    ADD_FAILURE() << "damage reported as too large";
  } catch (const FileError& e) {
    EXPECT_EQ(e.Path(), damaged);
    EXPECT_NE(e.Reason().find("header"), std::string::npos) << e.Reason();
  }
  Header h;
  h.width = 70000;
  EXPECT_THROW(ReadBmpFile(Write("huge.bmp", MakeBmp(h, {}, {}))), BmpFileTooLarge);
}

TEST_F(BmpFiles, TheBudgetAdmitsAPictureBeforeItsPixelsAreRead) {
  // 5 x 5: five 24-bit rows of 16 bytes while it loads, and 100 bytes of PixelImage.
  const std::string f =
      Write("f.bmp", MakeBmp(Header{}, Palette({kBlue, kRed}), PackRows(8, FIndex)));
  PictureBudget exact(5 * 16 + 100);
  EXPECT_TRUE(ShowsF(ReadBmpFile(f, &exact)));
  exact.Hold(1);
  try {
    LoadPictureFile(f, &exact);
    ADD_FAILURE() << "admitted";
  } catch (const PictureOverBudget& e) {
    EXPECT_EQ(e.Path(), f);
    EXPECT_EQ(e.Reason(),
              "the pictures' memory budget of 180 bytes does not admit this picture of 5 x 5 "
              "pixels: it needs 180 bytes while it is loaded, and the scene's pictures before it "
              "hold 1 byte");
  }
}

TEST_F(BmpFiles, WrittenBitmapsReadBackAndLoadOpaque) {
  WorkBitmap picture(kW, kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) picture.Row(y)[x] = FIndex(x, y) ? kRed : kBlue;
  const std::string path = (dir_ / "f.bmp").string();
  WriteFileAtomically(path, [&](ByteSink& out) { EncodeBmp(picture, {}, out); });
  EXPECT_TRUE(ShowsF(ReadBmpFile(path)));
  const PixelImagePtr image = LoadPictureFile(path);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Row(0)[0], MakePacked(255, 0, 0, 255));
  EXPECT_EQ(image->Row(0)[4], MakePacked(0, 0, 255, 255));
}

}  // namespace
}  // namespace horizonmill
