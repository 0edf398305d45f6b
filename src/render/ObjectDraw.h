// Internals of the objects pass: the working memory that DrawObject reuses from
// one copy to the next, so a pass allocates once and never per copy or pixel,
// and the threads that share the rows of a copy.
#pragma once

#include <cstdint>
#include <vector>

#include "render/RenderObjects.h"
#include "render/WorkCrew.h"

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
};

// DrawObject with working memory kept by the caller and the rows of the copy
// shared among the crew's threads (each target row by one thread, so rows
// that a tall box wraps onto each other are still blended in order).
bool DrawObject(WorkBitmap& target, const PlacedObject& copy, const ObjectLayerInput& input,
                bool reflection, ObjectScratch& scratch, WorkCrew& crew);

}  // namespace horizonmill::detail
