#include "image/WorkBitmap.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "image/ImageLimits.h"
#include "image/PixelImage.h"
#include "platform/Interrupt.h"

namespace horizonmill {

bool WorkBitmap::FitsLimits(int width, int height) {
  return FitsImageLimits(width, height, static_cast<std::int64_t>(StrideFor(std::max(width, 0))));
}

std::string WorkBitmap::LimitReason(int width, int height) {
  return ImageLimitReason(width, height, static_cast<std::int64_t>(StrideFor(std::max(width, 0))));
}

bool WorkBitmap::Resize(int width, int height) {
  if (width == width_ && height == height_ && data_) return true;
  if (!FitsLimits(width, height)) return false;
  const std::size_t stride = StrideFor(width);
  std::unique_ptr<std::uint8_t[]> data(new (std::nothrow) std::uint8_t[stride * height]);
  if (!data) return false;
  data_ = std::move(data);
  width_ = width;
  height_ = height;
  stride_ = stride;
  return true;
}

void FillWorkBitmap(WorkBitmap& bitmap, BgrPixel colour) {
  for (int y = 0; y < bitmap.Height(); ++y) std::fill_n(bitmap.Row(y), bitmap.Width(), colour);
}

namespace {

// Applies the wrap rule; false when the pixel is out of range without wrap.
inline bool Locate(const WorkBitmap& bitmap, int& x, int& y, bool wrap) {
  if (static_cast<unsigned>(x) < static_cast<unsigned>(bitmap.Width()) &&
      static_cast<unsigned>(y) < static_cast<unsigned>(bitmap.Height()))
    return true;
  if (!wrap || bitmap.Empty()) return false;
  x = WrapCoordinate(x, bitmap.Width());
  y = WrapCoordinate(y, bitmap.Height());
  return true;
}

}  // namespace

void SetBitmapPixel(WorkBitmap& bitmap, int x, int y, bool wrap, BgrPixel colour) {
  if (Locate(bitmap, x, y, wrap)) bitmap.Row(y)[x] = colour;
}

BgrPixel GetBitmapPixel(const WorkBitmap& bitmap, int x, int y, bool wrap) {
  if (!Locate(bitmap, x, y, wrap)) return BgrPixel{};
  return bitmap.Row(y)[x];
}

void BlendBitmapPixel(WorkBitmap& bitmap, int x, int y, std::uint8_t mode, bool wrap,
                      PackedColour colour) {
  if (Alpha(colour) == 0) return;
  if (Locate(bitmap, x, y, wrap)) BlendInto(bitmap.Row(y)[x], colour, mode);
}

void BlendSpan(WorkBitmap& bitmap, int x1, int x2, std::uint8_t mode, bool wrap,
               PackedColour colour, int y) {
  if (x2 < x1 || Alpha(colour) == 0 || !IsBlendMode(mode) || bitmap.Empty()) return;
  const int w = bitmap.Width();
  int x = x1;
  int row_y = y;
  int start = 0;
  if (!Locate(bitmap, start, row_y, wrap)) return;
  BgrPixel* row = bitmap.Row(row_y);
  if (!wrap) {
    const int from = std::max(x1, 0);
    const int to = std::min(x2, w - 1);
    for (int i = from; i <= to; ++i) BlendInto(row[i], colour, mode);
    return;
  }
  // With wrap every x of the span is blended, in increasing x, each reduced
  // modulo the width (a span wider than the image blends some pixels twice).
  int wx = WrapCoordinate(x, w);
  for (long long n = static_cast<long long>(x2) - x1; n >= 0; --n) {
    BlendInto(row[wx], colour, mode);
    if (++wx == w) wx = 0;
  }
}

void BlendEllipse(WorkBitmap& bitmap, int cx, int cy, std::uint8_t mode, bool wrap,
                  PackedColour colour, int ry, int rx) {
  if (rx < 1 || ry < 1) return;
  auto span = [&](long long h, long long v) {
    const int x1 = static_cast<int>(cx - h);
    const int x2 = static_cast<int>(cx + h);
    if (v != 0) BlendSpan(bitmap, x1, x2, mode, wrap, colour, static_cast<int>(cy - v));
    BlendSpan(bitmap, x1, x2, mode, wrap, colour, static_cast<int>(cy + v));
  };
  // A midpoint circle walk over one quadrant; the shorter axis is scaled by an
  // 8.8 fixed-point ratio, and each distinct row is drawn once.
  long long last = -1;
  long long i = 0;
  if (ry < rx) {
    long long a = rx, d = 1 - static_cast<long long>(rx);
    const long long k = (static_cast<long long>(ry) * 256) / rx;
    do {
      if (d > 0) {
        --a;
        d -= 2 * a;
      } else {
        ++i;
        d += 2 * i;
      }
      const long long v = (i * k) >> 8;
      if (v != last) {
        span(a, v);
        last = v;
      }
    } while (a > 0);
  } else {
    long long b = ry, d = 1 - static_cast<long long>(ry);
    const long long k = (static_cast<long long>(rx) * 256) / ry;
    do {
      if (d > 0) {
        --b;
        d -= 2 * b;
      } else {
        ++i;
        d += 2 * i;
      }
      const long long h = (i * k) >> 8;
      if (b != last) {
        span(h, b);
        last = b;
      }
    } while (b > 0);
  }
}

void LoadImageFromBitmap(PixelImage& image, const WorkBitmap& bitmap) {
  if ((image.width != bitmap.Width() || image.height != bitmap.Height()) &&
      !ResizePixelImage(image, bitmap.Width(), bitmap.Height()))
    return;
  DropHoleMask(image);
  for (int y = 0; y < bitmap.Height(); ++y) {
    StopIfInterrupted();
    const BgrPixel* from = bitmap.Row(y);
    PackedColour* to = image.Row(y);
    for (int x = 0; x < bitmap.Width(); ++x) to[x] = BgrToPacked(from[x]);
  }
}

namespace {

// One output sample of a resampled axis: taps [first, first + count) of the
// weights table, starting at source index `source`.
struct Tap {
  int source;
  int count;
  std::size_t first;
};

// Area average when shrinking (each output covers src/dst inputs, partial inputs
// weighted by coverage), bilinear between input centres when growing.
void BuildTaps(int src, int dst, std::vector<Tap>& taps, std::vector<float>& weights) {
  taps.clear();
  weights.clear();
  const double scale = static_cast<double>(src) / dst;
  for (int o = 0; o < dst; ++o) {
    Tap tap{0, 0, weights.size()};
    if (src > dst) {
      const double lo = o * scale, hi = (o + 1) * scale;
      const int first = static_cast<int>(lo);
      const int last = std::min(src - 1, static_cast<int>(std::ceil(hi)) - 1);
      tap.source = first;
      for (int i = first; i <= last; ++i) {
        const double cover = std::min<double>(hi, i + 1) - std::max<double>(lo, i);
        weights.push_back(static_cast<float>(cover / scale));
        ++tap.count;
      }
    } else {
      double centre = (o + 0.5) * scale - 0.5;
      centre = std::clamp(centre, 0.0, static_cast<double>(src - 1));
      const int i0 = static_cast<int>(centre);
      const double f = centre - i0;
      tap.source = i0;
      weights.push_back(static_cast<float>(1 - f));
      tap.count = 1;
      if (i0 + 1 < src) {
        weights.push_back(static_cast<float>(f));
        tap.count = 2;
      }
    }
    taps.push_back(tap);
  }
}

}  // namespace

void StretchDraw(const WorkBitmap& src, WorkBitmap& dst) { StretchDraw(src, dst, nullptr); }

bool StretchDraw(const WorkBitmap& src, WorkBitmap& dst, const std::function<bool()>& stop) {
  if (src.Empty() || dst.Empty()) return true;
  const int sw = src.Width(), sh = src.Height(), dw = dst.Width(), dh = dst.Height();
  std::vector<Tap> xtaps, ytaps;
  std::vector<float> xw, yw;
  BuildTaps(sw, dw, xtaps, xw);
  BuildTaps(sh, dh, ytaps, yw);

  // Vertical first: each output row is a weighted sum of a few whole source
  // rows (contiguous, so the loop vectorises), then resampled along the row.
  const int row_values = sw * 3;
  std::vector<float> acc(static_cast<std::size_t>(row_values));
  auto to_byte = [](float v) {
    return static_cast<std::uint8_t>(std::clamp(std::nearbyint(v), 0.0f, 255.0f));
  };
  for (int y = 0; y < dh; ++y) {
    const Tap& t = ytaps[y];
    std::fill(acc.begin(), acc.end(), 0.0f);
    for (int k = 0; k < t.count; ++k) {
      const float w = yw[t.first + k];
      const auto* in = reinterpret_cast<const std::uint8_t*>(src.Row(t.source + k));
      float* a = acc.data();
      for (int i = 0; i < row_values; ++i) a[i] += w * static_cast<float>(in[i]);
    }
    BgrPixel* row = dst.Row(y);
    for (int x = 0; x < dw; ++x) {
      const Tap& h = xtaps[x];
      float b = 0, g = 0, r = 0;
      const float* a = &acc[static_cast<std::size_t>(h.source) * 3];
      for (int k = 0; k < h.count; ++k) {
        const float w = xw[h.first + k];
        b += w * a[3 * k];
        g += w * a[3 * k + 1];
        r += w * a[3 * k + 2];
      }
      row[x] = BgrPixel{to_byte(b), to_byte(g), to_byte(r)};
    }
    if (stop && stop()) return false;
  }
  return true;
}

}  // namespace horizonmill
