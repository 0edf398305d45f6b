#include "scene/SceneValues.h"

namespace horizonmill {

SceneValues SceneValues::Of(const SceneSettings& scene) {
  SceneValues v;
  v.RandomSeed = scene.RandomSeed;
  v.AirDepth = scene.AirDepth;
  v.Sky = scene.Sky;
  v.Sun = scene.Sun;
  v.Stars = scene.Stars;
  v.Ceiling = scene.Ceiling;
  v.Ground = scene.Ground;
  v.Output = scene.Output;
  return v;
}

void SceneValues::ApplyTo(SceneSettings& scene) const {
  scene.RandomSeed = RandomSeed;
  scene.AirDepth = AirDepth;
  scene.Sky = Sky;
  scene.Sun = Sun;
  scene.Stars = Stars;
  scene.Ceiling = Ceiling;
  scene.Ground = Ground;
  scene.Output = Output;
}

}  // namespace horizonmill
