// SceneValues: every value of a scene but its pictures and its object groups —
// the seed, the aerial perspective, the sky, the sun, the stars, the ceiling's
// and the ground's settings (texture names included, the textures not), the
// output. What one step of the window's edit history takes back: a copy is
// cheap, two compare equal exactly when they agree on every such value, and
// putting one into a scene leaves its pictures and object entries alone (a
// render may hold them).
#pragma once

#include <string>

#include "scene/SceneSettings.h"

namespace horizonmill {

// The ceiling's and the ground's settings hold names, no pictures: they are
// values as they stand.
using CeilingValues = CeilingSettings;
using GroundValues = GroundSettings;

struct SceneValues {
  std::string RandomSeed;
  std::string AirDepth;
  SkyGradation Sky;
  SunSettings Sun;
  StarSettings Stars;
  CeilingValues Ceiling;
  GroundValues Ground;
  OutputSettings Output;

  // The values the scene holds now.
  static SceneValues Of(const SceneSettings& scene);
  // Makes them the scene's; its textures and object groups stay as they are.
  void ApplyTo(SceneSettings& scene) const;

  friend bool operator==(const SceneValues&, const SceneValues&) = default;
};

}  // namespace horizonmill
