#include "render/RenderCeiling.h"

namespace horizonmill {

void PrepareCeilingAlpha(const CeilingLayerInput& input) {}

void RenderCeiling(RenderContext& context, WorkBitmap& target, CeilingLayerInput input) {
  if (context.AbortRequested) return;
  context.RenderProgress = 100;
}

}  // namespace horizonmill
