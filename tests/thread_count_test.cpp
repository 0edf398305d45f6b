// Whole renders with 1, 2 and 7 threads: the example scenes and random scenes
// with every layer (an object larger than the image among them) come out the
// same to the last byte.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/BitmapTesting.h"
#include "support/PictureFiles.h"
#include "support/SceneRendering.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::RenderScene;
using testing::SamePixels;

using testing::kExamples;

void ExpectSameForEveryThreadCount(SceneSettings& scene, int w, int h, const std::string& what) {
  const WorkBitmap one = RenderScene(scene, w, h, nullptr, 1);
  for (int threads : {2, 7})
    EXPECT_TRUE(SamePixels(RenderScene(scene, w, h, nullptr, threads), one))
        << what << " " << w << "x" << h << ", " << threads << " threads";
}

TEST(ThreadCount, TheExampleScenesRenderTheSameWithAnyNumberOfThreads) {
  for (const char* name : {"lighthouse-coast.hm", "dusk.hm", "night.hm"}) {
    SceneSettings scene;
    testing::OpenExample(scene, name);
    // Not the preview's own size, which a render draws on the calling thread alone.
    ExpectSameForEveryThreadCount(scene, kPreviewWidth + 2, kPreviewHeight, name);
    ExpectSameForEveryThreadCount(scene, 640, 320, name);
  }
}

// A picture file of random pixels, one in five of the key colour; its path.
std::string RandomPicture(const testing::TempDir& dir, std::mt19937& rng, int w, int h,
                          PackedColour key) {
  WorkBitmap bitmap(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bitmap.Row(y)[x] = PackedToBgr(rng() % 5 == 0 ? key : static_cast<PackedColour>(rng()));
  std::string path = dir / ("picture" + std::to_string(rng()) + ".bmp");
  testing::WriteBmpFile(path, bitmap);
  return path;
}

FloatColour RandomColour(std::mt19937& rng) {
  return FloatColour{static_cast<float>(rng() % 256), static_cast<float>(rng() % 256),
                     static_cast<float>(rng() % 256), 255};
}

long double Between(std::mt19937& rng, double low, double high) {
  return std::uniform_real_distribution<double>(low, high)(rng);
}

void AddObjects(const testing::TempDir& dir, std::mt19937& rng, ObjectGroup& group) {
  const int entries = static_cast<int>(rng() % 3);
  for (int i = 0; i < entries; ++i) {
    auto entry = NewObjectEntry();
    entry->OpaqueColor = MakePacked(255, 0, 255);
    entry->Filename = RandomPicture(dir, rng, 8 + static_cast<int>(rng() % 60),
                                    8 + static_cast<int>(rng() % 60), entry->OpaqueColor);
    entry->Scale = Between(rng, 0.3, 3);
    entry->NumberOfObjects = static_cast<std::int32_t>(rng() % 6);
    entry->Shadeing = rng() % 2 == 0;
    entry->PositionMode = rng() % 2 == 0 ? PositionMode::Sky : PositionMode::Ground;
    const std::uint8_t modes[] = {MixtureMode::Add, MixtureMode::Sub, MixtureMode::Norm};
    entry->MixtureMode = modes[rng() % 3];
    entry->Transparency = (rng() % 5) / 4.0L;
    group.Append(std::move(entry));
  }
}

void RandomScene(const testing::TempDir& dir, std::mt19937& rng, SceneSettings& scene) {
  scene.RandomSeed = std::to_string(rng() % 100000);
  const char* depths[] = {"0", "0.5", "1.5", "10"};
  scene.AirDepth = depths[rng() % 4];
  scene.Sky.Count = 2 + static_cast<int>(rng() % 5);
  for (int i = 0; i < scene.Sky.Count; ++i) {
    scene.Sky.Colors[i] = RandomColour(rng);
    scene.Sky.Positions[i] = static_cast<long double>(i) / (scene.Sky.Count - 1);
  }
  scene.Sun.CenterColor = RandomColour(rng);
  scene.Sun.OuterColor = RandomColour(rng);
  scene.Sun.Position = {Between(rng, -0.5, 1.5), Between(rng, -0.5, 1.5)};
  for (long double& s : scene.Sun.Slopes) s = rng() % 3 == 0 ? 0 : Between(rng, -10, 10);
  scene.Sun.MixtureMode = static_cast<std::uint8_t>(rng() % 3);
  scene.Stars.NumberOfStars = std::to_string(rng() % 3000);
  scene.Stars.SizeOfStars = std::to_string(rng() % 4);

  scene.Ceiling.Enabled = rng() % 3 != 0;
  scene.Ceiling.OpaqueColor = MakePacked(0, 0, 0);
  scene.Ceiling.TextureFilename =
      RandomPicture(dir, rng, 16 << (rng() % 4), 37, scene.Ceiling.OpaqueColor);
  scene.Ceiling.Scale = std::to_string(Between(rng, 0.2, 4));
  scene.Ceiling.MixtureMode = static_cast<std::uint8_t>(rng() % 3);
  scene.Ceiling.Transparency = static_cast<int>(rng() % 101);
  scene.Ground.Enabled = rng() % 3 != 0;
  scene.Ground.TextureFilename = RandomPicture(dir, rng, 64, 16 + static_cast<int>(rng() % 100), 0);
  scene.Ground.Scale = rng() % 2 == 0 ? "2" : std::to_string(Between(rng, 0.2, 4));
  scene.Ground.Reflection = static_cast<int>(rng() % 101);
  scene.Ground.ReflectionWarp = std::to_string(Between(rng, -5, 10));

  AddObjects(dir, rng, scene.Far);
  AddObjects(dir, rng, scene.Mid);
  AddObjects(dir, rng, scene.Near);
  // A copy larger than the image both ways: its rows and columns wrap onto
  // pixels it has already blended.
  auto huge = NewObjectEntry();
  huge->Filename = RandomPicture(dir, rng, 40, 30, MakePacked(255, 0, 255));
  huge->OpaqueColor = MakePacked(255, 0, 255);
  huge->Manual = true;
  huge->Placement = {Between(rng, 0, 360), 0, 0.25L};
  huge->Scale = 4;
  huge->MixtureMode = MixtureMode::Norm;  // the order of blends shows
  huge->Transparency = 0.5L;
  scene.Near.Append(std::move(huge));
}

TEST(ThreadCount, RandomScenesRenderTheSameWithAnyNumberOfThreads) {
  std::mt19937 rng(4242);
  const testing::TempDir dir;
  const int sizes[][2] = {{97, 64}, {411, 307}, {640, 320}, {480, 240}, {256, 301}};
  for (int i = 0; i < 10; ++i) {
    SceneSettings scene;
    RandomScene(dir, rng, scene);
    const auto& size = sizes[i % 5];
    ExpectSameForEveryThreadCount(scene, size[0], size[1], "scene " + std::to_string(i));
  }
}

}  // namespace
}  // namespace horizonmill
