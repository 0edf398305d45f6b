// The look-around view's projection: where its pixels look, and what it draws.
#include <gtest/gtest.h>

#include <cmath>

#include "render/LookAround.h"
#include "support/PanoramaTesting.h"

namespace horizonmill {
namespace {

using testing::AzimuthOf;
using testing::Difference;
using testing::ElevationOf;
using testing::SmoothColour;

TEST(LookAround, ThePixelsLookWhereTheViewTurns) {
  const int w = 800, h = 600;
  const struct {
    LookAroundAngles view;
    double px, py;  // a point of the view
    double azimuth, elevation;
  } cases[] = {
      // The centre looks along the heading and elevation.
      {{0, 0, 75}, 400, 300, 0, 0},
      {{90, 0, 75}, 400, 300, 90, 0},
      {{271.5, -40, 60}, 400, 300, 271.5, -40},
      // The top edge's middle is half the field of view above the centre.
      {{123, 0, 75}, 400, 0, 123, 37.5},
      {{123, 10, 90}, 400, 600, 123, -35},
      // Right of the centre lies the greater azimuth (the panorama's order).
      {{10, 0, 90}, 800, 300, 10 + std::atan(800.0 / 600) * 180 / std::numbers::pi, 0},
      {{0, 0, 90}, 0, 300, 360 - std::atan(800.0 / 600) * 180 / std::numbers::pi, 0},
  };
  for (const auto& c : cases) {
    const Direction d = ViewRay(c.view, w, h, c.px, c.py);
    EXPECT_NEAR(AzimuthOf(d), c.azimuth, 1e-9) << c.view.Heading << " " << c.px << "," << c.py;
    EXPECT_NEAR(ElevationOf(d), c.elevation, 1e-9) << c.view.Heading << " " << c.px << "," << c.py;
  }
  // Looking straight up, the view's top points beyond the zenith.
  const Direction above = ViewRay({0, 90, 75}, w, h, 400, 0);
  EXPECT_NEAR(AzimuthOf(above), 180, 1e-9);
  EXPECT_NEAR(ElevationOf(above), 90 - 37.5, 1e-9);
}

TEST(LookAround, TheHorizonStaysLevel) {
  // Points mirrored about the vertical middle line share their elevation at
  // any heading and elevation: the view never rolls. At elevation 0 the
  // middle row is the horizon.
  for (const LookAroundAngles view : {LookAroundAngles{0, 0, 75}, LookAroundAngles{200, 35, 100},
                                      LookAroundAngles{359, -70, 40}}) {
    for (double px : {0.0, 100.0, 333.0}) {
      for (double py : {0.0, 299.5, 580.0}) {
        EXPECT_NEAR(ElevationOf(ViewRay(view, 800, 600, px, py)),
                    ElevationOf(ViewRay(view, 800, 600, 800 - px, py)), 1e-9);
      }
      if (view.Elevation == 0) {
        EXPECT_NEAR(ElevationOf(ViewRay(view, 800, 600, px, 300)), 0, 1e-9);
      }
    }
  }
}

TEST(LookAround, DraggingByThePixelsOfADegreeTurnsByADegree) {
  const LookAroundAngles view{40, 0, 75};
  const double step = DegreesPerPixel(view, 600);
  EXPECT_NEAR(step,
              std::atan(std::tan(37.5 * std::numbers::pi / 180) / 300) * 180 / std::numbers::pi,
              1e-12);
  EXPECT_NEAR(AzimuthOf(ViewRay(view, 800, 600, 401, 300)), 40 + step, 1e-9);
}

TEST(LookAround, ValuesAreHeldToTheirRanges) {
  const LookAroundAngles v = Settled({-30, 95, 500});
  EXPECT_EQ(v.Heading, 330);
  EXPECT_EQ(v.Elevation, 90);
  EXPECT_EQ(v.FieldOfView, kMaxFieldOfView);
  EXPECT_EQ(Settled({720, -91, 1}).Heading, 0);
  EXPECT_EQ(Settled({720, -91, 1}).Elevation, -90);
  EXPECT_EQ(Settled({720, -91, 1}).FieldOfView, kMinFieldOfView);
  EXPECT_EQ(Settled({std::nan(""), std::nan(""), std::nan("")}).FieldOfView,
            LookAroundAngles{}.FieldOfView);
}

TEST(LookAround, EveryPixelIsThePanoramaInItsDirectionAcrossTheSeam) {
  // Looking at azimuth 0, where the panorama's left and right edges meet, and
  // up past the zenith: each pixel is the colour of its direction.
  const WorkBitmap panorama = testing::PaintedPanorama(1024, 512, SmoothColour);
  for (const LookAroundAngles view : {LookAroundAngles{0, 0, 90}, LookAroundAngles{180, 70, 110}}) {
    for (int threads : {1, 3}) {
      WorkBitmap frame(64, 48);
      RenderLookAround(panorama, view, frame, threads);
      int worst = 0;
      for (int j = 0; j < 48; ++j)
        for (int i = 0; i < 64; ++i)
          worst = std::max(
              worst,
              Difference(frame.Row(j)[i], SmoothColour(ViewRay(view, 64, 48, i + 0.5, j + 0.5))));
      EXPECT_LE(worst, 2) << view.Heading << " threads " << threads;
    }
  }
  WorkBitmap frame(8, 6);
  RenderLookAround(WorkBitmap(), LookAroundAngles{}, frame);
  EXPECT_EQ(frame.Row(3)[4], BgrPixel{});
}

}  // namespace
}  // namespace horizonmill
