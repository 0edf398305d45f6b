// The ground pass. A layer handed no texture is drawn with the checkerboard
// placeholder (see PlaneLayer.h).
//
// The ripple warp takes sin and cos of (channel - average) * K per pixel, and the
// reflection mix rounds r * Reflection + c * (1 - Reflection) per channel. The
// channels are bytes, so these have only 256 (and 256 x 256) possible values:
// the pass works them out once, in extended precision, and looks them up per
// pixel. The values are exactly those of sinl, cosl and the rounding at each
// pixel, at a fraction of the cost.
#include "render/RenderGround.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <vector>

#include "render/PlaneLayer.h"

namespace horizonmill {
namespace {

// pi cut to eight significant digits, divided by 256.
constexpr long double kRippleK = 0.01227184609375L;

// What the pass works out once because it depends only on bytes: the ripple
// terms sin((red - avg.red) * K) and cos((green - avg.green) * K) for every
// red and green, and the reflection mix of every pair of channel values.
struct MirrorTables {
  long double ripple_sin[256];
  long double ripple_cos[256];
  double ripple_sin_double[256];  // the same, rounded to double
  double ripple_cos_double[256];
  std::uint8_t mix[256][256];  // [reflected][ground]
};

// Round(r * reflection + c * (1 - reflection)), halves to even. Within 0..1 the
// value always lies within 0..255; a reflection beyond that (never from the
// track bar) is clamped there, and a value that is no number gives 0.
std::uint8_t MixChannel(int r, int c, long double reflection, long double keep) {
  // rintl rounds as nearbyintl does (the current mode: halves to even) without
  // saving and restoring the floating-point environment, for 65536 entries.
  const long double v = std::rintl(r * reflection + c * keep);
  if (v > 255) return 255;
  if (!(v >= 0)) return 0;
  return static_cast<std::uint8_t>(v);
}

// The ripple terms only when there is a mirror image to warp (the texture's
// average is not needed otherwise).
void FillMirrorTables(MirrorTables& t, const PixelImage& texture, bool warp,
                      long double reflection) {
  if (warp) {
    const AverageColourResult avg = AverageColour(texture);
    for (int v = 0; v < 256; ++v) {
      t.ripple_sin[v] = std::sin((v - static_cast<long double>(avg.r)) * kRippleK);
      t.ripple_cos[v] = std::cos((v - static_cast<long double>(avg.g)) * kRippleK);
      t.ripple_sin_double[v] = static_cast<double>(t.ripple_sin[v]);
      t.ripple_cos_double[v] = static_cast<double>(t.ripple_cos[v]);
    }
  }
  const long double keep = 1 - reflection;
  for (int r = 0; r < 256; ++r)
    for (int c = 0; c < 256; ++c) t.mix[r][c] = MixChannel(r, c, reflection, keep);
}

// What every block of the pass reads.
struct GroundPass {
  WorkBitmap& target;
  const PixelImage& texture;
  const std::vector<PlaneStep>& rows;  // step j draws row H - 1 - j
  const MirrorTables* tables;          // with a reflection
  const WorkBitmap* mirror;            // none: mixed toward white
  bool reflect;
  long double w1024;  // W / 1024
  long double warp;   // ReflectionWarp
};

// The row of the mirror that a sample at the whole-number row `row` comes from.
const BgrPixel* MirrorRow(const WorkBitmap& mirror, int row) {
  const int y0 = WrapSampleBase(row, mirror.Height());
  return mirror.Row(NextWrapped(y0, mirror.Height()));
}

// Mixes the mirror image into the colours of columns first .. last - 1 of
// one row: mirror row `row` (row y - half of the image) at the step's distance d.
//
// The ripple's sideways shift, (sin + cos - 1) * warp * (W / 1024) / (d / 5),
// is defined in extended precision; it is formed in double, and the mirror
// sampled there when that is proven to give the same pixel (SampleRowFiltered).
// Bound on the difference: the terms sin + cos - 1 lie within 3 of 0, and their
// double sum within 2^-50 of the extended one; warp, d / 5 and the quotient q
// below are rounded to double, and so is the product, five roundings of at
// most 2^-53 each: the shift lies within |q| * 2^-48 of the extended one (the
// extended one's own roundings, near 2^-64, are left far inside the margin).
// Adding the column rounds each by at most |x + shift| * 2^-53, and
// |x + shift| < W + 3 |q|. The bound used, (4 |q| + W) * 2^-46 for every pixel
// of the row, is twice that or more. A warp or distance that makes q no
// number or infinite leaves every pixel to the extended way.
void Reflect(const GroundPass& pass, int first, int last, int row, long double d,
             PackedColour* colours) {
  const MirrorTables& tables = *pass.tables;
  const auto& mix = tables.mix;
  // Without a reflection bitmap the ground is mixed toward white; an empty one
  // samples black.
  PackedColour fixed = MakePacked(255, 255, 255, 255);
  // The row is a whole number, so the mirror sample comes from the next row
  // (and, without warp, the next column): the mirror runs one pixel off, and
  // the bottom row wraps to the reflection's first rows.
  const BgrPixel* next = nullptr;
  if (pass.mirror != nullptr) {
    fixed = MakePacked(0, 0, 0, 255);
    if (!pass.mirror->Empty()) next = MirrorRow(*pass.mirror, row);
  }
  const long double fifth = d / 5;
  const double q =
      static_cast<double>(pass.warp) * static_cast<double>(pass.w1024) / static_cast<double>(fifth);
  const int width = next != nullptr ? pass.mirror->Width() : 0;
  const double bound = (4 * std::fabs(q) + pass.target.Width()) * 0x1p-46;
#if defined(__SSE2__)
  const __m128 reach = detail::LerpReach(2 * (bound + 0x1p-48));
#endif
  // In three passes over the block, each a short chain per pixel, so that
  // the processor works on many pixels at once: the shifts, the samples, the
  // mixes.
  const int count = last - first;
  PackedColour reflected[kPlaneBlockColumns];
  if (next != nullptr) {
    double at[kPlaneBlockColumns];
    // The ripple displaces the mirror sample sideways only: largest near the
    // viewer (d = 1 gives the factor 5), dying away as 5 / d.
    for (int i = 0; i < count; ++i) {
      const PackedColour c = colours[i];
      at[i] = (first + i) +
              (tables.ripple_sin_double[Red(c)] + tables.ripple_cos_double[Green(c)] - 1) * q;
    }
    for (int i = 0; i < count; ++i) {
      BgrPixel sample;
#if defined(__SSE2__)
      if (!SampleRowNarrow(next, width, at[i], bound, reach, sample))
#endif
        if (!SampleRowFiltered(next, width, at[i], bound, sample)) {
          const PackedColour c = colours[i];
          const long double warp = (tables.ripple_sin[Red(c)] + tables.ripple_cos[Green(c)] - 1) *
                                   pass.warp * pass.w1024 / fifth;
          sample = SampleRow(next, width, first + i + warp);
        }
      reflected[i] = BgrToPacked(sample);
    }
  } else {
    std::fill_n(reflected, count, fixed);
  }
  for (int i = 0; i < count; ++i) {
    const PackedColour c = colours[i], r = reflected[i];
    colours[i] =
        MakePacked(mix[Red(r)][Red(c)], mix[Green(r)][Green(c)], mix[Blue(r)][Blue(c)], Alpha(c));
  }
}

// Steps j0 .. j1 - 1 of columns first .. last - 1; step j draws row H - 1 - j,
// from the nadir up to the horizon row.
void DrawRows(const GroundPass& pass, PlaneColumns& columns, int first, int last, int j0, int j1) {
  const int H = pass.target.Height(), half = H / 2;
  const int count = last - first;
  const bool mirrored = pass.reflect && pass.mirror != nullptr && !pass.mirror->Empty();
  PackedColour colours[kPlaneBlockColumns];
  for (int j = j0; j < j1; ++j) {
    const int y = H - 1 - j;
    const long double d = pass.rows[j].distance;
    const AerialFader& fade = pass.rows[j].fade;
    columns.Sample(first, last, j, colours);
    if (j + kPlaneRowsAhead < j1) {
      const int ahead = y - kPlaneRowsAhead;
      Prefetch(pass.target.Row(ahead) + first, count * sizeof(BgrPixel), true);
      if (mirrored)
        Prefetch(MirrorRow(*pass.mirror, ahead - half) + first, count * sizeof(BgrPixel), false);
    }
    if (pass.reflect) Reflect(pass, first, last, y - half, d, colours);
    BgrPixel* out = pass.target.Row(y) + first;
    fade.FadeRow(colours, columns.Horizons(first), count);
    for (int i = 0; i < count; ++i) out[i] = PackedToBgr(colours[i]);
  }
}

}  // namespace

AverageColourResult AverageColour(const PixelImage& image) {
  float r = 0, g = 0, b = 0, a = 0;
  long long count = 0;
  for (int y = 0; y < image.height; ++y) {
    const PackedColour* row = image.Row(y);
    for (int x = 0; x < image.width; ++x) {
      // Single-precision sums: every addition is rounded to float, so a large
      // texture loses the low bits of its sum as a float would.
      r += static_cast<float>(Red(row[x]));
      g += static_cast<float>(Green(row[x]));
      b += static_cast<float>(Blue(row[x]));
      a += static_cast<float>(Alpha(row[x]));
      ++count;
    }
  }
  if (count == 0) return {};
  const long double n = static_cast<long double>(count);
  return AverageColourResult{static_cast<float>(r / n), static_cast<float>(g / n),
                             static_cast<float>(b / n), static_cast<float>(a / n)};
}

void RenderGround(RenderContext& context, WorkBitmap& target, GroundLayerInput input) {
  if (context.AbortRequested) return;
  PixelImagePtr placeholder;
  input.Texture = PlaneTexture(input.Texture, placeholder);
  if (input.Texture == nullptr) {
    context.RenderProgress = 100;
    return;
  }
  const PixelImage& texture = *input.Texture;

  const int W = target.Width(), H = target.Height();
  const int half = H / 2;
  const int steps = H - half;
  const long double w1024 = static_cast<long double>(W) / 1024;

  // "Reflection > 0" is false for a value that is no number: no mirror then.
  const bool reflect = input.Reflection > 0;
  // Without a reflection bitmap the ground is mixed toward white.
  const WorkBitmap* mirror = reflect ? input.ReflectionBitmap : nullptr;

  // Step j draws row H - 1 - j.
  std::vector<PlaneStep> rows;
  std::unique_ptr<MirrorTables> tables;
  try {
    if (reflect) tables = std::make_unique<MirrorTables>();
  } catch (const std::bad_alloc&) {
    context.RenderProgress = 100;
    return;
  }
  if (!MakePlaneSteps(H, steps, input.AirDepth, rows)) {
    context.RenderProgress = 100;
    return;
  }
  if (reflect) FillMirrorTables(*tables, texture, mirror != nullptr, input.Reflection);

  const GroundPass pass{target, texture, rows,  tables.get(),
                        mirror, reflect, w1024, input.ReflectionWarp};
  PlaneColumns columns(W, H, texture, PlaneScale(input.Scale), input.HorizonRow, rows);
  if (!columns.Allocate()) {
    context.RenderProgress = 100;
    return;
  }
  auto draw = [&](int first, int last, int j0, int j1) {
    DrawRows(pass, columns, first, last, j0, j1);
  };
  if (!DrawPlaneBands(context, W, steps, columns, draw)) return;
  context.RenderProgress = 100;
}

}  // namespace horizonmill
