#include "render/CubeMap.h"

#include <algorithm>
#include <cassert>

namespace horizonmill {

std::string_view CubeFaceName(CubeFace face) {
  switch (face) {
    case CubeFace::PositiveX:
      return "px";
    case CubeFace::NegativeX:
      return "nx";
    case CubeFace::PositiveY:
      return "py";
    case CubeFace::NegativeY:
      return "ny";
    case CubeFace::PositiveZ:
      return "pz";
    case CubeFace::NegativeZ:
      return "nz";
  }
  return "";
}

Direction CubeFaceDirection(CubeFace face, int i, int j, int size) {
  const double sc = 2 * (i + 0.5) / size - 1;
  const double tc = 2 * (j + 0.5) / size - 1;
  switch (face) {
    case CubeFace::PositiveX:
      return {1, -tc, -sc};
    case CubeFace::NegativeX:
      return {-1, -tc, sc};
    case CubeFace::PositiveY:
      return {sc, 1, tc};
    case CubeFace::NegativeY:
      return {sc, -1, -tc};
    case CubeFace::PositiveZ:
      return {sc, -tc, 1};
    case CubeFace::NegativeZ:
      return {-sc, -tc, -1};
  }
  return {};
}

int DefaultCubeFaceSize(int panoramaWidth) { return std::max(1, panoramaWidth / 4); }

void RenderCubeFace(const WorkBitmap& panorama, CubeFace face, WorkBitmap& target) {
  assert(target.Width() == target.Height() && "a cube face is square");
  const int n = target.Width();
  const PanoramaProjection project(panorama.Width(), panorama.Height());
  for (int j = 0; j < n; ++j) {
    BgrPixel* row = target.Row(j);
    for (int i = 0; i < n; ++i) {
      const Direction d = CubeFaceDirection(face, i, j, n);
      const PanoramaPoint p =
          project(static_cast<float>(d.x), static_cast<float>(d.y), static_cast<float>(d.z));
      row[i] = SamplePanorama(panorama, p.x, p.y);
    }
  }
}

}  // namespace horizonmill
