#include <gtest/gtest.h>

#include "render/RenderStars.h"
#include "support/BitmapTesting.h"

namespace horizonmill {
namespace {

using testing::CountDifferent;
using testing::FilledBitmap;
using testing::Grey;
using testing::SamePixels;

StarLayerInput Stars(int count, int seed = 65536) {
  StarLayerInput input;
  input.RandomSeed = seed;
  input.NumberOfStars = count;
  input.AirDepth = 0;
  input.SizeOfStars = 1;
  return input;
}

WorkBitmap Render(int w, int h, const StarLayerInput& input, bool preview = false) {
  WorkBitmap bitmap = FilledBitmap(w, h, Grey(0));
  RenderContext context;
  RenderStars(context, bitmap, input, preview);
  EXPECT_EQ(context.RenderProgress, 100);
  return bitmap;
}

TEST(RenderStars, FirstTwoStarsOfTheDefaultSeed) {
  // The five draws of each star, in order.
  SceneRandom random;
  random.Seed(65536);
  EXPECT_EQ(random.RandomBelow(3072), 1584u);
  EXPECT_EQ(random.RandomBelow(1536), 288u);
  EXPECT_EQ(random.RandomBelow(768), 410u);  // y = Round(698 / 1.5) = 465
  EXPECT_EQ(random.RandomBelow(256), 6u);
  EXPECT_NEAR(static_cast<double>(random.RandomUnit()), 0.64873, 5e-6);
  EXPECT_EQ(random.RandomBelow(3072), 2699u);
  EXPECT_EQ(random.RandomBelow(1536), 1528u);
  EXPECT_EQ(random.RandomBelow(768), 573u);  // y = Round(2101 / 1.5) = 1401
  EXPECT_EQ(random.RandomBelow(256), 80u);
  EXPECT_NEAR(static_cast<double>(random.RandomUnit()), 0.218536, 5e-7);

  // Star 1: w = 3e, h = 1.5e; 303 rows above the horizon the horizontal radius
  // is 0.75w + 38.4 * (303/768)^15 = 1.46 -> 1, the vertical 0.49 + 0.97 *
  // (465/768)^4 = 0.62 -> 1: a 3 x 3 block of grey 6 at full opacity.
  // Star 2: radii 1.21 -> 1 and 0.16 -> 0, the zero raised to 1: 3 x 3 of grey 80.
  const WorkBitmap sky = Render(3072, 1536, Stars(2));
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      EXPECT_EQ(sky.Row(465 + dy)[1584 + dx], Grey(6));
      EXPECT_EQ(sky.Row(1401 + dy)[2699 + dx], Grey(80));
    }
  EXPECT_EQ(CountDifferent(sky, FilledBitmap(3072, 1536, Grey(0))), 18);
}

TEST(RenderStars, AerialPerspectiveDimsTowardTheHorizon) {
  StarLayerInput input = Stars(1);
  input.AirDepth = 10;
  // Opacity 303 / 768 * 255 = 100.6 -> 101; grey 6 added at 101: Round(2.38) = 2.
  EXPECT_EQ(Render(3072, 1536, input).Row(465)[1584], Grey(2));
  input.AirDepth = 20;  // twice the depth, half the opacity: 50.3 -> 50, Round(1.18) = 1
  EXPECT_EQ(Render(3072, 1536, input).Row(465)[1584], Grey(1));
}

TEST(RenderStars, SameSeedSameSkyOtherSeedOtherSky) {
  const WorkBitmap a = Render(409, 307, Stars(300, 42));
  EXPECT_TRUE(SamePixels(a, Render(409, 307, Stars(300, 42))));
  EXPECT_FALSE(SamePixels(a, Render(409, 307, Stars(300, 43))));
}

TEST(RenderStars, PreviewStarsAreSinglePixels) {
  const WorkBitmap preview = Render(3072, 1536, Stars(2), true);
  EXPECT_EQ(CountDifferent(preview, FilledBitmap(3072, 1536, Grey(0))), 2);
  EXPECT_EQ(preview.Row(465)[1584], Grey(6));
  EXPECT_EQ(preview.Row(1401)[2699], Grey(80));
}

TEST(RenderStars, NoStarsForZeroOrNegativeCounts) {
  for (int count : {0, -5}) {
    const WorkBitmap sky = Render(100, 50, Stars(count));
    EXPECT_TRUE(SamePixels(sky, FilledBitmap(100, 50, Grey(0))));
  }
}

TEST(RenderStars, AbsurdSizesStayBoundedAndDefined) {
  for (long double size : {33.4L, 1e30L, -7.0L, 1e-30L}) {
    StarLayerInput input = Stars(20);
    input.SizeOfStars = size;
    input.AirDepth = 1e-300L;
    Render(120, 60, input);
  }
  StarLayerInput tiny = Stars(50);
  Render(7, 1, tiny);  // one row: half height 0
}

}  // namespace
}  // namespace horizonmill
