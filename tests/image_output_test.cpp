#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>

#include <atomic>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "codecs/BmpWriter.h"
#include "codecs/ImageOutput.h"
#include "codecs/JpegWriter.h"
#include "codecs/PngWriter.h"
#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "platform/WriteProgress.h"
#include "render/Pipeline.h"
#include "support/BitmapTesting.h"
#include "support/BmpBytes.h"
#include "support/ImageReadBack.h"
#include "support/PngReading.h"
#include "support/RecordingPort.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::BmpView;
using testing::DecodePng;
using testing::Difference;
using testing::DifferenceBetween;
using testing::ReadBack;
using testing::ReadBackAs;
using testing::ReadFile;
using testing::SamePixels;
using testing::TempDir;
using testing::WriteFile;

// The bytes a codec writes, kept in memory.
template <typename Encode>
std::string Encoded(Encode encode) {
  MemorySink sink;
  encode(sink);
  return sink.Bytes();
}

// An asymmetric picture: red increases to the right, green downward, and one
// blue pixel at the top left, so flipped rows and swapped channels show.
WorkBitmap Asymmetric(int w, int h) {
  WorkBitmap bitmap(w, h);
  std::memset(bitmap.Bits(), 0xab, bitmap.Stride() * h);  // padding must not leak
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bitmap.Row(y)[x] = BgrPixel{0, static_cast<std::uint8_t>(y * 255 / std::max(1, h - 1)),
                                  static_cast<std::uint8_t>(x * 255 / std::max(1, w - 1))};
  bitmap.Row(0)[0] = BgrPixel{255, 0, 0};
  return bitmap;
}

TEST(ImageOutput, SizeFromTheResolutionTexts) {
  OutputResolution r;
  EXPECT_EQ(OutputSizeOf(r).width, 3072);
  EXPECT_EQ(OutputSizeOf(r).height, 1536);
  for (const char* text : {"0", "abc", "", "-5"}) {
    r.Width = text;
    r.Height = "20";
    EXPECT_EQ(OutputSizeOf(r).width, 1) << text;
    EXPECT_EQ(OutputSizeOf(r).height, 20);
  }
}

TEST(ImageOutput, ExtensionRuleChoosesBmpForDotBmpPngForDotPngJpegOtherwise) {
  const struct {
    const char* name;
    ImageFormat format;
    bool named;  // the extension names the format
  } cases[] = {
      {"scene.bmp", ImageFormat::Bmp, true},
      {"SCENE.BMP", ImageFormat::Bmp, true},
      {"C:\\out\\x.Bmp", ImageFormat::Bmp, true},
      {"out.png", ImageFormat::Png, true},
      {"OUT.PNG", ImageFormat::Png, true},
      {"scene.jpg", ImageFormat::Jpeg, true},
      {"scene.JPEG", ImageFormat::Jpeg, true},
      {"scene", ImageFormat::Jpeg, false},
      {"scene.bmp.jpg", ImageFormat::Jpeg, true},
      {"dir.bmp/scene", ImageFormat::Jpeg, false},
      {"C:\\dir.png\\scene", ImageFormat::Jpeg, false},
      {"x.gif", ImageFormat::Jpeg, false},
      {".bmpx", ImageFormat::Jpeg, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ImageFormatOf(c.name), c.format) << c.name;
    EXPECT_EQ(HasImageExtension(c.name), c.named) << c.name;
  }
  EXPECT_EQ(LowerCaseExtension("a/b.c/NAME.JPG"), ".jpg");
  EXPECT_EQ(LowerCaseExtension("a.b\\name"), "");
  EXPECT_EQ(OutputPathOf("C:\\out\\sub\\x.png"), "C:/out/sub/x.png");
}

// Gradients running three ways, every channel 128 or more: flipped rows or
// columns and swapped channels show, and Radiance's shared exponent, which
// keeps each channel to a step of the brightest, keeps them all within a
// step or so on the eight-bit scale.
WorkBitmap Gradients(int w, int h) {
  WorkBitmap bitmap(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bitmap.Row(y)[x] =
          BgrPixel{static_cast<std::uint8_t>(255 - x * 64 / (w - 1) - y * 63 / (h - 1)),
                   static_cast<std::uint8_t>(128 + y * 127 / (h - 1)),
                   static_cast<std::uint8_t>(128 + x * 127 / (w - 1))};
  return bitmap;
}

// Each format's encoder is the one its ImageFormat chooses: its bytes start as
// that format's files do, only that format's reader takes them, and they hold
// the picture (per channel on the eight-bit scale: BMP and PNG exactly, JPEG
// at quality 95 within a few steps, OpenEXR to half floats' precision and
// Radiance HDR to its shared exponent's, their linear light encoded back to
// sRGB).
TEST(ImageOutput, EncodeImageWritesTheFormatItIsGiven) {
  const WorkBitmap picture = Gradients(64, 32);
  const ImageFormat formats[] = {ImageFormat::Bmp, ImageFormat::Png, ImageFormat::Jpeg,
                                 ImageFormat::Exr, ImageFormat::Hdr};
  const struct {
    ImageFormat format;
    double largest, mean;
  } cases[] = {
      {ImageFormat::Bmp, 0, 0},      {ImageFormat::Png, 0, 0},   {ImageFormat::Jpeg, 8, 1},
      {ImageFormat::Exr, 0.1, 0.03}, {ImageFormat::Hdr, 2, 0.5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ImageFormatName(c.format));
    const std::string bytes =
        Encoded([&](ByteSink& out) { EncodeImage(picture, c.format, {.quality = 95}, out); });
    const ReadBack back = ReadBackAs(c.format, bytes);
    ASSERT_EQ(back.problem, "");
    EXPECT_EQ(back.width, 64);
    EXPECT_EQ(back.height, 32);
    const Difference difference = DifferenceBetween(back, picture);
    EXPECT_LE(difference.largest, c.largest);
    EXPECT_LE(difference.mean, c.mean);
    for (ImageFormat other : formats) {
      if (other != c.format) {
        EXPECT_NE(ReadBackAs(other, bytes).problem, "") << ImageFormatName(other);
      }
    }
  }
}

TEST(PngWriter, ReadsBackToTheSamePixelsAsLosslessTwentyFourBitRgb) {
  for (const auto& [w, h] : {std::pair{3, 2}, std::pair{301, 17}}) {
    const WorkBitmap bitmap = Asymmetric(w, h);
    const std::string bytes = Encoded([&](ByteSink& out) { EncodePng(bitmap, {}, out); });
    ASSERT_EQ(bytes.substr(0, 16), std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16));
    EXPECT_EQ(bytes[24], 8);  // bits per channel
    EXPECT_EQ(bytes[25], 2);  // colour type: RGB, no alpha, no palette
    EXPECT_EQ(bytes[28], 0);  // not interlaced
    EXPECT_TRUE(SamePixels(DecodePng(bytes), bitmap)) << w << " x " << h;
  }
}

TEST(PngWriter, WhatTheSinkThrowsEndsTheWritingAsItWas) {
  struct FullSink : ByteSink {
    void Write(const void*, std::size_t) override { throw FileError("disk.png", "No space left"); }
  } sink;
  try {
    EncodePng(Asymmetric(8, 8), {}, sink);
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_STREQ(e.what(), "disk.png: No space left");
  }
  TempDir dir;
  SaveImage(Asymmetric(8, 8), dir / "out.PNG", ImageFormat::Png, {});
  EXPECT_TRUE(SamePixels(DecodePng(ReadFile(dir / "out.PNG")), Asymmetric(8, 8)));
}

TEST(BmpWriter, BottomUpRowsWithZeroPaddingAndAFullHeader) {
  const WorkBitmap bitmap = Asymmetric(3, 2);
  const std::string bytes = Encoded([&](ByteSink& out) { EncodeBmp(bitmap, {}, out); });
  ASSERT_EQ(bytes.size(), 54u + 12 * 2);
  const BmpView bmp(bytes);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(bmp.U32(2), 78u);   // file size
  EXPECT_EQ(bmp.U32(10), 54u);  // pixel offset
  EXPECT_EQ(bmp.U32(14), 40u);  // info header
  EXPECT_EQ(bmp.Width(), 3);
  EXPECT_EQ(bmp.Height(), 2);  // positive: bottom-up
  EXPECT_EQ(bmp.U16(26), 1);
  EXPECT_EQ(bmp.U16(28), 24);
  EXPECT_EQ(bmp.U32(30), 0u);  // uncompressed
  EXPECT_EQ(bmp.U32(34), 24u);
  // The first stored row is the bottom one.
  EXPECT_EQ(bytes.substr(54, 12),
            std::string("\x00\xff\x00\x00\xff\x7f\x00\xff\xff\x00\x00\x00", 12));
  EXPECT_EQ(bmp.At(0, 0), (BgrPixel{255, 0, 0}));
  EXPECT_EQ(bmp.At(2, 0), (BgrPixel{0, 0, 255}));
}

// libjpeg's quantisation tables (luminance, chrominance) in natural order, and
// the zigzag order in which a file stores them.
constexpr int kLuminance[64] = {16,  11,  10,  16,  24, 40, 51,  61,  12,  12,  14,  19,  26,
                                58,  60,  55,  14,  13, 16, 24,  40,  57,  69,  56,  14,  17,
                                22,  29,  51,  87,  80, 62, 18,  22,  37,  56,  68,  109, 103,
                                77,  24,  35,  55,  64, 81, 104, 113, 92,  49,  64,  78,  87,
                                103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};
constexpr int kChrominance[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                  24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                  99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                  99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
constexpr int kZigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                             12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                             35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                             58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

struct JpegMarkers {
  bool baseline = false, progressive = false;
  int components = 0;
  std::vector<std::vector<int>> tables;  // in natural order, by table id
};

JpegMarkers ScanMarkers(const std::string& b) {
  JpegMarkers m;
  EXPECT_EQ(b.substr(0, 2), "\xff\xd8");
  std::size_t i = 2;
  auto byte = [&](std::size_t at) { return static_cast<unsigned char>(b[at]); };
  while (i + 4 <= b.size() && byte(i) == 0xff) {
    const int marker = byte(i + 1);
    const std::size_t length = byte(i + 2) << 8 | byte(i + 3);
    if (marker == 0xdb) {
      for (std::size_t at = i + 4; at < i + 2 + length; at += 65) {
        const int id = byte(at) & 15;
        if (m.tables.size() <= static_cast<std::size_t>(id)) m.tables.resize(id + 1);
        m.tables[id].assign(64, 0);
        for (int k = 0; k < 64; ++k) m.tables[id][kZigzag[k]] = byte(at + 1 + k);
      }
    }
    if (marker == 0xc0) m.baseline = true, m.components = byte(i + 9);
    if (marker == 0xc2) m.progressive = true;
    if (marker == 0xda) break;  // the scan follows
    i += 2 + length;
  }
  return m;
}

TEST(JpegWriter, BaselineColourWithTheLibraryTablesForTheQuality) {
  const WorkBitmap bitmap = Asymmetric(64, 48);
  for (int quality : {90, 50, 0, 100}) {
    const std::string bytes =
        Encoded([&](ByteSink& out) { EncodeJpeg(bitmap, {.quality = quality}, out); });
    const JpegMarkers m = ScanMarkers(bytes);
    EXPECT_TRUE(m.baseline);
    EXPECT_FALSE(m.progressive);
    EXPECT_EQ(m.components, 3);
    ASSERT_EQ(m.tables.size(), 2u);
    // The library's scaling: 5000 / q below 50, 200 - 2q from 50 on (quality 0
    // is taken as 1), clamped to 1..255 for baseline.
    const int q = std::max(quality, 1);
    const int scale = q < 50 ? 5000 / q : 200 - 2 * q;
    for (int k = 0; k < 64; ++k) {
      EXPECT_EQ(m.tables[0][k], std::clamp((kLuminance[k] * scale + 50) / 100, 1, 255));
      EXPECT_EQ(m.tables[1][k], std::clamp((kChrominance[k] * scale + 50) / 100, 1, 255));
    }
  }
}

TEST(JpegWriter, DecodesToThePictureWithChannelsInPlace) {
  WorkBitmap bitmap(32, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x)
      bitmap.Row(y)[x] = x < 16 ? BgrPixel{0, 0, 255} : BgrPixel{255, 0, 0};
  const std::string bytes =
      Encoded([&](ByteSink& out) { EncodeJpeg(bitmap, {.quality = 95}, out); });
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  jpeg_read_header(&cinfo, TRUE);
  jpeg_start_decompress(&cinfo);
  std::vector<unsigned char> row(32 * 3);
  for (int y = 0; y < 16; ++y) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&cinfo, rows, 1);
    if (y == 8) {
      EXPECT_GT(row[3 * 4], 240);  // red on the left
      EXPECT_LT(row[3 * 4 + 2], 16);
      EXPECT_GT(row[3 * 28 + 2], 240);  // blue on the right
      EXPECT_LT(row[3 * 28], 16);
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
}

TEST(AtomicFile, AFailedWriteLeavesTheOldFileAndNoLeftovers) {
  TempDir dir;
  const std::string target = dir / "scene.bmp";
  WriteFile(target, "old contents");
  EXPECT_THROW(WriteFileAtomically(target,
                                   [](ByteSink& out) {
                                     out.Write("partial");
                                     throw std::runtime_error("disk full");
                                   }),
               FileError);
  EXPECT_EQ(ReadFile(target), "old contents");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"scene.bmp"});

  // A directory in the way of the rename.
  std::filesystem::create_directory(dir / "taken.jpg");
  EXPECT_THROW(WriteFileAtomically(dir / "taken.jpg", "x"), FileError);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"scene.bmp", "taken.jpg"}));

  WriteFileAtomically(target, "new");
  EXPECT_EQ(ReadFile(target), "new");
}

// Passes everything on, and asks the write to stop once `stopAt` rows are
// reported; records the reports.
class StopAtRow : public ByteSink {
 public:
  StopAtRow(ByteSink& out, int stopAt, std::atomic<bool>& stop)
      : out_(out), stopAt_(stopAt), stop_(stop) {}
  using ByteSink::Write;
  void Write(const void* data, std::size_t size) override { out_.Write(data, size); }
  void Flush() override { out_.Flush(); }
  void EncodedRows(int rows) override {
    reports.push_back(rows);
    reported += rows;
    if (reported >= stopAt_) stop_ = true;
    out_.EncodedRows(rows);
  }
  std::vector<int> reports;
  int reported = 0;

 private:
  ByteSink& out_;
  int stopAt_;
  std::atomic<bool>& stop_;
};

// Every format tells its sink of the rows it encodes, all of them by the end,
// without changing a byte; asked to stop part way through, the file's write
// ends with WriteCancelled (whatever the codec makes of its sink's refusal)
// and the old file stays.
TEST(ImageOutput, EveryFormatReportsItsRowsAndStopsPartWayWhenAsked) {
  const WorkBitmap picture = Asymmetric(300, 200);
  TempDir dir;
  const EncodeOptions options{.metadata = ImageMetadata::Panorama};
  for (const auto& [name, each] :
       {std::pair{"out.bmp", ImageFormat::Bmp}, std::pair{"out.png", ImageFormat::Png},
        std::pair{"out.jpg", ImageFormat::Jpeg}}) {
    SCOPED_TRACE(name);
    const ImageFormat format = each;  // a binding of its own, for the lambdas below
    const std::string plain =
        Encoded([&](ByteSink& out) { EncodeImage(picture, format, options, out); });
    std::atomic<bool> never{false};
    MemorySink memory;
    StopAtRow counted(memory, 1000, never);
    EncodeImage(picture, format, options, counted);
    EXPECT_EQ(memory.Bytes(), plain);
    EXPECT_EQ(counted.reported, 200);
    // Rows one by one, or in the JPEG library's batches of at most 16.
    for (int rows : counted.reports) EXPECT_TRUE(rows >= 1 && rows <= 16) << rows;

    const std::string target = dir / name;
    WriteFile(target, "old");
    std::atomic<bool> stop{false};
    WriteProgress progress(&stop);
    progress.Plan(picture.Height());
    EXPECT_THROW(WriteFileAtomically(
                     target,
                     [&](ByteSink& out) {
                       StopAtRow halfway(out, 100, stop);
                       EncodeImage(picture, format, options, halfway);
                     },
                     OnInterrupt::Stop, &progress),
                 WriteCancelled);
    EXPECT_GE(progress.Done(), 100);
    EXPECT_LT(progress.Done(), 100 + 16);
    EXPECT_EQ(ReadFile(target), "old");
    // Unasked, the same write goes in whole.
    stop = false;
    WriteProgress whole(&stop);
    whole.Plan(picture.Height());
    WriteFileAtomically(
        target, [&](ByteSink& out) { EncodeImage(picture, format, options, out); },
        OnInterrupt::Stop, &whole);
    EXPECT_EQ(whole.Percent(), 100);
    EXPECT_EQ(ReadFile(target), plain);
  }
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"out.bmp", "out.jpg", "out.png"}));
}

TEST(ImageOutput, UnwritablePlacesNameTheFile) {
  TempDir dir;
  const WorkBitmap bitmap = Asymmetric(4, 4);
  const std::string missing = dir / "no/such/folder/out.jpg";
  try {
    SaveImage(bitmap, missing, ImageFormat::Jpeg, {.metadata = ImageMetadata::Panorama});
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.Path(), missing);
    EXPECT_NE(std::string(e.what()).find(missing), std::string::npos);
  }
  WriteFile(dir / "plain", "a file, not a folder");
  EXPECT_THROW(SaveImage(bitmap, dir / "plain/out.bmp", ImageFormat::Bmp, {}), FileError);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"plain"});
}

}  // namespace
}  // namespace horizonmill
