// WorkBitmap: the 24-bit render target. BGR pixels, rows padded to 4 bytes like a
// device-independent bitmap, row 0 at the top. Every renderer reaches pixels
// through Row(y).
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "image/Colour.h"
#include "image/PixelImage.h"

namespace horizonmill {

class WorkBitmap {
 public:
  WorkBitmap() = default;
  // A bitmap of the given size, contents undefined; empty (0 x 0) when the size
  // breaks the limits or memory runs out (check Empty()).
  WorkBitmap(int width, int height) { Resize(width, height); }

  WorkBitmap(WorkBitmap&&) noexcept = default;
  WorkBitmap& operator=(WorkBitmap&&) noexcept = default;
  WorkBitmap(const WorkBitmap&) = delete;
  WorkBitmap& operator=(const WorkBitmap&) = delete;

  // Sets a new size; contents are undefined afterwards. False, leaving the bitmap
  // as it was, when the size breaks the limits (ImageLimits.h) or memory runs out.
  bool Resize(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  std::size_t Stride() const { return stride_; }

  // Row 0 is the top; y must lie in 0 .. Height() - 1.
  BgrPixel* Row(int y) {
    assert(y >= 0 && y < height_ && "row out of range");
    return reinterpret_cast<BgrPixel*>(data_.get() + y * stride_);
  }
  const BgrPixel* Row(int y) const {
    assert(y >= 0 && y < height_ && "row out of range");
    return reinterpret_cast<const BgrPixel*>(data_.get() + y * stride_);
  }
  std::uint8_t* Bits() { return data_.get(); }
  const std::uint8_t* Bits() const { return data_.get(); }

  // Bytes per row for a width: 3 bytes a pixel, padded to a multiple of 4.
  static std::size_t StrideFor(int width) {
    return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  }
  static bool FitsLimits(int width, int height);
  // Which limit a bitmap of that size breaks (image/ImageLimits.h); empty when it fits.
  static std::string LimitReason(int width, int height);

 private:
  std::unique_ptr<std::uint8_t[]> data_;
  int width_ = 0;
  int height_ = 0;
  std::size_t stride_ = 0;
};

// A pixel read as a platform colour value: red in the low byte, then green, blue.
inline std::uint32_t ReadColorRef(const WorkBitmap& bitmap, int x, int y) {
  const BgrPixel p = bitmap.Row(y)[x];
  return p.r | p.g << 8 | p.b << 16;
}

void FillWorkBitmap(WorkBitmap& bitmap, BgrPixel colour);

// Out of range without wrap: writes are ignored, reads give (0, 0, 0).
void SetBitmapPixel(WorkBitmap& bitmap, int x, int y, bool wrap, BgrPixel colour);
BgrPixel GetBitmapPixel(const WorkBitmap& bitmap, int x, int y, bool wrap);

// Alpha 0 changes nothing in any mode; otherwise the pixel (under the wrap rule)
// becomes BlendColour(colour, mode, pixel), unchanged for a value that is no mode.
void BlendBitmapPixel(WorkBitmap& bitmap, int x, int y, std::uint8_t mode, bool wrap,
                      PackedColour colour);
// BlendBitmapPixel for x = x1 .. x2 on row y; nothing when x2 < x1.
void BlendSpan(WorkBitmap& bitmap, int x1, int x2, std::uint8_t mode, bool wrap,
               PackedColour colour, int y);
// A filled ellipse drawn as spans, each row at most once (no pixel is blended twice).
void BlendEllipse(WorkBitmap& bitmap, int cx, int cy, std::uint8_t mode, bool wrap,
                  PackedColour colour, int ry, int rx);

// Bilinear sample with wrap-around (the rules of SampleImage, mixed by LerpBgr).
inline BgrPixel SampleBitmap(const WorkBitmap& bitmap, long double x, long double y) {
  if (bitmap.Empty()) return BgrPixel{};
  const SampleAxis sx = SplitSampleCoordinate(x);
  const SampleAxis sy = SplitSampleCoordinate(y);
  const int x0 = WrapSampleBase(sx.base, bitmap.Width());
  const int y0 = WrapSampleBase(sy.base, bitmap.Height());
  const int x1 = NextWrapped(x0, bitmap.Width()), y1 = NextWrapped(y0, bitmap.Height());
  const BgrPixel* r0 = bitmap.Row(y0);
  const BgrPixel* r1 = bitmap.Row(y1);
  const BgrPixel top = LerpBgr(r0[x1], r0[x0], sx.fraction);
  const BgrPixel bottom = LerpBgr(r1[x1], r1[x0], sx.fraction);
  return LerpBgr(bottom, top, sy.fraction);
}

// SampleBitmap at a whole-number row: the fraction of a whole number is 1, so
// the sample comes entirely from the next row, and this gives exactly
// SampleBitmap(bitmap, x, y) when `next` is the row after y (wrapping) of a
// bitmap `width` wide.
inline BgrPixel SampleRow(const BgrPixel* next, int width, long double x) {
  const SampleAxis sx = SplitSampleCoordinate(x);
  const int x0 = WrapSampleBase(sx.base, width);
  const int x1 = NextWrapped(x0, width);
  return LerpBgr(next[x1], next[x0], sx.fraction);
}

#if defined(__SSE2__)
// SampleRowFiltered the cheap way, for an x from 0 up to 2^31 and an error
// bound taken for a whole row: `reach` is LerpReach(2 * (error + 2^-48)), the
// width of the fractions that allows. False leaves it to SampleRowFiltered.
inline bool SampleRowNarrow(const BgrPixel* next, int width, double x, double error, __m128 reach,
                            BgrPixel& out) {
  if (!(x >= 0 && x < 0x1p31)) return false;
  const int base = static_cast<int>(x);
  const double fraction = x - base;  // exact, and positive once off the integers
  if (!(fraction > error && fraction < 1 - error)) return false;
  const int x0 = base < width ? base : WrapSampleBase(base, width);
  const int x1 = NextWrapped(x0, width);
  const BgrPixel a = next[x1], b = next[x0];
  if (a == b) {
    out = a;
    return true;
  }
  __m128 proven;
  const __m128i mixed =
      detail::NarrowLerp(detail::ToLanes(BgrAsInt(a)).v, detail::ToLanes(BgrAsInt(b)).v,
                         _mm_set1_ps(static_cast<float>(fraction)), reach, proven);
  if (_mm_movemask_ps(proven) != 0xf) return false;
  out = detail::BgrFromLanes({mixed});
  return true;
}
#endif

// SampleRow at an extended-precision x known only to lie within `error` of
// the double x: true, with the sample in `out`, when every x of that range
// samples alike (the reasoning of SampleImageFiltered, on one axis); false
// when they may not.
inline bool SampleRowFiltered(const BgrPixel* next, int width, double x, double error,
                              BgrPixel& out) {
  FilteredAxis ax{};
  if (!SplitFilteredCoordinate(x, error, ax)) return false;
  const int x0 = WrapSampleBase(ax.base, width);
  const int x1 = NextWrapped(x0, width);
  detail::ChannelLanes mixed;
  if (!detail::LerpLanesOverRange(detail::ToLanes(BgrAsInt(next[x1])),
                                  detail::ToLanes(BgrAsInt(next[x0])), ax.lo, ax.hi, mixed))
    return false;
  out = detail::BgrFromLanes(mixed);
  return true;
}

// Copies the bitmap into the image, resizing the image first when the sizes
// differ (if that fails nothing is copied); every pixel becomes opaque and the
// image keeps no hole mask. Stops
// between rows with Interrupted when an interrupt is pending (platform/Interrupt.h).
void LoadImageFromBitmap(PixelImage& image, const WorkBitmap& bitmap);

// Scales the whole of src into the whole of dst: area average where a side
// shrinks, bilinear where it grows.
void StretchDraw(const WorkBitmap& src, WorkBitmap& dst);
// The same, row by row of dst, asking `stop` after each row (a large source
// takes a while): when it says true, the drawing ends there and false is
// returned; the rows not reached keep what they held.
bool StretchDraw(const WorkBitmap& src, WorkBitmap& dst, const std::function<bool()>& stop);

}  // namespace horizonmill
