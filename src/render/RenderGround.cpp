#include "render/RenderGround.h"

namespace horizonmill {

AverageColourResult AverageColour(const PixelImage& image) { return {}; }

void RenderGround(RenderContext& context, WorkBitmap& target, GroundLayerInput input) {
  if (context.AbortRequested) return;
  context.RenderProgress = 100;
}

}  // namespace horizonmill
