#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <utility>

#include "image/PixelImage.h"
#include "image/WorkBitmap.h"

namespace horizonmill {
namespace {

using Pixels = std::set<std::pair<int, int>>;

// Draws the ellipse adding 1 onto black and returns the pixels it touched;
// fails if any pixel was blended twice.
Pixels EllipsePixels(int w, int h, int cx, int cy, int ry, int rx, bool wrap = true) {
  WorkBitmap bitmap(w, h);
  FillWorkBitmap(bitmap, BgrPixel{});
  BlendEllipse(bitmap, cx, cy, MixtureMode::AddPlain, wrap, MakePacked(1, 0, 0, 255), ry, rx);
  Pixels touched;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      EXPECT_LE(bitmap.Row(y)[x].r, 1) << x << "," << y;
      if (bitmap.Row(y)[x].r) touched.insert({x, y});
    }
  return touched;
}

Pixels Rect(int x0, int x1, int y0, int y1) {
  Pixels p;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) p.insert({x, y});
  return p;
}

Pixels Union(Pixels a, const Pixels& b) {
  a.insert(b.begin(), b.end());
  return a;
}

TEST(WorkBitmap, EllipseRowsAsTheWalkGivesThem) {
  EXPECT_TRUE(EllipsePixels(20, 20, 10, 10, 1, 0).empty());
  EXPECT_TRUE(EllipsePixels(20, 20, 10, 10, 0, 3).empty());
  EXPECT_EQ(EllipsePixels(20, 20, 10, 10, 1, 1), Rect(9, 11, 9, 11));
  EXPECT_EQ(EllipsePixels(20, 20, 10, 10, 1, 2), Union(Rect(8, 12, 10, 10), Rect(9, 11, 9, 11)));
  // The scaled walk does not reach the full vertical radius of 2.
  EXPECT_EQ(EllipsePixels(20, 20, 10, 10, 2, 5), Union(Rect(5, 15, 10, 10), Rect(6, 14, 9, 11)));
}

TEST(WorkBitmap, EllipseWrapsAcrossTheEdgesOrIsClipped) {
  const Pixels wrapped = EllipsePixels(10, 10, 0, 0, 1, 1);
  EXPECT_EQ(wrapped.size(), 9u);
  EXPECT_TRUE(wrapped.count({9, 9}) && wrapped.count({0, 0}) && wrapped.count({1, 1}));
  EXPECT_EQ(EllipsePixels(10, 10, 0, 0, 1, 1, false), Rect(0, 1, 0, 1));
}

TEST(WorkBitmap, TallEllipseIsSymmetricAndCoversItsRadii) {
  const Pixels p = EllipsePixels(40, 40, 20, 20, 9, 4);
  for (const auto& [x, y] : p) {
    EXPECT_TRUE(p.count({40 - x, y}) && p.count({x, 40 - y}));
    EXPECT_LE(std::abs(x - 20), 4);
    EXPECT_LE(std::abs(y - 20), 9);
  }
  // Vertically the walk reaches the full radius 9; the horizontal half-width is
  // scaled by (4 * 256) div 9 = 113 / 256, so it ends at (9 * 113) >> 8 = 3.
  EXPECT_TRUE(p.count({20, 11}) && p.count({20, 29}) && p.count({17, 20}) && p.count({23, 20}));
  EXPECT_FALSE(p.count({16, 20}));
}

TEST(WorkBitmap, PixelAccessFollowsTheWrapRule) {
  WorkBitmap bitmap(3, 2);
  FillWorkBitmap(bitmap, BgrPixel{1, 1, 1});
  SetBitmapPixel(bitmap, 3, 0, false, BgrPixel{9, 9, 9});
  EXPECT_EQ(GetBitmapPixel(bitmap, 0, 0, false), (BgrPixel{1, 1, 1}));
  SetBitmapPixel(bitmap, -1, -1, true, BgrPixel{9, 8, 7});
  EXPECT_EQ(bitmap.Row(1)[2], (BgrPixel{9, 8, 7}));
  EXPECT_EQ(GetBitmapPixel(bitmap, 2, 5, false), (BgrPixel{}));
  EXPECT_EQ(GetBitmapPixel(bitmap, 2, 5, true), (BgrPixel{9, 8, 7}));
  EXPECT_EQ(ReadColorRef(bitmap, 2, 1), 0x00090807u);
}

TEST(WorkBitmap, SampleBitmapTakesTheNextRowAndColumnAtIntegers) {
  WorkBitmap bitmap(3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x)
      bitmap.Row(y)[x] =
          BgrPixel{static_cast<std::uint8_t>(10 * x), static_cast<std::uint8_t>(10 * y), 0};
  EXPECT_EQ(SampleBitmap(bitmap, 0, 0), (BgrPixel{10, 10, 0}));
  EXPECT_EQ(SampleBitmap(bitmap, 2, 2), (BgrPixel{0, 0, 0}));  // wraps to (0, 0)
  EXPECT_EQ(SampleBitmap(bitmap, 0.5L, 1.25L), (BgrPixel{5, 12, 0}));
}

// The row sampler at a double x that an extended x lies within `error` of:
// where the filtered sampler (and its cheap way, which takes x from 0 up and
// the reach of its error) answer, every extended x of that range samples
// alike. The points sit next to integers, on fractions that put a channel's
// mix on a whole number, and anywhere, with errors from 0 up.
TEST(WorkBitmap, FilteredRowSamplingAnswersOnlyWhereEveryPointWithinTheErrorAgrees) {
  std::mt19937 rng(777);
  constexpr int kWidth = 9;
  BgrPixel row[kWidth];
  for (BgrPixel& p : row)
    p = BgrPixel{static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng() % 3 * 60),
                 static_cast<std::uint8_t>(rng() % 2 * 255)};
  row[4] = row[3];  // a pair of equal pixels
  std::uniform_real_distribution<double> anywhere(-30, 30);
  const double errors[] = {0, 0x1p-60, 1e-13, 1e-9, 1e-4, 0.3};
  const long double shifts[] = {-1, -0.5L, -0x1p-20L, 0, 0x1p-20L, 0.5L, 1};
  int answered = 0, refused = 0;
  for (int i = 0; i < 40000; ++i) {
    double x = anywhere(rng);
    if (i % 3 == 0)
      x = std::nearbyint(x) +
          (static_cast<int>(rng() % 3) - 1) * 1e-12 * static_cast<double>(rng() % 100);
    if (i % 3 == 1) x = std::trunc(x) + 1.0 / static_cast<double>(2 + rng() % 8);
    const double error = errors[rng() % std::size(errors)];
    BgrPixel filtered{}, narrow{};
    const bool answer = SampleRowFiltered(row, kWidth, x, error, filtered);
#if defined(__SSE2__)
    const bool cheap =
        SampleRowNarrow(row, kWidth, x, error, detail::LerpReach(2 * (error + 0x1p-48)), narrow);
    if (cheap) {
      ASSERT_TRUE(answer) << x << " " << error;
      ASSERT_EQ(narrow, filtered) << x << " " << error;
    }
#endif
    if (!answer) {
      ++refused;
      continue;
    }
    ++answered;
    for (long double shift : shifts) {
      const long double at =
          x + shift * error + (shift * error == 0 ? 0 : shift * 0x1p-62L * std::fabs(x));
      const long double within = std::fabs(at - x) <= error ? at : x + shift * error;
      ASSERT_EQ(filtered, SampleRow(row, kWidth, within)) << x << " " << error << " " << shift;
    }
  }
  EXPECT_GT(answered, 10000);
  EXPECT_GT(refused, 1000);
}

TEST(WorkBitmap, SizeLimitsAreCheckedBeforeAllocating) {
  WorkBitmap bitmap(4, 4);
  EXPECT_FALSE(bitmap.Resize(65536, 1));
  EXPECT_FALSE(bitmap.Resize(40000, 20000));  // 2.4 GB of pixels
  EXPECT_FALSE(bitmap.Resize(0, 5));
  EXPECT_EQ(bitmap.Width(), 4);
  EXPECT_TRUE(bitmap.Resize(5, 3));
  EXPECT_EQ(bitmap.Stride(), 16u);  // 15 bytes padded to 4
}

TEST(WorkBitmap, StretchDrawAveragesWhenShrinkingAndKeepsFlatColour) {
  WorkBitmap src(8, 4), dst(2, 1);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x)
      src.Row(y)[x] = x < 4 ? BgrPixel{0, 100, 200} : BgrPixel{255, 50, 10};
  StretchDraw(src, dst);
  EXPECT_EQ(dst.Row(0)[0], (BgrPixel{0, 100, 200}));
  EXPECT_EQ(dst.Row(0)[1], (BgrPixel{255, 50, 10}));
  WorkBitmap one(1, 1);
  StretchDraw(src, one);
  EXPECT_EQ(one.Row(0)[0], (BgrPixel{128, 75, 105}));  // (0+255)/2 = 127.5 rounds to even
  WorkBitmap big(409, 307);
  FillWorkBitmap(src, BgrPixel{17, 34, 51});
  StretchDraw(src, big);
  EXPECT_EQ(big.Row(306)[408], (BgrPixel{17, 34, 51}));
}

TEST(WorkBitmap, LoadImageFromBitmapResizesAndMakesOpaque) {
  WorkBitmap bitmap(2, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 2; ++x)
      bitmap.Row(y)[x] = BgrPixel{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7};
  PixelImagePtr image = MakePixelImage(5, 5);
  LoadImageFromBitmap(*image, bitmap);
  ASSERT_EQ(image->width, 2);
  ASSERT_EQ(image->height, 3);
  EXPECT_EQ(image->Row(2)[1], MakePacked(7, 2, 1, 255));
}

#ifndef NDEBUG  // asserts are compiled only without NDEBUG
TEST(WorkBitmapDeathTest, RowsOutOfRangeAreAProgrammerError) {
  WorkBitmap bitmap(4, 3);
  EXPECT_DEATH((void)bitmap.Row(3), "row out of range");
  EXPECT_DEATH((void)bitmap.Row(-1), "row out of range");
  PixelImagePtr image = MakePixelImage(4, 3);
  EXPECT_DEATH((void)image->Row(3), "row out of range");
}
#endif

}  // namespace
}  // namespace horizonmill
