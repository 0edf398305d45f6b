// The example scenes end to end: they open without questions, render without
// complaint, and render the same way every time and at every size.
#include <gtest/gtest.h>

#include <filesystem>

#include "render/Pipeline.h"
#include "scene/SettingsFile.h"
#include "support/BitmapTesting.h"
#include "support/RecordingPort.h"
#include "support/SceneRendering.h"

namespace horizonmill {
namespace {

using testing::RecordingPort;
using testing::SamePixels;

using testing::kExamples;
using testing::OpenExample;

WorkBitmap Render(SceneSettings& scene, int w, int h, RecordingPort& host) {
  return testing::RenderScene(scene, w, h, &host);
}

TEST(ExampleScenes, EveryExampleOpensAndRendersWithoutComplaint) {
  int scenes = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kExamples)) {
    if (entry.path().extension() != ".hm") continue;
    ++scenes;
    SceneSettings scene;
    OpenExample(scene, entry.path().filename().string());
    PictureCache cache;
    EXPECT_EQ(PrepareScene(scene, PictureSearch(kExamples, {}), cache, DefaultPictureBudget())
                  .diagnostics,
              std::vector<Diagnostic>{});
    RecordingPort host;
    Render(scene, kPreviewWidth, kPreviewHeight, host);
    EXPECT_EQ(host.reports, std::vector<Diagnostic>{});
    EXPECT_EQ(host.messages.back(), "Updating the image..");
  }
  EXPECT_GE(scenes, 3);
}

TEST(ExampleScenes, TheRichSceneUsesEveryLayerAndRendersIdenticallyTwice) {
  SceneSettings scene;
  OpenExample(scene, "lighthouse-coast.hm");
  const auto prepared = testing::Prepare(scene);
  EXPECT_TRUE(prepared->CeilingEnabled &&
              prepared->CeilingTexture.Source == TextureSource::Picture);
  EXPECT_TRUE(prepared->GroundEnabled && prepared->GroundTexture.Source == TextureSource::Picture);
  EXPECT_GT(prepared->GroundReflection, 0);
  for (const auto& group : prepared->Objects) {
    EXPECT_FALSE(group.empty());
    for (const PreparedObject& object : group)
      EXPECT_NE(object.Picture, nullptr) << object.Settings.Filename;
  }

  RecordingPort first, second;
  const WorkBitmap a = Render(scene, 1024, 512, first);
  const WorkBitmap b = Render(scene, 1024, 512, second);
  EXPECT_TRUE(SamePixels(a, b));
  EXPECT_EQ(first.messages, second.messages);
  EXPECT_EQ(first.messages[3], "Drawing the ceiling..");
  EXPECT_EQ(first.messages[4], "Drawing the reflected objects..");
}

TEST(ExampleScenes, EveryPreparationPlacesTheSameObjects) {
  SceneSettings scene;
  OpenExample(scene, "lighthouse-coast.hm");
  auto placements = [&] {
    const std::shared_ptr<const PreparedScene> prepared = testing::Prepare(scene);
    std::vector<long double> values;
    for (const PlacedObject& copy : prepared->Layout.Copies)
      values.insert(values.end(),
                    {copy.Placement.Angle, copy.Placement.Height, copy.Placement.Distance});
    return values;
  };
  const auto first = placements();
  EXPECT_EQ(placements(), first);
  ASSERT_FALSE(first.empty());
  EXPECT_NE(first[3], 0);  // random entries were placed
}

}  // namespace
}  // namespace horizonmill
