// The sun: a concentric gradation (a glow) of radius min(W, H) / 2 blended over
// the sky, fading from opaque at the centre to transparent at the rim; each of
// red, green, blue and the opacity follows its own slope.
#pragma once

#include "image/WorkBitmap.h"
#include "render/RenderContext.h"
#include "scene/SceneSettings.h"

namespace horizonmill {

// Blends the sun into the target with wrap-around on both axes, in bands of
// rows from the centre outward shared among context.Threads threads; progress
// once per band. With context.SunWeightsOut, the weight it mixes into each
// pixel (SunWeightOf) is kept there too, sized to the target (empty when
// memory runs out), 0 where the sun does not reach or changes nothing.
void RenderSun(RenderContext& context, WorkBitmap& target, SunSettings sun);

// The pixel on which RenderSun centres the disc in a W x H image: (W div 2,
// H div 2) moved by Round((Position - 0.5) x size) along each axis, wrapped
// into the image. W and H at least 1.
struct SunCentre {
  int x = 0, y = 0;
};
SunCentre SunCentreOf(const SunPosition& position, int width, int height);

}  // namespace horizonmill
