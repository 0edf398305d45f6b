#include "render/Pipeline.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "image/MemoryHunger.h"
#include "image/PictureCache.h"
#include "render/RenderSky.h"
#include "support/BitmapTesting.h"
#include "support/RecordingPort.h"

namespace horizonmill {
namespace {

using Strings = std::vector<std::string>;
using testing::FilledBitmap;
using testing::RecordingPort;

struct RenderRun {
  SceneSettings scene;
  RecordingPort host;
  RenderContext context;
  WorkBitmap preview = FilledBitmap(kPreviewWidth, kPreviewHeight, BgrPixel{192, 192, 192});
  WorkBitmap output;
  std::shared_ptr<const PreparedScene> prepared;

  RenderRun() {
    context.Port = &host;
    host.context = &context;
  }
  void Prepare() {
    PictureCache cache;
    prepared = PrepareScene(scene, PictureSearch(), cache, DefaultPictureBudget()).scene;
  }
  void Preview() {
    Prepare();
    RenderBackground(context, *prepared, preview, preview);
  }
  void Full(int w, int h) {
    Prepare();
    output.Resize(w, h);
    RenderBackground(context, *prepared, output, preview);
  }
};

TEST(Pipeline, StagesAndMessagesWithoutCeilingOrGround) {
  RenderRun run;
  run.scene.Stars.NumberOfStars = "10000";
  run.Preview();
  EXPECT_EQ(run.host.messages, (Strings{"Drawing the sky gradation..", "Drawing the sun..",
                                        "Drawing the stars.. count: 10000", "Drawing the objects..",
                                        "Updating the image.."}));
  const Strings& e = run.host.events;
  EXPECT_EQ(e.front(), "message Drawing the sky gradation..");
  EXPECT_EQ(Strings(e.end() - 3, e.end()),
            (Strings{"message Updating the image..", "show", "finished"}));
  EXPECT_EQ(run.host.Count("show"), 5);  // after each of four stages, and at the end
  EXPECT_EQ(run.context.RenderProgress, 100);
  EXPECT_FALSE(run.context.AbortRequested);
  EXPECT_GT(run.host.polls, 266);  // the stars poll once per star, the sky once per block
}

TEST(Pipeline, PreviewThinsTheStarsToTheOutputDensity) {
  EXPECT_EQ(PreviewStarCount(10000, 3072, 1536), 266);  // 10000 / 37.58 = 266.1
  EXPECT_EQ(PreviewStarCount(10000, 409, 307), 10000);
  EXPECT_EQ(PreviewStarCount(10000, 0, 1536), 10000);         // no positive resolution: unscaled
  EXPECT_EQ(PreviewStarCount(2000000000, 1, 1), 2147483647);  // kept within 32 bits
  // 266 single pixels in the preview, drawn from the same seed.
  RenderRun run;
  run.scene.Stars.NumberOfStars = "10000";
  run.scene.Sky.Count = 1;
  run.scene.Sky.Colors[0] = FloatColour{0, 0, 0, 255};
  run.Preview();
  int lit = 0;
  for (int y = 0; y < kPreviewHeight; ++y)
    for (int x = 0; x < kPreviewWidth; ++x) lit += run.preview.Row(y)[x].r > 0;
  EXPECT_LE(lit, 266);
  EXPECT_GT(lit, 200);  // a few fall on one another or are grey 0
}

TEST(Pipeline, StarSizeZeroStillShowsTheMessageAndRefreshes) {
  RenderRun run;
  run.scene.Stars.NumberOfStars = "50";
  run.scene.Stars.SizeOfStars = "0";
  run.Preview();
  EXPECT_EQ(run.host.messages[2], "Drawing the stars.. count: 50");
  EXPECT_EQ(run.host.Count("show"), 5);
}

TEST(Pipeline, FullRenderIsScaledIntoThePreviewAfterEachStage) {
  RenderRun run;
  run.Full(818, 614);
  EXPECT_EQ(run.host.Count("show"), 5);
  // The preview now shows the sky: blue at the top, white at the horizon.
  EXPECT_EQ(run.preview.Row(0)[200], (BgrPixel{255, 0, 0}));
  EXPECT_EQ(run.preview.Row(153)[200], (BgrPixel{255, 255, 255}));

  RenderRun quiet;  // a caller without a preview pays for no scaling
  quiet.host.wantsPreview = false;
  quiet.Full(818, 614);
  EXPECT_EQ(quiet.host.Count("show"), 0);
  EXPECT_EQ(quiet.preview.Row(0)[0], (BgrPixel{192, 192, 192}));
}

TEST(Pipeline, LayerTexturesArePlaceholdersForEmptyOrMissingNames) {
  RenderRun run;
  run.scene.Ceiling.Enabled = true;
  run.scene.Ground.Enabled = true;
  run.scene.Ground.TextureFilename = "no such folder/ground.bmp";
  run.Preview();
  EXPECT_EQ(run.prepared->CeilingTexture.Source, TextureSource::Checkerboard);
  EXPECT_EQ(run.prepared->CeilingTexture.Drawn->width, 256);
  EXPECT_EQ(run.prepared->GroundTexture.Source, TextureSource::MissingTile);
  EXPECT_EQ(run.prepared->GroundTexture.Drawn->width, 16);  // the "無" tile
  EXPECT_EQ(run.host.messages,
            (Strings{"Drawing the sky gradation..", "Drawing the sun..",
                     "Drawing the stars.. count: 0", "Drawing the ceiling..",
                     "Drawing the ground..", "Drawing the objects..", "Updating the image.."}));
  EXPECT_EQ(run.host.reports, std::vector<Diagnostic>{});  // the preparation told of them
}

TEST(Pipeline, ReflectionPassOnlyWithAReflection) {
  RenderRun flat;
  flat.scene.Ground.Enabled = true;
  flat.Preview();
  for (const auto& m : flat.host.messages) EXPECT_NE(m, "Drawing the reflected objects..");

  RenderRun mirror;
  mirror.scene.Ground.Enabled = true;
  mirror.scene.Ground.Reflection = 40;
  mirror.Preview();
  EXPECT_EQ(mirror.host.messages,
            (Strings{"Drawing the sky gradation..", "Drawing the sun..",
                     "Drawing the stars.. count: 0", "Drawing the reflected objects..",
                     "Drawing the ground..", "Drawing the objects..", "Updating the image.."}));
  EXPECT_EQ(mirror.host.Count("show"), 8);  // the reflection pass refreshes twice
}

TEST(Pipeline, MirrorAndCopyOfTheHalves) {
  for (int h : {6, 7}) {
    WorkBitmap bitmap(2, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < 2; ++x) bitmap.Row(y)[x] = BgrPixel{static_cast<std::uint8_t>(y), 0, 0};
    MirrorUpperHalf(bitmap);
    for (int y = 0; y < h; ++y)  // row y shows the upper row it mirrors
      EXPECT_EQ(bitmap.Row(y)[1].b, std::min(y, h - 1 - y)) << "H " << h << " row " << y;

    WorkBitmap reflection(2, h / 2);
    FillWorkBitmap(reflection, BgrPixel{99, 99, 99});
    CopyLowerHalf(reflection, bitmap);
    // Reflection row i holds target row h / 2 + i; for H = 7 the last target
    // row (6) is not copied.
    for (int i = 0; i < h / 2; ++i) EXPECT_EQ(reflection.Row(i)[0], bitmap.Row(h / 2 + i)[0]);
  }
}

TEST(Pipeline, AbortDuringTheSunSkipsEveryLaterStage) {
  RenderRun run;
  run.context.Threads = 1;
  run.scene.Stars.NumberOfStars = "500";
  run.scene.Sun.CenterColor = run.scene.Sun.OuterColor = FloatColour{255, 0, 0, 255};
  run.scene.Sun.MixtureMode = MixtureMode::Norm;
  run.host.onPoll = [](RenderContext& context, RenderStage stage) {
    if (stage == RenderStage::Sun) context.AbortRequested = true;
  };
  run.Preview();
  EXPECT_TRUE(run.context.AbortRequested);
  EXPECT_EQ(run.context.RenderProgress, 100);
  const Strings& e = run.host.events;
  EXPECT_EQ(Strings(e.end() - 3, e.end()),
            (Strings{"message Updating the image..", "finished aborted",
                     "message The drawing was stopped."}));
  // The sun stopped after its first band: the points within 32 pixels of the
  // centre's row or column are drawn, those farther out on both keep the sky.
  WorkBitmap sky(kPreviewWidth, kPreviewHeight);
  RenderContext plain;
  RenderSky(plain, sky, SkyGradation::Default());
  EXPECT_NE(run.preview.Row(250)[204], sky.Row(250)[204]);
  EXPECT_NE(run.preview.Row(160)[300], sky.Row(160)[300]);
  EXPECT_EQ(run.preview.Row(250)[300], sky.Row(250)[300]);

  run.host.onPoll = nullptr;  // the next render clears the flag and runs in full
  run.Preview();
  EXPECT_FALSE(run.context.AbortRequested);
  EXPECT_NE(run.preview.Row(250)[300], sky.Row(250)[300]);
}

TEST(Pipeline, RenderingIsSetWhileTheRenderRunsHoweverItEnds) {
  RenderRun run;
  std::vector<bool> seen;
  run.host.onPoll = [&](RenderContext& context, RenderStage) {
    seen.push_back(context.Rendering);
    context.AbortRequested = true;  // the first poll aborts
  };
  EXPECT_FALSE(run.context.Rendering);
  run.Preview();
  EXPECT_TRUE(run.context.AbortRequested);
  EXPECT_EQ(seen, std::vector<bool>{true});
  EXPECT_FALSE(run.context.Rendering);
}

// The window shows PreviewBitmap while events run: a preview render keeps its
// pixels to the calling thread, a full render shares its stages out.
TEST(Pipeline, APreviewRenderRunsOnTheCallingThreadAlone) {
  RenderRun run;
  run.context.Threads = 7;
  std::set<int> threads;
  run.host.onPoll = [&](RenderContext& context, RenderStage) { threads.insert(context.Threads); };
  run.Preview();
  EXPECT_EQ(threads, std::set<int>{1});
  threads.clear();
  run.Full(320, 160);
  EXPECT_EQ(threads, std::set<int>{7});
  EXPECT_EQ(run.context.Threads, 7);
}

#ifndef NDEBUG  // asserts are compiled only without NDEBUG
TEST(PipelineDeathTest, ARenderStartedWhileOneRunsIsAProgrammerError) {
  RenderRun run;
  run.host.onPoll = [&](RenderContext& context, RenderStage) {
    RenderBackground(context, *run.prepared, run.preview, run.preview);
  };
  EXPECT_DEATH(run.Preview(), "a render was started while one runs");
}
#endif

TEST(Pipeline, HorizonRowWithoutMemoryEndsTheRenderAfterTheSun) {
  RenderRun run;
  run.scene.Stars.NumberOfStars = "100";
  TheMemoryHunger().SetRefusal([](std::size_t) { return true; });
  run.Full(2000, 1000);
  TheMemoryHunger().SetRefusal(nullptr);
  EXPECT_EQ(run.host.messages, (Strings{"Drawing the sky gradation..", "Drawing the sun.."}));
  const Strings& e = run.host.events;
  ASSERT_EQ(run.host.reports.size(), 1u);
  EXPECT_EQ(run.host.reports[0].code, DiagnosticCode::HorizonRowNoMemory);
  EXPECT_EQ(Strings(e.end() - 2, e.end()),
            (Strings{"report " + run.host.reports[0].text, "finished"}));
  EXPECT_EQ(run.context.RenderProgress, 100);
  EXPECT_EQ(run.output.Row(500)[0], (BgrPixel{255, 255, 255}));  // the sky stays
}

}  // namespace
}  // namespace horizonmill
