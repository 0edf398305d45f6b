// PixelImage: an image in memory, one PackedColour per pixel, row-major. Record and
// pixels come from the block allocator (MemoryHunger). Used for textures, object
// pictures, placeholders and the horizon row.
#pragma once

#include <cassert>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>

#include "image/Colour.h"

namespace horizonmill {

struct PixelImage {
  std::int32_t width = 0;
  std::int32_t height = 0;
  PackedColour* pixels = nullptr;  // width * height, row 0 first; new pixels are not initialised
  // Where the picture's file left a pixel transparent: width * height bytes,
  // nonzero for a hole, row 0 first; nullptr when the picture has no hole.
  // A hole takes part in keying as a pixel of the key colour (KeyedPixel), so
  // the alpha byte stays free for the layers to rewrite on every render.
  std::uint8_t* holes = nullptr;

  bool IsHole(int x, int y) const {
    return holes != nullptr && holes[static_cast<std::ptrdiff_t>(y) * width + x] != 0;
  }

  // y must lie in 0 .. height - 1.
  PackedColour* Row(int y) {
    assert(y >= 0 && y < height && "row out of range");
    return pixels + static_cast<std::ptrdiff_t>(y) * width;
  }
  const PackedColour* Row(int y) const {
    assert(y >= 0 && y < height && "row out of range");
    return pixels + static_cast<std::ptrdiff_t>(y) * width;
  }
};

// nullptr when either side is 0 or negative, when the image would break the size
// limits (ImageLimits.h), or when memory runs out.
PixelImage* NewPixelImage(int width, int height);
// nullptr is ignored (its pixels and hole mask go with it). Does not clear the
// caller's pointer.
void FreePixelImage(PixelImage* image);
// Keeps the top-left min(old, new) region at its coordinates; the rest is
// uninitialised. The hole mask goes: the pixels are about to be replaced. False
// (image unchanged) when the new pixels cannot be allocated.
bool ResizePixelImage(PixelImage& image, int width, int height);

// Gives the image a hole mask with no hole in it (an existing mask is cleared).
// False, the image unchanged, when memory runs out.
bool AddHoleMask(PixelImage& image);
// Frees the hole mask: every pixel is a pixel again.
void DropHoleMask(PixelImage& image);

// A pixel as keying sees it: a hole is the key colour's red, green and blue
// with the pixel's own alpha; any other pixel is itself.
constexpr PackedColour KeyedPixel(PackedColour c, bool hole, PackedColour key) {
  return hole ? (c & 0xff000000u) | (key & 0x00ffffffu) : c;
}
// Paints every hole in the key colour's red, green and blue (alpha kept): from
// then on each is a texel of the key colour, whatever reads the picture.
void PaintHoles(PixelImage& image, PackedColour key);

// Owning handle: frees through FreePixelImage.
struct PixelImageDeleter {
  void operator()(PixelImage* image) const { FreePixelImage(image); }
};
using PixelImagePtr = std::unique_ptr<PixelImage, PixelImageDeleter>;

inline PixelImagePtr MakePixelImage(int width, int height) {
  return PixelImagePtr(NewPixelImage(width, height));
}

// Reduces a coordinate into 0..size-1 (the wrap rule: -1 becomes size - 1).
inline int WrapCoordinate(int v, int size) {
  assert(size > 0 && "nothing to wrap into");
  int r = v % size;
  return r < 0 ? r + size : r;
}
// Wraps coordinates that may lie outside the image; x + 1 or y + 1 of an
// in-range coordinate is the common case and costs no division.
inline int WrapNear(int v, int size) {
  if (static_cast<unsigned>(v) < static_cast<unsigned>(size)) return v;
  if (v == size) return 0;
  return WrapCoordinate(v, size);
}

// Out of range without wrap: writes are ignored, reads give 0.
void SetImagePixel(PixelImage& image, int x, int y, bool wrap, PackedColour colour);
inline PackedColour GetImagePixel(const PixelImage& image, int x, int y, bool wrap) {
  if (static_cast<unsigned>(x) >= static_cast<unsigned>(image.width) ||
      static_cast<unsigned>(y) >= static_cast<unsigned>(image.height)) {
    if (!wrap) return 0;
    x = WrapCoordinate(x, image.width);
    y = WrapCoordinate(y, image.height);
  }
  return image.Row(y)[x];
}

// The fraction of a sample coordinate: Frac(v) when positive, otherwise
// Frac(v) + 1, so an exact integer gives 1 and the sample comes entirely from
// the next row or column. Trunc is toward zero, not floor.
struct SampleAxis {
  std::int64_t base;  // Trunc(v)
  double fraction;
};
inline SampleAxis SplitSampleCoordinate(long double v) {
  // Coordinates beyond the 64-bit range carry no fraction worth keeping; they
  // are pinned so the conversion stays defined (the sample still wraps).
  constexpr long double kLimit = 4.0e18L;
  if (!(v > -kLimit && v < kLimit)) v = v > 0 ? kLimit : v < 0 ? -kLimit : 0.0L;
  const std::int64_t base = static_cast<std::int64_t>(v);  // truncates toward zero
  long double f = v - base;
  if (!(f > 0)) f += 1;
  return SampleAxis{base, static_cast<double>(f)};
}

// A sample coordinate's base reduced into 0 .. size - 1.
inline int WrapSampleBase(std::int64_t v, int size) {
  if (static_cast<std::uint64_t>(v) < static_cast<std::uint64_t>(size)) return static_cast<int>(v);
  // Power-of-two sizes (most textures) wrap by a mask, negative values too.
  if ((size & (size - 1)) == 0) return static_cast<int>(v & (size - 1));
  // Texture walks go far beyond the picture; a 32-bit remainder is cheaper.
  if (v > INT32_MIN && v < INT32_MAX) {
    const int r = static_cast<int>(v) % size;
    return r < 0 ? r + size : r;
  }
  const std::int64_t r = v % size;
  return static_cast<int>(r < 0 ? r + size : r);
}

// The index after i (0 .. size - 1), wrapping to 0: the second column or row
// of a bilinear sample.
inline int NextWrapped(int i, int size) { return i + 1 == size ? 0 : i + 1; }

// Bilinear sample with wrap-around; transparent texels lend no colour (LerpColour).
// Inline: the textured layers call it once per pixel.
inline PackedColour SampleImage(const PixelImage& image, long double x, long double y) {
  const SampleAxis sx = SplitSampleCoordinate(x);
  const SampleAxis sy = SplitSampleCoordinate(y);
  const int x0 = WrapSampleBase(sx.base, image.width);
  const int y0 = WrapSampleBase(sy.base, image.height);
  const int x1 = NextWrapped(x0, image.width), y1 = NextWrapped(y0, image.height);
  const PackedColour* r0 = image.Row(y0);
  const PackedColour* r1 = image.Row(y1);
  // LerpColour three times, the middle results kept in lanes (the fractions
  // lie within 0..1).
  using detail::MixColourLanes, detail::ToLanes;
  const detail::ChannelLanes top = MixColourLanes(ToLanes(r0[x1]), ToLanes(r0[x0]), sx.fraction);
  const detail::ChannelLanes bottom = MixColourLanes(ToLanes(r1[x1]), ToLanes(r1[x0]), sx.fraction);
  return detail::FromLanes(MixColourLanes(bottom, top, sy.fraction));
}

// A coordinate of a filtered sample (SampleImageFiltered, SampleRowFiltered):
// its Trunc, and the range within which the fraction the extended point would
// give lies.
struct FilteredAxis {
  std::int64_t base;
  double lo, hi;
};

// The double coordinate v of a point whose extended coordinate lies within
// `error` (0 or more) of it. False when the two may not share their Trunc.
//
// No integer lies within the error of v (unless the error is 0, when the two
// points are one), so both points have the same Trunc. The fractions then lie
// within the error plus a few rounding steps of each other (the fraction is
// rounded to double; Frac + 1 is rounded too), inside [lo, hi].
inline bool SplitFilteredCoordinate(double v, double error, FilteredAxis& axis) {
  // Beyond 2^51 a double holds no fraction worth the name (and SampleImage
  // pins what lies beyond the 64-bit range).
  if (!(std::fabs(v) < 0x1p51)) return false;
  const auto base = static_cast<std::int64_t>(v);  // toward zero
  const double g = v - static_cast<double>(base);  // exact
  double slack = 0;
  if (error != 0) {
    // An error that is no number, or reaches an integer, decides nothing.
    const double below = std::fabs(g), above = 1 - below;
    if (!(below > error && above > error)) return false;
    slack = error + 0x1p-49;
  }
  double f = g;
  if (!(f > 0)) {
    if (f != 0) slack += 0x1p-49;  // Frac + 1 is rounded, in either precision
    f += 1;
  }
  axis = FilteredAxis{base, f - slack, f + slack};
  return true;
}

namespace detail {
// The bilinear mix of texels a0, b0 (the upper row, x1 then x0) and a1, b1
// (the lower) over the ranges of fractions ax and ay, in double precision:
// true, with the mix in `out`, when it is the same across them.
bool MixTexelsOverRanges(PackedColour a0, PackedColour b0, PackedColour a1, PackedColour b1,
                         const FilteredAxis& ax, const FilteredAxis& ay, PackedColour& out);

#if defined(__SSE2__)
// The bilinear mix of texels a0, b0 (the upper row, x1 then x0) and a1, b1
// (the lower), as MixColourLanes gives it, in single precision at the
// fractions tx and ty: true, with the mix in `out`, when every lane is proven
// (NarrowLerp) over ranges of fractions whose reaches (LerpReach) are reachX
// and reachY; false when some may not be.
inline bool NarrowBilinear(PackedColour a0, PackedColour b0, PackedColour a1, PackedColour b1,
                           __m128 tx, __m128 reachX, __m128 ty, __m128 reachY, PackedColour& out) {
  // Four equal texels mix to themselves at any fractions (a hole among holes,
  // a patch of one colour).
  if (a0 == b0 && a1 == b1 && a0 == a1) {
    out = a0;
    return true;
  }
  const __m128i zero = _mm_setzero_si128();
  const __m128i texels =
      _mm_unpacklo_epi64(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(a0)),
                                            _mm_cvtsi32_si128(static_cast<int>(b0))),
                         _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(a1)),
                                            _mm_cvtsi32_si128(static_cast<int>(b1))));
  const __m128i upper = _mm_unpacklo_epi8(texels, zero), lower = _mm_unpackhi_epi8(texels, zero);
  __m128i ua = _mm_unpacklo_epi16(upper, zero), ub = _mm_unpackhi_epi16(upper, zero);
  __m128i la = _mm_unpacklo_epi16(lower, zero), lb = _mm_unpackhi_epi16(lower, zero);
  constexpr int kAlphas = 0x8888;  // the alpha bytes of the four texels
  if ((_mm_movemask_epi8(_mm_cmpeq_epi8(texels, zero)) & kAlphas) != 0) {
    LendColours(ua, ub);
    LendColours(la, lb);
  }
  __m128 proven_top, proven_bottom, proven_mixed;
  __m128i top = NarrowLerp(ua, ub, tx, reachX, proven_top);
  __m128i bottom = NarrowLerp(la, lb, tx, reachX, proven_bottom);
  // The alphas of both results (lane 3 of each).
  if ((_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_unpackhi_epi32(top, bottom), zero)) & 0xff00) != 0)
    LendColours(bottom, top);
  const __m128i mixed = NarrowLerp(bottom, top, ty, reachY, proven_mixed);
  if (_mm_movemask_ps(_mm_and_ps(_mm_and_ps(proven_top, proven_bottom), proven_mixed)) != 0xf)
    return false;
  out = FromLanes({mixed});
  return true;
}
#endif
}  // namespace detail

// SampleImage at an extended-precision point known only to lie within
// errorX, errorY (0 or more) of the double-precision point (x, y): true, with
// the sample in `out`, when every point of that box samples alike; false when
// they may not (then SampleImage at the extended point decides).
//
// Why the answer is exact: both points share each coordinate's Trunc, and
// their fractions lie in the ranges SplitFilteredCoordinate gives. The
// horizontal mixes are proven alike over x's range of fractions
// (MixColourLanesOverRange), and when they are, the vertical mix of their
// results over y's.
inline bool SampleImageFiltered(const PixelImage& image, double x, double y, double errorX,
                                double errorY, PackedColour& out) {
  FilteredAxis ax{}, ay{};
  if (!SplitFilteredCoordinate(x, errorX, ax) || !SplitFilteredCoordinate(y, errorY, ay))
    return false;
  const int x0 = WrapSampleBase(ax.base, image.width);
  const int y0 = WrapSampleBase(ay.base, image.height);
  const int x1 = NextWrapped(x0, image.width), y1 = NextWrapped(y0, image.height);
  const PackedColour* r0 = image.Row(y0);
  const PackedColour* r1 = image.Row(y1);
#if defined(__SSE2__)
  if (detail::NarrowBilinear(
          r0[x1], r0[x0], r1[x1], r1[x0], _mm_set1_ps(static_cast<float>((ax.lo + ax.hi) / 2)),
          detail::LerpReach(ax.hi - ax.lo), _mm_set1_ps(static_cast<float>((ay.lo + ay.hi) / 2)),
          detail::LerpReach(ay.hi - ay.lo), out))
    return true;
#endif
  return detail::MixTexelsOverRanges(r0[x1], r0[x0], r1[x1], r1[x0], ax, ay, out);
}

}  // namespace horizonmill
