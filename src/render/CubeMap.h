// The panorama as the six faces of a cube map, laid out so that the faces load
// as they are into OpenGL-style cube maps.
//
// Face pixel (i, j) of N x N (row j = 0 at the top of the stored image) has
// s = (i + 0.5) / N, t = (j + 0.5) / N, sc = 2s − 1, tc = 2t − 1, and looks in
// the direction (the OpenGL cube-map selection table, read backwards)
//   +X: ( 1, −tc, −sc)   −X: (−1, −tc,  sc)
//   +Y: (sc,   1,  tc)   −Y: (sc,  −1, −tc)
//   +Z: (sc, −tc,   1)   −Z: (−sc, −tc, −1)
// in the frame of the panorama's direction rule (render/PanoramaDirection.h):
// azimuth 0 is −Z, 90 is +X, up is +Y.
#pragma once

#include <array>
#include <string_view>

#include "image/WorkBitmap.h"
#include "render/PanoramaDirection.h"

namespace horizonmill {

enum class CubeFace { PositiveX, NegativeX, PositiveY, NegativeY, PositiveZ, NegativeZ };

inline constexpr std::array<CubeFace, 6> kCubeFaces = {CubeFace::PositiveX, CubeFace::NegativeX,
                                                       CubeFace::PositiveY, CubeFace::NegativeY,
                                                       CubeFace::PositiveZ, CubeFace::NegativeZ};

// "px", "nx", "py", "ny", "pz", "nz": the face's file name without extension.
std::string_view CubeFaceName(CubeFace face);

// The direction (not of unit length) through the centre of face pixel (i, j)
// of an N x N face.
Direction CubeFaceDirection(CubeFace face, int i, int j, int size);

// The face side the export uses unless told otherwise: a quarter of the
// panorama's width (four faces around the horizon keep its resolution), at
// least 1.
int DefaultCubeFaceSize(int panoramaWidth);

// Fills the whole of `face` (square; its size is the caller's) with the
// panorama seen through that face: each pixel is the bilinear sample of the
// panorama in its direction, wrapping across the panorama's left and right
// edges (SamplePanorama).
void RenderCubeFace(const WorkBitmap& panorama, CubeFace face, WorkBitmap& target);

}  // namespace horizonmill
