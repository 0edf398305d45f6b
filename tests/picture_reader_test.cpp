// The picture reader: PNG and JPEG files of every kind give the pixels of the
// BMP they were made from, transparency becomes holes, and broken or huge
// files are refused with the file named before anything is decoded.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "codecs/BmpWriter.h"
#include "image/PictureBudget.h"
#include "image/PictureReader.h"
#include "platform/ByteSink.h"
#include "platform/Interrupt.h"
#include "support/BitmapTesting.h"
#include "support/PictureEncoding.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::PngLayout;
using testing::RgbaPicture;
using testing::SamePixels;

constexpr int kW = 13, kH = 11;  // odd sides: partial bytes, every interlace pass

// The asymmetric "F": a vertical bar, a top arm and a shorter middle arm.
bool InF(int x, int y) {
  return (x >= 2 && x <= 3 && y >= 1 && y <= 9) || (y >= 1 && y <= 2 && x >= 2 && x <= 9) ||
         (y >= 5 && y <= 6 && x >= 2 && x <= 7);
}

RgbaPicture FPicture(PackedColour fg, PackedColour bg) {
  RgbaPicture p{kW, kH, std::vector<PackedColour>(kW * kH)};
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) p.At(x, y) = InF(x, y) ? fg : bg;
  return p;
}

// The F with a band of alphas at the bottom right: 0, 127 (holes) and 128,
// 255 (opaque), each over a colour of its own.
RgbaPicture WithAlphaBand(RgbaPicture p, bool grey) {
  static constexpr std::uint32_t kAlphas[] = {0, 127, 128, 255};
  for (int y = 8; y < kH; ++y)
    for (int x = 9; x < kW; ++x) {
      const std::uint32_t a = kAlphas[x - 9];
      const std::uint32_t v = 40 + 50 * (x - 9);
      p.At(x, y) = grey ? MakePacked(v, v, v, a) : MakePacked(v, 200, 255 - v, a);
    }
  return p;
}

// Every pixel of colour `c` transparent (alpha 0), as a tRNS colour makes it.
RgbaPicture ClearWhere(RgbaPicture p, PackedColour c) {
  for (PackedColour& q : p.pixels)
    if (SameRgb(q, c)) q = WithAlpha(q, 0);
  return p;
}

const PackedColour kRed = MakePacked(255, 0, 0), kBlue = MakePacked(0, 0, 255);
PackedColour GreyLevel(std::uint32_t v) { return MakePacked(v, v, v); }

struct LayoutCase {
  const char* name;
  RgbaPicture picture;
  PngLayout layout;
};

std::vector<LayoutCase> LayoutCases() {
  const RgbaPicture colour = FPicture(kRed, kBlue);
  const RgbaPicture grey = FPicture(GreyLevel(200), GreyLevel(30));
  const RgbaPicture banded = WithAlphaBand(colour, false);
  const RgbaPicture greyBanded = WithAlphaBand(grey, true);
  // Low depths hold only some greys: 1 bit 0 and 255, 2 bits steps of 85,
  // 4 bits steps of 17.
  const RgbaPicture grey1 = FPicture(GreyLevel(255), GreyLevel(0));
  const RgbaPicture grey2 = FPicture(GreyLevel(170), GreyLevel(85));
  const RgbaPicture grey4 = FPicture(GreyLevel(204), GreyLevel(51));
  const int G = PNG_COLOR_TYPE_GRAY, GA = PNG_COLOR_TYPE_GRAY_ALPHA, P = PNG_COLOR_TYPE_PALETTE,
            RGB = PNG_COLOR_TYPE_RGB, RGBA = PNG_COLOR_TYPE_RGB_ALPHA;
  return {
      {"grey 1 bit", grey1, {G, 1}},
      {"grey 2 bits, interlaced", grey2, {G, 2, true}},
      {"grey 4 bits", grey4, {G, 4}},
      {"grey 8 bits", grey, {G, 8}},
      {"grey 16 bits", grey, {G, 16}},
      {"grey 8 bits, tRNS", ClearWhere(grey, GreyLevel(30)), {G, 8, false, true, GreyLevel(30)}},
      {"grey 4 bits, tRNS", ClearWhere(grey4, GreyLevel(204)), {G, 4, false, true, GreyLevel(204)}},
      {"grey + alpha 8 bits", greyBanded, {GA, 8}},
      {"grey + alpha 16 bits", greyBanded, {GA, 16}},
      {"grey + alpha 8 bits, interlaced", greyBanded, {GA, 8, true}},
      {"palette 1 bit", colour, {P, 1}},
      {"palette 4 bits", banded, {P, 4}},
      {"palette 8 bits", banded, {P, 8}},
      {"palette 8 bits, tRNS", banded, {P, 8, false, true}},
      {"palette 4 bits, tRNS, interlaced", banded, {P, 4, true, true}},
      {"RGB 8 bits", colour, {RGB, 8}},
      {"RGB 16 bits", banded, {RGB, 16}},
      {"RGB 16 bits, interlaced", banded, {RGB, 16, true}},
      {"RGB 8 bits, tRNS", ClearWhere(colour, kBlue), {RGB, 8, false, true, kBlue}},
      {"RGB 16 bits, tRNS", ClearWhere(colour, kRed), {RGB, 16, false, true, kRed}},
      {"RGBA 8 bits", banded, {RGBA, 8}},
      {"RGBA 16 bits", banded, {RGBA, 16}},
      {"RGBA 8 bits, interlaced", banded, {RGBA, 8, true}},
      {"RGBA 8 bits, every pixel opaque", colour, {RGBA, 8}},
  };
}

std::span<const std::uint8_t> Span(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

std::string BmpOf(const WorkBitmap& bitmap) {
  MemorySink sink;
  EncodeBmp(bitmap, {}, sink);
  return sink.Bytes();
}

bool HasHole(const std::vector<std::uint8_t>& holes) {
  for (const std::uint8_t h : holes)
    if (h != 0) return true;
  return false;
}

TEST(PictureFileFormat, IsKnownByTheFirstBytesAlone) {
  const struct {
    std::string head;
    PictureFileFormat format;
  } cases[] = {
      {"\x89PNG\r\n\x1a\n", PictureFileFormat::Png},
      {"\x89PNG\r\n\x1a", PictureFileFormat::Bmp},  // one byte short of the signature
      {"\xff\xd8\xff\xe0", PictureFileFormat::Jpeg},
      {"\xff\xd8\xff", PictureFileFormat::Jpeg},
      {"\xff\xd8\xfe", PictureFileFormat::Bmp},
      {"BM", PictureFileFormat::Bmp},
      {"GIF89a", PictureFileFormat::Bmp},
      {"", PictureFileFormat::Bmp},
  };
  for (const auto& c : cases) EXPECT_EQ(PictureFileFormatOf(Span(c.head)), c.format) << c.head;
}

TEST(PngPicture, EveryLayoutGivesThePixelsOfTheBmpItWasMadeFrom) {
  for (const LayoutCase& c : LayoutCases()) {
    SCOPED_TRACE(c.name);
    const std::string png = testing::EncodePngLayout(c.picture, c.layout);
    ASSERT_EQ(PictureFileFormatOf(Span(png)), PictureFileFormat::Png);
    const Picture fromPng = DecodePicture(Span(png));
    const Picture fromBmp = DecodePicture(Span(BmpOf(c.picture.Bitmap())));
    EXPECT_TRUE(SamePixels(fromPng.bitmap, fromBmp.bitmap));
    EXPECT_TRUE(fromBmp.holes.empty());
    // Holes exactly where alpha is below 128, when the file keeps an alpha;
    // no mask at all without a hole.
    const bool alpha = (c.layout.colourType & PNG_COLOR_MASK_ALPHA) != 0 || c.layout.trns;
    const std::vector<std::uint8_t> holes = c.picture.Holes();
    EXPECT_EQ(fromPng.holes, alpha && HasHole(holes) ? holes : std::vector<std::uint8_t>{});
  }
}

TEST(PngPicture, SixteenBitChannelsRoundToEightAndAlphaHalvesAtHalf) {
  // value -> Round(value * 255 / 65535); alpha 32767 is below half, 32768 is not.
  const struct {
    std::uint16_t value;
    std::uint8_t eight;
  } channels[] = {{0, 0},       {128, 0},     {129, 1},     {257, 1},    {32767, 127},
                  {32768, 128}, {65406, 254}, {65407, 255}, {65535, 255}};
  const int n = static_cast<int>(std::size(channels));
  std::vector<std::uint16_t> rgba;
  for (const auto& c : channels) rgba.insert(rgba.end(), {c.value, 0, 65535, c.value});
  const Picture p = DecodePngPicture(Span(testing::EncodePng16(n, 1, rgba)));
  ASSERT_EQ(p.bitmap.Width(), n);
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(p.bitmap.Row(0)[i].r, channels[i].eight) << channels[i].value;
    EXPECT_EQ(p.bitmap.Row(0)[i].b, 255);
    EXPECT_EQ(p.holes[i], channels[i].value < 32768) << channels[i].value;
  }
}

// A smooth picture (JPEG keeps it within a few steps) with the F's asymmetry.
WorkBitmap Smooth(int w, int h) {
  WorkBitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.Row(y)[x] = BgrPixel{static_cast<std::uint8_t>(40 + 3 * y), static_cast<std::uint8_t>(90),
                             static_cast<std::uint8_t>(30 + 5 * x)};
  return b;
}

int LargestDifference(const WorkBitmap& a, const WorkBitmap& b) {
  int most = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      const BgrPixel p = a.Row(y)[x], q = b.Row(y)[x];
      most = std::max({most, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
    }
  return most;
}

TEST(JpegPicture, BaselineProgressiveAndGreyDecodeAsLibjpegDoes) {
  const WorkBitmap source = Smooth(37, 29);
  const struct {
    const char* name;
    bool progressive, grey;
  } cases[] = {{"baseline colour", false, false},
               {"progressive colour", true, false},
               {"baseline grey", false, true},
               {"progressive grey", true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string jpeg = testing::EncodeJpeg(source, c.progressive, c.grey);
    const Picture p = DecodePicture(Span(jpeg));
    EXPECT_TRUE(SamePixels(p.bitmap, testing::LibjpegDecode(jpeg)));
    EXPECT_TRUE(p.holes.empty());
    WorkBitmap expected(source.Width(), source.Height());
    for (int y = 0; y < source.Height(); ++y)
      for (int x = 0; x < source.Width(); ++x)
        expected.Row(y)[x] = c.grey ? testing::Grey(source.Row(y)[x].g) : source.Row(y)[x];
    ASSERT_EQ(p.bitmap.Width(), source.Width());
    EXPECT_LE(LargestDifference(p.bitmap, expected), 4);
  }
}

TEST(JpegPicture, ChannelOrderAndRowOrderSurviveTheDecoding) {
  // The F, red on blue, large blocks so that quality 100 keeps the colours.
  WorkBitmap f(8 * kW, 8 * kH);
  for (int y = 0; y < f.Height(); ++y)
    for (int x = 0; x < f.Width(); ++x)
      f.Row(y)[x] = InF(x / 8, y / 8) ? BgrPixel{0, 0, 255} : BgrPixel{255, 0, 0};
  const Picture p = DecodeJpegPicture(Span(testing::EncodeJpeg(f, false, false)));
  const BgrPixel inside = p.bitmap.Row(8 * 1 + 4)[8 * 8 + 4];   // the top arm's far end
  const BgrPixel outside = p.bitmap.Row(8 * 9 + 4)[8 * 8 + 4];  // below the middle arm
  EXPECT_GT(inside.r, 200);
  EXPECT_LT(inside.b, 50);
  EXPECT_GT(outside.b, 200);
  EXPECT_LT(outside.r, 50);
}

class PictureFiles : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    testing::WriteFile(dir_ / name, bytes);
    return dir_ / name;
  }
  // The reason of the FileError reading `path` throws (failing when it throws
  // none, names another file, or counts the damage as memory running out).
  std::string Refusal(const std::string& path, const PictureBudget* budget = nullptr) {
    try {
      ReadPictureFile(path, budget);
      ADD_FAILURE() << path << " was read";
    } catch (const BmpFileTooLarge& e) {
      EXPECT_EQ(e.Path(), path);
      return "too large: " + e.Reason();
    } catch (const FileError& e) {
      EXPECT_EQ(e.Path(), path);
      return e.Reason();
    }
    return {};
  }
  testing::TempDir dir_;
};

TEST_F(PictureFiles, AreReadByTheirContentWhateverTheirName) {
  const RgbaPicture picture = WithAlphaBand(FPicture(kRed, kBlue), false);
  const WorkBitmap smooth = Smooth(20, 10);
  const std::string jpeg = testing::EncodeJpeg(smooth, true, false);
  const struct {
    std::string name, bytes;
    bool holes;
  } files[] = {
      {"png-named.bmp", testing::EncodePngLayout(picture, {PNG_COLOR_TYPE_RGB_ALPHA, 8}), true},
      {"jpeg-named.png", jpeg, false},
      {"bmp-named.jpg", BmpOf(picture.Bitmap()), false},
      {"no-extension", testing::EncodePngLayout(picture, {PNG_COLOR_TYPE_PALETTE, 8, false, true}),
       true},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    const Picture read = ReadPictureFile(Write(f.name, f.bytes));
    const Picture decoded = DecodePicture(Span(f.bytes));
    EXPECT_TRUE(SamePixels(read.bitmap, decoded.bitmap));
    EXPECT_EQ(read.holes, decoded.holes);
    EXPECT_EQ(!read.holes.empty(), f.holes);
  }
  EXPECT_TRUE(SamePixels(ReadPictureFile(dir_ / "bmp-named.jpg").bitmap, picture.Bitmap()));
}

TEST_F(PictureFiles, TruncatedAndDamagedFilesAreErrorsNamingTheFile) {
  const std::string png = testing::EncodePngLayout(WithAlphaBand(FPicture(kRed, kBlue), false),
                                                   {PNG_COLOR_TYPE_RGB_ALPHA, 8, true});
  const std::string jpeg = testing::EncodeJpeg(Smooth(40, 30), false, false);
  const std::string progressive = testing::EncodeJpeg(Smooth(40, 30), true, false);
  // The pixels intact, the checksum of their first chunk not.
  std::string crc = png;
  const std::size_t idat = crc.find("IDAT") - 4;
  const std::size_t length = std::uint8_t(crc[idat + 2]) << 8 | std::uint8_t(crc[idat + 3]);
  crc[idat + 8 + length] = static_cast<char>(crc[idat + 8 + length] ^ 0x55);
  const struct {
    std::string name, bytes, reason;
  } files[] = {
      {"header.png", png.substr(0, 20), "the file is truncated"},
      {"pixels.png", png.substr(0, png.size() / 2), "the file is truncated"},
      {"end.png", png.substr(0, png.size() - 4), "the file is truncated"},
      {"header.jpg", jpeg.substr(0, 100), "the file is truncated"},
      {"pixels.jpg", jpeg.substr(0, jpeg.size() / 2), "the file is truncated"},
      {"end.jpg", jpeg.substr(0, jpeg.size() - 2), "the file is truncated"},
      {"scans.jpg", progressive.substr(0, progressive.size() * 2 / 3), "the file is truncated"},
      {"crc.png", crc, "damaged PNG data (IDAT: CRC error)"},
      {"cmyk.jpg", testing::EncodeCmykJpeg(8, 8),
       "CMYK JPEG pictures are not read (save the picture as RGB)"},
      {"gif.png", std::string("GIF89a\x01\x00\x01\x00", 10), "not a BMP, PNG or JPEG picture"},
      {"empty.png", "", "not a BMP, PNG or JPEG picture"},
  };
  for (const auto& f : files) EXPECT_EQ(Refusal(Write(f.name, f.bytes)), f.reason) << f.name;
  EXPECT_NE(Refusal(dir_.Path().string()).find("not a regular file"), std::string::npos);
}

// A PNG that is its signature, an IHDR of the given size and the start of an
// IDAT chunk, nothing more: a reader that went on to decode it would find it
// truncated.
std::string PngHeader(std::uint32_t w, std::uint32_t h, int colourType) {
  std::string png = testing::EncodePngLayout(FPicture(kRed, kBlue), {colourType, 8});
  png.resize(33);
  for (int i = 0; i < 4; ++i) {
    png[16 + i] = static_cast<char>(w >> (24 - 8 * i));
    png[20 + i] = static_cast<char>(h >> (24 - 8 * i));
  }
  const std::uint32_t crc =
      static_cast<std::uint32_t>(::crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17));
  for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
  return png + std::string("\0\0\x10\0IDAT", 8);
}

// A JPEG cut after its first scan header, its frame saying w x h.
std::string JpegHeader(int w, int h, bool progressive) {
  std::string jpeg = testing::EncodeJpeg(Smooth(16, 16), progressive, false);
  const std::size_t sof = jpeg.find(progressive ? "\xff\xc2" : "\xff\xc0");
  jpeg[sof + 5] = static_cast<char>(h >> 8);
  jpeg[sof + 6] = static_cast<char>(h);
  jpeg[sof + 7] = static_cast<char>(w >> 8);
  jpeg[sof + 8] = static_cast<char>(w);
  const std::size_t sos = jpeg.find("\xff\xda");
  return jpeg.substr(0, sos + 2 + (std::uint8_t(jpeg[sos + 2]) << 8 | std::uint8_t(jpeg[sos + 3])));
}

TEST_F(PictureFiles, HugeDeclaredSizesAreRefusedBeforeDecoding) {
  const struct {
    std::string name, bytes, reason;
  } files[] = {
      {"wide.png", PngHeader(65536, 1, PNG_COLOR_TYPE_RGB),
       "too large: the picture of 65536 x 1 pixels is too large for memory"},
      {"vast.png", PngHeader(0x7fffffff, 0x7fffffff, PNG_COLOR_TYPE_RGB),
       "too large: the picture of 2147483647 x 2147483647 pixels is too large for memory"},
      {"big.png", PngHeader(40000, 40000, PNG_COLOR_TYPE_RGB_ALPHA),
       "too large: the picture of 40000 x 40000 pixels is too large for memory"},
      {"big.jpg", JpegHeader(65500, 65500, false),
       "too large: the picture of 65500 x 65500 pixels is too large for memory"},
      {"big-progressive.jpg", JpegHeader(30000, 20000, true),
       "too large: the picture of 30000 x 20000 pixels is too large for memory"},
  };
  for (const auto& f : files) EXPECT_EQ(Refusal(Write(f.name, f.bytes)), f.reason) << f.name;
  // Within the limits but not the budget: refused as well, still undecoded.
  const PictureBudget budget(1 << 20);
  EXPECT_EQ(Refusal(Write("budget.png", PngHeader(1000, 1000, PNG_COLOR_TYPE_RGB)), &budget)
                .rfind("too large: the pictures' memory budget of 1 MiB does not admit", 0),
            0u);
  EXPECT_EQ(Refusal(Write("budget.jpg", JpegHeader(1000, 1000, false)), &budget)
                .rfind("too large: the pictures' memory budget of 1 MiB does not admit", 0),
            0u);
}

// A header claiming far more pixels than the data behind it can code is a
// damaged picture, told so before its memory is taken; pictures whose data
// is as small as coding allows (one flat colour) are read as they are.
TEST_F(PictureFiles, HeadersClaimingMoreThanTheirDataAreDamaged) {
  const struct {
    std::string name, bytes, reason;
  } files[] = {
      {"frame.jpg", JpegHeader(12000, 12000, false),
       "damaged JPEG data (its header claims 12000 x 12000 pixels, which take at least"},
      {"frame-progressive.jpg", JpegHeader(12000, 12000, true),
       "damaged JPEG data (its header claims 12000 x 12000 pixels"},
      {"rows.png", PngHeader(12000, 12000, PNG_COLOR_TYPE_RGB),
       "damaged PNG data (its header claims 12000 x 12000 pixels, which take at least"},
  };
  for (const auto& f : files) {
    const std::string told = Refusal(Write(f.name, f.bytes));
    EXPECT_EQ(told.substr(0, f.reason.size()), f.reason) << f.name;
    EXPECT_NE(told.find("but the file has " + std::to_string(f.bytes.size()) + " bytes"),
              std::string::npos)
        << told;
  }
  // One flat colour: the least coded data there is, and no damage.
  const WorkBitmap flat(2048, 1024);
  for (const bool progressive : {false, true}) {
    const std::string bytes = testing::EncodeJpeg(flat, progressive, false);
    const Picture read = ReadPictureFile(Write("flat.jpg", bytes));
    EXPECT_EQ(read.bitmap.Width(), 2048);
    EXPECT_EQ(read.bitmap.Height(), 1024);
  }
}

TEST_F(PictureFiles, TheBudgetCountsTransparencyInterlacingAndProgressiveCoefficients) {
  const RgbaPicture banded = WithAlphaBand(FPicture(kRed, kBlue), false);
  const std::int64_t pixels = kW * kH;
  const struct {
    std::string name, bytes;
    std::int64_t extra;  // beside the bitmap and the PixelImage
  } files[] = {
      {"rgb.png", testing::EncodePngLayout(banded, {PNG_COLOR_TYPE_RGB, 8}), 0},
      {"rgba.png", testing::EncodePngLayout(banded, {PNG_COLOR_TYPE_RGB_ALPHA, 8}), 2 * pixels},
      {"interlaced.png", testing::EncodePngLayout(banded, {PNG_COLOR_TYPE_RGB_ALPHA, 8, true}),
       6 * pixels},
      {"baseline.jpg", testing::EncodeJpeg(Smooth(kW, kH), false, false), 0},
      // Three components of 2 x 2 blocks (plus one each way), 128 bytes a block.
      {"progressive.jpg", testing::EncodeJpeg(Smooth(kW, kH), true, false), 3 * 3 * 3 * 128},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    const std::string path = Write(f.name, f.bytes);
    const PictureBudget exact(LoadingBytes(kW, kH, f.extra));
    EXPECT_NO_THROW(ReadPictureFile(path, &exact));
    const PictureBudget less(LoadingBytes(kW, kH, f.extra) - 1);
    EXPECT_THROW(ReadPictureFile(path, &less), PictureOverBudget);
  }
}

TEST_F(PictureFiles, AnInterruptStopsTheDecoding) {
  const std::string png =
      Write("f.png", testing::EncodePngLayout(FPicture(kRed, kBlue), {PNG_COLOR_TYPE_RGB, 8}));
  const std::string jpeg = Write("f.jpg", testing::EncodeJpeg(Smooth(20, 20), true, false));
  for (const std::string& path : {png, jpeg}) {
    RequestInterrupt(SIGINT);
    EXPECT_THROW(ReadPictureFile(path), Interrupted) << path;
    RequestInterrupt(0);
    EXPECT_NO_THROW(ReadPictureFile(path)) << path;
  }
}

TEST_F(PictureFiles, LoadPictureFileKeepsTheHolesInTheImagesMask) {
  const RgbaPicture banded = WithAlphaBand(FPicture(kRed, kBlue), false);
  const PixelImagePtr image = LoadPictureFile(
      Write("banded.png", testing::EncodePngLayout(banded, {PNG_COLOR_TYPE_RGB_ALPHA, 16})));
  ASSERT_TRUE(image);
  ASSERT_NE(image->holes, nullptr);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      EXPECT_EQ(image->IsHole(x, y), banded.At(x, y) >> 24 < 128) << x << "," << y;
      EXPECT_EQ(image->Row(y)[x], banded.At(x, y) | 0xff000000u);  // the colour, opaque
    }
  EXPECT_EQ(HeldBytes(image.get()), 5 * kW * kH);
  const PixelImagePtr opaque = LoadPictureFile(
      Write("opaque.png", testing::EncodePngLayout(banded, {PNG_COLOR_TYPE_RGB, 8})));
  ASSERT_TRUE(opaque);
  EXPECT_EQ(opaque->holes, nullptr);
  EXPECT_EQ(HeldBytes(opaque.get()), 4 * kW * kH);
}

}  // namespace
}  // namespace horizonmill
