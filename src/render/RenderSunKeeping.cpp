// The sun's disc drawn keeping the weight of every blend, apart from the usual
// drawing (render/SunDisc.h says why).
#include "render/SunDisc.h"

namespace horizonmill::detail {

bool PaintSunDiscKeepingWeights(RenderContext& context, WorkBitmap& target, const SunSettings& sun,
                                SunWeights& weights, long double R, int cx, int cy, int ox,
                                int oy) {
  return PaintSunDisc<true>(context, target, sun, &weights, R, cx, cy, ox, oy);
}

}  // namespace horizonmill::detail
