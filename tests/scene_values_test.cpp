#include <gtest/gtest.h>

#include <string>

#include "scene/SceneValues.h"
#include "scene/SettingsFile.h"
#include "support/SceneRendering.h"

namespace horizonmill {
namespace {

// One change of each value a settings file holds, objects aside.
const std::pair<const char*, void (*)(SceneSettings&)> kChanges[] = {
    {"RandomSeed", [](SceneSettings& s) { s.RandomSeed = "7"; }},
    {"AirDepth", [](SceneSettings& s) { s.AirDepth = "abc"; }},
    {"Sky count", [](SceneSettings& s) { s.Sky.Count = 2; }},
    {"Sky colour", [](SceneSettings& s) { s.Sky.Colors[1].g = 3; }},
    {"Sky position", [](SceneSettings& s) { s.Sky.Positions[1] = 0.25L; }},
    {"Sun centre", [](SceneSettings& s) { s.Sun.CenterColor.r = 9; }},
    {"Sun outer", [](SceneSettings& s) { s.Sun.OuterColor.a = 9; }},
    {"Sun position", [](SceneSettings& s) { s.Sun.Position.Y = 0.75L; }},
    {"Sun slopes", [](SceneSettings& s) { s.Sun.Slopes[3] = 2; }},
    {"Sun mixture", [](SceneSettings& s) { s.Sun.MixtureMode = MixtureMode::Sub; }},
    {"Stars oversampling", [](SceneSettings& s) { s.Stars.OverSampling = 3; }},
    {"Stars number", [](SceneSettings& s) { s.Stars.NumberOfStars = "12"; }},
    {"Stars size", [](SceneSettings& s) { s.Stars.SizeOfStars = "2.5"; }},
    {"Ceiling on", [](SceneSettings& s) { s.Ceiling.Enabled = true; }},
    {"Ceiling name", [](SceneSettings& s) { s.Ceiling.TextureFilename = "c.bmp"; }},
    {"Ceiling scale", [](SceneSettings& s) { s.Ceiling.Scale = "2"; }},
    {"Ceiling mixture", [](SceneSettings& s) { s.Ceiling.MixtureMode = MixtureMode::Add; }},
    {"Ceiling colour", [](SceneSettings& s) { s.Ceiling.OpaqueColor = MakePacked(1, 2, 3); }},
    {"Ceiling transparency", [](SceneSettings& s) { s.Ceiling.Transparency = 40; }},
    {"Ground on", [](SceneSettings& s) { s.Ground.Enabled = true; }},
    {"Ground name", [](SceneSettings& s) { s.Ground.TextureFilename = "g.bmp"; }},
    {"Ground scale", [](SceneSettings& s) { s.Ground.Scale = "3"; }},
    {"Ground reflection", [](SceneSettings& s) { s.Ground.Reflection = 60; }},
    {"Ground warp", [](SceneSettings& s) { s.Ground.ReflectionWarp = "0.5"; }},
    {"Output width", [](SceneSettings& s) { s.Output.Resolution.Width = "64"; }},
    {"Output height", [](SceneSettings& s) { s.Output.Resolution.Height = "32"; }},
    {"Output format", [](SceneSettings& s) { s.Output.Format = OutputFormat::OldDiet; }},
    {"Output name", [](SceneSettings& s) { s.Output.Filename = "out.jpg"; }},
};

TEST(SceneValues, EachValueIsTakenAndPutBack) {
  const SceneSettings plain;
  for (const auto& [name, change] : kChanges) {
    SceneSettings changed;
    change(changed);
    const SceneValues values = SceneValues::Of(changed);
    EXPECT_NE(values, SceneValues::Of(plain)) << name;
    SceneSettings other;
    values.ApplyTo(other);
    EXPECT_EQ(SceneValues::Of(other), values) << name;
    EXPECT_EQ(EncodeSettings(other), EncodeSettings(changed)) << name;
    // And back again.
    SceneValues::Of(plain).ApplyTo(other);
    EXPECT_EQ(EncodeSettings(other), EncodeSettings(plain)) << name;
  }
}

// What a settings file holds beside its objects, all of it, for scenes made
// by hand.
TEST(SceneValues, ExampleScenesCarryOverWhole) {
  for (const char* name : {"dusk.hm", "lighthouse-coast.hm", "night.hm"}) {
    SceneSettings example;
    testing::OpenExample(example, name);
    for (ObjectGroup* group : {&example.Far, &example.Mid, &example.Near}) group->Clear();
    SceneSettings other;
    SceneValues::Of(example).ApplyTo(other);
    EXPECT_EQ(EncodeSettings(other), EncodeSettings(example)) << name;
  }
}

// The object editor holds entries: putting values into a scene never touches
// them.
TEST(SceneValues, EntriesStayWhereTheyAre) {
  SceneSettings scene;
  auto entry = NewObjectEntry();
  entry->Filename = "tree.bmp";
  const ObjectEntry* e = entry.get();
  scene.Mid.Append(std::move(entry));

  SceneSettings changed;
  for (const auto& [name, change] : kChanges) change(changed);
  SceneValues::Of(changed).ApplyTo(scene);
  EXPECT_EQ(scene.Mid.First(), e);
  EXPECT_EQ(scene.Mid.First()->Filename, "tree.bmp");
  EXPECT_EQ(scene.Mid.Size(), 1u);
  EXPECT_EQ(scene.RandomSeed, "7");
  EXPECT_EQ(scene.Output.Filename, "out.jpg");
}

}  // namespace
}  // namespace horizonmill
