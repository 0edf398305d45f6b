// The drawing of the sun's disc, shared by the sun layer's two translation
// units: RenderSun.cpp draws it as it always has, RenderSunKeeping.cpp draws it
// keeping the weight of every blend (render/SunWeights.h). The second is
// compiled apart so that it cannot change how the first is compiled (its extra
// instantiations cost the usual drawing its inlining, measurably).
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "image/WorkBitmap.h"
#include "render/Easing.h"
#include "render/RenderContext.h"
#include "render/SunWeights.h"
#include "render/WorkCrew.h"
#include "scene/SceneSettings.h"

namespace horizonmill::detail {

// The sun's colour at (dx, dy) from the centre (it depends only on dx² + dy²,
// so a quadrant holds every colour, and the quadrant is symmetric about its
// diagonal). Curves that raise the same power (equal slopes) share it, which
// saves the costly powers of the usual sun whose colour channels have one slope.
class SunShader {
 public:
  SunShader(const SunSettings& sun, long double radius)
      : radius_(radius),
        curves_{Curve(sun.CenterColor.r, sun.OuterColor.r, radius, sun.Slopes[0]),
                Curve(sun.CenterColor.g, sun.OuterColor.g, radius, sun.Slopes[1]),
                Curve(sun.CenterColor.b, sun.OuterColor.b, radius, sun.Slopes[2]),
                Curve(255, 0, radius, sun.Slopes[3])} {
    for (int i = 0; i < 4; ++i) {
      sharedPower_[i] = i;
      for (int j = 0; j < i; ++j) {
        if (curves_[j].SamePower(curves_[i])) {
          sharedPower_[i] = j;
          break;
        }
      }
    }
  }

  // How many values of |dx| (or |dy|) can lie in the disc: 0 .. floor(R).
  int Extent() const { return static_cast<int>(radius_) + 1; }
  // Whether the point (dx, dy) lies in the disc.
  bool Reaches(int dx, int dy) const {
    return static_cast<long double>(dx) * dx + static_cast<long double>(dy) * dy <=
           radius_ * radius_;
  }

  PackedColour Compute(int dx, int dy) const {
    const long double d =
        std::sqrt(static_cast<long double>(dx) * dx + static_cast<long double>(dy) * dy);
    if (d > radius_) return 0;  // outside the disc: opacity 0, nothing to blend
    // Each channel follows SlopedEase from the centre value at 0 to the rim value at R.
    const double dd = static_cast<double>(d);
    double power[4] = {};
    for (int i = 0; i < 4; ++i)
      power[i] = sharedPower_[i] == i ? curves_[i].Power(dd) : power[sharedPower_[i]];
    auto value = [&](int i) { return static_cast<float>(curves_[i].Value(power[i])); };
    return PackFloatColour(value(0), value(1), value(2), value(3));
  }

 private:
  static SlopedCurve Curve(double centre, double outer, long double radius, long double slope) {
    return SlopedCurve(centre, outer, 0, static_cast<double>(radius), static_cast<double>(slope));
  }

  long double radius_;
  std::array<SlopedCurve, 4> curves_;  // red, green, blue, opacity
  int sharedPower_[4];                 // the first curve with the same power
};

// Adding or subtracting black changes nothing, whatever the opacity; a sun
// whose two colours are black is black everywhere (the default sun).
inline bool SunChangesNothing(const SunSettings& sun) {
  auto black = [](const FloatColour& c) { return c.r == 0 && c.g == 0 && c.b == 0; };
  return (sun.MixtureMode == MixtureMode::Add || sun.MixtureMode == MixtureMode::Sub) &&
         black(sun.CenterColor) && black(sun.OuterColor);
}

// Blends the colours of one row of the quadrant into the image: the four
// points (cx +- dx, cy +- dy) of each, where they lie in the image, moved by
// the shift (ox, oy) with wrap-around. With Keep, the weight of each blend
// goes into the weights at the same pixel.
template <std::uint8_t Mode, bool Keep>
struct SunPainter {
  WorkBitmap& target;
  SunWeights* weights;
  int W, H, cx, cy, ox, oy;

  // colours[k] is the colour at |dx| = dx0 + k, |dy| = dy.
  void Row(int dy, int dx0, const PackedColour* colours, int count) const {
    Line(cy - dy, dx0, colours, count);
    if (dy > 0) Line(cy + dy, dx0, colours, count);
  }

 private:
  void Line(int y, int dx0, const PackedColour* colours, int count) const {
    if (y < 0 || y >= H) return;
    BgrPixel* row = target.Row((y + oy) % H);
    [[maybe_unused]] float* kept = nullptr;
    if constexpr (Keep) kept = weights->Row((y + oy) % H);
    // Right of the centre: x = cx + dx0 + k.
    const int right = std::min(count, W - cx - dx0);
    int tx = cx + dx0 + ox;
    if (tx >= W) tx -= W;
    for (int k = 0; k < right; ++k) {
      BlendIntoMode<Mode>(row[tx], colours[k]);
      if constexpr (Keep) kept[tx] = SunWeightOf(Mode, Alpha(colours[k]));
      if (++tx == W) tx = 0;
    }
    // Left of it: x = cx - dx0 - k; the centre column once only.
    const int skip = dx0 == 0 ? 1 : 0;
    const int left = std::min(count, cx - dx0 + 1);
    tx = cx - dx0 - skip + ox;
    if (tx >= W) tx -= W;
    for (int k = skip; k < left; ++k) {
      BlendIntoMode<Mode>(row[tx], colours[k]);
      if constexpr (Keep) kept[tx] = SunWeightOf(Mode, Alpha(colours[k]));
      tx = tx == 0 ? W - 1 : tx - 1;
    }
  }
};

// The quadrant is cut into square tiles; band b holds the rows |dy| (and the
// columns |dx|) b * kSunTile .. b * kSunTile + kSunTile - 1. A block of work is
// one band: its tiles (b, a) right of the diagonal (a >= b), each of which is
// also the transpose of tile (a, b). So every colour is worked out once for an
// eighth of the disc, and a thread needs one tile of memory at any size.
constexpr int kSunTile = 32;

template <std::uint8_t Mode, bool Keep>
void DrawBand(const SunShader& shader, const SunPainter<Mode, Keep>& painter, int band) {
  const int extent = shader.Extent();
  const int bands = (extent - 1) / kSunTile + 1;
  const int dy0 = band * kSunTile;
  const int rows = std::min(kSunTile, extent - dy0);
  PackedColour tile[kSunTile][kSunTile];
  PackedColour column[kSunTile];
  for (int a = band; a < bands; ++a) {
    const int dx0 = a * kSunTile;
    if (!shader.Reaches(dx0, dy0)) break;  // this tile and those beyond lie outside
    const int columns = std::min(kSunTile, extent - dx0);
    for (int i = 0; i < rows; ++i) {
      for (int j = 0; j < columns; ++j) {
        // On the diagonal tile the lower half mirrors the upper one.
        tile[i][j] = a == band && j < i ? tile[j][i] : shader.Compute(dx0 + j, dy0 + i);
      }
      painter.Row(dy0 + i, dx0, tile[i], columns);
    }
    if (a == band) continue;
    // The transpose: rows dx0 + j, columns dy0 .. dy0 + rows - 1.
    for (int j = 0; j < columns; ++j) {
      for (int i = 0; i < rows; ++i) column[i] = tile[i][j];
      painter.Row(dx0 + j, dy0, column, rows);
    }
  }
}

// Blends the disc of radius R centred on (cx, cy) and moved by (ox, oy) into
// the target, the bands shared among the context's threads; with Keep the
// weight of every blend goes into `weights` (sized to the target). False when
// the render was aborted.
template <bool Keep>
bool PaintSunDisc(RenderContext& context, WorkBitmap& target, const SunSettings& sun,
                  SunWeights* weights, long double R, int cx, int cy, int ox, int oy) {
  const int W = target.Width(), H = target.Height();
  const SunShader shader(sun, R);
  const int bands = (shader.Extent() - 1) / kSunTile + 1;
  WorkCrew crew(context.Threads);
  bool finished = true;
  DispatchBlendMode(sun.MixtureMode, [&]<std::uint8_t Mode>() {
    // Each point of the disc is one pixel of the image (the shift is a cyclic
    // translation), and each band blends its own points: bands never meet.
    const SunPainter<Mode, Keep> painter{target, weights, W, H, cx, cy, ox, oy};
    auto draw = [&](int, std::int64_t first, std::int64_t last) {
      for (std::int64_t b = first; b < last; ++b) DrawBand(shader, painter, static_cast<int>(b));
    };
    finished =
        crew.Run(bands, 1, draw, [&](std::int64_t done) { return context.PollUnits(done, bands); });
  });
  return finished;
}

// PaintSunDisc<true>, compiled in RenderSunKeeping.cpp.
bool PaintSunDiscKeepingWeights(RenderContext& context, WorkBitmap& target, const SunSettings& sun,
                                SunWeights& weights, long double R, int cx, int cy, int ox, int oy);

}  // namespace horizonmill::detail
