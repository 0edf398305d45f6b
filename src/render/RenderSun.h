// The sun: a concentric gradation (a glow) of radius min(W, H) / 2 blended over
// the sky, fading from opaque at the centre to transparent at the rim; each of
// red, green, blue and the opacity follows its own slope.
#pragma once

#include "image/WorkBitmap.h"
#include "render/RenderContext.h"
#include "scene/SceneSettings.h"

namespace horizonmill {

// Blends the sun into the target with wrap-around on both axes; progress once per row.
void RenderSun(RenderContext& context, WorkBitmap& target, SunSettings sun);

}  // namespace horizonmill
