#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "image/MemoryHunger.h"
#include "image/PixelImage.h"
#include "image/WorkBitmap.h"

namespace horizonmill {
namespace {

// A w x h image whose pixel (x, y) is red x, green y, opaque.
PixelImagePtr Coordinates(int w, int h) {
  PixelImagePtr image = MakePixelImage(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image->Row(y)[x] = MakePacked(x, y, 0);
  return image;
}

TEST(PixelImage, NewRefusesEmptyAndOversizedImages) {
  EXPECT_EQ(NewPixelImage(0, 10), nullptr);
  EXPECT_EQ(NewPixelImage(10, -1), nullptr);
  const std::size_t slots = TheMemoryHunger().RegistrySize();
  EXPECT_EQ(NewPixelImage(65536, 1), nullptr);
  EXPECT_EQ(NewPixelImage(40000, 40000), nullptr);         // 6.4 GB: refused before asking
  EXPECT_EQ(TheMemoryHunger().RegistrySize(), slots + 2);  // only the two records
  PixelImagePtr ok = MakePixelImage(3, 2);
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->width, 3);
  EXPECT_EQ(ok->height, 2);
}

TEST(PixelImage, WrapRuleOnReadsAndWrites) {
  PixelImagePtr image = Coordinates(3, 3);
  EXPECT_EQ(GetImagePixel(*image, -1, 0, true), MakePacked(2, 0, 0));
  EXPECT_EQ(GetImagePixel(*image, -1, 0, false), 0u);
  EXPECT_EQ(GetImagePixel(*image, 5, -4, true), MakePacked(2, 2, 0));
  SetImagePixel(*image, 3, 0, false, 0x12345678u);
  EXPECT_EQ(image->Row(0)[0], MakePacked(0, 0, 0));
  SetImagePixel(*image, 3, 0, true, 0x12345678u);
  EXPECT_EQ(image->Row(0)[0], 0x12345678u);
  SetImagePixel(*image, -4, 7, true, 7u);  // -4 mod 3 = 2, 7 mod 3 = 1
  EXPECT_EQ(image->Row(1)[2], 7u);
}

TEST(PixelImage, ResizeKeepsTheTopLeftRegionAtItsCoordinates) {
  PixelImagePtr image = Coordinates(4, 4);
  ASSERT_TRUE(ResizePixelImage(*image, 2, 8));
  EXPECT_EQ(image->width, 2);
  EXPECT_EQ(image->height, 8);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(image->Row(y)[x], MakePacked(x, y, 0));
  EXPECT_TRUE(ResizePixelImage(*image, 2, 8));
  EXPECT_FALSE(ResizePixelImage(*image, 0, 8));
  EXPECT_EQ(image->width, 2);
}

TEST(PixelImage, SamplingTakesFractionOneAtIntegers) {
  PixelImagePtr image = Coordinates(6, 3);
  // An integer coordinate samples entirely from the next column and row.
  EXPECT_EQ(SampleImage(*image, 3.0L, 0.0L), MakePacked(4, 1, 0));
  // Halfway: the truncated average of (3,0), (4,0), (3,1), (4,1).
  EXPECT_EQ(SampleImage(*image, 3.5L, 0.5L), MakePacked(3, 0, 0));
  // Past the last column the sample wraps to column 0.
  EXPECT_EQ(SampleImage(*image, 5.0L, 2.0L), MakePacked(0, 0, 0));
  // Negative: x0 = Trunc(-0.25) = 0, fraction 0.75 measured from it.
  EXPECT_EQ(SampleImage(*image, -0.25L, 1.0L), MakePacked(0, 2, 0));
  EXPECT_EQ(Red(SampleImage(*image, -0.5L, 1.0L)), 0);
  EXPECT_EQ(Red(SampleImage(*image, 1.75L, 1.0L)), 1);
  // Far-off or non-finite coordinates stay defined.
  SampleImage(*image, 1e300L, -1e300L);
  SampleImage(*image, NAN, INFINITY);
}

TEST(PixelImage, TransparentTexelsLendNoColourWhenSampled) {
  PixelImagePtr image = MakePixelImage(2, 2);
  image->Row(0)[0] = MakePacked(200, 100, 50, 255);
  image->Row(0)[1] = MakePacked(0, 0, 0, 0);
  image->Row(1)[0] = MakePacked(200, 100, 50, 255);
  image->Row(1)[1] = MakePacked(0, 0, 0, 0);
  const PackedColour c = SampleImage(*image, 0.5L, 1.0L);
  EXPECT_EQ(c & 0x00ffffffu, MakePacked(200, 100, 50) & 0x00ffffffu);
  EXPECT_EQ(Alpha(c), 127);
}

TEST(PixelImage, HoleMaskIsPaintedInTheKeyColourAndGoesWithThePixels) {
  PixelImagePtr image = Coordinates(3, 2);
  EXPECT_EQ(image->holes, nullptr);
  EXPECT_FALSE(image->IsHole(1, 1));
  PaintHoles(*image, MakePacked(9, 9, 9));  // no mask: nothing to paint
  EXPECT_EQ(image->Row(1)[1], MakePacked(1, 1, 0));
  ASSERT_TRUE(AddHoleMask(*image));
  for (int i = 0; i < 6; ++i) EXPECT_EQ(image->holes[i], 0) << i;
  image->holes[4] = 1;  // (1, 1)
  EXPECT_TRUE(image->IsHole(1, 1));
  EXPECT_FALSE(image->IsHole(0, 1));
  image->Row(1)[1] = WithAlpha(image->Row(1)[1], 0);
  // Painted again and again: each time the key's red, green, blue, the alpha kept.
  for (const PackedColour key : {MakePacked(255, 0, 255), MakePacked(4, 5, 6, 17)}) {
    PaintHoles(*image, key);
    EXPECT_EQ(image->Row(1)[1], WithAlpha(key, 0));
    EXPECT_EQ(image->Row(1)[0], MakePacked(0, 1, 0));
    EXPECT_EQ(KeyedPixel(image->Row(1)[0], image->IsHole(0, 1), key), image->Row(1)[0]);
  }
  // A resize (new pixels follow) and a copy from a bitmap drop the mask.
  ASSERT_TRUE(ResizePixelImage(*image, 2, 2));
  EXPECT_EQ(image->holes, nullptr);
  ASSERT_TRUE(AddHoleMask(*image));
  LoadImageFromBitmap(*image, WorkBitmap(2, 2));
  EXPECT_EQ(image->holes, nullptr);
  // Freed with the image: the allocator gets both blocks back.
  ASSERT_TRUE(AddHoleMask(*image));
  const std::size_t large = TheMemoryHunger().LargeListSize();
  const std::size_t four = TheMemoryHunger().FreeListSize(4);
  image.reset();
  EXPECT_EQ(TheMemoryHunger().FreeListSize(4), four + 1);  // the 2 x 2 mask
  EXPECT_EQ(TheMemoryHunger().LargeListSize(), large);
}

// The filtered sample's promise: whenever it answers, every extended point
// within the error of the double one samples as it says. Points are drawn
// near integers (where Trunc and the fraction's end decide), near the
// fractions that put a channel's mix on a whole number (where the truncation
// decides), and anywhere, on both sides of 0, with errors from 0 up; the
// extended points are the double one moved by fractions of the error, its
// ends included, and by the last bits an extended number has beyond it.
TEST(PixelImage, FilteredSamplingAnswersOnlyWhereEveryPointWithinTheErrorAgrees) {
  std::mt19937 rng(4242);
  PixelImagePtr image = MakePixelImage(7, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x)
      image->Row(y)[x] = MakePacked(rng() % 256, (x * 40) % 256, 255 - y * 50,
                                    rng() % 5 == 0 ? 0 : 255);  // some holes
  std::uniform_real_distribution<double> anywhere(-40, 40);
  const double errors[] = {0, 0x1p-60, 1e-13, 1e-9, 1e-4, 0.3};
  const long double shifts[] = {-1, -0.5L, -0x1p-20L, 0, 0x1p-20L, 0.5L, 1};
  auto near = [&](double v) {
    switch (rng() % 4) {
      case 0:  // next to an integer
        return std::nearbyint(v) +
               (static_cast<int>(rng() % 3) - 1) * 1e-12 * static_cast<double>(rng() % 100);
      case 1:  // a mix of 0 and a channel c on a whole number: a quarter, a fifth...
        return std::trunc(v) + 1.0 / static_cast<double>(2 + rng() % 8);
      default:
        return v;
    }
  };
  int answered = 0, refused = 0;
  for (int i = 0; i < 40000; ++i) {
    const double x = near(anywhere(rng)), y = near(anywhere(rng));
    const double ex = errors[rng() % std::size(errors)], ey = errors[rng() % std::size(errors)];
    PackedColour filtered = 0;
    if (!SampleImageFiltered(*image, x, y, ex, ey, filtered)) {
      ++refused;
      continue;
    }
    ++answered;
    for (long double sx : shifts)
      for (long double sy : shifts) {
        // Within the error, and a few bits of an extended number beyond the double.
        const long double px = x + sx * ex + (sx * ex == 0 ? 0 : sx * 0x1p-62L * std::fabs(x));
        const long double py = y + sy * ey + (sy * ey == 0 ? 0 : sy * 0x1p-62L * std::fabs(y));
        const long double cx = std::fabs(px - x) <= ex ? px : x + sx * ex;
        const long double cy = std::fabs(py - y) <= ey ? py : y + sy * ey;
        ASSERT_EQ(filtered, SampleImage(*image, cx, cy))
            << "x " << x << " y " << y << " errors " << ex << " " << ey << " at " << sx << " "
            << sy;
      }
  }
  // Both answers are common on these points: the test says something either way.
  EXPECT_GT(answered, 10000);
  EXPECT_GT(refused, 1000);
}

TEST(PixelImage, FilteredSamplingRefusesWhatItCannotDecide) {
  PixelImagePtr image = Coordinates(6, 3);
  PackedColour c = 0;
  // Without error it answers as SampleImage does, integers and negatives too.
  for (const auto& [x, y] :
       {std::pair{3.0, 0.0}, {3.5, 0.5}, {5.0, 2.0}, {-0.25, 1.0}, {-0.5, 1.0}, {1.75, 1.0}}) {
    ASSERT_TRUE(SampleImageFiltered(*image, x, y, 0, 0, c)) << x << " " << y;
    EXPECT_EQ(c, SampleImage(*image, x, y)) << x << " " << y;
  }
  // An integer within the error: the Trunc may differ.
  EXPECT_FALSE(SampleImageFiltered(*image, 3.0, 0.5, 1e-12, 0, c));
  EXPECT_FALSE(SampleImageFiltered(*image, 2.9999999, 0.5, 1e-6, 0, c));
  EXPECT_FALSE(SampleImageFiltered(*image, 0.5, -1.0000001, 0, 1e-6, c));
  // An error that is no number or has no end, and a coordinate beyond 2^51.
  EXPECT_FALSE(SampleImageFiltered(*image, 0.5, 0.5, std::nan(""), 0, c));
  EXPECT_FALSE(SampleImageFiltered(*image, 0.5, 0.5, 0, INFINITY, c));
  EXPECT_FALSE(SampleImageFiltered(*image, 0x1p52, 0.5, 0, 0, c));
  EXPECT_FALSE(SampleImageFiltered(*image, 0.5, std::nan(""), 0, 0, c));
  // Red runs 3 to 4 across x = 3.5 .. 4.5: the mix 3 + t is a whole number
  // only at t = 1, so a small error away from it is answered.
  ASSERT_TRUE(SampleImageFiltered(*image, 3.5, 0.5, 1e-9, 1e-9, c));
  EXPECT_EQ(c, MakePacked(3, 0, 0));
}

}  // namespace
}  // namespace horizonmill
