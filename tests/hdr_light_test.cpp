// The panorama in linear light: the sun layer's weights, the lobe around the
// sun's direction and the factor k that makes it light a facing surface R times
// as much as the rest of the picture, and the HDR picture, which is the
// eight-bit one decoded wherever the lobe does not reach.
#include <gtest/gtest.h>
#include <half.h>

#include <cmath>
#include <numbers>

#include "codecs/HdrLight.h"
#include "codecs/ImageOutput.h"
#include "render/Easing.h"
#include "render/RenderSky.h"
#include "render/RenderSun.h"
#include "render/SunDirection.h"
#include "render/SunWeights.h"
#include "support/BitmapTesting.h"
#include "support/HdrReading.h"

namespace horizonmill {
namespace {

using testing::SamePixels;

WorkBitmap SkyOf(int w, int h) {
  WorkBitmap bitmap(w, h);
  RenderContext context;
  RenderSky(context, bitmap, SkyGradation::Default());
  return bitmap;
}

// The opacity byte the sun gives the point of its disc at (dx, dy) from the
// centre, the plain way: SlopedEase from 255 to 0 over the radius, packed.
int ReferenceAlpha(const SunSettings& sun, long double R, int dx, int dy) {
  const long double d =
      std::sqrt(static_cast<long double>(dx) * dx + static_cast<long double>(dy) * dy);
  if (d > R) return 0;
  FloatColour c;
  c.a = static_cast<float>(SlopedEase(255, 0, 0, static_cast<double>(R), static_cast<double>(d),
                                      static_cast<double>(sun.Slopes[3])));
  return Alpha(PackFloatColour(c));
}

// The weight the sun mixes into every pixel of a W x H picture, the plain way:
// each point of the disc moved by the position's shift, with wrap-around.
std::vector<float> ReferenceWeights(const SunSettings& sun, int W, int H) {
  std::vector<float> weights(static_cast<std::size_t>(W) * H, 0.0f);
  const long double R = Min(W, H) / 2.0L;
  const int cx = W / 2, cy = H / 2;
  const int ox = static_cast<int>(std::nearbyintl((sun.Position.X - 0.5L) * W));
  const int oy = static_cast<int>(std::nearbyintl((sun.Position.Y - 0.5L) * H));
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const int tx = ((x + ox) % W + W) % W, ty = ((y + oy) % H + H) % H;
      weights[static_cast<std::size_t>(ty) * W + tx] =
          SunWeightOf(sun.MixtureMode, ReferenceAlpha(sun, R, x - cx, y - cy));
    }
  return weights;
}

struct SunCase {
  int w, h;
  long double x, y;
  std::array<long double, 4> slopes;
  std::uint8_t mode;
  bool oneColour;  // centre and rim the same colour
};

SunSettings SunOf(const SunCase& c) {
  SunSettings sun;
  sun.CenterColor = FloatColour{255, 230, 180, 255};
  sun.OuterColor = c.oneColour ? sun.CenterColor : FloatColour{200, 60, 20, 255};
  sun.Position = {c.x, c.y};
  sun.Slopes = c.slopes;
  sun.MixtureMode = c.mode;
  return sun;
}

TEST(SunWeights, MatchTheSunLayersMixingInEveryMode) {
  const SunCase cases[] = {
      {128, 64, 0.3L, 0.47L, {2, 2, 3, 3}, MixtureMode::Add, false},
      {128, 64, 0.3L, 0.47L, {0, 0, 0, 1}, MixtureMode::Add, true},
      {101, 77, 0.9L, 0.1L, {1, -2, 0, -1}, MixtureMode::Sub, true},
      {101, 77, 0.9L, 0.1L, {1, -2, 0, 0.5L}, MixtureMode::Sub, false},
      {96, 96, 0.0L, 0.5L, {0, 0, 0, 0}, MixtureMode::Norm, true},
      {200, 100, 1.7L, -0.4L, {3, 3, 3, 4}, MixtureMode::Norm, false},
      {64, 32, 0.5L, 0.5L, {0, 0, 0, 2}, MixtureMode::AddPlain, true},
  };
  for (const SunCase& c : cases) {
    const SunSettings sun = SunOf(c);
    const WorkBitmap before = SkyOf(c.w, c.h);
    WorkBitmap kept = SkyOf(c.w, c.h), plain = SkyOf(c.w, c.h);
    SunWeights weights;
    RenderContext context;
    context.SunWeightsOut = &weights;
    RenderSun(context, kept, sun);
    RenderContext plainContext;
    RenderSun(plainContext, plain, sun);
    const std::string what =
        std::to_string(c.w) + "x" + std::to_string(c.h) + " mode " + std::to_string(c.mode);
    // Keeping the weights changes no pixel.
    EXPECT_TRUE(SamePixels(kept, plain)) << what;
    ASSERT_EQ(weights.Width(), c.w);
    ASSERT_EQ(weights.Height(), c.h);
    const std::vector<float> expected = ReferenceWeights(sun, c.w, c.h);
    int wrongWeights = 0, wrongMix = 0;
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) {
        const float w = weights.At(x, y);
        wrongWeights += w != expected[static_cast<std::size_t>(y) * c.w + x];
        if (!c.oneColour || c.mode == MixtureMode::AddPlain) continue;
        // With one colour, the pixel is the blend of that colour at the
        // opacity the weight stands for.
        const int alpha =
            static_cast<int>(std::nearbyint(w * (c.mode == MixtureMode::Norm ? 256.0f : 255.0f)));
        const PackedColour colour = MakePacked(255, 230, 180, static_cast<std::uint32_t>(alpha));
        BgrPixel mixed = before.Row(y)[x];
        BlendInto(mixed, colour, c.mode);
        wrongMix += !(mixed == kept.Row(y)[x]);
      }
    EXPECT_EQ(wrongWeights, 0) << what;
    EXPECT_EQ(wrongMix, 0) << what;
  }
}

TEST(SunWeights, AreSetAnewByEachRenderAndZeroForASunThatChangesNothing) {
  SunWeights weights;
  ASSERT_TRUE(weights.Reset(64, 32));
  weights.Row(3)[5] = 0.5f;
  RenderContext context;
  context.SunWeightsOut = &weights;
  WorkBitmap sky = SkyOf(64, 32);
  RenderSun(context, sky, SunSettings{});  // black on Add: nothing mixed in
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(weights.At(x, y), 0.0f) << x << "," << y;
  // Another size: the weights follow the target.
  WorkBitmap other = SkyOf(30, 20);
  SunSettings sun;
  sun.CenterColor = sun.OuterColor = {255, 255, 255, 255};
  RenderSun(context, other, sun);
  EXPECT_EQ(weights.Width(), 30);
  EXPECT_EQ(weights.At(15, 10), 1.0f);  // the centre: opacity 255 on Add
}

// Σ over the pixels of a W x H panorama of value(x, y) times the integral of
// f(d) over the pixel's part of the sphere, each taken on 4 x 4 samples of
// equal area (azimuth and the sine of the elevation in even steps); pixels of
// value 0 are passed over.
template <typename Value, typename F>
double OverPixels(int W, int H, Value value, F f) {
  constexpr int kSteps = 4;
  double total = 0;
  for (int y = 0; y < H; ++y) {
    const double top = std::sin((90 - 180.0 * y / H) * std::numbers::pi / 180);
    const double bottom = std::sin((90 - 180.0 * (y + 1) / H) * std::numbers::pi / 180);
    const double area = 2 * std::numbers::pi / W * (top - bottom) / (kSteps * kSteps);
    for (int x = 0; x < W; ++x) {
      const double v = value(x, y);
      if (v == 0) continue;
      double sum = 0;
      for (int j = 0; j < kSteps; ++j) {
        const double s = bottom + (top - bottom) * (j + 0.5) / kSteps;
        const double phi = std::asin(s) * 180 / std::numbers::pi;
        for (int i = 0; i < kSteps; ++i)
          sum += f(DirectionOf(360.0 * (x + (i + 0.5) / kSteps) / W, phi));
      }
      total += v * sum * area;
    }
  }
  return total;
}

// The light on a surface facing `n` from a function of the pixel.
template <typename Radiance>
double IntegrateFacing(int W, int H, Direction n, Radiance radiance) {
  return OverPixels(W, H, radiance,
                    [&](Direction d) { return std::max(0.0, d.x * n.x + d.y * n.y + d.z * n.z); });
}

double Degrees(Direction a, Direction b) {
  const double c = a.x * b.x + a.y * b.y + a.z * b.z;
  return std::acos(std::clamp(c, -1.0, 1.0)) * 180 / std::numbers::pi;
}

// A sky and its sun at a given azimuth and elevation (to the nearest pixel),
// rendered with the weights kept, and the light the HDR outputs add to it.
struct LitSky {
  WorkBitmap picture;
  SunWeights weights;
  SunLight light;
  Direction sun;

  LitSky(int w, int h, double azimuth, double elevation, std::uint8_t mode, double ratio,
         bool groundOn)
      : picture(SkyOf(w, h)) {
    SunSettings settings = SunOf({w, h, 0, 0, {2, 2, 3, 3}, mode, false});
    // The disc's centre is moved from pixel (w / 2, h / 2) by whole pixels.
    const int middleColumn = w / 2, middleRow = h / 2;
    settings.Position.X =
        0.5L + static_cast<long double>(std::floor(azimuth / 360 * w) - middleColumn) / w;
    settings.Position.Y =
        0.5L + static_cast<long double>(std::floor((90 - elevation) / 180 * h) - middleRow) / h;
    RenderContext context;
    context.SunWeightsOut = &weights;
    RenderSun(context, picture, settings);
    light = ComputeSunLight(picture, weights, settings, ratio, groundOn);
    sun = DescribeSun(settings, w, h).toward;
  }
  // The luminance the outputs add at pixel (x, y).
  double Added(int x, int y) const {
    float with[3], without[3];
    SampleLinear(picture, light.Glow(), static_cast<float>(x), static_cast<float>(y), with);
    SampleLinear(picture, SunGlow{}, static_cast<float>(x), static_cast<float>(y), without);
    return Luminance(with[0] - without[0], with[1] - without[1], with[2] - without[2]);
  }
  double Ratio() const {
    const double rest = IntegrateFacing(picture.Width(), picture.Height(), sun, [&](int x, int y) {
      const BgrPixel p = picture.Row(y)[x];
      return Luminance(SrgbToLinear(p.r / 255.0), SrgbToLinear(p.g / 255.0),
                       SrgbToLinear(p.b / 255.0));
    });
    return IntegrateFacing(picture.Width(), picture.Height(), sun,
                           [&](int x, int y) { return Added(x, y); }) /
           rest;
  }
};

// The added light is centred on the sun's direction and gives a surface facing
// the sun R times the rest's light, however high the sun stands.
TEST(SunLight, TheAddedSunIsCentredOnTheSunAndGivesRTimesTheRestsLight) {
  struct Case {
    double azimuth, elevation;
    std::uint8_t mode;
    double ratio;
  };
  const Case cases[] = {
      {200, -5, MixtureMode::Add, 6}, {10, 0, MixtureMode::Add, 6},
      {90, 5, MixtureMode::Add, 6},   {300, 18, MixtureMode::Norm, 0.5},
      {45, 36, MixtureMode::Add, 6},  {180, 54, MixtureMode::Add, 20},
      {270, 72, MixtureMode::Add, 6}, {359, 81, MixtureMode::AddPlain, 6},
      {120, 89, MixtureMode::Add, 6},
  };
  for (const Case& c : cases) {
    const LitSky sky(512, 256, c.azimuth, c.elevation, c.mode, c.ratio, false);
    ASSERT_GT(sky.light.scale, 0);
    const auto added = [&](int x, int y) { return sky.Added(x, y); };
    const Direction centre =
        Normalized({OverPixels(512, 256, added, [](Direction d) { return d.x; }),
                    OverPixels(512, 256, added, [](Direction d) { return d.y; }),
                    OverPixels(512, 256, added, [](Direction d) { return d.z; })});
    EXPECT_LT(Degrees(centre, sky.sun), 1) << "elevation " << c.elevation;
    EXPECT_NEAR(sky.Ratio(), c.ratio, c.ratio * 0.01) << "elevation " << c.elevation;
  }
}

// A ground lets no sunlight through: a sun on the horizon gives part of its
// light, one below it none, one well above it all.
TEST(SunLight, TheGroundTakesTheLightOfASunThatSets) {
  for (const auto& [elevation, share] :
       {std::pair{18.0, 1.0}, std::pair{0.0, 0.5}, std::pair{-5.0, 0.0}}) {
    const LitSky open(512, 256, 30, elevation, MixtureMode::Add, 6, false);
    const LitSky covered(512, 256, 30, elevation, MixtureMode::Add, 6, true);
    EXPECT_EQ(covered.light.scale, open.light.scale);
    EXPECT_NEAR(covered.Ratio(), 6 * share, 6 * 0.15) << "elevation " << elevation;
    for (int x = 0; x < 512; ++x) ASSERT_EQ(covered.Added(x, 129), 0) << x;  // below the horizon
  }
}

TEST(SunLight, NothingIsAddedForADarkeningSunNoRatioOrNoLight) {
  const SunCase base{128, 64, 0.3L, 0.47L, {2, 2, 3, 3}, MixtureMode::Add, false};
  struct Case {
    const char* what;
    std::uint8_t mode;
    double ratio;
    FloatColour centre;
  };
  const Case cases[] = {
      {"Sub", MixtureMode::Sub, 6, {255, 230, 180, 255}},
      {"SubPlain", MixtureMode::SubPlain, 6, {255, 230, 180, 255}},
      {"R = 0", MixtureMode::Add, 0, {255, 230, 180, 255}},
      {"a black disc", MixtureMode::Norm, 6, {0, 0, 0, 255}},
      {"no mode", 3, 6, {255, 230, 180, 255}},
  };
  for (const Case& c : cases) {
    SunSettings sun = SunOf(base);
    sun.MixtureMode = c.mode;
    sun.CenterColor = c.centre;
    WorkBitmap picture = SkyOf(base.w, base.h);
    SunWeights weights;
    RenderContext context;
    context.SunWeightsOut = &weights;
    RenderSun(context, picture, sun);
    const SunLight light = ComputeSunLight(picture, weights, sun, c.ratio, false);
    EXPECT_EQ(light.scale, 0) << c.what;
    EXPECT_FALSE(light.Glow().Adds()) << c.what;
  }
  // Weights of another size (none kept), and weights a render stopped before
  // the sun left at 0, add nothing either.
  EXPECT_EQ(ComputeSunLight(SkyOf(64, 32), SunWeights(), SunOf(base), 6, false).scale, 0);
  SunWeights untouched;
  ASSERT_TRUE(untouched.Reset(64, 32));
  EXPECT_EQ(ComputeSunLight(SkyOf(64, 32), untouched, SunOf(base), 6, false).scale, 0);
}

TEST(HdrLight, DecodingAndTheSphere) {
  EXPECT_EQ(SrgbByteToLinear(0), 0.0f);
  EXPECT_EQ(SrgbByteToLinear(255), 1.0f);
  EXPECT_FLOAT_EQ(SrgbByteToLinear(10), 10 / 255.0f / 12.92f);
  EXPECT_NEAR(SrgbByteToLinear(128), 0.2158605, 1e-6);
  EXPECT_NEAR(SrgbByteToLinear(188), 0.5028865, 1e-6);
  // The pixels' solid angles cover the sphere, the rows near the horizon most.
  for (const auto& [w, h] : {std::pair{64, 32}, std::pair{409, 307}, std::pair{3072, 1536}}) {
    double total = 0;
    for (int y = 0; y < h; ++y) total += w * PixelSolidAngle(y, w, h);
    EXPECT_NEAR(total, 4 * std::numbers::pi, 1e-9) << w << "x" << h;
    EXPECT_GT(PixelSolidAngle(h / 2, w, h), PixelSolidAngle(0, w, h));
  }
  // A white panorama lights a surface with π, whichever way it faces.
  const WorkBitmap white = testing::FilledBitmap(720, 360, BgrPixel{255, 255, 255});
  for (const Direction n : {Direction{0, 1, 0}, Direction{1, 0, 0}, Normalized({1, -2, 3})})
    EXPECT_NEAR(FacingIrradiance(white, n), std::numbers::pi, 1e-3);
}

TEST(HdrLight, TheExrIsTheEightBitPictureDecodedWhereTheSunDoesNotReach) {
  const SunCase c{96, 48, 0.2L, 0.45L, {1, 1, 1, 2}, MixtureMode::Add, false};
  const SunSettings sun = SunOf(c);
  WorkBitmap picture = SkyOf(c.w, c.h);
  SunWeights weights;
  RenderContext context;
  context.SunWeightsOut = &weights;
  RenderSun(context, picture, sun);
  const SunLight light = ComputeSunLight(picture, weights, sun, 6, false);
  const SunGlow glow = light.Glow();
  ASSERT_TRUE(glow.Adds());
  MemorySink sink;
  EncodeImage(picture, ImageFormat::Exr, {.metadata = ImageMetadata::Panorama, .glow = &glow},
              sink);
  const testing::ExrFile exr = testing::ReadExr(sink.Bytes());
  ASSERT_EQ(exr.picture.width, c.w);
  EXPECT_EQ(exr.envmap, Imf::ENVMAP_LATLONG);  // 2 : 1
  int untouched = 0, wrong = 0, raised = 0;
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      const BgrPixel p = picture.Row(y)[x];
      const float decoded[] = {SrgbByteToLinear(p.r), SrgbByteToLinear(p.g), SrgbByteToLinear(p.b)};
      const float* hdr = exr.picture.At(x, y);
      const float lobe = light.lobe->At(x, y);
      if (lobe == 0) {
        ++untouched;
        for (int k = 0; k < 3; ++k) wrong += hdr[k] != static_cast<float>(half(decoded[k]));
      } else {
        raised += hdr[0] > decoded[0] && hdr[1] > decoded[1] && hdr[2] > decoded[2];
        const float* sunAdded = glow.scale.data();
        for (int k = 0; k < 3; ++k)
          wrong += std::abs(hdr[k] - (decoded[k] + sunAdded[k] * lobe)) > hdr[k] / 1000;
      }
    }
  EXPECT_GT(untouched, c.w * c.h / 4);
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(raised, 0);
  // Without the glow the whole picture is decoded, and a picture that is not
  // 2 : 1 carries no environment-map mark.
  MemorySink plainSink;
  EncodeImage(picture, ImageFormat::Exr, {}, plainSink);
  const testing::ExrFile plain = testing::ReadExr(plainSink.Bytes());
  EXPECT_FALSE(plain.envmap.has_value());
  EXPECT_EQ(plain.picture.At(c.w / 5, c.h / 2)[1],
            static_cast<float>(half(SrgbByteToLinear(picture.Row(c.h / 2)[c.w / 5].g))));
  MemorySink wide;
  EncodeImage(SkyOf(90, 30), ImageFormat::Exr, {.metadata = ImageMetadata::Panorama}, wide);
  EXPECT_FALSE(testing::ReadExr(wide.Bytes()).envmap.has_value());
}

TEST(HdrLight, SamplingMixesLinearValuesAcrossTheEdge) {
  // Two columns: black and white; halfway between the last and the first.
  WorkBitmap picture(2, 1);
  picture.Row(0)[0] = BgrPixel{0, 0, 0};
  picture.Row(0)[1] = BgrPixel{255, 255, 255};
  float rgb[3];
  SampleLinear(picture, SunGlow{}, 1.5f, 0, rgb);
  EXPECT_FLOAT_EQ(rgb[0], 0.5f);  // in linear light, not 0.5 of the encoded value
  // A quarter left of column 0 is a quarter of the way from it to the last
  // column; the rows are held below the bottom one.
  SampleLinear(picture, SunGlow{}, -0.25f, 3, rgb);
  EXPECT_FLOAT_EQ(rgb[1], 0.25f);
  SampleLinear(picture, SunGlow{}, std::nanf(""), 0, rgb);
  EXPECT_EQ(rgb[2], 0.0f);
}

}  // namespace
}  // namespace horizonmill
