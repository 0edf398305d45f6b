// Internals of the objects pass: the working memory that DrawObject reuses from
// one copy to the next, so a pass allocates once and never per copy or pixel.
#pragma once

#include <cstdint>
#include <vector>

#include "render/RenderObjects.h"

namespace horizonmill::detail {

// What a target column needs, worked out once per copy: the three picture
// columns of its samples, the wrapped target column, the distance to the sun
// (and its products with the sunlight's red, green and blue) and the horizon
// colour behind it.
struct ObjectColumn {
  long double sun_distance;
  long double sun_light[3];
  std::int32_t source[3];
  std::int32_t target;
  PackedColour horizon;
};

struct ObjectScratch {
  std::vector<ObjectColumn> columns;
  // The aerial fade of the current copy per channel value c and horizon value h
  // (the fade treats red, green and blue alike and each on its own), at
  // c << 8 | h: fade_stamp << 8 | the faded value when worked out for this copy.
  // A new stamp per copy forgets the old values without clearing the table.
  std::vector<std::uint32_t> faded;
  std::uint32_t fade_stamp = 0;
};

// DrawObject with working memory kept by the caller.
bool DrawObject(WorkBitmap& target, const PlacedObject& copy, const ObjectLayerInput& input,
                bool reflection, ObjectScratch& scratch);

}  // namespace horizonmill::detail
