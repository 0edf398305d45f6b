#include "render/RenderStars.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "image/Colour.h"
#include "render/Easing.h"

namespace horizonmill {
namespace {

// A star radius as an integer. A radius is only meaningful up to a few image
// sizes (beyond that the ellipse covers the panorama several times over);
// larger or non-finite values are held at that bound so the conversion stays
// defined and the drawing work stays bounded.
int StarRadius(double value, int bound) {
  if (std::isnan(value)) return 0;
  return static_cast<int>(std::nearbyint(std::clamp(value, -double{1} * bound, double{1} * bound)));
}

}  // namespace

void RenderStars(RenderContext& context, WorkBitmap& target, StarLayerInput input, bool preview) {
  if (context.AbortRequested) return;
  const int W = target.Width(), H = target.Height();
  const long double size = input.SizeOfStars;
  const long double sx = W / 1024.0L * input.OverSampling * size;
  const long double sy = H / 1024.0L * input.OverSampling * size;
  SceneRandom& random = context.Random;
  random.Seed(input.RandomSeed);
  const int half = H / 2;
  const long double realHalf = H / 2.0L;
  // 50 for size 1 falling to 10 for size 30: larger stars widen less toward the poles.
  const double q = EaseOut(10, 50, 30, 1, static_cast<double>(size), 2);
  const int radiusBound = 2 * std::max(W, H);
  const int n = input.NumberOfStars;

  for (int k = 1; k <= n; ++k) {
    const int x = static_cast<int>(random.RandomBelow(W));
    const std::uint32_t r1 = random.RandomBelow(H);
    const std::uint32_t r2 = random.RandomBelow(H / 2);
    // A full-height and a half-height draw: a trapezoidal distribution over rows.
    const int y = static_cast<int>(std::nearbyintl((static_cast<long double>(r1) + r2) / 1.5L));
    const std::uint32_t grey = random.RandomBelow(256);

    float alpha = 255;
    if (input.AirDepth > 0) {
      // Transparent on the horizon row; dimmer for larger depths.
      alpha = static_cast<float>(std::abs(y - half) / static_cast<long double>(half) * 255);
      alpha = static_cast<float>((1 / (input.AirDepth / 10)) * alpha);
      if (alpha > 255) alpha = 255;
    }

    const long double e = random.RandomUnit();
    const long double w = sx * e, h = sy * e;
    const double fromHorizon = static_cast<double>(std::fabs(y - realHalf));
    // Wider toward zenith and nadir, taller near the horizon.
    const int A = StarRadius(EaseOut(static_cast<double>(W * e / q), static_cast<double>(0.75L * w),
                                     static_cast<double>(realHalf), 0, fromHorizon, 15),
                             radiusBound);
    const int E = StarRadius(EaseIn(static_cast<double>(0.5L * h), static_cast<double>(1.5L * h),
                                    static_cast<double>(realHalf), 0, fromHorizon, 4),
                             radiusBound);
    const float g = static_cast<float>(grey);
    const PackedColour colour = PackFloatColour(g, g, g, alpha);

    if (preview || (A == 0 && E == 0)) {
      BlendBitmapPixel(target, x, y, MixtureMode::Add, true, colour);
    } else {
      BlendEllipse(target, x, y, MixtureMode::Add, true, colour, E == 0 ? 1 : E, A == 0 ? 1 : A);
    }
    if (context.PollProgress(ProgressPercent(k, n))) return;
  }
  context.RenderProgress = 100;
}

}  // namespace horizonmill
