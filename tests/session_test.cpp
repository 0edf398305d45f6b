#include "app/Session.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "codecs/ImageOutput.h"
#include "image/PictureBudget.h"
#include "platform/FileError.h"
#include "render/Pipeline.h"
#include "support/PictureEncoding.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

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

  EXPECT_EQ(s.Open(dir / "a.hm").status, ReadStatus::Complete);
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
  for (const char* name : {"picture.hm", "random.hm", "utf16.hm", "missing.hm"}) {
    Session s;
    WritePicture(dir / "t.bmp");
    s.SetTexture(TextureLayer::Ceiling, dir / "t.bmp", true);
    s.Scene().RandomSeed = "77";
    s.SaveAs(dir / "mine.hm");
    s.Scene().AirDepth = "3";  // unsaved
    const SceneSettings before = s.Scene();
    EXPECT_THROW(s.Open(dir / name), FileError) << name;
    EXPECT_EQ(s.SettingsFilename(), dir / "mine.hm") << name;
    EXPECT_EQ(s.Scene(), before) << name;
    EXPECT_TRUE(s.HasUnsavedChanges()) << name;
    EXPECT_EQ(s.Search().sceneFolder, dir.Path().string()) << name;
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

  // A reading stopped for memory (more entries than a reading takes) keeps
  // what was read, which is not what the file holds.
  std::string many;
  for (std::size_t i = 0; i <= SettingsReadLimits{}.maxObjectEntries; ++i)
    many += "Objects_CreateObject Far\r\n";
  WriteFile(dir / "objects.hm", many);
  const OpenResult opened = s.Open(dir / "objects.hm");
  EXPECT_EQ(opened.status, ReadStatus::OutOfMemory);
  ASSERT_FALSE(opened.diagnostics.empty());
  EXPECT_EQ(opened.diagnostics.back().code, DiagnosticCode::ReadingStopped);
  EXPECT_EQ(s.Scene().Far.Size(), SettingsReadLimits{}.maxObjectEntries);
  EXPECT_EQ(s.SettingsFilename(), dir / "objects.hm");
  EXPECT_TRUE(s.HasUnsavedChanges());
}

TEST(Session, ObjectPicturesAreAddedWithinThePictureBudget) {
  TempDir dir;
  WritePicture(dir / "p.bmp");
  WritePicture(dir / "q.bmp");
  Session s;
  ObjectEntry* first = s.AddObjectPicture(s.Scene().Near, nullptr, dir / "p.bmp");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Filename, dir / "p.bmp");
  ASSERT_NE(s.ObjectPicture(*first), nullptr);
  first->Scale = 2.5L;
  // A new entry takes the settings of the one selected.
  ObjectEntry* second = s.AddObjectPicture(s.Scene().Near, first, dir / "p.bmp");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->Scale, 2.5L);
  EXPECT_EQ(s.Scene().Near.Size(), 2u);
  EXPECT_TRUE(s.HasUnsavedChanges());
  EXPECT_EQ(s.Pictures().Decodes(), 1);  // one file, decoded once

  // Another picture needs 16 bytes as decoded and 16 as drawn: beyond the
  // budget by one byte beside the two held, nothing is added.
  const std::int64_t held = s.Prepare().pictureBytes;
  EXPECT_EQ(held, 32);  // p.bmp as decoded and as drawn, shared by both entries
  s.SetPictureBudget(held + 31);
  const SceneSettings before = s.Scene();
  EXPECT_EQ(s.AddObjectPicture(s.Scene().Near, nullptr, dir / "q.bmp"), nullptr);
  EXPECT_EQ(s.Scene(), before);
  s.SetPictureBudget(held + 32);
  EXPECT_NE(s.AddObjectPicture(s.Scene().Near, nullptr, dir / "q.bmp"), nullptr);
  // A picture too large for the budget alone is refused before it is decoded.
  s.SetPictureBudget(LoadingBytes(2, 2) - 1);
  WritePicture(dir / "r.bmp");
  const std::int64_t decodes = s.Pictures().Decodes();
  EXPECT_EQ(s.AddObjectPicture(s.Scene().Near, nullptr, dir / "r.bmp"), nullptr);
  EXPECT_EQ(s.Pictures().Decodes(), decodes);
  WriteFile(dir / "junk.bmp", "not a picture");
  s.SetPictureBudget(1 << 20);
  EXPECT_THROW(s.AddObjectPicture(s.Scene().Near, nullptr, dir / "junk.bmp"), FileError);
  EXPECT_EQ(s.Scene().Near.Size(), 3u);
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
  ASSERT_NE(s.ObjectPicture(*cutOut)->holes, nullptr);
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

  // The transparent colour can be picked while the ceiling's picture can be had.
  TempDir dir;
  WritePicture(dir / "t.bmp");
  scene.Ceiling.Enabled = true;
  EXPECT_FALSE(s.Refresh().ceilingColour);  // the checkerboard
  scene.Ceiling.TextureFilename = dir / "none.bmp";
  EXPECT_FALSE(s.Refresh().ceilingColour);
  scene.Ceiling.TextureFilename = dir / "t.bmp";
  EXPECT_TRUE(s.Refresh().ceilingColour);
  scene.Ceiling.Enabled = false;
  EXPECT_FALSE(s.Refresh().ceilingColour);

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
  EXPECT_EQ(s.FindPicture(dir / "t.bmp"), dir / "t.bmp");
  EXPECT_EQ(s.FindPicture(dir / "none.bmp"), std::nullopt);

  // Browsed: the layer switched on, the name the file's, the key colour one
  // the picture does not use.
  TextureChoice choice = s.SetTexture(TextureLayer::Ceiling, dir / "t.bmp", true);
  EXPECT_FALSE(choice.missing);
  EXPECT_EQ(choice.picture.Width(), 2);
  EXPECT_TRUE(s.Scene().Ceiling.Enabled);
  EXPECT_EQ(s.Scene().Ceiling.TextureFilename, dir / "t.bmp");
  EXPECT_NE(s.CeilingPicture(), nullptr);
  EXPECT_EQ(s.Scene().Ceiling.OpaqueColor, MakePacked(0, 0, 0, 255));  // black is unused
  EXPECT_EQ(s.PreviewBitmap().Row(300)[400], (BgrPixel{10, 20, 30}));
  s.Scene().Ceiling.OpaqueColor = MakePacked(10, 20, 30);
  s.SetTexture(TextureLayer::Ceiling, dir / "t.bmp", true);
  EXPECT_EQ(s.Scene().Ceiling.OpaqueColor, MakePacked(0, 0, 0, 255));

  // Typed, a name found nowhere: taken all the same (the render draws the
  // "無" tile), the layer left as it was, and said so.
  choice = s.SetTexture(TextureLayer::Ground, "nowhere\\g.bmp", false);
  ASSERT_TRUE(choice.missing);
  EXPECT_EQ(choice.missing->code, DiagnosticCode::MissingPicture);
  EXPECT_EQ(choice.missing->subject, DiagnosticSubject::GroundTexture);
  EXPECT_EQ(choice.missing->file, "nowhere\\g.bmp");
  EXPECT_TRUE(choice.picture.Empty());
  EXPECT_EQ(s.Scene().Ground.TextureFilename, "nowhere\\g.bmp");
  EXPECT_FALSE(s.Scene().Ground.Enabled);

  // A file that is no picture, typed or browsed, leaves the document as it was.
  WriteFile(dir / "junk.bmp", "not a picture");
  const SceneSettings before = s.Scene();
  for (const bool browsed : {false, true}) {
    for (const TextureLayer layer : {TextureLayer::Ground, TextureLayer::Ceiling}) {
      try {
        s.SetTexture(layer, dir / "junk.bmp", browsed);
        ADD_FAILURE() << "a file that is no picture was taken";
      } catch (const FileError& e) {
        EXPECT_EQ(e.Path(), dir / "junk.bmp");
      }
      EXPECT_EQ(s.Scene(), before);
    }
  }
}

// The session's pictures are decoded once: choosing a texture, preparing,
// rendering and undoing to earlier values decode nothing again; a picture
// changed on disk is read anew by the next preparation.
TEST(Session, PicturesAreDecodedOnceThroughTheCache) {
  TempDir dir;
  WritePicture(dir / "t.bmp");
  Session s;
  s.Scene().Output.Resolution = {"64", "32"};
  s.SetTexture(TextureLayer::Ground, dir / "t.bmp", true);
  s.AddObjectPicture(s.Scene().Far, nullptr, dir / "t.bmp");
  s.RenderPreview();
  ASSERT_TRUE(s.RenderOutput());
  const SceneSettings first = s.Scene();
  s.Scene().Far.First()->Transparency = 0.5L;  // another alpha, from the same picture
  s.RenderPreview();
  s.Scene() = first;  // the undo
  s.RenderPreview();
  EXPECT_EQ(s.Pictures().Decodes(), 1);
  EXPECT_EQ(s.Pictures().Derivations(), 2);

  WorkBitmap changed(3, 3);
  FillWorkBitmap(changed, BgrPixel{1, 2, 3});
  SaveAsBmp(changed, dir / "t.bmp");
  EXPECT_EQ(s.Prepare().scene->GroundTexture.Picture->width, 3);
  EXPECT_EQ(s.Pictures().Decodes(), 2);
}

// The brief's lighthouse: a copy of the example opened in a folder without its
// pictures keeps every entry and every name as written, renders with its
// placeholders, and is saved back byte for byte.
TEST(Session, ASceneWithoutItsPicturesKeepsEveryEntryAndNameAsWritten) {
  TempDir dir;
  const std::string original =
      ReadFile(std::string(HORIZONMILL_SOURCE_DIR) + "/examples/lighthouse-coast.hm");
  WriteFile(dir / "lighthouse-coast.hm", original);
  Session s;
  const OpenResult opened = s.Open(dir / "lighthouse-coast.hm");
  EXPECT_EQ(opened.diagnostics, std::vector<Diagnostic>{});
  const SceneSettings read = s.Scene();
  std::vector<std::string> names;
  for (const ObjectGroup* group : {&read.Far, &read.Mid, &read.Near})
    for (const ObjectEntry& e : *group) names.push_back(e.Filename);
  EXPECT_EQ(names, (std::vector<std::string>{"mountains.bmp", "trees.bmp", "rocks.bmp",
                                             "lighthouse.bmp"}));
  EXPECT_EQ(read.Ground.TextureFilename, "water.bmp");
  EXPECT_EQ(read.Ceiling.TextureFilename, "clouds.bmp");

  const Preparation prepared = s.Prepare();
  ASSERT_EQ(prepared.diagnostics.size(), 6u);
  for (const Diagnostic& d : prepared.diagnostics)
    EXPECT_EQ(d.code, DiagnosticCode::MissingPicture) << d.text;
  EXPECT_EQ(prepared.diagnostics[3].group, GroupId::Near);
  EXPECT_EQ(prepared.diagnostics[3].index, 1u);
  EXPECT_EQ(prepared.scene->GroundTexture.Source, TextureSource::MissingTile);
  s.Scene().Output.Resolution = {"128", "64"};
  ASSERT_TRUE(s.RenderOutput());
  s.Scene().Output.Resolution = read.Output.Resolution;
  EXPECT_EQ(s.Scene(), read);

  s.Save();
  EXPECT_EQ(ReadFile(dir / "lighthouse-coast.hm"), original);
  EXPECT_FALSE(s.HasUnsavedChanges());
}

// A folder the user points at (or the command line's --search-dir) is where
// pictures found nowhere else are looked for; a relative one is the current
// directory's when it is added.
TEST(Session, SearchFoldersFindThePicturesFoundNowhereElse) {
  TempDir dir;
  std::filesystem::create_directories(dir.Path() / "scene");
  std::filesystem::create_directories(dir.Path() / "pictures");
  WritePicture(dir / "pictures/water.bmp");
  WriteFile(dir / "scene/s.hm", "Ground_TextureFilename C:\\old\\water.bmp\r\n");
  Session s;
  s.Open(dir / "scene/s.hm");
  EXPECT_EQ(s.Prepare().diagnostics.size(), 1u);
  const std::filesystem::path saved = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  s.AddSearchFolder("pictures");
  std::filesystem::current_path(saved);
  EXPECT_EQ(s.SearchFolders(), std::vector<std::string>{dir / "pictures"});
  EXPECT_EQ(s.Prepare().diagnostics, std::vector<Diagnostic>{});
  EXPECT_EQ(s.Scene().Ground.TextureFilename, "C:\\old\\water.bmp");
}

// What the window's worker will do: prepare and render a copy of the document
// on a thread of its own while the document is edited and prepared on the
// window's thread; the picture cache is all they share, and the worker's
// picture is the copy's.
TEST(Session, ACopyOfTheDocumentIsPreparedAndRenderedOnAnotherThread) {
  TempDir dir;
  WritePicture(dir / "t.bmp");
  Session s;
  s.SetTexture(TextureLayer::Ground, dir / "t.bmp", true);
  s.AddObjectPicture(s.Scene().Far, nullptr, dir / "t.bmp")->NumberOfObjects = 20;
  const SceneSettings copy = s.Scene();
  const PictureSearch search = s.Search();
  const std::int64_t budget = s.PictureBudget();
  WorkBitmap drawn(96, 48), unused(kPreviewWidth, kPreviewHeight);
  std::thread worker([&] {
    const Preparation prepared = PrepareScene(copy, search, s.Pictures(), budget);
    RenderContext context;
    RenderBackground(context, *prepared.scene, drawn, unused);
  });
  for (int i = 0; i < 20; ++i) {
    s.Scene().RandomSeed = std::to_string(i);
    s.Scene().Far.First()->Transparency = i / 20.0L;
    s.Prepare();
  }
  worker.join();

  Session alone;
  RenderContext context;
  WorkBitmap expected(96, 48);
  RenderBackground(context, *PrepareScene(copy, search, alone.Pictures(), budget).scene, expected,
                   unused);
  EXPECT_EQ(std::memcmp(drawn.Bits(), expected.Bits(), expected.Stride() * 48), 0);
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
