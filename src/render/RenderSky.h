// The sky gradation: every row of the target in one colour, from up to sixteen
// stops spread over the full image height (0 the top row, 0.5 the horizon,
// 1 the bottom edge).
#pragma once

#include "image/WorkBitmap.h"
#include "render/RenderContext.h"
#include "scene/SceneSettings.h"

namespace horizonmill {

// The value at x of a curve through `count` stops (values, positions); each
// segment bends to follow its neighbours' slopes. linearity 1 gives plain linear
// interpolation, 0 the pure curve. Every intermediate is a double.
double StopInterpolate(const double* values, const double* positions, int count, double x,
                       double linearity);

// Paints every row of the target, rows shared among context.Threads threads;
// progress once per block of rows.
void RenderSky(RenderContext& context, WorkBitmap& target, SkyGradation gradation);

}  // namespace horizonmill
