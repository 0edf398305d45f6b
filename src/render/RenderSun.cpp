#include "render/RenderSun.h"

#include <cmath>

#include "render/SunDisc.h"
#include "render/SunWeights.h"

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

}  // namespace

void RenderSun(RenderContext& context, WorkBitmap& target, SunSettings sun) {
  if (context.AbortRequested) return;
  const int W = target.Width(), H = target.Height();
  const long double R = Min(W, H) / 2.0L;
  const int cx = W / 2, cy = H / 2;
  const int ox = CyclicShift(sun.Position.X, W);
  const int oy = CyclicShift(sun.Position.Y, H);
  SunWeights* weights = context.SunWeightsOut;
  if (weights) {
    if (weights->Width() == W && weights->Height() == H)
      weights->Clear();
    else if (!weights->Reset(W, H))
      weights = nullptr;  // no memory: an empty record, which the caller sees
  }
  if (!IsBlendMode(sun.MixtureMode) || detail::SunChangesNothing(sun) || !(R > 0)) {
    context.RenderProgress = 100;
    return;
  }
  const bool finished =
      weights
          ? detail::PaintSunDiscKeepingWeights(context, target, sun, *weights, R, cx, cy, ox, oy)
          : detail::PaintSunDisc<false>(context, target, sun, nullptr, R, cx, cy, ox, oy);
  if (finished) context.RenderProgress = 100;
}

SunCentre SunCentreOf(const SunPosition& position, int width, int height) {
  return SunCentre{(width / 2 + CyclicShift(position.X, width)) % width,
                   (height / 2 + CyclicShift(position.Y, height)) % height};
}

}  // namespace horizonmill
