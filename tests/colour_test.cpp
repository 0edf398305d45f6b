#include "image/Colour.h"

#include <gtest/gtest.h>

#include <cmath>

#include "image/WorkBitmap.h"

namespace horizonmill {
namespace {

TEST(Colour, ConversionsBetweenPackedBgrAndFloat) {
  const PackedColour red = MakeOpaque(0x0000ff);
  EXPECT_EQ(red, 0xff0000ffu);
  const BgrPixel p = PackedToBgr(red);
  EXPECT_EQ(p.b, 0);
  EXPECT_EQ(p.g, 0);
  EXPECT_EQ(p.r, 255);
  EXPECT_EQ(BgrToPacked(BgrPixel{1, 2, 3}), MakePacked(3, 2, 1, 255));
  EXPECT_EQ(ColorRefToBgr(0x00332211u), (BgrPixel{0x33, 0x22, 0x11}));
  EXPECT_EQ(UnpackColour(MakePacked(1, 2, 3, 0)), (FloatColour{1, 2, 3, 255}));
}

TEST(Colour, PackFloatColourClampsRoundsToEvenAndWrapsAlpha) {
  EXPECT_EQ(PackFloatColour(FloatColour{300, -5, 127.5f, 255}), MakePacked(255, 0, 128, 255));
  EXPECT_EQ(PackFloatColour(FloatColour{126.5f, 0.5f, 1.5f, 256}), MakePacked(126, 0, 2, 0));
  EXPECT_EQ(Alpha(PackFloatColour(FloatColour{10, 20, 30, -1})), 255);
  EXPECT_EQ(Alpha(PackFloatColour(FloatColour{0, 0, 0, NAN})), 0);
  EXPECT_EQ(PackFloatColourRGB(255.5L, 254.5L, -0.4L), MakePacked(255, 254, 0, 0));
}

// The blend arithmetic against its formulas in floating point, for every
// source, destination and alpha.
TEST(Colour, BlendColourMatchesTheFloatingPointFormulasEverywhere) {
  for (int a = 0; a < 256; ++a) {
    for (int s = 0; s < 256; ++s) {
      const int scaled = static_cast<int>(std::nearbyint((s / 255.0) * a));
      for (int d = 0; d < 256; d += (a % 5 == 0 ? 1 : 17)) {
        const PackedColour src = MakePacked(s, s, s, a);
        const BgrPixel dst{static_cast<std::uint8_t>(d), static_cast<std::uint8_t>(d),
                           static_cast<std::uint8_t>(d)};
        ASSERT_EQ(BlendColour(src, MixtureMode::Add, dst)->r, std::min(255, d + scaled));
        ASSERT_EQ(BlendColour(src, MixtureMode::Sub, dst)->g, std::max(0, d - scaled));
        ASSERT_EQ(BlendColour(src, MixtureMode::Norm, dst)->b,
                  static_cast<int>(std::nearbyint(((255 - a) * d + a * s) / 256.0)));
        ASSERT_EQ(BlendColour(src, MixtureMode::AddPlain, dst)->r, std::min(255, d + s));
        ASSERT_EQ(BlendColour(src, MixtureMode::SubPlain, dst)->r, std::max(0, d - s));
      }
    }
  }
}

// The per-pixel blend of the loops (Norm, Add and Sub work on their three
// channels at once)
// against BlendColour, for every alpha, source and destination, each channel
// of a pixel holding a different value.
TEST(Colour, BlendIntoModeGivesBlendColourEverywhere) {
  auto each_mode = [](auto check) {
    check.template operator()<MixtureMode::Add>();
    check.template operator()<MixtureMode::Sub>();
    check.template operator()<MixtureMode::Norm>();
    check.template operator()<MixtureMode::AddPlain>();
    check.template operator()<MixtureMode::SubPlain>();
  };
  each_mode([]<std::uint8_t Mode>() {
    for (int a = 0; a < 256; ++a)
      for (int s = 0; s < 256; ++s)
        for (int d = 0; d < 256;
             d += Mode == MixtureMode::AddPlain || Mode == MixtureMode::SubPlain ? 7 : 1) {
          const PackedColour src = MakePacked(s, 255 - s, s ^ 0x5a, a);
          BgrPixel dst{static_cast<std::uint8_t>(d), static_cast<std::uint8_t>(255 - d),
                       static_cast<std::uint8_t>(d ^ 0xa5)};
          const BgrPixel expected = a == 0 ? dst : *BlendColour(src, Mode, dst);
          BlendIntoMode<Mode>(dst, src);
          ASSERT_EQ(dst, expected)
              << "mode " << int{Mode} << " a " << a << " s " << s << " d " << d;
        }
  });
}

TEST(Colour, NormUses256AsDivisorWithHalvesToEven) {
  EXPECT_EQ(BlendColour(MakePacked(255, 255, 255, 255), MixtureMode::Norm, BgrPixel{})->r, 254);
  EXPECT_EQ(BlendColour(MakePacked(255, 255, 255, 128), MixtureMode::Norm, BgrPixel{})->r, 128);
  EXPECT_FALSE(BlendColour(MakePacked(1, 1, 1, 255), 3, BgrPixel{}).has_value());
  EXPECT_FALSE(BlendColour(MakePacked(1, 1, 1, 255), 6, BgrPixel{}).has_value());
}

TEST(Colour, TransparentOrUnlistedBlendsChangeNothing) {
  WorkBitmap bitmap(2, 1);
  FillWorkBitmap(bitmap, BgrPixel{10, 20, 30});
  BlendBitmapPixel(bitmap, 0, 0, MixtureMode::AddPlain, false, MakePacked(200, 200, 200, 0));
  BlendBitmapPixel(bitmap, 1, 0, 3, false, MakePacked(200, 200, 200, 255));
  EXPECT_EQ(bitmap.Row(0)[0], (BgrPixel{10, 20, 30}));
  EXPECT_EQ(bitmap.Row(0)[1], (BgrPixel{10, 20, 30}));
  BlendBitmapPixel(bitmap, 2, 0, MixtureMode::Add, true,
                   MakePacked(1, 1, 1, 255));  // wraps to x = 0
  EXPECT_EQ(bitmap.Row(0)[0], (BgrPixel{11, 21, 31}));
}

TEST(Colour, LerpColourFadesTowardATransparentSideWithoutItsColour) {
  const PackedColour red = MakePacked(255, 0, 0, 255);
  EXPECT_EQ(LerpColour(red, MakePacked(0, 0, 0, 0), 0.5L), MakePacked(255, 0, 0, 127));
  EXPECT_EQ(LerpColour(MakePacked(9, 9, 9, 0), red, 0.25L), MakePacked(255, 0, 0, 191));
  // Truncation, and exactness for equal inputs at awkward weights.
  EXPECT_EQ(LerpColour(MakePacked(10, 0, 0, 255), MakePacked(0, 0, 0, 255), 0.99L),
            MakePacked(9, 0, 0, 255));
  for (long double t : {0.1L, 0.3L, 0.7L, 0.9999L})
    EXPECT_EQ(LerpBgr(BgrPixel{255, 77, 1}, BgrPixel{255, 77, 1}, t), (BgrPixel{255, 77, 1}));
}

}  // namespace
}  // namespace horizonmill
