// The objects: pictures of the far, middle and near groups placed around the
// panorama (at random or by hand), drawn from the farthest to the nearest as
// 3 x 3 supersampled boxes, shaded by the sun and faded by the aerial perspective.
// The reflection pass draws them upside down below their foot line.
#pragma once

#include <array>
#include <cstdint>

#include "image/PixelImage.h"
#include "image/WorkBitmap.h"
#include "render/RenderContext.h"
#include "scene/SceneSettings.h"

namespace horizonmill {

struct ObjectLayerInput {
  long double AirDepth = 0;
  std::int32_t RandomSeed = 0;
  ::horizonmill::SunPosition SunPosition;
  std::array<std::int32_t, 3> Sunlight{};  // red, green, blue
  bool GroundEnabled = false;
  const PixelImage* HorizonRow = nullptr;
  ObjectGroup* Far = nullptr;
  ObjectGroup* Mid = nullptr;
  ObjectGroup* Near = nullptr;
};

// The light colour the sun casts on objects.
std::array<std::int32_t, 3> ComputeSunlight(const SunSettings& sun);

// Reseeds context.Random, places every copy, draws them farthest first. Random
// placements are left in the entries' Placement. Progress once per copy.
void RenderObjects(RenderContext& context, WorkBitmap& target, const ObjectLayerInput& input,
                   bool reflection);

}  // namespace horizonmill
