// What the ceiling and the ground share: each lays a texture as an endless
// plane and walks it column by column (PlaneWalk), fading with the distance of
// each step toward the horizon colour of the column.
#pragma once

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

#include "image/PixelImage.h"
#include "image/Placeholders.h"
#include "render/AerialFade.h"
#include "render/PlaneWalk.h"
#include "render/RenderContext.h"
#include "render/WorkCrew.h"

namespace horizonmill {

// The distance of a step and the aerial fade at that distance. Both depend only
// on the step, so one table serves every column.
struct PlaneStep {
  long double distance;
  AerialFader fade;
};

// Steps 0 .. count - 1 of an image of the given height. False (steps empty)
// when memory runs out.
bool MakePlaneSteps(int height, int count, long double airDepth, std::vector<PlaneStep>& steps);

// The walk divides by the scale. A scale of exactly 0 (a settings file may hold
// one) is drawn as 0.001, the value the scale inputs put in its place.
inline long double PlaneScale(long double scale) { return scale == 0 ? 0.001L : scale; }

// A layer handed no texture (its slot stayed empty because memory ran out while
// the texture was loaded) is drawn with the checkerboard placeholder, made into
// `placeholder` for this pass only. nullptr when even that cannot be allocated:
// the layer is then left out.
template <typename Image>
Image* PlaneTexture(Image* texture, PixelImagePtr& placeholder) {
  if (texture != nullptr && texture->width > 0 && texture->height > 0) return texture;
  if (!MakeCheckerTexture(placeholder)) return nullptr;
  return placeholder.get();
}

// The horizon colour of column x: the horizon row's pixel, opaque white without one.
inline PackedColour HorizonColour(const PixelImage* horizonRow, int x) {
  return horizonRow != nullptr ? GetImagePixel(*horizonRow, x, 0, false)
                               : MakePacked(255, 255, 255, 255);
}

// Columns per block of work. A block is drawn row by row across its columns,
// so the pixels it writes lie side by side rather than a whole row apart.
inline constexpr int kPlaneBlockColumns = 32;
// Rows per band. The image is drawn band by band, every block of columns
// within a band before the next band: what a band reads and writes (the
// mirror rows that the ripple scatters across many blocks, too) stays in the
// processor's caches at any image width.
inline constexpr int kPlaneBandRows = 64;

// A block works down (or up) a strip of columns, each row of it on another
// page of the image, which the processor does not foresee once the image
// outgrows its caches: the rows this many steps ahead are asked for early.
inline constexpr int kPlaneRowsAhead = 4;
// Asks for the cache lines of `bytes` bytes from `first`; `write` when they
// will be written. A hint only.
inline void Prefetch(const void* first, std::size_t bytes, bool write) {
  const char* p = static_cast<const char*>(first);
  for (std::size_t offset = 0; offset < bytes; offset += 64) {
    if (write)
      __builtin_prefetch(p + offset, 1);
    else
      __builtin_prefetch(p + offset, 0);
  }
}

// The walk and the horizon colour of every column of a plane layer, kept from
// one band to the next.
//
// The walk that defines the picture is PlaneWalk's, in extended precision.
// Each column also walks in double precision, several times faster, and
// samples there when that is proven to give the same texel mix
// (SampleImageFiltered); otherwise it brings its extended walk up to the step
// and samples there. The double walk's distance from the extended one is
// bounded step by step, alike for every column (Bound in PlaneLayer.cpp); along
// an axis the column does not move on (a zero step: the walks straight ahead
// and back), both walks stay where they started and the bound is 0.
class PlaneColumns {
 public:
  // `steps` (MakePlaneSteps) outlives the columns.
  PlaneColumns(int width, int height, const PixelImage& texture, long double scale,
               const PixelImage* horizonRow, const std::vector<PlaneStep>& steps)
      : width_(width),
        height_(height),
        texture_(texture),
        scale_(scale),
        horizonRow_(horizonRow),
        steps_(steps) {}
  // False when memory runs out.
  bool Allocate();
  // Sets up the walks of columns first .. last - 1 (in the first band).
  void Start(int first, int last) {
    for (int x = first; x < last; ++x) {
      Column& c = walks_[x];
      c.extended = PlaneWalk(width_, height_, x, texture_.width, texture_.height, scale_);
      c.extendedStep = 0;
      c.u = static_cast<double>(c.extended.U());
      c.v = static_cast<double>(c.extended.V());
      const double scale = static_cast<double>(c.extended.Scale());
      c.ku = static_cast<double>(c.extended.Du()) / scale;
      c.kv = static_cast<double>(c.extended.Dv()) / scale;
      c.fixedU = c.extended.Du() == 0;
      c.fixedV = c.extended.Dv() == 0;
      horizon_[x] = HorizonColour(horizonRow_, x);
    }
  }
  // The texture at step j of columns first .. last - 1 into colours[0 ..],
  // then each walk advanced by the step's distance. Steps come in order.
  void Sample(int first, int last, int j, PackedColour* colours) {
    const double d = distances_[j], error = errors_[j];
    for (int x = first; x < last; ++x) {
      Column& c = walks_[x];
      if (!SampleImageFiltered(texture_, c.u, c.v, c.fixedU ? 0 : error, c.fixedV ? 0 : error,
                               colours[x - first])) {
        while (c.extendedStep < j) c.extended.AdvanceBy(steps_[c.extendedStep++].distance);
        colours[x - first] = SampleImage(texture_, c.extended.U(), c.extended.V());
      }
      c.u += c.ku * d;
      c.v += c.kv * d;
    }
  }
  // The horizon colours of columns first, first + 1, ...
  const PackedColour* Horizons(int first) const { return horizon_.data() + first; }

 private:
  struct Column {
    PlaneWalk extended;                   // at step extendedStep, brought on when needed
    int extendedStep = 0;                 // of the extended walk
    double u = 0, v = 0;                  // the double walk at the current step
    double ku = 0, kv = 0;                // its move per unit of distance: (du, dv) / scale
    bool fixedU = false, fixedV = false;  // the walk never moves along the axis
  };
  int width_, height_;
  const PixelImage& texture_;
  long double scale_;
  const PixelImage* horizonRow_;
  const std::vector<PlaneStep>& steps_;
  std::vector<Column> walks_;
  std::vector<PackedColour> horizon_;
  std::vector<double> distances_;  // each step's distance, in double
  std::vector<double> errors_;     // the double walk's bound at each step
};

// Draws steps 0 .. steps - 1 of every column: band by band, and within a band
// blocks of columns shared among the crew's threads, each block calling
// draw(first, last, j0, j1) for its columns and the band's steps j0 .. j1 - 1.
// Progress once per block. False when the render was aborted.
template <typename Draw>
bool DrawPlaneBands(RenderContext& context, int width, int steps, PlaneColumns& columns,
                    Draw&& draw) {
  WorkCrew crew(context.Threads);
  const int bands = (steps + kPlaneBandRows - 1) / kPlaneBandRows;
  const std::int64_t units = static_cast<std::int64_t>(bands) * width;
  for (int band = 0; band < bands; ++band) {
    const int j0 = band * kPlaneBandRows, j1 = std::min(steps, j0 + kPlaneBandRows);
    auto blocks = [&](int, std::int64_t first, std::int64_t last) {
      if (band == 0) columns.Start(static_cast<int>(first), static_cast<int>(last));
      draw(static_cast<int>(first), static_cast<int>(last), j0, j1);
    };
    const std::int64_t before = static_cast<std::int64_t>(band) * width;
    if (!crew.Run(width, kPlaneBlockColumns, blocks,
                  [&](std::int64_t done) { return context.PollUnits(before + done, units); }))
      return false;
  }
  return true;
}

}  // namespace horizonmill
