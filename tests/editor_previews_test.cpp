// What the editors' 213 x 209 previews show.
#include <gtest/gtest.h>

#include "image/Placeholders.h"
#include "render/EditorPreviews.h"
#include "render/RenderSky.h"
#include "support/BitmapTesting.h"

namespace horizonmill {
namespace {

using testing::FilledBitmap;
using testing::Grey;

constexpr int W = kEditorPreviewWidth, H = kEditorPreviewHeight;
constexpr BgrPixel kBlack{0, 0, 0}, kWhite{255, 255, 255}, kRed{0, 0, 255};

bool IsDashed(const WorkBitmap& b, int row) {
  for (int x = 0; x < b.Width(); ++x)
    if (!(b.Row(row)[x] == (x % 2 ? kWhite : kBlack))) return false;
  return true;
}

// A picture whose pixel (x, y) holds red x, green y.
PixelImagePtr Coordinates(int w, int h) {
  PixelImagePtr p = MakePixelImage(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p->Row(y)[x] = MakePacked(x, y, 9, 77);
  return p;
}

TEST(EditorPreviews, SkyShowsAMarkerOnTheRowOfEachStop) {
  RenderContext own;
  WorkBitmap preview = FilledBitmap(W, H, Grey(7));
  SkyGradation sky = SkyGradation::Default();
  sky.Count = 4;
  sky.Positions = {0, 52.0L / H, 0.5L, 1};
  sky.Colors[3] = sky.Colors[2];
  RedrawSkyPreview(own, preview, sky);
  for (int y = 0; y < H; ++y) EXPECT_EQ(IsDashed(preview, y), y == 0 || y == 52 || y == 104) << y;
  WorkBitmap plain(W, H);
  RenderSky(own, plain, sky);
  EXPECT_EQ(preview.Row(53)[7], plain.Row(53)[7]);
  EXPECT_EQ(preview.Row(208)[1], plain.Row(208)[1]);  // no marker for the stop at 1.0
}

TEST(EditorPreviews, SunBackgroundIsTheSkyOrWhiteForSubElseBlack) {
  RenderContext context;
  WorkBitmap sky = FilledBitmap(W, H, BgrPixel{10, 20, 30});
  WorkBitmap preview(W, H);
  SunSettings sun;  // black, Add: changes nothing
  RedrawSunPreview(context, preview, sky, true, sun);
  EXPECT_EQ(preview.Row(0)[5], (BgrPixel{10, 20, 30}));
  EXPECT_TRUE(IsDashed(preview, H / 2));
  EXPECT_FALSE(IsDashed(preview, H / 2 + 1));

  for (auto [mode, background] : {std::pair{MixtureMode::Add, kBlack},
                                  {MixtureMode::Norm, kBlack},
                                  {MixtureMode::Sub, kWhite}}) {
    sun.MixtureMode = mode;
    RedrawSunPreview(context, preview, sky, false, sun);
    EXPECT_EQ(preview.Row(3)[3], background) << int(mode);
  }
}

TEST(EditorPreviews, SunAtTheClickedCentreLightsTheCentrePixel) {
  RenderContext context;
  WorkBitmap sky = FilledBitmap(W, H, kBlack);
  WorkBitmap preview(W, H);
  SunSettings sun;
  sun.CenterColor = FloatColour{255, 255, 255, 255};
  sun.Position = {106.0L / W, 104.0L / H};
  RedrawSunPreview(context, preview, sky, true, sun);
  // The disc's centre (W div 2, H div 2) = (106, 104) is not shifted (the
  // shifts Round(-0.5) are 0); row 104 carries the horizon marker.
  EXPECT_GE(preview.Row(103)[106].r, 250);
  EXPECT_EQ(preview.Row(103)[100], preview.Row(103)[112]);
  EXPECT_EQ(preview.Row(100)[106], preview.Row(108)[106]);
  EXPECT_GT(preview.Row(103)[106].r, preview.Row(103)[107].r);
}

TEST(EditorPreviews, PicturePixelsAreTakenNearestWithoutWrap) {
  const PixelImagePtr wide = Coordinates(256, 3);
  // Round(256 / 213 * 212) = Round(254.8) = 255: the right edge reads the last texel.
  EXPECT_EQ(Red(PicturePixelAt(*wide, 212, 0, W, H)), 255);
  EXPECT_EQ(Red(PicturePixelAt(*wide, 106, 0, W, H)), 127);  // 127.4
  EXPECT_EQ(Alpha(PicturePixelAt(*wide, 0, 0, W, H)), 77);   // stored as it is
  // A small picture: the last columns and rows round past its edge and read 0.
  const PixelImagePtr small = Coordinates(10, 10);
  EXPECT_EQ(PicturePixelAt(*small, 212, 0, W, H), 0u);
  EXPECT_EQ(PicturePixelAt(*small, 0, 208, W, H), 0u);
  EXPECT_EQ(PicturePixelAt(*small, 200, 198, W, H), MakePacked(9, 9, 9, 77));
}

TEST(EditorPreviews, KeyColourBlinksRed) {
  const PixelImagePtr picture = Coordinates(213, 209);
  const PackedColour key = MakePacked(5, 6, 9, 255);  // alpha plays no part
  WorkBitmap preview(W, H);
  DrawKeyColourPreview(preview, *picture, key, false);
  EXPECT_EQ(preview.Row(6)[5], (BgrPixel{9, 6, 5}));
  EXPECT_EQ(preview.Row(100)[200], (BgrPixel{9, 100, 200}));
  DrawKeyColourPreview(preview, *picture, key, true);
  EXPECT_EQ(preview.Row(6)[5], kRed);
  EXPECT_EQ(preview.Row(6)[6], (BgrPixel{9, 6, 6}));

  // Without black in the picture, black (the unused colour) blinks nowhere.
  const PackedColour unused = FindUnusedColour(*picture);
  EXPECT_EQ(unused, MakePacked(0, 0, 0, 255));
  DrawKeyColourPreview(preview, *picture, unused, true);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) ASSERT_FALSE(preview.Row(y)[x] == kRed);
}

TEST(EditorPreviews, HolesShowAndArePickedAsTheKeyColour) {
  const PixelImagePtr picture = Coordinates(213, 209);
  ASSERT_TRUE(AddHoleMask(*picture));
  picture->holes[6 * 213 + 5] = 1;  // the pixel (5, 6) is transparent in its file
  for (const PackedColour key : {MakePacked(1, 2, 3), MakePacked(9, 100, 200)}) {
    WorkBitmap preview(W, H);
    DrawKeyColourPreview(preview, *picture, key, false);
    EXPECT_EQ(preview.Row(6)[5], PackedToBgr(key));
    EXPECT_EQ(preview.Row(6)[6], (BgrPixel{9, 6, 6}));
    DrawKeyColourPreview(preview, *picture, key, true);
    EXPECT_EQ(preview.Row(6)[5], kRed);  // blinks with the key colour's pixels
    EXPECT_EQ(preview.Row(6)[6], (BgrPixel{9, 6, 6}));
    // A click on the hole keeps the key colour (the pixel's alpha with it, as
    // a pixel painted in it has); a click elsewhere picks the pixel.
    EXPECT_EQ(KeyColourAt(*picture, 5, 6, W, H, key), WithAlpha(key, 77));
    EXPECT_EQ(KeyColourAt(*picture, 6, 6, W, H, key), MakePacked(6, 6, 9, 77));
    EXPECT_EQ(KeyColourAt(*picture, 6, 6, W, H, key), PicturePixelAt(*picture, 6, 6, W, H));
  }
  // The colour the hole holds is no longer found in the picture.
  for (std::int64_t i = 0; i < 213 * 209; ++i) picture->pixels[i] = MakePacked(0, 0, 0);
  picture->pixels[6 * 213 + 6] = MakePacked(1, 0, 0);
  picture->pixels[6 * 213 + 5] = MakePacked(2, 0, 0);  // under the hole
  EXPECT_EQ(FindUnusedColour(*picture), MakePacked(2, 0, 0));
}

}  // namespace
}  // namespace horizonmill
