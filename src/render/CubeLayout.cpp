#include "render/CubeLayout.h"

#include <cassert>
#include <cctype>
#include <string>

namespace horizonmill {
namespace {

std::string Lower(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

constexpr CubeLayout kLayouts[] = {
    CubeLayout::Faces,   CubeLayout::Row,   CubeLayout::Column,       CubeLayout::Grid2x3,
    CubeLayout::Grid3x2, CubeLayout::Cross, CubeLayout::VerticalCross};

// The face that three.js's convention shows in a slot: +X and −X trade places.
CubeFace SwappedX(CubeFace face) {
  if (face == CubeFace::PositiveX) return CubeFace::NegativeX;
  if (face == CubeFace::NegativeX) return CubeFace::PositiveX;
  return face;
}

}  // namespace

std::optional<CubeLayout> CubeLayoutNamed(std::string_view name) {
  const std::string lower = Lower(name);
  for (CubeLayout layout : kLayouts)
    if (lower == CubeLayoutName(layout)) return layout;
  return std::nullopt;
}

std::string_view CubeLayoutName(CubeLayout layout) {
  switch (layout) {
    case CubeLayout::Faces:
      return "faces";
    case CubeLayout::Row:
      return "row";
    case CubeLayout::Column:
      return "column";
    case CubeLayout::Grid2x3:
      return "2x3";
    case CubeLayout::Grid3x2:
      return "3x2";
    case CubeLayout::Cross:
      return "cross";
    case CubeLayout::VerticalCross:
      return "vcross";
  }
  return "";
}

std::optional<CubeConvention> CubeConventionNamed(std::string_view name) {
  const std::string lower = Lower(name);
  if (lower == "gl") return CubeConvention::Gl;
  if (lower == "threejs") return CubeConvention::ThreeJs;
  return std::nullopt;
}

std::string_view CubeConventionName(CubeConvention convention) {
  return convention == CubeConvention::ThreeJs ? "threejs" : "gl";
}

CubeGrid CubeLayoutGrid(CubeLayout layout) {
  switch (layout) {
    case CubeLayout::Faces:
      return {1, 1};
    case CubeLayout::Row:
      return {6, 1};
    case CubeLayout::Column:
      return {1, 6};
    case CubeLayout::Grid2x3:
      return {2, 3};
    case CubeLayout::Grid3x2:
      return {3, 2};
    case CubeLayout::Cross:
      return {4, 3};
    case CubeLayout::VerticalCross:
      return {3, 4};
  }
  return {};
}

CubeCell CubeFaceCell(CubeLayout layout, CubeFace face) {
  const int index = static_cast<int>(face);  // X+, X−, Y+, Y−, Z+, Z−
  switch (layout) {
    case CubeLayout::Faces:
      return {};
    case CubeLayout::Row:
    case CubeLayout::Column:
    case CubeLayout::Grid2x3:
    case CubeLayout::Grid3x2: {
      // The slicings read the cells row by row.
      const int columns = CubeLayoutGrid(layout).columns;
      return {index % columns, index / columns};
    }
    case CubeLayout::Cross:
    case CubeLayout::VerticalCross:
      break;
  }
  const bool vertical = layout == CubeLayout::VerticalCross;
  switch (face) {
    case CubeFace::PositiveY:
      return {1, 0};
    case CubeFace::NegativeX:
      return {0, 1};
    case CubeFace::PositiveZ:
      return {1, 1};
    case CubeFace::PositiveX:
      return {2, 1};
    case CubeFace::NegativeY:
      return {1, 2};
    case CubeFace::NegativeZ:
      return vertical ? CubeCell{1, 3, true} : CubeCell{3, 1};
  }
  return {};
}

Direction ConventionFaceDirection(CubeConvention convention, CubeFace face, int i, int j,
                                  int size) {
  if (convention == CubeConvention::ThreeJs)
    return CubeFaceDirection(SwappedX(face), size - 1 - i, j, size);
  return CubeFaceDirection(face, i, j, size);
}

std::optional<Direction> CubeLayoutDirection(CubeLayout layout, CubeConvention convention, int x,
                                             int y, int size) {
  const int column = x / size, row = y / size;
  for (CubeFace face : kCubeFaces) {
    const CubeCell cell = CubeFaceCell(layout, face);
    if (cell.column != column || cell.row != row) continue;
    int i = x - column * size, j = y - row * size;
    if (cell.turned) {
      i = size - 1 - i;
      j = size - 1 - j;
    }
    return ConventionFaceDirection(convention, face, i, j, size);
  }
  return std::nullopt;
}

void SampleDirections(const WorkBitmap& panorama, WorkBitmap& target, int first, int last,
                      const std::function<std::optional<Direction>(int x, int y)>& direction) {
  const PanoramaProjection project(panorama.Width(), panorama.Height());
  for (int y = first; y < last; ++y) {
    BgrPixel* row = target.Row(y);
    for (int x = 0; x < target.Width(); ++x) {
      const auto d = direction(x, y);
      if (!d) {
        row[x] = BgrPixel{};
        continue;
      }
      const PanoramaPoint p =
          project(static_cast<float>(d->x), static_cast<float>(d->y), static_cast<float>(d->z));
      row[x] = SamplePanorama(panorama, p.x, p.y);
    }
  }
}

void RenderCubeLayout(const WorkBitmap& panorama, CubeLayout layout, CubeConvention convention,
                      WorkBitmap& target) {
  const CubeGrid grid = CubeLayoutGrid(layout);
  const int n = target.Width() / grid.columns;
  assert(target.Width() == n * grid.columns && target.Height() == n * grid.rows &&
         "the target holds the layout's grid of faces");
  SampleDirections(panorama, target, 0, target.Height(),
                   [&](int x, int y) { return CubeLayoutDirection(layout, convention, x, y, n); });
}

}  // namespace horizonmill
