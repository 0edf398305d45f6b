// The star field: seeded grey stars added onto the sky, dimmed near the horizon
// by the aerial perspective, their ellipses stretched toward zenith and nadir.
#pragma once

#include <cstdint>

#include "image/WorkBitmap.h"
#include "render/RenderContext.h"

namespace horizonmill {

struct StarLayerInput {
  std::int32_t OverSampling = 1;
  std::int32_t RandomSeed = 0;
  std::int32_t NumberOfStars = 0;
  long double AirDepth = 0;
  long double SizeOfStars = 1;
};

// Reseeds context.Random with the seed and draws five values per star. In the
// preview every star is one pixel. Progress once per star.
void RenderStars(RenderContext& context, WorkBitmap& target, StarLayerInput input, bool preview);

}  // namespace horizonmill
