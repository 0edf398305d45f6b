// The ceiling: a texture laid over the upper half as an endless plane above the
// eye (usually clouds), faded toward the horizon colour and blended over the sky.
#pragma once

#include <cstdint>

#include "image/PixelImage.h"
#include "image/WorkBitmap.h"
#include "render/RenderContext.h"

namespace horizonmill {

struct CeilingLayerInput {
  PixelImage* Texture = nullptr;           // shared with the scene; its alpha is rewritten
  const PixelImage* HorizonRow = nullptr;  // none: the horizon is opaque white
  long double AirDepth = 1;
  long double Scale = 1;
  std::uint8_t MixtureMode = MixtureMode::Norm;
  PackedColour OpaqueColor = MakePacked(0, 0, 0, 255);  // texels of this colour are holes
  long double Transparency = 0;                         // 0 opaque .. 1 transparent
};

// Alpha of every texel: 0 where red, green and blue equal OpaqueColor, otherwise
// Round(255 - Transparency * 255). The texture's holes are painted in
// OpaqueColor's red, green and blue first (PaintHoles), so they are transparent.
void PrepareCeilingAlpha(const CeilingLayerInput& input);

// Blends target rows 0 .. H div 2 - 1, in blocks of columns shared among
// context.Threads threads; progress once per block.
// Without a texture (a slot left empty when memory ran out) the checkerboard
// placeholder is drawn; the layer is left out only when that cannot be made.
// A Scale of exactly 0 is drawn as 0.001, as the scale inputs replace it; no
// other real input leads to an undefined conversion (the sampler pins
// coordinates that are huge or no number).
void RenderCeiling(RenderContext& context, WorkBitmap& target, CeilingLayerInput input);

}  // namespace horizonmill
