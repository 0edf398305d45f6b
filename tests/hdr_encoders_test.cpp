// The HDR encoders: OpenEXR read back through the OpenEXR library, Radiance
// RGBE through the test's own reader.
#include <gtest/gtest.h>
#include <half.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

#include "codecs/ExrWriter.h"
#include "codecs/HalfFloat.h"
#include "codecs/RgbeWriter.h"
#include "support/HdrReading.h"

namespace horizonmill {
namespace {

using testing::ReadExr;
using testing::ReadRgbe;

// A picture with no symmetry and a wide range: dark and bright pixels, values
// above 1 (a sun), each channel its own.
float Value(int x, int y, int c) {
  const float base = 0.001f * static_cast<float>((x * 7 + y * 13 + c * 29) % 97);
  return (x + 2 * y) % 11 == 0 ? base * 400 + static_cast<float>(c) : base;
}

LinearPicture TestPicture(int w, int h) {
  return {w, h, [w](int y, float* rgb) {
            for (int x = 0; x < w; ++x)
              for (int c = 0; c < 3; ++c) rgb[3 * x + c] = Value(x, y, c);
          }};
}

// Counts the rows the encoder reports, and can refuse to go on after some.
class CountingSink : public MemorySink {
 public:
  explicit CountingSink(int stopAfter = -1) : stopAfter_(stopAfter) {}
  void EncodedRows(int rows) override {
    rows_ += rows;
    if (stopAfter_ >= 0 && rows_ >= stopAfter_) throw std::runtime_error("asked to stop");
  }
  int Rows() const { return rows_; }

 private:
  int stopAfter_;
  int rows_ = 0;
};

TEST(ExrWriter, RoundTripsHalfFloatsWithZipCompression) {
  // One pixel, odd sizes, more rows than one ZIP block and a part of one,
  // more than the rows handed to the library's threads at once; the same
  // bytes for any number of threads.
  const struct { int w, h; } sizes[] = {{1, 1}, {7, 3}, {64, 32}, {33, 17}, {5, 40}, {9, 600}};
  for (const auto& size : sizes) {
    CountingSink sink;
    EncodeExr(TestPicture(size.w, size.h), {.threads = 1}, sink);
    EXPECT_EQ(sink.Rows(), size.h);
    for (const int threads : {2, 7}) {
      MemorySink more;
      EncodeExr(TestPicture(size.w, size.h), {.threads = threads}, more);
      EXPECT_EQ(more.Bytes(), sink.Bytes()) << size.w << "x" << size.h << ", " << threads;
    }
    const testing::ExrFile exr = ReadExr(sink.Bytes());
    ASSERT_EQ(exr.picture.width, size.w);
    ASSERT_EQ(exr.picture.height, size.h);
    EXPECT_EQ(exr.compression, Imf::ZIP_COMPRESSION);
    EXPECT_EQ(exr.channels, (std::vector<std::string>{"B", "G", "R"}));
    EXPECT_TRUE(exr.allHalf);
    EXPECT_FALSE(exr.envmap.has_value());
    ASSERT_TRUE(exr.hasChromaticities);
    EXPECT_FLOAT_EQ(exr.chromaticities.red.x, 0.64f);
    EXPECT_FLOAT_EQ(exr.chromaticities.white.x, 0.3127f);
    int wrong = 0;
    for (int y = 0; y < size.h; ++y)
      for (int x = 0; x < size.w; ++x)
        for (int c = 0; c < 3; ++c)
          wrong += exr.picture.At(x, y)[c] != static_cast<float>(half(Value(x, y, c)));
    EXPECT_EQ(wrong, 0) << size.w << "x" << size.h;
  }
}

TEST(ExrWriter, HoldsValuesHalfCannotAndMarksALatLongMap) {
  const float values[] = {-1.0f, std::nanf(""), 1e6f, 65504.0f, 0.5f, 0.0f};
  const LinearPicture picture{2, 1, [&](int, float* rgb) {
                                for (int i = 0; i < 6; ++i) rgb[i] = values[i];
                              }};
  MemorySink sink;
  EncodeExr(picture, {.metadata = ImageMetadata::Panorama}, sink);
  const testing::ExrFile exr = ReadExr(sink.Bytes());
  const float expected[] = {0, 0, 65504, 65504, 0.5f, 0};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(exr.picture.rgb[i], expected[i]) << i;
  ASSERT_TRUE(exr.envmap.has_value());
  EXPECT_EQ(*exr.envmap, Imf::ENVMAP_LATLONG);
}

TEST(ExrWriter, ASinkThatRefusesStopsTheWriting) {
  CountingSink sink(20);
  EXPECT_THROW(EncodeExr(TestPicture(16, 64), {}, sink), std::runtime_error);
  EXPECT_TRUE(sink.Bytes().empty());  // the file is handed on only when complete
  MemorySink none;
  EXPECT_THROW(EncodeExr(LinearPicture{0, 0, nullptr}, {}, none), std::runtime_error);
}

// Both conversions against the OpenEXR library's own half: a sweep over the
// floats from 0 to the largest half, the ties between two halves (normal and
// subnormal), and what is held (below 0, no-numbers, beyond the largest).
TEST(HalfFloat, RoundsAsTheLibraryAndHoldsWhatHalvesCannot) {
  std::vector<float> values = {0.0f,
                               -0.0f,
                               -1.0f,
                               std::nanf(""),
                               1e6f,
                               std::numeric_limits<float>::infinity(),
                               65504.0f,
                               65519.0f,
                               1.0f + 0x1p-11f,
                               1.0f + 3 * 0x1p-11f,
                               0x1p-25f,
                               3 * 0x1p-25f,
                               5 * 0x1p-25f,
                               0x1p-14f - 0x1p-25f,
                               0x1p-26f,
                               0x1p-130f};
  for (std::uint32_t bits = 0; bits <= 0x477fe000u; bits += 4099) {
    float v = 0;
    std::memcpy(&v, &bits, sizeof v);
    values.push_back(v);
  }
  std::vector<std::uint16_t> fast(values.size()), portable(values.size());
  FloatsToHalves(values.data(), fast.data(), values.size());
  FloatsToHalvesPortably(values.data(), portable.data(), values.size());
  int wrong = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const float v = values[i];
    const std::uint16_t expected = v > 0 ? half(std::min(v, 65504.0f)).bits() : 0;
    if (fast[i] != expected || portable[i] != expected) {
      if (++wrong < 5)
        ADD_FAILURE() << v << ": " << fast[i] << " and " << portable[i] << ", not " << expected;
    }
  }
  EXPECT_EQ(wrong, 0);
  // And back: each half's value is the library's.
  std::vector<float> back(values.size());
  HalvesToFloats(fast.data(), back.data(), fast.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    half expected;
    expected.setBits(fast[i]);
    if (back[i] != static_cast<float>(expected) && ++wrong < 5)
      ADD_FAILURE() << fast[i] << " reads as " << back[i];
  }
  EXPECT_EQ(wrong, 0);
}

TEST(RgbeWriter, FourBytesOfAColour) {
  const struct {
    float r, g, b;
    std::array<std::uint8_t, 4> bytes;
  } cases[] = {
      {1, 1, 1, {128, 128, 128, 129}},      // 1 = 0.5 · 2^1
      {0.5f, 0.25f, 0, {128, 64, 0, 128}},  // 0.5 = 0.5 · 2^0
      {0.75f, 0, 0, {192, 0, 0, 128}},
      {3, 0.1f, 1e-9f, {192, 6, 0, 130}},  // the smaller channels truncated
      {0, 0, 0, {0, 0, 0, 0}},
      {1e-33f, 0, 0, {0, 0, 0, 0}},  // below 1e-32: black
      {-2, -1, 0, {0, 0, 0, 0}},
      {std::nanf(""), 0.5f, 0, {0, 128, 0, 128}},  // no number is 0
  };
  for (const auto& c : cases)
    EXPECT_EQ(RgbeOf(c.r, c.g, c.b), c.bytes) << c.r << " " << c.g << " " << c.b;
}

TEST(RgbeWriter, RoundTripsThroughTheReaderInFlatAndRunLengthRows) {
  // Narrower than 8 and wider than 32767 are flat; between them every row is
  // run-length encoded.
  const struct {
    int w, h;
    bool runs;
  } sizes[] = {{1, 1, false}, {7, 3, false}, {8, 2, true}, {300, 20, true}, {32768, 1, false}};
  for (const auto& size : sizes) {
    CountingSink sink;
    EncodeRgbe(TestPicture(size.w, size.h), {}, sink);
    EXPECT_EQ(sink.Rows(), size.h);
    const testing::RgbeFile file = ReadRgbe(sink.Bytes());
    EXPECT_EQ(file.headerLines.front(), "#?RADIANCE");
    EXPECT_NE(std::find(file.headerLines.begin(), file.headerLines.end(), "FORMAT=32-bit_rle_rgbe"),
              file.headerLines.end());
    EXPECT_EQ(file.sizeLine, "-Y " + std::to_string(size.h) + " +X " + std::to_string(size.w));
    EXPECT_EQ(file.runLengthRows, size.runs ? size.h : 0) << size.w;
    ASSERT_EQ(file.picture.width, size.w);
    // The shared exponent keeps each channel to 1/256 of the largest one.
    double worst = 0;
    for (int y = 0; y < size.h; ++y)
      for (int x = 0; x < size.w; ++x) {
        const float largest = std::max({Value(x, y, 0), Value(x, y, 1), Value(x, y, 2)});
        for (int c = 0; c < 3; ++c)
          worst = std::max<double>(worst, std::abs(file.picture.At(x, y)[c] - Value(x, y, c)) /
                                              std::max(largest, 1e-30f));
      }
    EXPECT_LE(worst, 1.0 / 256) << size.w << "x" << size.h;
  }
}

TEST(RgbeWriter, RunsMakeAnEvenRowSmall) {
  // 1000 pixels of one colour: per byte plane 7 runs of 127 and one of 111,
  // two bytes each, after the four bytes that start the row.
  const LinearPicture even{1000, 1, [](int, float* rgb) {
                             for (int i = 0; i < 3000; ++i) rgb[i] = 0.5f;
                           }};
  MemorySink sink;
  EncodeRgbe(even, {}, sink);
  const std::string& bytes = sink.Bytes();
  const std::size_t pixels = bytes.find("+X 1000\n") + 8;
  EXPECT_EQ(bytes.size() - pixels, 4u + 4 * 8 * 2);
  // Runs shorter than four bytes go into the stretches: a row alternating
  // between two colours is stored as it is, 129 bytes per 128.
  const LinearPicture alternate{256, 1, [](int, float* rgb) {
                                  for (int x = 0; x < 256; ++x)
                                    rgb[3 * x] = rgb[3 * x + 1] = rgb[3 * x + 2] =
                                        x % 2 ? 0.5f : 0.75f;
                                }};
  MemorySink other;
  EncodeRgbe(alternate, {}, other);
  const testing::RgbeFile file = ReadRgbe(other.Bytes());
  EXPECT_FLOAT_EQ(file.picture.At(1, 0)[0], (128 + 0.5f) / 256);
  EXPECT_FLOAT_EQ(file.picture.At(2, 0)[0], (192 + 0.5f) / 256);
  const std::size_t start = other.Bytes().find("+X 256\n") + 7;
  // Three planes alternate (2 stretches of 128); the exponent is one run of
  // 127, one of 127 and 2 bytes left as a stretch.
  EXPECT_EQ(other.Bytes().size() - start, 4u + 3 * 2 * 129 + 2 * 2 + 3);
}

TEST(RgbeWriter, ASinkThatRefusesStopsTheWriting) {
  CountingSink sink(5);
  EXPECT_THROW(EncodeRgbe(TestPicture(16, 64), {}, sink), std::runtime_error);
  EXPECT_EQ(sink.Rows(), 5);
}

}  // namespace
}  // namespace horizonmill
