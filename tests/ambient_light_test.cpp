// The ambient light's coefficients against what they stand for: the light on
// a surface worked out directly from the pixels, the irradiance of a single
// bright pixel by its zonal series, the window of the engines' own tool, and
// the same numbers for any number of threads.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>

#include "codecs/AmbientLight.h"
#include "codecs/HdrLight.h"
#include "render/PanoramaDirection.h"

namespace horizonmill {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kW = 256, kH = 128;

// A picture whose pixel (x, y) has the light light(direction, colour).
LinearPicture PictureOf(const std::function<float(Direction, int)>& light) {
  return {kW, kH, [light](int y, float* rgb) {
            for (int x = 0; x < kW; ++x)
              for (int c = 0; c < 3; ++c) rgb[3 * x + c] = light(PixelDirection(x, y, kW, kH), c);
          }};
}

// E(n) / π straight from the pixels: Σ L · max(0, n·d) · Ω / π.
double DirectIrradiance(const LinearPicture& picture, int colour, Direction n) {
  std::vector<float> rgb(kW * 3);
  double sum = 0;
  for (int y = 0; y < kH; ++y) {
    picture.row(y, rgb.data());
    for (int x = 0; x < kW; ++x) {
      const Direction d = PixelDirection(x, y, kW, kH);
      sum += rgb[3 * x + colour] * std::max(0.0, n.x * d.x + n.y * d.y + n.z * d.z) *
             PixelSolidAngle(y, kW, kH);
    }
  }
  return sum / kPi;
}

const Direction kNormals[] = {{0, 1, 0}, {0, -1, 0},         {1, 0, 0},          {0, 0, -1},
                              {0, 0, 1}, {0.6, 0.64, -0.48}, {-0.36, -0.48, 0.8}};

// A sky whose light varies at most linearly with the direction is lit exactly
// by the first two bands: E/π = a + (2/3) b·n for L = a + b·d.
TEST(AmbientLight, SmoothSkiesGiveTheIrradianceOfThePixels) {
  const struct {
    const char* what;
    std::function<float(Direction, int)> light;
  } skies[] = {
      {"constant", [](Direction, int c) { return 0.25f * static_cast<float>(c + 1); }},
      {"gradient",
       [](Direction d, int c) {
         return static_cast<float>(1 + 0.5 * d.y + 0.25 * d.x - 0.125 * c * d.z);
       }},
  };
  for (const auto& sky : skies) {
    const LinearPicture picture = PictureOf(sky.light);
    const IrradianceSh sh = IrradianceOf(picture, 2);
    EXPECT_EQ(sh.window, kShWindow) << sky.what;
    for (const Direction& n : kNormals)
      for (int c = 0; c < 3; ++c) {
        const double direct = DirectIrradiance(picture, c, n);
        // The halves the EXR holds are within 2^-11 of the light.
        EXPECT_NEAR(IrradianceAt(sh.unwindowed, c, n.x, n.y, n.z), direct, direct * 2e-3)
            << sky.what << " at " << n.x << "," << n.y << "," << n.z;
      }
  }
}

// One bright pixel: the irradiance its coefficients give is the series of the
// clamped cosine to its second band, (LΩ/π)(1/4 + cos γ / 2 + 5/32 (3 cos² γ − 1)),
// γ the angle between the normal and the pixel. The window is lowered until
// that is nowhere below 0, and no further.
TEST(AmbientLight, ABrightPixelIsTheSeriesOfTheCosineLobeAndIsWindowedToStayLight) {
  const int px = 37, py = 41;
  const Direction d = PixelDirection(px, py, kW, kH);
  const LinearPicture picture{kW, kH, [](int y, float* rgb) {
                                std::fill(rgb, rgb + kW * 3, 0.0f);
                                if (y == py) rgb[3 * px] = rgb[3 * px + 1] = rgb[3 * px + 2] = 1000;
                              }};
  const IrradianceSh sh = IrradianceOf(picture, 3);
  const double power = 1000 * PixelSolidAngle(py, kW, kH) / kPi;
  for (const Direction& n : kNormals) {
    const double c = n.x * d.x + n.y * d.y + n.z * d.z;
    const double series = power * (0.25 + c / 2 + 5.0 / 32 * (3 * c * c - 1));
    EXPECT_NEAR(IrradianceAt(sh.unwindowed, 1, n.x, n.y, n.z), series, power * 1e-6);
  }
  EXPECT_LT(sh.window, kShWindow);
  double lowest = 1e9;
  for (int i = 0; i <= 200; ++i) {  // along the great circle through the pixel and the poles
    const double t = kPi * i / 100;
    const Direction n{std::cos(t) * d.x, std::sin(t), std::cos(t) * d.z};
    const double len = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    lowest = std::min(lowest, IrradianceAt(sh.coefficients, 0, n.x / len, n.y / len, n.z / len));
  }
  EXPECT_GT(lowest, -power * 1e-3);
  EXPECT_LT(lowest, power * 0.02);  // lowered only as far as needed
}

// With nothing to lower, the window is the engines' tool's: each band of the
// first two kept at 0.960361 and 0.849777 of itself; and the threads do not
// change a number.
TEST(AmbientLight, TheWindowOfTheEnginesAndTheSameNumbersOnAnyThreads) {
  const LinearPicture picture = PictureOf(
      [](Direction d, int c) { return static_cast<float>(2 + d.x * d.y + 0.5 * d.z + 0.1 * c); });
  const IrradianceSh one = IrradianceOf(picture, 1);
  const double kept[] = {1,        0.960361, 0.960361, 0.960361, 0.849777,
                         0.849777, 0.849777, 0.849777, 0.849777};
  for (int i = 0; i < kShCoefficients; ++i)
    for (int c = 0; c < 3; ++c) {
      EXPECT_NEAR(one.coefficients[i][c], one.unwindowed[i][c] * kept[i], 1e-6) << i;
      for (int threads : {2, 7})
        EXPECT_EQ(IrradianceOf(picture, threads).coefficients[i][c], one.coefficients[i][c]) << i;
    }
  const std::string json = IrradianceShJson(one, kW, kH, 6);
  EXPECT_NE(json.find("\"convention\": \"irradiance, pre-scaled base\""), std::string::npos);
  EXPECT_NE(json.find("\"imageSize\": [256, 128]"), std::string::npos) << json;
}

}  // namespace
}  // namespace horizonmill
