// The sun's direction for a 3D program's key light: the direction rule applied
// to the pixel the sun's disc is centred on, and its JSON.
#include <gtest/gtest.h>

#include "render/RenderObjects.h"
#include "render/RenderSun.h"
#include "render/SunDirection.h"
#include "support/BitmapTesting.h"
#include "support/PanoramaTesting.h"

namespace horizonmill {
namespace {

using testing::AzimuthOf;
using testing::ElevationOf;

TEST(SunDirection, TheDiscsCentrePixelByTheDirectionRule) {
  const struct {
    long double x, y;
    int w, h;
    int cx, cy;
    double azimuth, elevation;
  } cases[] = {
      // The default sun: the middle column and the first row below the horizon
      // line, each half a pixel past the exact middle.
      {0.5L, 0.5L, 3072, 1536, 1536, 768, 180.05859375, -0.05859375},
      {0.25L, 0.25L, 3072, 1536, 768, 384, 90.05859375, 44.94140625},
      {0, 0.5L, 3072, 1536, 0, 768, 0.05859375, -0.05859375},
      // Wrapped as the disc is: x 1.25 is x 0.25, y 1 is the top row.
      {1.25L, 1, 3072, 1536, 768, 0, 90.05859375, 89.94140625},
      {-0.25L, 0.75L, 64, 32, 48, 24, 272.8125, -47.8125},
      // Odd sizes have a true middle pixel.
      {0.5L, 0.5L, 409, 307, 204, 153, 180, 0},
  };
  for (const auto& c : cases) {
    SunSettings sun;
    sun.Position = {c.x, c.y};
    const SunDirection d = DescribeSun(sun, c.w, c.h);
    EXPECT_EQ(d.centre.x, c.cx) << static_cast<double>(c.x);
    EXPECT_EQ(d.centre.y, c.cy) << static_cast<double>(c.y);
    EXPECT_DOUBLE_EQ(d.azimuth, c.azimuth);
    EXPECT_DOUBLE_EQ(d.elevation, c.elevation);
    // The vector agrees with the angles.
    EXPECT_NEAR(AzimuthOf(d.toward), c.azimuth, 1e-9);
    EXPECT_NEAR(ElevationOf(d.toward), c.elevation, 1e-9);
  }
}

TEST(SunDirection, TheDiscIsDrawnWhereItsDirectionSays) {
  // A white sun in Norm mode on black: its one brightest pixel is the centre.
  for (const SunPosition position : {SunPosition{0.3L, 0.4L}, SunPosition{0.95L, 0.1L}}) {
    SunSettings sun;
    sun.Position = position;
    sun.CenterColor = sun.OuterColor = {255, 255, 255, 255};
    sun.MixtureMode = MixtureMode::Norm;
    WorkBitmap image = testing::FilledBitmap(200, 100, BgrPixel{});
    RenderContext context;
    RenderSun(context, image, sun);
    int brightest = -1, count = 0, bx = 0, by = 0;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 200; ++x) {
        const int v = image.Row(y)[x].r;
        if (v > brightest) {
          brightest = v;
          count = 0;
          bx = x;
          by = y;
        }
        count += v == brightest;
      }
    const SunCentre centre = DescribeSun(sun, 200, 100).centre;
    EXPECT_EQ(count, 1);
    EXPECT_EQ(bx, centre.x);
    EXPECT_EQ(by, centre.y);
  }
}

TEST(SunDirection, JsonOfTheDefaultSunAndOfAColouredOne) {
  EXPECT_EQ(SunJson(DescribeSun(SunSettings{}, 3072, 1536)),
            "{\n"
            "  \"azimuth\": 180.05859375,\n"
            "  \"elevation\": -0.05859375,\n"
            "  \"direction\": [-0.001022653, -0.001022654, 0.999998954],\n"
            "  \"imageSize\": [3072, 1536],\n"
            "  \"centerPixel\": [1536, 768],\n"
            "  \"centerColor\": [0, 0, 0],\n"
            "  \"outerColor\": [0, 0, 0],\n"
            "  \"sunlight\": [80, 80, 80],\n"
            "  \"mixtureMode\": \"Add\",\n"
            "  \"sunRatio\": null,\n"
            "  \"sunScale\": null\n"
            "}\n");
  SunSettings sun;
  sun.CenterColor = {255, 240, 200.5f, 255};
  sun.OuterColor = {255, 120, 40, 0};
  sun.Slopes = {2, -3, 0, 1};
  sun.MixtureMode = MixtureMode::Norm;
  const std::string json = SunJson(DescribeSun(sun, 64, 32));
  EXPECT_NE(json.find("\"centerColor\": [255, 240, 200.5],"), std::string::npos) << json;
  EXPECT_NE(json.find("\"outerColor\": [255, 120, 40],"), std::string::npos) << json;
  // The light the objects are shaded with.
  const auto light = ComputeSunlight(sun);
  EXPECT_NE(json.find("\"sunlight\": [" + std::to_string(light[0]) + ", " +
                      std::to_string(light[1]) + ", " + std::to_string(light[2]) + "],"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("\"mixtureMode\": \"Norm\","), std::string::npos);
  // R and k of an HDR output, exactly.
  SunDirection hdr = DescribeSun(sun, 64, 32);
  hdr.sunRatio = 6;
  hdr.sunScale = 12.375;
  const std::string withScale = SunJson(hdr);
  EXPECT_NE(withScale.find("\"sunRatio\": 6,\n  \"sunScale\": 12.375\n}"), std::string::npos)
      << withScale;
}

}  // namespace
}  // namespace horizonmill
