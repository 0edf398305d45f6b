// Internals of the objects pass: the working memory that DrawObject reuses from
// one copy to the next, so a pass allocates once and never per copy or pixel,
// and the threads that share the rows of a copy.
#pragma once

#include <cstdint>
#include <functional>
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
// that a tall box wraps onto each other are still blended in order). A copy
// of several blocks asks `stop` (when given) on the calling thread between
// them, before the last one is done: when it says true, no further block is
// started and the copy stays part drawn (true is still returned).
bool DrawObject(WorkBitmap& target, const PlacedObject& copy, const ObjectLayerInput& input,
                bool reflection, ObjectScratch& scratch, WorkCrew& crew,
                const std::function<bool()>& stop = nullptr);

}  // namespace horizonmill::detail
