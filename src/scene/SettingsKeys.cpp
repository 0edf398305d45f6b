#include "scene/SettingsKeys.h"

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

}  // namespace

SettingsKey SettingsKeyOf(std::string_view name) {
  for (const KeyName& k : kKeys)
    if (k.name == name) return k.key;
  return SettingsKey::Unknown;
}

}  // namespace horizonmill::detail
