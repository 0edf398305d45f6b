#include "app/Session.h"

#include <gtest/gtest.h>
#include <png.h>

#include "codecs/ImageOutput.h"
#include "image/PictureBudget.h"
#include "platform/FileError.h"
#include "support/PictureEncoding.h"
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

// Whatever stops a reading, the session is as it was: scene, name, and
// whether it has unsaved changes.
TEST(Session, AFileThatCannotBeOpenedLeavesTheSessionAsItWas) {
  TempDir dir;
  WritePicture(dir / "picture.hm");  // a picture renamed .hm
  WriteFile(dir / "random.hm", std::string("\x01\x02\x03\x00\xff", 5));
  WriteFile(dir / "utf16.hm", std::string("\xff\xfeR\0a\0", 6));
  WriteFile(dir / "junk.bmp", "BM but no picture");
  WriteFile(dir / "badpicture.hm", "RandomSeed 5\r\nGround_TextureFilename junk.bmp\r\n");
  for (const char* name : {"picture.hm", "random.hm", "utf16.hm", "missing.hm", "badpicture.hm"}) {
    Session s;
    WritePicture(dir / "t.bmp");
    s.TakeTexture(TextureLayer::Ceiling, dir / "t.bmp");
    s.Scene().RandomSeed = "77";
    s.SaveAs(dir / "mine.hm");
    s.Scene().AirDepth = "3";  // unsaved
    NoQuestions host;
    EXPECT_THROW(s.Open(dir / name, host), FileError) << name;
    EXPECT_EQ(s.SettingsFilename(), dir / "mine.hm") << name;
    EXPECT_EQ(s.Scene().RandomSeed, "77") << name;
    EXPECT_EQ(s.Scene().AirDepth, "3") << name;
    EXPECT_TRUE(s.Scene().Ceiling.Texture) << name;
    EXPECT_FALSE(s.Scene().Ground.Enabled) << name;
    EXPECT_TRUE(s.HasUnsavedChanges()) << name;
  }
}

TEST(Session, UnsavedChangesAreWhatAFileOfTheSceneWouldHoldCompared) {
  TempDir dir;
  Session s;
  EXPECT_FALSE(s.HasUnsavedChanges());
  s.Scene().RandomSeed = "1";
  EXPECT_TRUE(s.HasUnsavedChanges());
  s.Scene().RandomSeed = "65536";  // back as it was
  EXPECT_FALSE(s.HasUnsavedChanges());
  s.Scene().Sky.Count = 2;
  EXPECT_TRUE(s.HasUnsavedChanges());
  s.SaveAs(dir / "a.hm");
  EXPECT_FALSE(s.HasUnsavedChanges());
  s.Scene().Ceiling.Transparency = 40;
  EXPECT_FALSE(s.HasUnsavedChanges());  // written only while the ceiling is on
  s.Scene().Ceiling.Enabled = true;
  EXPECT_TRUE(s.HasUnsavedChanges());
  s.Save();
  EXPECT_FALSE(s.HasUnsavedChanges());
  s.New();
  EXPECT_FALSE(s.HasUnsavedChanges());

  // A reading stopped by the picture budget keeps what was read, which is not
  // what the file holds.
  WritePicture(dir / "p.bmp");
  WriteFile(dir / "objects.hm",
            "Objects_CreateObject Far\r\nObjects_Filename p.bmp\r\n"
            "Objects_CreateObject Far\r\nObjects_Filename p.bmp\r\n");
  NoQuestions host;
  EXPECT_EQ(s.Open(dir / "objects.hm", host), ReadStatus::Complete);
  EXPECT_FALSE(s.HasUnsavedChanges());
  // The first picture (held at 16 bytes) leaves too little to load the second.
  s.SetPictureBudget(LoadingBytes(2, 2) + 15);
  EXPECT_EQ(s.Open(dir / "objects.hm", host), ReadStatus::OutOfMemory);
  EXPECT_EQ(s.Scene().Far.Size(), 1u);
  EXPECT_EQ(s.SettingsFilename(), dir / "objects.hm");
  EXPECT_TRUE(s.HasUnsavedChanges());
}

TEST(Session, ObjectPicturesAreAddedWithinThePictureBudget) {
  TempDir dir;
  WritePicture(dir / "p.bmp");
  Session s;
  ObjectEntry* first = s.AddObjectPicture(s.Scene().Near, nullptr, dir / "p.bmp");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Filename, dir / "p.bmp");
  ASSERT_TRUE(first->Image);
  first->Scale = 2.5L;
  // A new entry takes the settings of the one selected.
  ObjectEntry* second = s.AddObjectPicture(s.Scene().Near, first, dir / "p.bmp");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->Scale, 2.5L);
  EXPECT_EQ(s.Scene().Near.Size(), 2u);
  EXPECT_TRUE(s.HasUnsavedChanges());

  // Beyond the budget, beside the two held: nothing is added.
  s.SetPictureBudget(s.Scene().HeldPictureBytes() + LoadingBytes(2, 2) - 1);
  EXPECT_EQ(s.AddObjectPicture(s.Scene().Near, nullptr, dir / "p.bmp"), nullptr);
  WriteFile(dir / "junk.bmp", "not a picture");
  s.SetPictureBudget(1 << 20);
  EXPECT_THROW(s.AddObjectPicture(s.Scene().Near, nullptr, dir / "junk.bmp"), FileError);
  EXPECT_EQ(s.Scene().Near.Size(), 2u);
}

TEST(Session, ACutOutPictureGetsAKeyColourItsOpaquePixelsDoNotUse) {
  TempDir dir;
  // Black and red 1 opaque; the transparent pixels hold red 2 (and are holes).
  testing::RgbaPicture cut{
      3,
      2,
      {MakePacked(0, 0, 0), MakePacked(1, 0, 0), MakePacked(0, 0, 0), MakePacked(2, 0, 0, 0),
       MakePacked(2, 0, 0, 0), MakePacked(0, 0, 0, 127)}};
  WriteFile(dir / "cut.png", testing::EncodePngLayout(cut, {PNG_COLOR_TYPE_RGB_ALPHA, 8}));
  WriteFile(dir / "opaque.png", testing::EncodePngLayout(cut, {PNG_COLOR_TYPE_RGB, 8}));
  Session s;
  ObjectEntry* like = s.AddObjectPicture(s.Scene().Far, nullptr, dir / "opaque.png");
  ASSERT_NE(like, nullptr);
  like->OpaqueColor = MakePacked(255, 0, 255);
  // A picture without holes takes the key colour of the entry it is like.
  ObjectEntry* opaque = s.AddObjectPicture(s.Scene().Far, like, dir / "opaque.png");
  ASSERT_NE(opaque, nullptr);
  EXPECT_EQ(opaque->OpaqueColor, MakePacked(255, 0, 255));
  ObjectEntry* cutOut = s.AddObjectPicture(s.Scene().Far, like, dir / "cut.png");
  ASSERT_NE(cutOut, nullptr);
  ASSERT_NE(cutOut->Image->holes, nullptr);
  EXPECT_EQ(cutOut->OpaqueColor, MakePacked(2, 0, 0));
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

// The picture a load replaces is handed back when asked for (an edit that
// can be taken back keeps it), and the slot is as it was after a failure.
TEST(Session, ALoadedTextureHandsBackThePictureItReplaced) {
  TempDir dir;
  WritePicture(dir / "t.bmp");
  WriteFile(dir / "junk.bmp", "not a picture");
  for (const TextureLayer layer : {TextureLayer::Ground, TextureLayer::Ceiling}) {
    Session s;
    PixelImagePtr& slot =
        layer == TextureLayer::Ground ? s.Scene().Ground.Texture : s.Scene().Ceiling.Texture;
    PixelImagePtr replaced = MakePixelImage(1, 1);
    s.LoadTexture(layer, dir / "t.bmp", &replaced);
    EXPECT_EQ(replaced, nullptr);  // the slot was empty
    const PixelImage* first = slot.get();
    ASSERT_NE(first, nullptr);

    s.TakeTexture(layer, dir / "t.bmp", &replaced);
    EXPECT_EQ(replaced.get(), first);
    ASSERT_NE(slot, nullptr);
    EXPECT_NE(slot.get(), first);

    const PixelImage* second = slot.get();
    PixelImagePtr untouched;
    EXPECT_THROW(s.LoadTexture(layer, dir / "junk.bmp", &untouched), FileError);
    EXPECT_EQ(slot.get(), second);
    EXPECT_EQ(untouched, nullptr);
  }
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

TEST(Session, OutputIsSizedFromTheResolutionWithinTheLimits) {
  Session s;
  s.SetJpegQuality(250);
  EXPECT_EQ(s.JpegQuality(), 100);
  s.Scene().Output.Resolution = {"abc", "3"};
  ASSERT_TRUE(s.RenderOutput());
  EXPECT_EQ(s.OutputBitmap().Width(), 1);
  EXPECT_EQ(s.OutputBitmap().Height(), 3);
  s.Scene().Output.Resolution = {"70000", "1"};  // wider than any image
  EXPECT_FALSE(s.RenderOutput());
  EXPECT_EQ(s.OutputBitmap().Width(), 1);
}

}  // namespace
}  // namespace horizonmill
