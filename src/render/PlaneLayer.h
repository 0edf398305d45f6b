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

// Whether a texture has texels to sample.
inline bool HasTexels(const PixelImage* texture) {
  return texture != nullptr && texture->width > 0 && texture->height > 0 &&
         texture->pixels != nullptr;
}

// A layer handed no texture (its picture could not be had for memory) is
// drawn with the checkerboard placeholder, made into `placeholder` for this
// pass only. nullptr when even that cannot be allocated: the layer is then
// left out.
inline const PixelImage* PlaneTexture(const PixelImage* texture, PixelImagePtr& placeholder) {
  if (HasTexels(texture)) return texture;
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
        steps_(steps) {
    if ((texture.width & (texture.width - 1)) == 0) maskU_ = texture.width - 1;
    if ((texture.height & (texture.height - 1)) == 0) maskV_ = texture.height - 1;
  }
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
#if defined(__SSE2__)
    const StepBounds bounds(error);
#endif
    for (int x = first; x < last; ++x) {
      Column& c = walks_[x];
      PackedColour& out = colours[x - first];
#if defined(__SSE2__)
      if (!SampleNarrow(c, bounds, out))
#endif
        if (!SampleImageFiltered(texture_, c.u, c.v, c.fixedU ? 0 : error, c.fixedV ? 0 : error,
                                 out)) {
          while (c.extendedStep < j) c.extended.AdvanceBy(steps_[c.extendedStep++].distance);
          out = SampleImage(texture_, c.extended.U(), c.extended.V());
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
#if defined(__SSE2__)
  // What every column's sample at one step shares (SampleNarrow): for a moving
  // axis and for a fixed one, how far the extended walk may lie from the
  // double one (a fixed axis: the walks are one, so no integer check, marked
  // by -1), and the reach of the single-precision mixes over the fractions
  // that allows (SplitFilteredCoordinate's slack, the two roundings of
  // Frac + 1 always counted).
  struct StepBounds {
    explicit StepBounds(double error)
        : error{error, -1},
          reach{detail::LerpReach(2 * (error + 0x1p-48)), detail::LerpReach(2 * 0x1p-48)} {}
    double error[2];  // [fixed]
    __m128 reach[2];
  };
  // SampleImageFiltered's answer for column c where it is proven the cheap
  // way: both coordinates within 32-bit integers and off the integers by more
  // than their error, every lane of the mix proven in single precision
  // (NarrowBilinear); false leaves it to SampleImageFiltered.
  bool SampleNarrow(const Column& c, const StepBounds& bounds, PackedColour& out) const {
    const __m128d p = _mm_set_pd(c.v, c.u);
    const __m128d sign = _mm_set1_pd(-0.0), one = _mm_set1_pd(1);
    const __m128d error = _mm_set_pd(bounds.error[c.fixedV], bounds.error[c.fixedU]);
    if (_mm_movemask_pd(_mm_cmplt_pd(_mm_andnot_pd(sign, p), _mm_set1_pd(0x1p31))) != 3)
      return false;
    const __m128i base = _mm_cvttpd_epi32(p);                // toward zero
    const __m128d g = _mm_sub_pd(p, _mm_cvtepi32_pd(base));  // exact
    const __m128d below = _mm_andnot_pd(sign, g), above = _mm_sub_pd(one, below);
    if (_mm_movemask_pd(_mm_and_pd(_mm_cmpgt_pd(below, error), _mm_cmpgt_pd(above, error))) != 3)
      return false;
    // Frac, or Frac + 1 when not positive.
    const __m128 f =
        _mm_cvtpd_ps(_mm_add_pd(g, _mm_and_pd(_mm_cmple_pd(g, _mm_setzero_pd()), one)));
    const int bu = _mm_cvtsi128_si32(base), bv = _mm_cvtsi128_si32(_mm_srli_si128(base, 4));
    const int x0 = maskU_ >= 0 ? bu & maskU_ : WrapSampleBase(bu, texture_.width);
    const int y0 = maskV_ >= 0 ? bv & maskV_ : WrapSampleBase(bv, texture_.height);
    const int x1 = NextWrapped(x0, texture_.width), y1 = NextWrapped(y0, texture_.height);
    const PackedColour* r0 = texture_.Row(y0);
    const PackedColour* r1 = texture_.Row(y1);
    return detail::NarrowBilinear(r0[x1], r0[x0], r1[x1], r1[x0], _mm_shuffle_ps(f, f, 0x00),
                                  bounds.reach[c.fixedU], _mm_shuffle_ps(f, f, 0x55),
                                  bounds.reach[c.fixedV], out);
  }
#endif
  int width_, height_;
  const PixelImage& texture_;
  // width - 1 and height - 1 of a texture whose sides are powers of two (a
  // coordinate wraps by a mask then), else -1.
  int maskU_ = -1, maskV_ = -1;
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
