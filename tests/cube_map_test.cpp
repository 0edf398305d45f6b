// The panorama's direction rule, the cube map's faces and their export.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "codecs/CubeMapExport.h"
#include "image/BmpReader.h"
#include "platform/FileError.h"
#include "render/CubeMap.h"
#include "render/PanoramaDirection.h"
#include "support/BitmapTesting.h"
#include "support/PanoramaTesting.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::AzimuthOf;
using testing::CompareSeams;
using testing::CubeHit;
using testing::CubeLookup;
using testing::Difference;
using testing::ElevationOf;
using testing::PaintedPanorama;
using testing::SmoothColour;
using testing::TempDir;

std::array<WorkBitmap, 6> Faces(const WorkBitmap& panorama, int n) {
  std::array<WorkBitmap, 6> faces;
  for (CubeFace face : kCubeFaces) {
    WorkBitmap& f = faces[static_cast<int>(face)];
    f.Resize(n, n);
    RenderCubeFace(panorama, face, f);
  }
  return faces;
}

TEST(PanoramaDirection, ColumnsAndRowsLookWhereTheRuleSays) {
  const struct {
    double azimuth, elevation, x, y, z;
  } cases[] = {
      {0, 0, 0, 0, -1},   {90, 0, 1, 0, 0}, {180, 0, 0, 0, 1},
      {270, 0, -1, 0, 0}, {0, 90, 0, 1, 0}, {123, -90, 0, -1, 0},
  };
  for (const auto& c : cases) {
    const Direction d = DirectionOf(c.azimuth, c.elevation);
    EXPECT_NEAR(d.x, c.x, 1e-12) << c.azimuth << " " << c.elevation;
    EXPECT_NEAR(d.y, c.y, 1e-12) << c.azimuth << " " << c.elevation;
    EXPECT_NEAR(d.z, c.z, 1e-12) << c.azimuth << " " << c.elevation;
  }
  EXPECT_NEAR(AzimuthOf(PixelDirection(16, 0, 64, 32)), 92.8125, 1e-9);
  EXPECT_NEAR(ElevationOf(PixelDirection(5, 15, 64, 32)), 2.8125, 1e-9);
}

TEST(PanoramaDirection, TheProjectionFindsEveryPixelCentreAgain) {
  // Back from direction to panorama in single precision: every pixel centre of
  // a small panorama exactly, and any direction on a wide one to a hundredth
  // of a pixel of the rule, also across the left and right edges.
  const PanoramaProjection small(64, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x) {
      const Direction d = PixelDirection(x, y, 64, 32);
      const PanoramaPoint p =
          small(static_cast<float>(d.x), static_cast<float>(d.y), static_cast<float>(d.z));
      EXPECT_NEAR(p.x, x, 1e-3) << x << "," << y;
      EXPECT_NEAR(p.y, y, 1e-3) << x << "," << y;
    }
  const int w = 16384, h = 8192;
  const PanoramaProjection wide(w, h);
  double worst = 0;
  for (double azimuth = -1; azimuth < 361; azimuth += 0.37)
    for (double elevation = -89.9; elevation < 90; elevation += 0.71) {
      const Direction d = DirectionOf(azimuth, elevation);
      const PanoramaPoint p = wide(static_cast<float>(d.x * 3), static_cast<float>(d.y * 3),
                                   static_cast<float>(d.z * 3));
      const double x = AzimuthOf(d) * w / 360 - 0.5, y = (90 - ElevationOf(d)) * h / 180 - 0.5;
      const double dx = std::remainder(p.x - x, w);
      worst = std::max({worst, std::abs(dx), std::abs(p.y - y)});
    }
  EXPECT_LT(worst, 0.01);
}

TEST(PanoramaDirection, SamplingWrapsColumnsAndHoldsRows) {
  // 4 x 2: column 0 red, the last column blue, the rest black; the lower row grey.
  WorkBitmap p(4, 2);
  for (int x = 0; x < 4; ++x) {
    p.Row(0)[x] = x == 0 ? BgrPixel{0, 0, 200} : x == 3 ? BgrPixel{200, 0, 0} : BgrPixel{};
    p.Row(1)[x] = BgrPixel{100, 100, 100};
  }
  // Halfway between the last column and the first: the panorama's edges meet.
  EXPECT_EQ(SamplePanorama(p, -0.5, 0), (BgrPixel{100, 0, 100}));
  EXPECT_EQ(SamplePanorama(p, 3.5, 0), (BgrPixel{100, 0, 100}));
  EXPECT_EQ(SamplePanorama(p, 4, 0), (BgrPixel{0, 0, 200}));
  EXPECT_EQ(SamplePanorama(p, -9, 0), (BgrPixel{200, 0, 0}));
  // Above the top row's centre and below the bottom row's, the row is held.
  EXPECT_EQ(SamplePanorama(p, 0, -0.5), (BgrPixel{0, 0, 200}));
  EXPECT_EQ(SamplePanorama(p, 1, 7), (BgrPixel{100, 100, 100}));
  EXPECT_EQ(SamplePanorama(p, 0, 0.5), (BgrPixel{50, 50, 150}));
  EXPECT_EQ(SamplePanorama(p, std::nan(""), 0), BgrPixel{});
  EXPECT_EQ(SamplePanorama(WorkBitmap(), 0, 0), BgrPixel{});
}

TEST(CubeMap, EveryFacePixelIsWhereTheSelectionTableFindsIt) {
  // Going from direction to face with the table of the graphics libraries
  // must land on the same face and pixel centre, for every pixel.
  for (int n : {1, 2, 5, 16}) {
    for (CubeFace face : kCubeFaces) {
      for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
          const CubeHit hit = CubeLookup(CubeFaceDirection(face, i, j, n));
          EXPECT_EQ(hit.face, face) << CubeFaceName(face) << " " << i << "," << j;
          EXPECT_NEAR(hit.s, (i + 0.5) / n, 1e-12);
          EXPECT_NEAR(hit.t, (j + 0.5) / n, 1e-12);
        }
      }
    }
  }
}

TEST(CubeMap, CentresAndEdgesLookTheExpectedWay) {
  // A 3 x 3 face: its middle pixel is its centre, the others its edges' middles.
  const struct {
    CubeFace face;
    int i, j;
    double azimuth, elevation;
  } cases[] = {
      {CubeFace::PositiveX, 1, 1, 90, 0},
      {CubeFace::NegativeX, 1, 1, 270, 0},
      {CubeFace::PositiveZ, 1, 1, 180, 0},
      {CubeFace::NegativeZ, 1, 1, 0, 0},
      {CubeFace::PositiveY, 1, 1, 0, 90},
      {CubeFace::NegativeY, 1, 1, 0, -90},
      // The top of the side faces looks up. Going right on a stored face goes to
      // smaller azimuths: seen from the cube's centre, the faces are stored
      // mirrored, as cube maps keep them.
      {CubeFace::NegativeZ, 1, 0, 0, 33.69},
      {CubeFace::NegativeZ, 2, 1, 326.31, 0},
      {CubeFace::PositiveX, 2, 1, 56.31, 0},
      {CubeFace::PositiveZ, 0, 1, 213.69, 0},
      // The top face's lower edge meets +Z, the bottom face's upper edge too.
      {CubeFace::PositiveY, 1, 2, 180, 56.31},
      {CubeFace::NegativeY, 1, 0, 180, -56.31},
  };
  for (const auto& c : cases) {
    const Direction d = CubeFaceDirection(c.face, c.i, c.j, 3);
    EXPECT_NEAR(ElevationOf(d), c.elevation, 0.01) << CubeFaceName(c.face) << c.i << c.j;
    if (std::abs(c.elevation) < 90) {
      EXPECT_NEAR(AzimuthOf(d), c.azimuth, 0.01) << CubeFaceName(c.face) << c.i << c.j;
    }
  }
}

TEST(CubeMap, SixColoursLandEachOnItsFace) {
  // Each panorama pixel coloured by the axis its direction is nearest to.
  const std::array<BgrPixel, 6> colours = {
      {{0, 0, 255}, {255, 255, 0}, {0, 255, 0}, {255, 0, 255}, {255, 0, 0}, {0, 255, 255}}};
  const WorkBitmap panorama = PaintedPanorama(
      512, 256, [&](Direction d) { return colours[static_cast<int>(CubeLookup(d).face)]; });
  const int n = 32;
  const auto faces = Faces(panorama, n);
  for (CubeFace face : kCubeFaces) {
    int wrong = 0;
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i) {
        // Near the edges the bilinear sample mixes in the neighbour's colour.
        const bool inner = i >= 3 && i < n - 3 && j >= 3 && j < n - 3;
        if (inner && !(faces[static_cast<int>(face)].Row(j)[i] == colours[static_cast<int>(face)]))
          ++wrong;
      }
    EXPECT_EQ(wrong, 0) << CubeFaceName(face);
  }
}

TEST(CubeMap, FacesSampleThePanoramaAndJoinWithoutSeams) {
  const WorkBitmap panorama = PaintedPanorama(1024, 512, SmoothColour);
  const int n = 96;
  const auto faces = Faces(panorama, n);
  // Every pixel is the colour of its direction, to the panorama's resolution.
  int worst = 0;
  for (CubeFace face : kCubeFaces)
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i)
        worst = std::max(worst, Difference(faces[static_cast<int>(face)].Row(j)[i],
                                           SmoothColour(CubeFaceDirection(face, i, j, n))));
  EXPECT_LE(worst, 2);
  // Neighbours across an edge of the cube differ no more than neighbours on a face.
  const auto seams = CompareSeams(faces);
  EXPECT_TRUE(seams.beyondIsEdge);
  EXPECT_EQ(seams.acrossPairs, 6 * 4 * n);
  EXPECT_EQ(seams.edges.size(), 12u);
  EXPECT_LE(seams.acrossMax, seams.insideMax + 1);
  EXPECT_LE(seams.acrossMean, seams.insideMean * 1.5 + 0.5);
}

TEST(CubeMap, ExportWritesSixFacesOrNothing) {
  TempDir dir;
  const WorkBitmap panorama = PaintedPanorama(64, 32, SmoothColour);
  const std::string folder = dir / "new/faces";
  EXPECT_EQ(CheckCubeMapTarget(folder, CubeFaceFormat::Bmp), std::nullopt);
  WriteCubeMap(panorama, folder, 16, CubeFaceFormat::Bmp, 90);
  for (CubeFace face : kCubeFaces) {
    const std::string path = CubeFacePath(folder, face, CubeFaceFormat::Bmp);
    const WorkBitmap written = ReadBmpFile(path);
    WorkBitmap expected(16, 16);
    RenderCubeFace(panorama, face, expected);
    EXPECT_TRUE(testing::SamePixels(written, expected)) << path;
  }
  EXPECT_EQ(CubeFacePath("out", CubeFace::NegativeY, CubeFaceFormat::Jpeg), "out/ny.jpg");

  // A folder where a face would go: refused before anything is rendered, and
  // at writing time nothing of the set is replaced.
  std::filesystem::rename(folder + "/pz.bmp", folder + "/old-pz");
  std::filesystem::create_directory(folder + "/pz.bmp");
  const std::string before = testing::ReadFile(folder + "/px.bmp");
  const auto problem = CheckCubeMapTarget(folder, CubeFaceFormat::Bmp);
  ASSERT_TRUE(problem.has_value());
  EXPECT_NE(problem->find("pz.bmp: is a folder"), std::string::npos) << *problem;
  EXPECT_THROW(WriteCubeMap(PaintedPanorama(64, 32, [](Direction) { return BgrPixel{}; }), folder,
                            16, CubeFaceFormat::Bmp, 90),
               FileError);
  EXPECT_EQ(testing::ReadFile(folder + "/px.bmp"), before);

  // A file where the folder would be; a folder made for a failed export goes again.
  testing::WriteFile(dir / "plain", "text");
  EXPECT_NE(CheckCubeMapTarget(dir / "plain/faces", CubeFaceFormat::Bmp), std::nullopt);
  EXPECT_THROW(WriteCubeMap(panorama, dir / "made", 70000, CubeFaceFormat::Bmp, 90), FileError);
  EXPECT_FALSE(std::filesystem::exists(dir / "made"));
}

}  // namespace
}  // namespace horizonmill
