#include "render/RenderStars.h"

namespace horizonmill {

void RenderStars(RenderContext& context, WorkBitmap& target, StarLayerInput input, bool preview) {
  if (context.AbortRequested) return;
  context.RenderProgress = 100;
}

}  // namespace horizonmill
