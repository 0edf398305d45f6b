#include "render/PlaneLayer.h"

#include <new>

namespace horizonmill {

bool MakePlaneSteps(int height, int count, long double airDepth, std::vector<PlaneStep>& steps) {
  steps.clear();
  try {
    steps.reserve(static_cast<std::size_t>(count));
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int j = 0; j < count; ++j) {
    const long double d = PlaneWalk::StepDistance(height, j);
    steps.push_back(PlaneStep{d, AerialFader(airDepth, d)});
  }
  return true;
}

}  // namespace horizonmill
