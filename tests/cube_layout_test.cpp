// The cube map's layouts (where each face lies on the picture) and
// conventions (what each face holds), against the templates they follow.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "codecs/CubeMapExport.h"
#include "image/BmpReader.h"
#include "platform/FileError.h"
#include "render/CubeLayout.h"
#include "support/BitmapTesting.h"
#include "support/HdrReading.h"
#include "support/PanoramaTesting.h"
#include "support/PngReading.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::CubeLookup;
using testing::Difference;
using testing::PaintedPanorama;
using testing::SmoothColour;
using testing::TempDir;

constexpr CubeFace PX = CubeFace::PositiveX, NX = CubeFace::NegativeX, PY = CubeFace::PositiveY,
                   NY = CubeFace::NegativeY, PZ = CubeFace::PositiveZ, NZ = CubeFace::NegativeZ;

// The templates as documented: the grid, then each face's cell as (column,
// row), one string of faces a row ("." an empty cell).
struct Template {
  CubeLayout layout;
  const char* name;
  std::vector<std::vector<const char*>> rows;
};

const Template kTemplates[] = {
    {CubeLayout::Row, "row", {{"+X", "-X", "+Y", "-Y", "+Z", "-Z"}}},
    {CubeLayout::Column, "column", {{"+X"}, {"-X"}, {"+Y"}, {"-Y"}, {"+Z"}, {"-Z"}}},
    {CubeLayout::Grid2x3, "2x3", {{"+X", "-X"}, {"+Y", "-Y"}, {"+Z", "-Z"}}},
    {CubeLayout::Grid3x2, "3x2", {{"+X", "-X", "+Y"}, {"-Y", "+Z", "-Z"}}},
    {CubeLayout::Cross,
     "cross",
     {{".", "+Y", ".", "."}, {"-X", "+Z", "+X", "-Z"}, {".", "-Y", ".", "."}}},
    {CubeLayout::VerticalCross,
     "vcross",
     {{".", "+Y", "."}, {"-X", "+Z", "+X"}, {".", "-Y", "."}, {".", "-Z", "."}}},
};

const std::map<std::string, CubeFace> kFaceNames = {{"+X", PX}, {"-X", NX}, {"+Y", PY},
                                                    {"-Y", NY}, {"+Z", PZ}, {"-Z", NZ}};

// Each direction coloured by the face of the cube it meets.
const std::array<BgrPixel, 6> kFaceColours = {
    {{0, 0, 255}, {255, 255, 0}, {0, 255, 0}, {255, 0, 255}, {255, 0, 0}, {0, 255, 255}}};

WorkBitmap SixColourCube() {
  return PaintedPanorama(
      512, 256, [](Direction d) { return kFaceColours[static_cast<int>(CubeLookup(d).face)]; });
}

WorkBitmap LaidOut(const WorkBitmap& panorama, CubeLayout layout, CubeConvention convention,
                   int n) {
  const CubeGrid grid = CubeLayoutGrid(layout);
  WorkBitmap picture(grid.columns * n, grid.rows * n);
  RenderCubeLayout(panorama, layout, convention, picture);
  return picture;
}

TEST(CubeLayout, NamesReadAndWrittenBack) {
  const struct {
    const char* name;
    std::optional<CubeLayout> layout;
  } layouts[] = {{"faces", CubeLayout::Faces},
                 {"ROW", CubeLayout::Row},
                 {"column", CubeLayout::Column},
                 {"2x3", CubeLayout::Grid2x3},
                 {"3X2", CubeLayout::Grid3x2},
                 {"cross", CubeLayout::Cross},
                 {"vcross", CubeLayout::VerticalCross},
                 {"1x6", std::nullopt},
                 {"", std::nullopt},
                 {"cross ", std::nullopt}};
  for (const auto& c : layouts) {
    EXPECT_EQ(CubeLayoutNamed(c.name), c.layout) << c.name;
    if (c.layout) {
      EXPECT_EQ(CubeLayoutNamed(CubeLayoutName(*c.layout)), c.layout);
    }
  }
  EXPECT_EQ(CubeConventionNamed("GL"), CubeConvention::Gl);
  EXPECT_EQ(CubeConventionNamed("threejs"), CubeConvention::ThreeJs);
  EXPECT_EQ(CubeConventionNamed("three.js"), std::nullopt);
  EXPECT_EQ(CubeConventionName(CubeConvention::ThreeJs), "threejs");
}

TEST(CubeLayout, EachFaceLiesWhereItsTemplateSays) {
  // A six-colour cube: every face filled with its own colour; the empty cells
  // black.
  const WorkBitmap cube = SixColourCube();
  const int n = 16;
  for (const Template& t : kTemplates) {
    const CubeGrid grid = CubeLayoutGrid(t.layout);
    ASSERT_EQ(grid.rows, static_cast<int>(t.rows.size())) << t.name;
    ASSERT_EQ(grid.columns, static_cast<int>(t.rows[0].size())) << t.name;
    EXPECT_EQ(CubeLayoutName(t.layout), t.name);
    for (const CubeConvention convention : {CubeConvention::Gl, CubeConvention::ThreeJs}) {
      const WorkBitmap picture = LaidOut(cube, t.layout, convention, n);
      for (int row = 0; row < grid.rows; ++row)
        for (int column = 0; column < grid.columns; ++column) {
          const std::string cell = t.rows[row][column];
          BgrPixel expected{};
          if (cell != ".") {
            const CubeFace face = kFaceNames.at(cell);
            // three.js's px shows the world's −X and its nx the world's +X.
            CubeFace seen = face;
            if (convention == CubeConvention::ThreeJs && (face == PX || face == NX))
              seen = face == PX ? NX : PX;
            expected = kFaceColours[static_cast<int>(seen)];
            const CubeCell where = CubeFaceCell(t.layout, face);
            EXPECT_EQ(where.column, column) << t.name << " " << cell;
            EXPECT_EQ(where.row, row) << t.name << " " << cell;
          }
          int wrong = 0;
          // Inside the cell (the bilinear sample mixes the neighbour in at its rim).
          for (int j = 3; j < n - 3; ++j)
            for (int i = 3; i < n - 3; ++i)
              wrong += !(picture.Row(row * n + j)[column * n + i] == expected);
          EXPECT_EQ(wrong, 0) << t.name << " " << CubeConventionName(convention) << " cell "
                              << column << "," << row << " (" << cell << ")";
        }
    }
  }
}

TEST(CubeLayout, OnlyTheVerticalCrossTurnsAFaceAndItsCrossesFold) {
  // The vertical cross's −Z hangs below −Y upside down: its cell's top left
  // pixel is the face's bottom right.
  const int n = 8;
  for (const Template& t : kTemplates)
    for (CubeFace face : kCubeFaces) {
      const CubeCell cell = CubeFaceCell(t.layout, face);
      const bool turned = t.layout == CubeLayout::VerticalCross && face == NZ;
      EXPECT_EQ(cell.turned, turned) << t.name << " " << CubeFaceName(face);
      const auto d =
          CubeLayoutDirection(t.layout, CubeConvention::Gl, cell.column * n, cell.row * n, n);
      ASSERT_TRUE(d.has_value());
      const Direction expected =
          turned ? CubeFaceDirection(face, n - 1, n - 1, n) : CubeFaceDirection(face, 0, 0, n);
      EXPECT_EQ(d->x, expected.x);
      EXPECT_EQ(d->y, expected.y);
      EXPECT_EQ(d->z, expected.z);
    }
  // Along every border between two faces of a cross, the pixels on either side
  // look in nearly the same direction: the cross folds into the cube.
  const WorkBitmap smooth = PaintedPanorama(1024, 512, SmoothColour);
  const int m = 32;
  for (const CubeLayout layout : {CubeLayout::Cross, CubeLayout::VerticalCross})
    for (const CubeConvention convention : {CubeConvention::Gl, CubeConvention::ThreeJs}) {
      const WorkBitmap picture = LaidOut(smooth, layout, convention, m);
      int worst = 0, borders = 0;
      for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
          const bool here = CubeLayoutDirection(layout, convention, x, y, m).has_value();
          for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{0, 1}}) {
            const int x2 = x + dx, y2 = y + dy;
            if (x2 >= picture.Width() || y2 >= picture.Height()) continue;
            if ((x2 % m != 0 || dx == 0) && (y2 % m != 0 || dy == 0)) continue;  // same cell
            if (!here || !CubeLayoutDirection(layout, convention, x2, y2, m)) continue;
            ++borders;
            worst = std::max(worst, Difference(picture.Row(y)[x], picture.Row(y2)[x2]));
          }
        }
      EXPECT_EQ(borders, 5 * m) << CubeLayoutName(layout);  // five borders inside a cross
      EXPECT_LE(worst, 12) << CubeLayoutName(layout) << " " << CubeConventionName(convention);
    }
}

TEST(CubeConvention, ThreeJsIsTheGlFacesMirroredWithXSwapped) {
  const WorkBitmap panorama = PaintedPanorama(256, 128, SmoothColour);
  const int n = 24;
  const WorkBitmap gl = LaidOut(panorama, CubeLayout::Row, CubeConvention::Gl, n);
  const WorkBitmap three = LaidOut(panorama, CubeLayout::Row, CubeConvention::ThreeJs, n);
  const std::pair<CubeFace, CubeFace> slots[] = {{PX, NX}, {NX, PX}, {PY, PY},
                                                 {NY, NY}, {PZ, PZ}, {NZ, NZ}};
  for (const auto& [slot, source] : slots) {
    const int to = CubeFaceCell(CubeLayout::Row, slot).column * n;
    const int from = CubeFaceCell(CubeLayout::Row, source).column * n;
    int wrong = 0;
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i) wrong += !(three.Row(j)[to + i] == gl.Row(j)[from + n - 1 - i]);
    EXPECT_EQ(wrong, 0) << CubeFaceName(slot);
  }
  // Mirrored, a face no longer reads as a GL cube map does: the pixel right of
  // +Z's centre looks toward −X, not +X.
  EXPECT_LT(ConventionFaceDirection(CubeConvention::ThreeJs, PZ, n - 1, n / 2, n).x, 0);
  EXPECT_GT(ConventionFaceDirection(CubeConvention::Gl, PZ, n - 1, n / 2, n).x, 0);
}

TEST(CubeMapExport, ALayoutIsOnePictureAndFacesFollowTheConvention) {
  TempDir dir;
  const WorkBitmap panorama = PaintedPanorama(128, 64, SmoothColour);
  CubeMapOptions options;
  options.format = CubeFaceFormat::Bmp;
  options.layout = CubeLayout::Cross;
  options.faceSize = 10;
  EXPECT_EQ(CubeMapPaths("d", CubeFaceFormat::Png, CubeLayout::Cross),
            std::vector<std::string>{"d/cubemap.png"});
  EXPECT_EQ(CubeMapPaths("d", CubeFaceFormat::Exr).size(), 6u);
  WriteCubeMap(panorama, dir / "cross", options);
  std::vector<std::string> entries;
  for (const auto& e : std::filesystem::directory_iterator(dir / "cross"))
    entries.push_back(e.path().filename().string());
  EXPECT_EQ(entries, std::vector<std::string>{"cubemap.bmp"});
  const WorkBitmap cross = ReadBmpFile(dir / "cross/cubemap.bmp");
  EXPECT_TRUE(
      testing::SamePixels(cross, LaidOut(panorama, CubeLayout::Cross, CubeConvention::Gl, 10)));
  // Six faces in the three.js convention: px is the GL nx, mirrored.
  options.layout = CubeLayout::Faces;
  options.convention = CubeConvention::ThreeJs;
  WriteCubeMap(panorama, dir / "three", options);
  WriteCubeMap(panorama, dir / "gl", 10, CubeFaceFormat::Bmp, 90);
  const WorkBitmap px = ReadBmpFile(dir / "three/px.bmp");
  const WorkBitmap nx = ReadBmpFile(dir / "gl/nx.bmp");
  int wrong = 0;
  for (int j = 0; j < 10; ++j)
    for (int i = 0; i < 10; ++i) wrong += !(px.Row(j)[i] == nx.Row(j)[9 - i]);
  EXPECT_EQ(wrong, 0);
  // HDR faces hold the panorama in linear light: a white panorama gives 1.
  options.format = CubeFaceFormat::Exr;
  options.layout = CubeLayout::Row;
  WriteCubeMap(testing::FilledBitmap(64, 32, BgrPixel{255, 255, 255}), dir / "exr", options);
  const testing::ExrFile exr = testing::ReadExr(testing::ReadFile(dir / "exr/cubemap.exr"));
  EXPECT_EQ(exr.picture.width, 60);
  EXPECT_EQ(exr.picture.height, 10);
  EXPECT_FALSE(exr.envmap.has_value());  // no latitude-longitude map
  EXPECT_FLOAT_EQ(exr.picture.At(33, 7)[2], 1.0f);
  // A layout's picture beyond the image limits fails its write; nothing is left.
  options.faceSize = 20000;
  EXPECT_THROW(WriteCubeMap(panorama, dir / "big", options), FileError);
  EXPECT_FALSE(std::filesystem::exists(dir / "big"));
}

}  // namespace
}  // namespace horizonmill
