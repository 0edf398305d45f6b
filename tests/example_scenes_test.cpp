// The example scenes end to end: they open without questions, render without
// complaint, and render the same way every time and at every size.
#include <gtest/gtest.h>

#include <filesystem>

#include "render/Pipeline.h"
#include "scene/SettingsFile.h"
#include "support/BitmapTesting.h"
#include "support/RecordingHost.h"
#include "support/SceneRendering.h"

namespace horizonmill {
namespace {

using testing::RecordingHost;
using testing::SamePixels;

using testing::kExamples;
using testing::OpenExample;

WorkBitmap Render(SceneSettings& scene, int w, int h, RecordingHost& host) {
  return testing::RenderScene(scene, w, h, &host);
}

TEST(ExampleScenes, EveryExampleOpensAndRendersWithoutComplaint) {
  int scenes = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kExamples)) {
    if (entry.path().extension() != ".hm") continue;
    ++scenes;
    SceneSettings scene;
    OpenExample(scene, entry.path().filename().string());
    RecordingHost host;
    Render(scene, kPreviewWidth, kPreviewHeight, host);
    for (const auto& e : host.events) EXPECT_NE(e.rfind("box ", 0), 0u) << e;
    EXPECT_EQ(host.messages.back(), "画像更新中..");
  }
  EXPECT_GE(scenes, 3);
}

TEST(ExampleScenes, TheRichSceneUsesEveryLayerAndRendersIdenticallyTwice) {
  SceneSettings scene;
  OpenExample(scene, "lighthouse-coast.hm");
  EXPECT_TRUE(scene.Ceiling.Enabled && scene.Ceiling.Texture);
  EXPECT_TRUE(scene.Ground.Enabled && scene.Ground.Texture);
  EXPECT_GT(scene.Ground.Reflection, 0);
  EXPECT_FALSE(scene.Far.Empty() || scene.Mid.Empty() || scene.Near.Empty());
  for (const ObjectGroup* group : {&scene.Far, &scene.Mid, &scene.Near})
    for (const ObjectEntry& e : *group) EXPECT_NE(e.Image, nullptr) << e.Filename;

  RecordingHost first, second;
  const WorkBitmap a = Render(scene, 1024, 512, first);
  const WorkBitmap b = Render(scene, 1024, 512, second);
  EXPECT_TRUE(SamePixels(a, b));
  EXPECT_EQ(first.messages, second.messages);
  EXPECT_EQ(first.messages[3], "天井作画中..");
  EXPECT_EQ(first.messages[4], "映り込みオブジェクト作画中..");
}

TEST(ExampleScenes, PreviewAndFullRenderPlaceTheSameObjects) {
  SceneSettings scene;
  OpenExample(scene, "lighthouse-coast.hm");
  auto placements = [&] {
    std::vector<long double> values;
    for (const ObjectGroup* group : {&scene.Far, &scene.Mid, &scene.Near})
      for (const ObjectEntry& e : *group)
        values.insert(values.end(), {e.Placement.Angle, e.Placement.Height, e.Placement.Distance});
    return values;
  };
  RecordingHost host;
  Render(scene, kPreviewWidth, kPreviewHeight, host);
  const auto preview = placements();
  Render(scene, 2048, 1024, host);
  EXPECT_EQ(placements(), preview);
  EXPECT_NE(preview[0], 0);  // random entries were placed
}

}  // namespace
}  // namespace horizonmill
