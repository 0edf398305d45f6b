// The PNG writer's pieces: whatever the width, the rows per piece, the level,
// the filter and the threads, libpng reads back the image, the image data is
// one zlib stream whose header and Adler-32 zlib itself accepts, and the bytes
// do not depend on the number of threads.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "codecs/PanoramaXmp.h"
#include "codecs/PngWriter.h"
#include "support/BitmapTesting.h"
#include "support/PngReading.h"
#include "support/XmpReading.h"

namespace horizonmill {
namespace {

using testing::DecodePng;
using testing::PngChunks;
using testing::SamePixels;

// Every channel moving in its own way, with no symmetry and no long runs, so
// that every filter has something to predict and a swapped channel, a lost
// row or a piece out of place shows.
WorkBitmap Varied(int w, int h) {
  WorkBitmap bitmap(w, h);
  std::uint32_t s = 0x9e3779b9u;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      s = s * 1664525u + 1013904223u;
      bitmap.Row(y)[x] = BgrPixel{static_cast<std::uint8_t>(x * 7 + y),
                                  static_cast<std::uint8_t>((x ^ y) + (s >> 30)),
                                  static_cast<std::uint8_t>(y * 3 - x + (s >> 29))};
    }
  return bitmap;
}

std::string Encoded(const WorkBitmap& bitmap, const PngOptions& options, int threads = 0,
                    ImageMetadata metadata = ImageMetadata::None) {
  MemorySink sink;
  EncodePng(bitmap, {.metadata = metadata, .png = options, .threads = threads}, sink);
  return sink.Bytes();
}

// The IDAT chunks' data laid end to end.
std::string ImageData(const std::string& png) {
  std::string data;
  for (const auto& chunk : PngChunks(png))
    if (chunk.type == "IDAT") data += chunk.data;
  return data;
}

// Inflates a zlib stream whole, zlib checking its header and Adler-32; the
// bytes, or nothing when zlib refuses the stream or it does not end where the
// data does.
std::optional<std::string> Inflated(const std::string& zlibStream) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return std::nullopt;
  std::string out(1 << 16, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zlibStream.data()));
  z.avail_in = static_cast<uInt>(zlibStream.size());
  int result = Z_OK;
  while (result == Z_OK) {
    if (z.total_out == out.size()) out.resize(out.size() * 2);
    z.next_out = reinterpret_cast<Bytef*>(out.data() + z.total_out);
    z.avail_out = static_cast<uInt>(out.size() - z.total_out);
    result = inflate(&z, Z_NO_FLUSH);
  }
  const bool whole = result == Z_STREAM_END && z.avail_in == 0;
  out.resize(z.total_out);
  inflateEnd(&z);
  if (!whole) return std::nullopt;
  return out;
}

TEST(PngWriter, PiecesDecodeToTheImageForEveryWidthPieceLevelAndFilter) {
  const struct {
    int width, height, pieceRows, level;
    PngFilter filter;
  } cases[] = {
      {1, 1, 0, kDefaultPngLevel, kDefaultPngFilter},  // one pixel
      {1, 40, 1, 9, PngFilter::Paeth},                 // one column, a piece a row
      {7, 1, 0, 0, PngFilter::Sub},                    // one row, stored
      {7, 23, 5, 9, PngFilter::Average},               // a short last piece
      {7, 23, 1, 0, PngFilter::Up},                    // stored, a piece a row
      {4096, 3, 0, 9, PngFilter::Adaptive},            // one piece, every filter tried
      {4096, 19, 2, 0, PngFilter::None},               // many pieces, stored
      {4096, 19, 3, kDefaultPngLevel, kDefaultPngFilter},
      {300, 97, 0, 1, PngFilter::Adaptive},
  };
  for (const auto& c : cases) {
    const WorkBitmap bitmap = Varied(c.width, c.height);
    PngOptions options;
    options.level = c.level;
    options.filter = c.filter;
    options.pieceRows = c.pieceRows;
    std::string first;
    for (int threads : {1, 2, 7}) {
      const std::string png = Encoded(bitmap, options, threads);
      const std::string what = std::to_string(c.width) + " x " + std::to_string(c.height) +
                               ", pieces of " + std::to_string(c.pieceRows) + " rows, level " +
                               std::to_string(c.level) + ", " + std::to_string(threads) +
                               " threads";
      EXPECT_TRUE(SamePixels(DecodePng(png), bitmap)) << what;
      const auto raw = Inflated(ImageData(png));
      ASSERT_TRUE(raw.has_value()) << what;
      // A filter byte and three bytes a pixel for every row, nothing more.
      EXPECT_EQ(raw->size(), static_cast<std::size_t>(c.height) * (3 * c.width + 1)) << what;
      if (threads == 1)
        first = png;
      else
        EXPECT_EQ(png, first) << what << ": the bytes differ from one thread's";
    }
  }
}

TEST(PngWriter, TheZlibHeaderNamesTheLevelsClass) {
  const WorkBitmap bitmap = Varied(16, 16);
  const struct {
    int level;
    unsigned char flags;
  } cases[] = {{0, 0x01}, {1, 0x01}, {2, 0x5e}, {5, 0x5e}, {6, 0x9c}, {7, 0xda}, {9, 0xda}};
  for (const auto& c : cases) {
    PngOptions options;
    options.level = c.level;
    const std::string data = ImageData(Encoded(bitmap, options));
    ASSERT_GE(data.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(data[0]), 0x78) << c.level;
    EXPECT_EQ(static_cast<unsigned char>(data[1]), c.flags) << c.level;
  }
}

TEST(PngWriter, ChunksInOrderWithTheXmpBeforeTheImageData) {
  PngOptions options;
  options.pieceRows = 4;
  const std::string png = Encoded(Varied(64, 32), options, 2, ImageMetadata::Panorama);
  std::vector<std::string> types;
  for (const auto& chunk : PngChunks(png)) {
    types.push_back(chunk.type);
    // Every chunk's CRC covers its type and data.
    const std::string covered = png.substr(chunk.start + 4, chunk.size - 8);
    const auto crc = static_cast<std::uint32_t>(crc32(
        0, reinterpret_cast<const Bytef*>(covered.data()), static_cast<uInt>(covered.size())));
    const std::string stored = png.substr(chunk.start + chunk.size - 4, 4);
    EXPECT_EQ(stored, std::string({static_cast<char>(crc >> 24), static_cast<char>(crc >> 16),
                                   static_cast<char>(crc >> 8), static_cast<char>(crc)}))
        << chunk.type;
  }
  const std::vector<std::string> expected = {"IHDR", "sRGB", "gAMA", "cHRM", "iTXt",
                                             "IDAT", "IDAT", "IDAT", "IDAT", "IDAT",
                                             "IDAT", "IDAT", "IDAT", "IEND"};
  EXPECT_EQ(types, expected);
  // The colour space: sRGB with perceptual intent, and for readers without
  // it gamma 1/2.2 and the sRGB primaries and white, which libpng finds to
  // agree with the sRGB chunk.
  auto u32 = [](const std::string& data, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(data[at])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 3]));
  };
  for (const auto& chunk : PngChunks(png)) {
    if (chunk.type == "sRGB") {
      EXPECT_EQ(chunk.data, std::string(1, '\0'));
    }
    if (chunk.type == "gAMA") {
      ASSERT_EQ(chunk.data.size(), 4u);
      EXPECT_EQ(u32(chunk.data, 0), 45455u);
    }
    if (chunk.type == "cHRM") {
      ASSERT_EQ(chunk.data.size(), 32u);
      const std::uint32_t whiteRedGreenBlue[8] = {31270, 32900, 64000, 33000,
                                                  30000, 60000, 15000, 6000};
      for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(u32(chunk.data, 4 * i), whiteRedGreenBlue[i]);
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size()));
  EXPECT_EQ(image.flags & PNG_IMAGE_FLAG_COLORSPACE_NOT_sRGB, 0u);
  png_image_free(&image);
  EXPECT_EQ(testing::PngXmp(png), PanoramaXmpPacket(64, 32));
  EXPECT_EQ(PngChunks(png).back().start + 12, png.size());  // nothing after IEND
}

TEST(PngWriter, LevelsOutsideTheRangeAreClampedAndEveryLevelDecodesAlike) {
  const WorkBitmap bitmap = Varied(50, 30);
  for (int level : {-3, 0, 3, 9, 12}) {
    PngOptions options;
    options.level = level;
    options.pieceRows = 7;
    EXPECT_TRUE(SamePixels(DecodePng(Encoded(bitmap, options)), bitmap)) << level;
  }
  PngOptions low, high;
  low.level = -3;
  high.level = 12;
  PngOptions zero, nine;
  zero.level = 0;
  nine.level = 9;
  EXPECT_EQ(Encoded(bitmap, low), Encoded(bitmap, zero));
  EXPECT_EQ(Encoded(bitmap, high), Encoded(bitmap, nine));
}

TEST(PngWriter, RowsAreReportedPieceByPieceAndARefusalStopsEveryThread) {
  // Counts the rows reported; throws at the report that passes `stopAt`.
  struct CountingSink : MemorySink {
    void EncodedRows(int rows) override {
      reported += rows;
      ++reports;
      if (reported > stopAt) throw std::runtime_error("asked to stop");
    }
    int reported = 0, reports = 0, stopAt = 1 << 30;
  };
  const WorkBitmap bitmap = Varied(33, 100);
  PngOptions options;
  options.pieceRows = 8;
  CountingSink all;
  EncodePng(bitmap, {.png = options, .threads = 3}, all);
  EXPECT_EQ(all.reported, 100);
  EXPECT_EQ(all.reports, 13);  // twelve pieces of eight rows, one of four

  CountingSink stopped;
  stopped.stopAt = 40;
  EXPECT_THROW(EncodePng(bitmap, {.png = options, .threads = 3}, stopped), std::runtime_error);
  EXPECT_EQ(stopped.reported, 48);
  // What was written stops before the image data's end.
  EXPECT_EQ(stopped.Bytes().find("IEND"), std::string::npos);
}

TEST(PngWriter, AnEmptyImageIsRefused) {
  MemorySink sink;
  EXPECT_THROW(EncodePng(WorkBitmap(), {}, sink), std::runtime_error);
}

}  // namespace
}  // namespace horizonmill
