// The keys of the settings file as the reader knows them.
#pragma once

#include <string_view>

namespace horizonmill::detail {

enum class SettingsKey {
  Unknown,
  RandomSeed,
  AirDepth,
  SkyColors,
  SkyPositions,
  SunCenterColor,
  SunOuterColor,
  SunPosition,
  SunSlopes,
  SunMixtureMode,
  StarsOverSampling,
  StarsNumber,
  StarsSize,
  CreateObject,
  ObjectOpaqueColor,
  ObjectFilename,
  ObjectManual,
  ObjectScale,
  ObjectNumber,
  ObjectShadeing,
  ObjectPositionMode,
  ObjectMixtureMode,
  ObjectTransparency,
  ObjectSoftFocus,
  GroundTexture,
  GroundScale,
  GroundReflection,
  GroundReflectionWarp,
  CeilingTexture,
  CeilingScale,
  CeilingMixtureMode,
  CeilingOpaqueColor,
  CeilingTransparency,
  OutputResolution,
  OutputFormatKey,
  OutputFilename,
};

// The key a line starts with: exact and case-sensitive; "#" and everything
// unlisted are Unknown.
SettingsKey SettingsKeyOf(std::string_view name);

}  // namespace horizonmill::detail
