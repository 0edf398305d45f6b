#include <gtest/gtest.h>

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

}  // namespace
}  // namespace horizonmill
