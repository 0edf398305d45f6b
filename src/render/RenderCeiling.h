// The ceiling: a texture laid over the upper half as an endless plane above the
// eye (usually clouds), faded toward the horizon colour and blended over the sky.
#pragma once

#include <cstdint>

#include "image/PixelImage.h"
#include "image/WorkBitmap.h"
#include "render/PlaneWalk.h"
#include "render/RenderContext.h"

namespace horizonmill {

struct CeilingLayerInput : PlaneLayerInput {
  // Texture holds its alpha as PrepareCeilingAlpha gives it for OpaqueColor
  // and Transparency below (the prepared scene's does); not changed here.
  std::uint8_t MixtureMode = MixtureMode::Norm;
  PackedColour OpaqueColor = MakePacked(0, 0, 0, 255);  // texels of this colour are holes
  long double Transparency = 0;                         // 0 opaque .. 1 transparent
};

// Alpha of every texel: 0 where red, green and blue equal the opaque colour,
// otherwise CeilingTexelAlpha(transparency). The texture's holes are painted
// in the opaque colour's red, green and blue first (PaintHoles), so they are
// transparent.
void PrepareCeilingAlpha(PixelImage& texture, PackedColour opaqueColor, long double transparency);
// Round(255 - transparency * 255), low eight bits, also for a transparency
// outside 0..1 (never from the track bar); one that is no number, or so far
// out that no integer holds the product, gives 0 rather than an undefined
// conversion.
std::uint8_t CeilingTexelAlpha(long double transparency);

// Blends target rows 0 .. H div 2 - 1, in blocks of columns shared among
// context.Threads threads; progress once per block.
// Without a texture (its picture refused for memory) the checkerboard
// placeholder is drawn, with the transparent colour and the transparency; the
// layer is left out only when that cannot be made.
// A Scale of exactly 0 is drawn as 0.001, as the scale inputs replace it; no
// other real input leads to an undefined conversion (the sampler pins
// coordinates that are huge or no number).
void RenderCeiling(RenderContext& context, WorkBitmap& target, CeilingLayerInput input);

}  // namespace horizonmill
