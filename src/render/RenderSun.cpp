#include "render/RenderSun.h"

namespace horizonmill {

void RenderSun(RenderContext& context, WorkBitmap& target, SunSettings sun) {
  if (context.AbortRequested) return;
  context.RenderProgress = 100;
}

}  // namespace horizonmill
