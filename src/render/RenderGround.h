// The ground: a texture laid over the lower half as an endless plane below the
// eye, optionally mirroring what stands above (with a ripple warp following the
// texture's colours), faded toward the horizon colour. Opaque.
#pragma once

#include "image/PixelImage.h"
#include "image/WorkBitmap.h"
#include "render/PlaneWalk.h"
#include "render/RenderContext.h"

namespace horizonmill {

struct GroundLayerInput : PlaneLayerInput {
  long double Reflection = 0;  // 0 .. 1
  long double ReflectionWarp = 0;
  const WorkBitmap* ReflectionBitmap = nullptr;  // W x (H div 2), when Reflection > 0
};

struct AverageColourResult {
  float r = 0, g = 0, b = 0, a = 0;
};
// Mean of each channel, the sums kept in single precision as they grow.
AverageColourResult AverageColour(const PixelImage& image);

// Overwrites target rows H div 2 .. H - 1, in blocks of columns shared among
// context.Threads threads; progress once per block.
// Without a texture (a slot left empty when memory ran out) the checkerboard
// placeholder is drawn; the layer is left out only when that cannot be made.
// With Reflection > 0 and no ReflectionBitmap the ground is mixed toward white.
// A Scale of exactly 0 is drawn as 0.001, as the scale inputs replace it.
// Each mixed channel is kept within 0..255 (a Reflection outside 0..1 is clamped
// there rather than wrapping).
void RenderGround(RenderContext& context, WorkBitmap& target, GroundLayerInput input);

}  // namespace horizonmill
