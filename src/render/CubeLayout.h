// How the six faces of a cube map (render/CubeMap.h) are handed to a 3D
// program: each in a file of its own or together in one picture laid out on a
// grid, and in the orientation the program expects.
//
// Layouts (the faces' cells, column and row from the top left, in face sides):
//   faces   six files, px nx py ny pz nz
//   row     6 x 1: +X −X +Y −Y +Z −Z from left to right
//   column  1 x 6: the same from top to bottom
//   2x3     2 x 3: +X −X / +Y −Y / +Z −Z (two faces a row, three rows)
//   3x2     3 x 2: +X −X +Y / −Y +Z −Z
//   cross   4 x 3: +Y above +Z; −X +Z +X −Z across the middle; −Y below +Z
//   vcross  3 x 4: +Y above +Z; −X +Z +X across; −Y below +Z, and −Z below
//           −Y turned by 180° (so that it joins −Y, as the cube folds)
// The first four are the slicings of the engines' cube-map importers (faces
// in the order X+, X−, Y+, Y−, Z+, Z−, read row by row); the crosses are the
// common cross templates. Cells no face fills are black.
//
// Conventions (what each face holds):
//   gl       the faces as OpenGL-style cube maps sample them (CubeFaceDirection)
//   threejs  +X and −X swapped and every face mirrored left to right: three.js
//            mirrors a cube texture that it shows as a scene's background, so
//            loaded into its CubeTextureLoader in the order px, nx, py, ny,
//            pz, nz these faces show the world the panorama shows
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "image/WorkBitmap.h"
#include "render/CubeMap.h"

namespace horizonmill {

enum class CubeLayout { Faces, Row, Column, Grid2x3, Grid3x2, Cross, VerticalCross };
enum class CubeConvention { Gl, ThreeJs };

// "faces", "row", "column", "2x3", "3x2", "cross", "vcross" (any case);
// nothing for another name.
std::optional<CubeLayout> CubeLayoutNamed(std::string_view name);
std::string_view CubeLayoutName(CubeLayout layout);
// "gl", "threejs" (any case); nothing for another name.
std::optional<CubeConvention> CubeConventionNamed(std::string_view name);
std::string_view CubeConventionName(CubeConvention convention);

// The layout's grid in face sides; the faces layout has one face a file (1 x 1).
struct CubeGrid {
  int columns = 1, rows = 1;
};
CubeGrid CubeLayoutGrid(CubeLayout layout);

// Where a face lies on the layout's grid, and whether it is turned by 180°
// there (only −Z of the vertical cross). The faces layout has every face at
// (0, 0) of a file of its own.
struct CubeCell {
  int column = 0, row = 0;
  bool turned = false;
};
CubeCell CubeFaceCell(CubeLayout layout, CubeFace face);

// The direction (not of unit length) through the centre of pixel (i, j) of the
// N x N face `face` as the convention fills it.
Direction ConventionFaceDirection(CubeConvention convention, CubeFace face, int i, int j, int size);

// The direction through the centre of pixel (x, y) of the layout's picture of
// N x N faces; nothing where no face lies.
std::optional<Direction> CubeLayoutDirection(CubeLayout layout, CubeConvention convention, int x,
                                             int y, int size);

// Fills rows first .. last - 1 of `target` from the panorama: each pixel the
// bilinear sample (SamplePanorama) in the direction `direction(x, y)` gives,
// black where it gives none. Rows apart may be filled on threads apart.
void SampleDirections(const WorkBitmap& panorama, WorkBitmap& target, int first, int last,
                      const std::function<std::optional<Direction>(int x, int y)>& direction);

// Fills `target`, sized columns x N by rows x N of the layout's grid, with the
// panorama's faces laid out (empty cells black); each pixel the bilinear
// sample of the panorama in its direction (SamplePanorama).
void RenderCubeLayout(const WorkBitmap& panorama, CubeLayout layout, CubeConvention convention,
                      WorkBitmap& target);

}  // namespace horizonmill
