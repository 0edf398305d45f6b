// SceneValues: every value of a scene but its pictures and its object groups —
// the seed, the aerial perspective, the sky, the sun, the stars, the ceiling's
// and the ground's settings (texture names included, the textures not), the
// output. What one step of the window's edit history takes back: a copy is
// cheap, two compare equal exactly when they agree on every such value, and
// putting one into a scene leaves its pictures and object entries alone (a
// render may hold them).
#pragma once

#include <cstdint>
#include <string>

#include "scene/SceneSettings.h"

namespace horizonmill {

struct CeilingValues {
  bool Enabled = false;
  std::string TextureFilename;
  std::string Scale;
  std::uint8_t MixtureMode = MixtureMode::Norm;
  PackedColour OpaqueColor = 0;
  int Transparency = 0;
  friend bool operator==(const CeilingValues&, const CeilingValues&) = default;
};

struct GroundValues {
  bool Enabled = false;
  std::string TextureFilename;
  std::string Scale;
  int Reflection = 0;
  std::string ReflectionWarp;
  friend bool operator==(const GroundValues&, const GroundValues&) = default;
};

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
