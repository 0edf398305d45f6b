#include "app/Session.h"

#include <gtest/gtest.h>

#include "output/ImageOutput.h"
#include "platform/FileError.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

class NoQuestions : public SettingsReaderHost {
 public:
  std::optional<std::string> AskForPicture(PictureKind, const std::string&,
                                           std::string_view) override {
    return std::nullopt;
  }
};

// A 2 x 2 picture, so textures load without the example files.
void WritePicture(const std::string& path) {
  WorkBitmap b(2, 2);
  FillWorkBitmap(b, BgrPixel{10, 20, 30});
  SaveAsBmp(b, path);
}

TEST(Session, NewOpenAndSaveAsNameTheSettingsFile) {
  TempDir dir;
  Session s;
  EXPECT_EQ(s.SettingsFilename(), "新規.hm");
  EXPECT_EQ(s.JpegQuality(), 90);

  s.Scene().RandomSeed = "77";
  s.SaveAs(dir / "a.hm");
  EXPECT_EQ(s.SettingsFilename(), dir / "a.hm");
  s.New();
  EXPECT_EQ(s.SettingsFilename(), "新規.hm");
  EXPECT_EQ(s.Scene().RandomSeed, "65536");

  NoQuestions host;
  EXPECT_EQ(s.Open(dir / "a.hm", host), ReadStatus::Complete);
  EXPECT_EQ(s.Scene().RandomSeed, "77");
  EXPECT_EQ(s.SettingsFilename(), dir / "a.hm");

  // A file that cannot be written keeps the name Save goes to.
  EXPECT_THROW(s.SaveAs(dir / "no-such-folder/b.hm"), FileError);
  EXPECT_EQ(s.SettingsFilename(), dir / "a.hm");
}

TEST(Session, RefreshHoldsTheOldFormatResolutionAndComputesTheEnabling) {
  Session s;
  SceneSettings& scene = s.Scene();
  ControlStates c = s.Refresh();
  EXPECT_FALSE(c.ceiling || c.ceilingColour || c.ground || c.groundWarp || c.dietMode || c.output);
  EXPECT_TRUE(c.resolution);

  scene.Output.Resolution = {"64", "32"};
  for (OutputFormat format : {OutputFormat::Old, OutputFormat::OldDiet}) {
    scene.Output.Format = format;
    scene.Output.Resolution.Width = "64";
    c = s.Refresh();
    EXPECT_EQ(scene.Output.Resolution.Width, "3072");
    EXPECT_EQ(scene.Output.Resolution.Height, "1536");
    EXPECT_TRUE(c.dietMode);
    EXPECT_FALSE(c.resolution);
  }
  scene.Output.Format = OutputFormat::Normal;
  scene.Output.Resolution.Width = "64";
  c = s.Refresh();
  EXPECT_EQ(scene.Output.Resolution.Width, "64");
  EXPECT_TRUE(c.resolution);

  scene.Ground.Enabled = true;
  EXPECT_FALSE(s.Refresh().groundWarp);
  scene.Ground.Reflection = 1;
  EXPECT_TRUE(s.Refresh().groundWarp);
  scene.Ground.Enabled = false;
  EXPECT_FALSE(s.Refresh().groundWarp);

  scene.Ceiling.Enabled = true;
  EXPECT_FALSE(s.Refresh().ceilingColour);
  scene.Ceiling.Texture = MakePixelImage(1, 1);
  EXPECT_TRUE(s.Refresh().ceilingColour);

  scene.Output.Filename = "x.jpg";
  EXPECT_TRUE(s.Refresh().output);
}

TEST(Session, ScaleTextsThatCountAsZeroBecomeOneThousandth) {
  for (const char* zero : {"0", "0.0", "", "abc", "-0", "0e5"})
    EXPECT_EQ(GuardedScale(zero), "0.001");
  for (const char* kept : {"1.0", "-2", "0.0001", " 3 "}) EXPECT_EQ(GuardedScale(kept), kept);
}

TEST(Session, TexturesTypedOrBrowsedAreShownInThePreview) {
  TempDir dir;
  WritePicture(dir / "t.bmp");
  Session s;
  EXPECT_EQ(Session::ExistingTexture(dir / "t.bmp"), dir / "t.bmp");
  EXPECT_EQ(Session::ExistingTexture(dir / "none.bmp"), std::nullopt);

  s.TakeTexture(TextureLayer::Ceiling, dir / "t.bmp");
  EXPECT_TRUE(s.Scene().Ceiling.Enabled);
  EXPECT_EQ(s.Scene().Ceiling.TextureFilename, dir / "t.bmp");
  ASSERT_TRUE(s.Scene().Ceiling.Texture);
  EXPECT_EQ(s.Scene().Ceiling.OpaqueColor, MakePacked(0, 0, 0, 255));  // black is unused
  EXPECT_EQ(s.PreviewBitmap().Row(300)[400], (BgrPixel{10, 20, 30}));

  // A file that is no picture leaves the slot and the switch as they were.
  WriteFile(dir / "junk.bmp", "not a picture");
  EXPECT_THROW(s.TakeTexture(TextureLayer::Ground, dir / "junk.bmp"), FileError);
  EXPECT_FALSE(s.Scene().Ground.Enabled);
  EXPECT_FALSE(s.Scene().Ground.Texture);
}

TEST(Session, PreviewClicksWaitForTheTimerAfterARender) {
  Session s;
  EXPECT_FALSE(s.PreviewAcceptsClick());  // RenderProgress starts at 100
  EXPECT_EQ(s.ProgressTick(), std::nullopt);
  EXPECT_TRUE(s.PreviewAcceptsClick());
  s.Context().RenderProgress = 42;
  EXPECT_EQ(s.ProgressTick(), 42);
  s.RenderPreview();
  EXPECT_FALSE(s.PreviewAcceptsClick());
  EXPECT_EQ(s.ProgressTick(), std::nullopt);
  EXPECT_TRUE(s.PreviewAcceptsClick());
  s.Context().Rendering = true;
  EXPECT_FALSE(s.PreviewAcceptsClick());
}

TEST(Session, OutputIsSizedFromTheResolutionAndWrittenByExtension) {
  TempDir dir;
  Session s;
  s.SetJpegQuality(250);
  EXPECT_EQ(s.JpegQuality(), 100);
  s.Scene().Output.Resolution = {"abc", "3"};
  ASSERT_TRUE(s.RenderOutput());
  s.WriteImage(dir / "out.BMP");
  EXPECT_EQ(s.OutputBitmap().Width(), 1);
  EXPECT_EQ(s.OutputBitmap().Height(), 3);
  EXPECT_EQ(ReadFile(dir / "out.BMP").substr(0, 2), "BM");
  s.WriteImage(dir / "preview.jpg", true);
  s.Scene().Output.Resolution = {"70000", "1"};  // wider than any image
  EXPECT_FALSE(s.RenderOutput());
  EXPECT_EQ(s.OutputBitmap().Width(), 1);
  EXPECT_EQ(ReadFile(dir / "preview.jpg").substr(0, 2), "\xff\xd8");
}

}  // namespace
}  // namespace horizonmill
