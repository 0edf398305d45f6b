// Helpers for the tests of what looks at the panorama in three dimensions: a
// panorama painted as a function of direction, the cube-map lookup written the
// way graphics libraries state it (the major axis picks the face), and the
// comparison of neighbouring pixels across the cube's edges.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <numbers>
#include <utility>

#include "image/WorkBitmap.h"
#include "render/CubeMap.h"
#include "render/PanoramaDirection.h"

namespace horizonmill::testing {

// The direction rule read backwards in double precision, the plain way.
inline double AzimuthOf(Direction d) {
  const double a = std::atan2(d.x, -d.z) * 180 / std::numbers::pi;
  return a < 0 ? a + 360 : a;
}
inline double ElevationOf(Direction d) {
  return std::atan2(d.y, std::hypot(d.x, d.z)) * 180 / std::numbers::pi;
}

inline WorkBitmap PaintedPanorama(int w, int h, const std::function<BgrPixel(Direction)>& paint) {
  WorkBitmap panorama(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) panorama.Row(y)[x] = paint(PixelDirection(x, y, w, h));
  return panorama;
}

// A colour that changes smoothly with direction everywhere on the sphere
// (across the panorama's left and right edges and over the poles too).
inline BgrPixel SmoothColour(Direction d) {
  d = Normalized(d);
  auto c = [](double v) { return static_cast<std::uint8_t>(std::lround(127.5 + 120 * v)); };
  return BgrPixel{c(d.z), c(d.y), c(d.x)};
}

// The largest difference of a channel.
inline int Difference(BgrPixel a, BgrPixel b) {
  return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

// Where a direction meets the cube: the face of its major axis and the face's
// s, t in 0..1 (t from the top of the stored image), by the selection table
// of OpenGL-style cube maps: sc, tc, ma per face, s = (sc / |ma| + 1) / 2.
struct CubeHit {
  CubeFace face;
  double s, t;
};
inline CubeHit CubeLookup(Direction d) {
  const double ax = std::abs(d.x), ay = std::abs(d.y), az = std::abs(d.z);
  double sc, tc, ma;
  CubeFace face;
  if (ax >= ay && ax >= az) {
    face = d.x > 0 ? CubeFace::PositiveX : CubeFace::NegativeX;
    sc = d.x > 0 ? -d.z : d.z;
    tc = -d.y;
    ma = ax;
  } else if (ay >= az) {
    face = d.y > 0 ? CubeFace::PositiveY : CubeFace::NegativeY;
    sc = d.x;
    tc = d.y > 0 ? d.z : -d.z;
    ma = ay;
  } else {
    face = d.z > 0 ? CubeFace::PositiveZ : CubeFace::NegativeZ;
    sc = d.z > 0 ? d.x : -d.x;
    tc = -d.y;
    ma = az;
  }
  return CubeHit{face, (sc / ma + 1) / 2, (tc / ma + 1) / 2};
}

// Neighbouring pixels compared across the twelve edges of the cube (each edge
// pixel with the pixel beyond the edge on the next face) and inside the faces
// (each pixel with its right and lower neighbour): the largest and the mean
// difference of a channel.
struct EdgeFigures {
  int max = 0, pairs = 0;
  double sum = 0;
  double Mean() const { return sum / std::max(1, pairs); }
};
struct SeamFigures {
  int acrossMax = 0, insideMax = 0;
  double acrossMean = 0, insideMean = 0;
  int acrossPairs = 0;
  bool beyondIsEdge = true;  // every pixel beyond an edge is an edge pixel of its face
  // Each edge of the cube on its own, by the two faces that share it (the
  // lower face first); both faces' pixels along it count.
  std::map<std::pair<CubeFace, CubeFace>, EdgeFigures> edges;
};

inline SeamFigures CompareSeams(const std::array<WorkBitmap, 6>& faces) {
  SeamFigures f;
  const int n = faces[0].Width();
  double across = 0, inside = 0;
  long long insidePairs = 0;
  auto at = [&](CubeFace face, int i, int j) { return faces[static_cast<int>(face)].Row(j)[i]; };
  for (CubeFace face : kCubeFaces) {
    for (int j = 0; j < n; ++j) {
      for (int i = 0; i < n; ++i) {
        if (i + 1 < n) {
          const int d = Difference(at(face, i, j), at(face, i + 1, j));
          f.insideMax = std::max(f.insideMax, d);
          inside += d;
          ++insidePairs;
        }
        if (j + 1 < n) {
          const int d = Difference(at(face, i, j), at(face, i, j + 1));
          f.insideMax = std::max(f.insideMax, d);
          inside += d;
          ++insidePairs;
        }
        // One step beyond each edge this pixel lies on.
        const std::array<std::array<int, 2>, 4> steps = {{{-1, 0}, {1, 0}, {0, -1}, {0, 1}}};
        for (const auto& [di, dj] : steps) {
          const int bi = i + di, bj = j + dj;
          if (bi >= 0 && bi < n && bj >= 0 && bj < n) continue;
          const CubeHit hit = CubeLookup(CubeFaceDirection(face, bi, bj, n));
          const int hi = std::clamp(static_cast<int>(hit.s * n), 0, n - 1);
          const int hj = std::clamp(static_cast<int>(hit.t * n), 0, n - 1);
          f.beyondIsEdge &= hit.face != face && (hi == 0 || hi == n - 1 || hj == 0 || hj == n - 1);
          const int d = Difference(at(face, i, j), at(hit.face, hi, hj));
          EdgeFigures& edge = f.edges[std::minmax(face, hit.face)];
          edge.max = std::max(edge.max, d);
          edge.sum += d;
          ++edge.pairs;
          f.acrossMax = std::max(f.acrossMax, d);
          across += d;
          ++f.acrossPairs;
        }
      }
    }
  }
  f.acrossMean = across / std::max(1, f.acrossPairs);
  f.insideMean = inside / static_cast<double>(std::max(1LL, insidePairs));
  return f;
}

}  // namespace horizonmill::testing
