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

// The keys that fill the current object entry.
constexpr bool IsEntryKey(SettingsKey key) {
  return key >= SettingsKey::ObjectOpaqueColor && key <= SettingsKey::ObjectSoftFocus;
}

// The key a line starts with: exact and case-sensitive; "#" and everything
// unlisted are Unknown.
SettingsKey SettingsKeyOf(std::string_view name);

// The key name most like `name`, for a suggestion: the one fewest letters away
// (edits counted ignoring ASCII case), when at most two letters, or a quarter
// of the name, are wrong, or when one name begins the other; empty otherwise.
std::string_view NearestSettingsKey(std::string_view name);

}  // namespace horizonmill::detail
