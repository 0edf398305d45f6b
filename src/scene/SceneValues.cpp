#include "scene/SceneValues.h"

namespace horizonmill {

SceneValues SceneValues::Of(const SceneSettings& scene) {
  SceneValues v;
  v.RandomSeed = scene.RandomSeed;
  v.AirDepth = scene.AirDepth;
  v.Sky = scene.Sky;
  v.Sun = scene.Sun;
  v.Stars = scene.Stars;
  const CeilingSettings& c = scene.Ceiling;
  v.Ceiling = {c.Enabled, c.TextureFilename, c.Scale, c.MixtureMode, c.OpaqueColor, c.Transparency};
  const GroundSettings& g = scene.Ground;
  v.Ground = {g.Enabled, g.TextureFilename, g.Scale, g.Reflection, g.ReflectionWarp};
  v.Output = scene.Output;
  return v;
}

void SceneValues::ApplyTo(SceneSettings& scene) const {
  scene.RandomSeed = RandomSeed;
  scene.AirDepth = AirDepth;
  scene.Sky = Sky;
  scene.Sun = Sun;
  scene.Stars = Stars;
  CeilingSettings& c = scene.Ceiling;
  c.Enabled = Ceiling.Enabled;
  c.TextureFilename = Ceiling.TextureFilename;
  c.Scale = Ceiling.Scale;
  c.MixtureMode = Ceiling.MixtureMode;
  c.OpaqueColor = Ceiling.OpaqueColor;
  c.Transparency = Ceiling.Transparency;
  GroundSettings& g = scene.Ground;
  g.Enabled = Ground.Enabled;
  g.TextureFilename = Ground.TextureFilename;
  g.Scale = Ground.Scale;
  g.Reflection = Ground.Reflection;
  g.ReflectionWarp = Ground.ReflectionWarp;
  scene.Output = Output;
}

}  // namespace horizonmill
