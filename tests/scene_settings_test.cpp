#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "scene/SceneSettings.h"

namespace horizonmill {
namespace {

TEST(SceneSettings, DefaultsOfEveryRecord) {
  SceneSettings s;
  EXPECT_EQ(s.RandomSeed, "65536");
  EXPECT_EQ(s.AirDepth, "0.0");
  EXPECT_EQ(s.Sky.Count, 3);
  EXPECT_EQ(s.Sky.Colors[0], (FloatColour{0, 0, 255, 255}));
  EXPECT_EQ(s.Sky.Colors[1], (FloatColour{255, 255, 255, 255}));
  EXPECT_EQ(s.Sky.Colors[2], (FloatColour{0, 0, 255, 255}));
  EXPECT_EQ(s.Sky.Colors[15], (FloatColour{0, 0, 0, 255}));
  EXPECT_EQ(s.Sky.Positions[1], 0.5L);
  EXPECT_EQ(s.Sky.Positions[2], 1.0L);
  EXPECT_EQ(s.Sky.Positions[3], 0.0L);
  EXPECT_EQ(s.Sun.CenterColor, (FloatColour{0, 0, 0, 255}));
  EXPECT_EQ(s.Sun.Position.X, 0.5L);
  EXPECT_EQ(s.Sun.MixtureMode, MixtureMode::Add);
  EXPECT_EQ(s.Stars.OverSampling, 1);
  EXPECT_EQ(s.Stars.NumberOfStars, "0");
  EXPECT_EQ(s.Stars.SizeOfStars, "1.0");
  EXPECT_FALSE(s.Ceiling.Enabled);
  EXPECT_EQ(s.Ceiling.Scale, "1.0");
  EXPECT_EQ(s.Ceiling.MixtureMode, MixtureMode::Norm);
  EXPECT_EQ(s.Ceiling.OpaqueColor, 0xff000000u);
  EXPECT_EQ(s.Ground.ReflectionWarp, "0.0");
  EXPECT_EQ(s.Output.Resolution.Width, "3072");
  EXPECT_EQ(s.Output.Resolution.Height, "1536");
  EXPECT_EQ(s.Output.Format, OutputFormat::Normal);
  EXPECT_TRUE(s.Far.Empty() && s.Mid.Empty() && s.Near.Empty());
}

TEST(SceneSettings, ToIntegerTakesOnlySignedDecimalsWithin32Bits) {
  EXPECT_EQ(ToInteger("65536"), 65536);
  EXPECT_EQ(ToInteger("-12"), -12);
  EXPECT_EQ(ToInteger("+7"), 7);
  EXPECT_EQ(ToInteger("2147483647"), 2147483647);
  EXPECT_EQ(ToInteger("-2147483648"), -2147483647 - 1);
  for (const char* bad : {"", "abc", "12a", "1.5", "-", "+", " 12", "2147483648", "-2147483649",
                          "99999999999999999999", "0x10"})
    EXPECT_EQ(ToInteger(bad), 0) << bad;
}

TEST(SceneSettings, ToRealTakesDecimalRealsWithExponentAndBlanks) {
  EXPECT_EQ(ToReal("0.5"), 0.5L);
  EXPECT_EQ(ToReal("  -1.25e2 "), -125.0L);
  EXPECT_EQ(ToReal("3"), 3.0L);
  EXPECT_EQ(ToReal(".5"), 0.5L);
  EXPECT_EQ(ToReal("5."), 5.0L);
  EXPECT_EQ(ToReal("1E-3"), 0.001L);
  for (const char* bad :
       {"", "abc", "1,5", "inf", "nan", "1e", "e5", ".", "1.2.3", "0x1p3", "1e99999"})
    EXPECT_EQ(ToReal(bad), 0.0L) << bad;
}

TEST(ObjectGroup, AppendRemoveKeepTheLinksInOrder) {
  ObjectGroup g;
  ObjectEntry* e[3];
  for (int i = 0; i < 3; ++i) {
    auto entry = NewObjectEntry();
    entry->NumberOfObjects = i;
    e[i] = entry.get();
    AppendObjectEntry(g, std::move(entry));
  }
  EXPECT_EQ(g.Size(), 3u);
  EXPECT_EQ(e[1]->Prev(), e[0]);
  EXPECT_EQ(e[1]->Next(), e[2]);
  RemoveObjectEntry(g, e[1]);
  EXPECT_EQ(e[0]->Next(), e[2]);
  EXPECT_EQ(e[2]->Prev(), e[0]);
  RemoveObjectEntry(g, e[0]);
  EXPECT_EQ(g.First(), e[2]);
  EXPECT_EQ(e[2]->Prev(), nullptr);
  ClearObjectGroup(g);
  EXPECT_TRUE(g.Empty());
  EXPECT_EQ(g.Last(), nullptr);
}

// An entry taken out keeps its settings and comes back where it was: before
// its old neighbour, or at either end.
TEST(ObjectGroup, ReleasedEntriesKeepTheirSettingsAndGoBackInPlace) {
  ObjectGroup g;
  ObjectEntry* e[3];
  for (int i = 0; i < 3; ++i) {
    auto entry = NewObjectEntry();
    entry->Filename = "picture" + std::to_string(i) + ".bmp";
    e[i] = entry.get();
    AppendObjectEntry(g, std::move(entry));
  }
  auto order = [&g] {
    std::vector<const ObjectEntry*> seen;
    for (const ObjectEntry& entry : g) seen.push_back(&entry);
    return seen;
  };
  auto back = [&](const std::vector<const ObjectEntry*>& expected) {
    EXPECT_EQ(order(), expected);
    EXPECT_EQ(g.First(), expected.front());
    EXPECT_EQ(g.Last(), expected.back());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(expected[i]->Prev(), i == 0 ? nullptr : expected[i - 1]);
      EXPECT_EQ(expected[i]->Next(), i + 1 == expected.size() ? nullptr : expected[i + 1]);
    }
  };
  for (int i = 0; i < 3; ++i) {
    ObjectEntry* next = e[i]->Next();
    const std::string name = e[i]->Filename;
    std::unique_ptr<ObjectEntry> out = g.Release(e[i]);
    ASSERT_EQ(out.get(), e[i]);
    EXPECT_EQ(out->Filename, name);
    EXPECT_EQ(out->Prev(), nullptr);
    EXPECT_EQ(out->Next(), nullptr);
    EXPECT_EQ(g.Size(), 2u);
    EXPECT_FALSE(g.Contains(e[i]));
    g.Insert(next, std::move(out));
    back({e[0], e[1], e[2]});
  }
  // The only entry out and in again.
  ObjectGroup one;
  auto entry = NewObjectEntry();
  ObjectEntry* only = entry.get();
  one.Insert(nullptr, std::move(entry));
  auto out = one.Release(only);
  EXPECT_TRUE(one.Empty());
  EXPECT_EQ(one.Last(), nullptr);
  one.Insert(nullptr, std::move(out));
  EXPECT_EQ(one.First(), only);
  EXPECT_EQ(one.Last(), only);
}

// SameSettingsAs looks at exactly what CopySettingsFrom copies.
TEST(ObjectGroup, SameSettingsComparesWhatCopySettingsCopies) {
  const std::pair<const char*, void (*)(ObjectEntry&)> changes[] = {
      {"OpaqueColor", [](ObjectEntry& e) { e.OpaqueColor = MakePacked(1, 2, 3); }},
      {"Manual", [](ObjectEntry& e) { e.Manual = true; }},
      {"Angle", [](ObjectEntry& e) { e.Placement.Angle = 1; }},
      {"Height", [](ObjectEntry& e) { e.Placement.Height = 1; }},
      {"Distance", [](ObjectEntry& e) { e.Placement.Distance = 1; }},
      {"Scale", [](ObjectEntry& e) { e.Scale = 2; }},
      {"NumberOfObjects", [](ObjectEntry& e) { e.NumberOfObjects = 2; }},
      {"Shadeing", [](ObjectEntry& e) { e.Shadeing = false; }},
      {"PositionMode", [](ObjectEntry& e) { e.PositionMode = PositionMode::Sky; }},
      {"MixtureMode", [](ObjectEntry& e) { e.MixtureMode = MixtureMode::Sub; }},
      {"Transparency", [](ObjectEntry& e) { e.Transparency = 0.5L; }},
      {"SoftFocus", [](ObjectEntry& e) { e.SoftFocus = 0.5L; }}};
  for (const auto& [field, change] : changes) {
    ObjectEntry a, b;
    change(b);
    EXPECT_FALSE(a.SameSettingsAs(b)) << field;
    a.CopySettingsFrom(b);
    EXPECT_TRUE(a.SameSettingsAs(b)) << field;
  }
  // The name is no setting; an entry equals another with both the same.
  ObjectEntry a, b;
  b.Filename = "tree.bmp";
  EXPECT_TRUE(a.SameSettingsAs(b));
  EXPECT_FALSE(a == b);
  a.Filename = "tree.bmp";
  EXPECT_TRUE(a == b);
}

#ifndef NDEBUG  // asserts are compiled only without NDEBUG
TEST(ObjectGroupDeathTest, RemovingAnEntryOfAnotherGroupIsAProgrammerError) {
  ObjectGroup far, near;
  auto entry = NewObjectEntry();
  ObjectEntry* e = entry.get();
  AppendObjectEntry(near, std::move(entry));
  EXPECT_DEATH(RemoveObjectEntry(far, e), "not in this group");
}
#endif

// A const scene is read-only down to its entries: walking a const group, or the
// links of a const entry, never hands out an entry that can be changed.
template <typename T>
constexpr bool kIsConst = std::is_const_v<std::remove_pointer_t<std::remove_reference_t<T>>>;
static_assert(kIsConst<decltype(*std::declval<const ObjectGroup&>().begin())>);
static_assert(kIsConst<decltype(std::declval<const ObjectGroup&>().First())>);
static_assert(kIsConst<decltype(std::declval<const ObjectGroup&>().Last())>);
static_assert(kIsConst<decltype(std::declval<const ObjectEntry&>().Next())>);
static_assert(kIsConst<decltype(std::declval<const ObjectEntry&>().Prev())>);
static_assert(!kIsConst<decltype(*std::declval<ObjectGroup&>().begin())>);

TEST(ObjectGroup, NewEntryInheritsSettingsButNotNameOrPlace) {
  ObjectGroup g;
  auto first = NewObjectEntry();
  first->OpaqueColor = MakePacked(1, 2, 3);
  first->Filename = "tree.bmp";
  first->Manual = true;
  first->Placement = {10, 20, 3};
  first->Scale = 2;
  first->NumberOfObjects = 5;
  first->Shadeing = false;
  first->PositionMode = PositionMode::Sky;
  first->MixtureMode = MixtureMode::Add;
  first->Transparency = 0.25L;
  first->SoftFocus = 0.5L;
  ObjectEntry* selected = first.get();
  AppendObjectEntry(g, std::move(first));

  auto copy = NewObjectEntry(selected);
  EXPECT_EQ(copy->OpaqueColor, selected->OpaqueColor);
  EXPECT_TRUE(copy->Manual);
  EXPECT_EQ(copy->Placement.Angle, 10);
  EXPECT_EQ(copy->Placement.Distance, 3);
  EXPECT_EQ(copy->Scale, 2);
  EXPECT_EQ(copy->NumberOfObjects, 5);
  EXPECT_FALSE(copy->Shadeing);
  EXPECT_EQ(copy->PositionMode, PositionMode::Sky);
  EXPECT_EQ(copy->MixtureMode, MixtureMode::Add);
  EXPECT_EQ(copy->Transparency, 0.25L);
  EXPECT_EQ(copy->SoftFocus, 0.5L);
  EXPECT_TRUE(copy->Filename.empty());
  EXPECT_EQ(copy->Prev(), nullptr);
  EXPECT_EQ(copy->Next(), nullptr);

  auto fresh = NewObjectEntry();
  EXPECT_FALSE(fresh->Manual);
  EXPECT_EQ(fresh->Scale, 1.0L);
  EXPECT_EQ(fresh->NumberOfObjects, 1);
  EXPECT_TRUE(fresh->Shadeing);
  EXPECT_EQ(fresh->PositionMode, PositionMode::Ground);
  EXPECT_EQ(fresh->MixtureMode, MixtureMode::Norm);
}

TEST(SceneSettings, RemovingWithoutAGroupSearchesFarMidNear) {
  SceneSettings s;
  auto a = NewObjectEntry();
  ObjectEntry* in_mid = a.get();
  AppendObjectEntry(s.Mid, std::move(a));
  ObjectEntry stray;
  EXPECT_FALSE(s.RemoveObjectEntry(&stray));
  EXPECT_EQ(s.Mid.Size(), 1u);
  EXPECT_TRUE(s.RemoveObjectEntry(in_mid));
  EXPECT_TRUE(s.Mid.Empty());
}

TEST(SceneSettings, ResetRestoresDefaultsAndFreesTheEntries) {
  SceneSettings s;
  s.RandomSeed = "1";
  s.AirDepth = "abc";
  s.Sky.Count = 16;
  s.Sun.Slopes[0] = 3;
  s.Stars.NumberOfStars = "100";
  s.Ceiling.Enabled = true;
  s.Ceiling.TextureFilename = "c.bmp";
  s.Ground.TextureFilename = "g.bmp";
  s.Ground.Reflection = 50;
  s.Output.Format = OutputFormat::Old;
  s.Output.Filename = "x.jpg";
  AppendObjectEntry(s.Far, NewObjectEntry());
  AppendObjectEntry(s.Near, NewObjectEntry());
  s.Reset();
  EXPECT_EQ(s.RandomSeed, "65536");
  EXPECT_EQ(s.AirDepth, "0.0");
  EXPECT_EQ(s.Sky.Count, 3);
  EXPECT_EQ(s.Sun.Slopes[0], 0);
  EXPECT_EQ(s.Stars.NumberOfStars, "0");
  EXPECT_FALSE(s.Ceiling.Enabled);
  EXPECT_TRUE(s.Ceiling.TextureFilename.empty());
  EXPECT_TRUE(s.Ground.TextureFilename.empty());
  EXPECT_EQ(s.Ground.Reflection, 0);
  EXPECT_EQ(s.Output.Format, OutputFormat::Normal);
  EXPECT_TRUE(s.Output.Filename.empty());
  EXPECT_TRUE(s.Far.Empty() && s.Near.Empty());
}

// The document is a value: a copy is equal to its original and independent
// of it, entries and their order included; a change anywhere makes two
// documents differ.
TEST(SceneSettings, CopiesAreEqualAndIndependent) {
  SceneSettings scene;
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) {
    auto entry = NewObjectEntry();
    entry->Filename = name;
    scene.Mid.Append(std::move(entry));
  }
  scene.Ceiling.TextureFilename = "clouds.png";
  const SceneSettings copy = scene;
  EXPECT_EQ(copy, scene);
  ASSERT_EQ(copy.Mid.Size(), 3u);
  EXPECT_NE(copy.Mid.First(), scene.Mid.First());  // entries of its own
  EXPECT_EQ(copy.Mid.First()->Filename, "a.bmp");
  EXPECT_EQ(copy.Mid.Last()->Prev()->Filename, "b.bmp");
  EXPECT_EQ(copy.Mid.Last()->Next(), nullptr);

  const std::pair<const char*, void (*)(SceneSettings&)> changes[] = {
      {"seed", [](SceneSettings& s) { s.RandomSeed = "1"; }},
      {"sky", [](SceneSettings& s) { s.Sky.Positions[15] = 0.5L; }},
      {"ceiling key", [](SceneSettings& s) { s.Ceiling.OpaqueColor = MakePacked(1, 0, 0); }},
      {"ground name", [](SceneSettings& s) { s.Ground.TextureFilename = "g.bmp"; }},
      {"entry setting", [](SceneSettings& s) { s.Mid.Last()->Transparency = 0.5L; }},
      {"entry name", [](SceneSettings& s) { s.Mid.First()->Filename = "z.bmp"; }},
      {"entry order",
       [](SceneSettings& s) { s.Mid.Insert(s.Mid.First(), s.Mid.Release(s.Mid.Last())); }},
      {"entry gone", [](SceneSettings& s) { s.Mid.Remove(s.Mid.Last()); }},
      {"entry moved", [](SceneSettings& s) { s.Near.Append(s.Mid.Release(s.Mid.Last())); }},
      {"output", [](SceneSettings& s) { s.Output.Format = OutputFormat::Old; }},
  };
  for (const auto& [what, change] : changes) {
    SceneSettings changed = scene;
    change(changed);
    EXPECT_NE(changed, scene) << what;
    EXPECT_EQ(copy, scene) << what;  // the original is untouched
  }

  // Assigned over a scene with entries of its own, and moved.
  SceneSettings other;
  other.Far.Append(NewObjectEntry());
  other = scene;
  EXPECT_EQ(other, scene);
  EXPECT_TRUE(other.Far.Empty());
  SceneSettings moved = std::move(other);
  EXPECT_EQ(moved, scene);
}

}  // namespace
}  // namespace horizonmill
