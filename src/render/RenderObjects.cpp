#include "render/RenderObjects.h"

namespace horizonmill {

std::array<std::int32_t, 3> ComputeSunlight(const SunSettings& sun) { return {}; }

void RenderObjects(RenderContext& context, WorkBitmap& target, const ObjectLayerInput& input,
                   bool reflection) {
  if (context.AbortRequested) return;
  context.RenderProgress = 100;
}

}  // namespace horizonmill
