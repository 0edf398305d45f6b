#include "render/RenderSun.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "render/Easing.h"

namespace horizonmill {
namespace {

// A shift along one axis, reduced modulo the size: the disc is moved by a
// cyclic translation of the whole image, so only the remainder matters (and a
// far-off position cannot overflow an integer).
int CyclicShift(long double fraction, int size) {
  const long double shift = std::nearbyintl((fraction - 0.5L) * size);
  if (!std::isfinite(shift)) return 0;
  const long double r = std::fmod(shift, static_cast<long double>(size));
  return static_cast<int>(r < 0 ? r + size : r);
}

// The sun's colour by distance from the centre. The colour depends only on
// (|dx|, |dy|), so one quadrant is worked out, and that quadrant is symmetric
// about its diagonal: each value is computed once for the whole disc.
class SunShader {
 public:
  SunShader(const SunSettings& sun, long double radius)
      : radius_(radius),
        side_(static_cast<int>(radius) + 2),
        opacity_(255, 0, 0, static_cast<double>(radius), static_cast<double>(sun.Slopes[3])),
        red_(sun.CenterColor.r, sun.OuterColor.r, 0, static_cast<double>(radius),
             static_cast<double>(sun.Slopes[0])),
        green_(sun.CenterColor.g, sun.OuterColor.g, 0, static_cast<double>(radius),
               static_cast<double>(sun.Slopes[1])),
        blue_(sun.CenterColor.b, sun.OuterColor.b, 0, static_cast<double>(radius),
              static_cast<double>(sun.Slopes[2])) {
    if (static_cast<long long>(side_) * side_ <= kMaxTable) FillQuadrant();
    scratch_.resize(side_);
  }

  // The largest |dx| that can lie inside the disc on row dy (dy <= radius).
  int Reach(int dy) const {
    return std::min(side_ - 1, static_cast<int>(std::sqrt(radius_ * radius_ - 1.0L * dy * dy)) + 1);
  }

  // Colours for |dx| = 0 .. Reach(dy) on row dy.
  const PackedColour* Row(int dy) {
    if (!quadrant_.empty()) return &quadrant_[static_cast<std::size_t>(dy) * side_];
    for (int dx = 0, reach = Reach(dy); dx <= reach; ++dx) scratch_[dx] = Compute(dx, dy);
    return scratch_.data();
  }

 private:
  static constexpr long long kMaxTable = 1 << 23;

  void FillQuadrant() {
    quadrant_.assign(static_cast<std::size_t>(side_) * side_, 0);
    for (int dy = 0; dy < side_ && dy <= radius_; ++dy) {
      for (int dx = dy, reach = Reach(dy); dx <= reach; ++dx) {
        const PackedColour c = Compute(dx, dy);
        quadrant_[static_cast<std::size_t>(dy) * side_ + dx] = c;
        quadrant_[static_cast<std::size_t>(dx) * side_ + dy] = c;
      }
    }
  }

  PackedColour Compute(int dx, int dy) const {
    const long double d =
        std::sqrt(static_cast<long double>(dx) * dx + static_cast<long double>(dy) * dy);
    if (d > radius_) return 0;  // outside the disc: opacity 0, nothing to blend
    // Each channel follows SlopedEase from the centre value at 0 to the rim value at R.
    const double dd = static_cast<double>(d);
    return PackFloatColour(static_cast<float>(red_(dd)), static_cast<float>(green_(dd)),
                           static_cast<float>(blue_(dd)), static_cast<float>(opacity_(dd)));
  }

  long double radius_;
  int side_;
  SlopedCurve opacity_, red_, green_, blue_;
  std::vector<PackedColour> quadrant_;
  std::vector<PackedColour> scratch_;
};

// Adding or subtracting black changes nothing, whatever the opacity; a sun
// whose two colours are black is black everywhere (the default sun).
bool SunChangesNothing(const SunSettings& sun) {
  auto black = [](const FloatColour& c) { return c.r == 0 && c.g == 0 && c.b == 0; };
  return (sun.MixtureMode == MixtureMode::Add || sun.MixtureMode == MixtureMode::Sub) &&
         black(sun.CenterColor) && black(sun.OuterColor);
}

template <std::uint8_t Mode>
void BlendSunRow(BgrPixel* row, const PackedColour* colours, int x0, int x1, int cx, int W,
                 int ox) {
  int tx = x0 + ox;
  if (tx >= W) tx -= W;
  for (int x = x0; x <= x1; ++x) {
    BlendIntoMode<Mode>(row[tx], colours[std::abs(x - cx)]);
    if (++tx == W) tx = 0;
  }
}

}  // namespace

void RenderSun(RenderContext& context, WorkBitmap& target, SunSettings sun) {
  if (context.AbortRequested) return;
  const int W = target.Width(), H = target.Height();
  const long double R = Min(W, H) / 2.0L;
  const int cx = W / 2, cy = H / 2;
  const int ox = CyclicShift(sun.Position.X, W);
  const int oy = CyclicShift(sun.Position.Y, H);
  const bool draws = IsBlendMode(sun.MixtureMode) && !SunChangesNothing(sun) && R > 0;
  std::optional<SunShader> shader;
  if (draws) shader.emplace(sun, R);

  for (int y = 0; y < H; ++y) {
    const int dy = std::abs(y - cy);
    if (draws && dy <= R) {
      const int reach = shader->Reach(dy);
      const int x0 = std::max(0, cx - reach), x1 = std::min(W - 1, cx + reach);
      const PackedColour* colours = shader->Row(dy);
      BgrPixel* row = target.Row((y + oy) % H);
      DispatchBlendMode(sun.MixtureMode, [&]<std::uint8_t Mode>() {
        BlendSunRow<Mode>(row, colours, x0, x1, cx, W, ox);
      });
    }
    if (context.PollProgress(ProgressPercent(y, H))) return;
  }
  context.RenderProgress = 100;
}

SunCentre SunCentreOf(const SunPosition& position, int width, int height) {
  return SunCentre{(width / 2 + CyclicShift(position.X, width)) % width,
                   (height / 2 + CyclicShift(position.Y, height)) % height};
}

}  // namespace horizonmill
