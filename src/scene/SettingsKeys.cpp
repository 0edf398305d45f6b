#include "scene/SettingsKeys.h"

#include <algorithm>
#include <vector>

namespace horizonmill::detail {
namespace {

struct KeyName {
  std::string_view name;
  SettingsKey key;
};

constexpr KeyName kKeys[] = {
    {"RandomSeed", SettingsKey::RandomSeed},
    {"AirDepth", SettingsKey::AirDepth},
    {"Gradation1_Colors", SettingsKey::SkyColors},
    {"Gradation1_Positions", SettingsKey::SkyPositions},
    {"Gradation2_CenterColor", SettingsKey::SunCenterColor},
    {"Gradation2_OuterColor", SettingsKey::SunOuterColor},
    {"Gradation2_Position", SettingsKey::SunPosition},
    {"Gradation2_Slopes", SettingsKey::SunSlopes},
    {"Gradation2_MixtureMode", SettingsKey::SunMixtureMode},
    {"Stars_OverSampling", SettingsKey::StarsOverSampling},
    {"Stars_NumberOfStars", SettingsKey::StarsNumber},
    {"Stars_SizeOfStars", SettingsKey::StarsSize},
    {"Objects_CreateObject", SettingsKey::CreateObject},
    {"Objects_OpaqueColor", SettingsKey::ObjectOpaqueColor},
    {"Objects_Filename", SettingsKey::ObjectFilename},
    {"Objects_Manual", SettingsKey::ObjectManual},
    {"Objects_Scale", SettingsKey::ObjectScale},
    {"Objects_NumberOfObjects", SettingsKey::ObjectNumber},
    {"Objects_Shadeing", SettingsKey::ObjectShadeing},
    {"Objects_PositionMode", SettingsKey::ObjectPositionMode},
    {"Objects_MixtureMode", SettingsKey::ObjectMixtureMode},
    {"Objects_Transparency", SettingsKey::ObjectTransparency},
    {"Objects_SoftFocus", SettingsKey::ObjectSoftFocus},
    {"Ground_TextureFilename", SettingsKey::GroundTexture},
    {"Ground_Scale", SettingsKey::GroundScale},
    {"Ground_Reflection", SettingsKey::GroundReflection},
    {"Ground_ReflectionWarp", SettingsKey::GroundReflectionWarp},
    {"Sky_TextureFilename", SettingsKey::CeilingTexture},
    {"Sky_Scale", SettingsKey::CeilingScale},
    {"Sky_MixtureMode", SettingsKey::CeilingMixtureMode},
    {"Sky_OpaqueColor", SettingsKey::CeilingOpaqueColor},
    {"Sky_Transparency", SettingsKey::CeilingTransparency},
    {"Output_Resolution", SettingsKey::OutputResolution},
    {"Output_Format", SettingsKey::OutputFormatKey},
    {"Output_Filename", SettingsKey::OutputFilename},
};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Levenshtein distance, letters compared ignoring ASCII case.
std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const std::size_t change = diagonal + (Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1);
      row[j] = std::min({above + 1, row[j - 1] + 1, change});
      diagonal = above;
    }
  }
  return row[b.size()];
}

bool BeginsIgnoringCase(std::string_view text, std::string_view start) {
  return start.size() <= text.size() &&
         std::equal(start.begin(), start.end(), text.begin(),
                    [](char x, char y) { return Lower(x) == Lower(y); });
}

}  // namespace

std::string_view NearestSettingsKey(std::string_view name) {
  if (name.empty()) return {};
  std::string_view best;
  std::size_t bestDistance = std::max<std::size_t>(2, name.size() / 4) + 1;
  for (const KeyName& k : kKeys) {
    const std::size_t d = EditDistance(name, k.name);
    if (d < bestDistance) {
      bestDistance = d;
      best = k.name;
    }
  }
  if (!best.empty() || name.size() < 4) return best;
  for (const KeyName& k : kKeys)
    if (BeginsIgnoringCase(k.name, name) || BeginsIgnoringCase(name, k.name)) return k.name;
  return {};
}

SettingsKey SettingsKeyOf(std::string_view name) {
  for (const KeyName& k : kKeys)
    if (k.name == name) return k.key;
  return SettingsKey::Unknown;
}

}  // namespace horizonmill::detail
