// The preparation of a scene: its pictures found, decoded once and held within
// the budget, the placeholders and the pictures as each layer draws them, and
// a document that nothing of it changes.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "image/MemoryHunger.h"
#include "image/PictureBudget.h"
#include "platform/Paths.h"
#include "render/Pipeline.h"
#include "render/PreparedScene.h"
#include "scene/SettingsFile.h"
#include "support/PictureFiles.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::TempDir;
using testing::UniformBitmap;
using testing::WriteBmpFile;

class PreparationTest : public ::testing::Test {
 protected:
  PreparationTest() {
    saved_ = ProgramDirectory();
    SetProgramDirectory(dir_ / "program");  // no picture there
  }
  ~PreparationTest() override { SetProgramDirectory(saved_); }

  // A w x h BMP beside the scene, of one colour.
  std::string Bmp(const std::string& name, int w, int h, BgrPixel colour = {30, 20, 10}) {
    WriteBmpFile(dir_ / name, UniformBitmap(w, h, colour));
    return name;
  }
  // A 4 x 2 PNG: opaque black, its lower row holes.
  std::string HoleyPng(const std::string& name) {
    testing::WriteHoleyPng(dir_ / name, 4, 2, MakePacked(0, 0, 0),
                           [](int, int y) { return y == 1; });
    return name;
  }
  Preparation Prepare(const SceneSettings& scene, std::int64_t budget = DefaultPictureBudget(),
                      MissingPictures missing = MissingPictures::Placeholder) {
    return PrepareScene(scene, PictureSearch(dir_.Path().string(), {}), cache_, budget, missing);
  }
  static ObjectEntry& Add(ObjectGroup& group, const std::string& name, int copies = 1) {
    auto entry = NewObjectEntry();
    entry->Filename = name;
    entry->NumberOfObjects = copies;
    ObjectEntry& e = *entry;
    group.Append(std::move(entry));
    return e;
  }

  TempDir dir_;
  PictureCache cache_;
  std::string saved_;
};

// Whatever a scene's pictures are — missing, damaged, empty names, key
// colours, pictures with holes, random placements — preparing and rendering
// it leave the document, and the file it would write, as they were.
TEST_F(PreparationTest, NeitherPreparingNorRenderingChangesTheDocument) {
  Bmp("tree.bmp", 6, 4);
  Bmp("water.bmp", 8, 8);
  HoleyPng("cut.png");
  testing::WriteFile(dir_ / "junk.bmp", "BM but no picture");
  const std::pair<const char*, std::function<void(SceneSettings&)>> scenes[] = {
      {"missing pictures",
       [](SceneSettings& s) {
         Add(s.Far, "gone.bmp", 3);
         s.Ground.Enabled = s.Ceiling.Enabled = true;
         s.Ground.TextureFilename = "tex\\gone.bmp";
         s.Ceiling.TextureFilename = "C:\\gone.bmp";
       }},
      {"damaged textures",
       [](SceneSettings& s) {
         s.Ground.Enabled = s.Ceiling.Enabled = true;
         s.Ground.TextureFilename = s.Ceiling.TextureFilename = "junk.bmp";
         Add(s.Mid, "junk.bmp");
       }},
      {"placeholders",
       [](SceneSettings& s) {
         s.Ground.Enabled = s.Ceiling.Enabled = true;
         s.Ground.Reflection = 50;
         Add(s.Near, "");
       }},
      {"key colours",
       [](SceneSettings& s) {
         s.Ceiling.Enabled = true;
         s.Ceiling.TextureFilename = "water.bmp";
         s.Ceiling.OpaqueColor = MakePacked(10, 20, 30);
         Add(s.Far, "tree.bmp").OpaqueColor = MakePacked(10, 20, 30);
       }},
      {"pictures with holes",
       [](SceneSettings& s) {
         s.Ground.Enabled = s.Ceiling.Enabled = true;
         s.Ground.TextureFilename = s.Ceiling.TextureFilename = "cut.png";
         Add(s.Near, "cut.png", 4).PositionMode = PositionMode::Sky;
       }},
      {"random placements",
       [](SceneSettings& s) {
         s.Ground.Enabled = true;
         s.Ground.TextureFilename = "water.bmp";
         s.Ground.Reflection = 70;
         Add(s.Far, "tree.bmp", 5);
         Add(s.Mid, "tree.bmp", 5).PositionMode = PositionMode::Sky;
         ObjectEntry& manual = Add(s.Near, "tree.bmp");
         manual.Manual = true;
         manual.Placement = {0, 0, 0};  // a copy the render refuses
       }},
  };
  for (const auto& [what, make] : scenes) {
    SCOPED_TRACE(what);
    SceneSettings scene;
    make(scene);
    const SceneSettings before = scene;
    const std::string bytes = EncodeSettings(scene);
    const Preparation prepared = Prepare(scene);
    RenderContext context;
    WorkBitmap preview(kPreviewWidth, kPreviewHeight), output(64, 32);
    RenderBackground(context, *prepared.scene, preview, preview);
    RenderBackground(context, *prepared.scene, output, preview);
    EXPECT_EQ(scene, before);
    EXPECT_EQ(EncodeSettings(scene), bytes);
  }
}

// One diagnostic per picture that cannot be had, naming the part of the scene
// and the picture as the scene writes it; the layer gets its placeholder.
TEST_F(PreparationTest, EachPictureThatCannotBeHadIsToldAndReplaced) {
  Bmp("big.bmp", 20, 20);
  testing::WriteFile(dir_ / "junk.bmp", "no picture at all");
  testing::WriteFile(dir_ / "wide.bmp", std::string("BM") + std::string(52, '\0'));
  struct Case {
    const char* what;
    std::function<void(SceneSettings&)> make;
    DiagnosticCode code;
    DiagnosticSubject subject;
    std::string file;
    std::string text;  // the start of it
    TextureSource source;
  };
  const Case cases[] = {
      {"no ground name", [](SceneSettings& s) { s.Ground.Enabled = true; },
       DiagnosticCode::NoPictureName, DiagnosticSubject::GroundTexture, "",
       "Ground_TextureFilename names no picture; the layer shows the checkerboard",
       TextureSource::Checkerboard},
      {"no object name", [](SceneSettings& s) { Add(s.Mid, ""); }, DiagnosticCode::NoPictureName,
       DiagnosticSubject::Object, "", "Objects_Filename names no picture; the object is left out",
       TextureSource::None},
      {"missing object", [](SceneSettings& s) { Add(s.Near, "pics\\gone.bmp"); },
       DiagnosticCode::MissingPicture, DiagnosticSubject::Object, "pics\\gone.bmp",
       "object picture \"pics\\gone.bmp\" not found; the object is left out", TextureSource::None},
      {"missing ceiling",
       [](SceneSettings& s) {
         s.Ceiling.Enabled = true;
         s.Ceiling.TextureFilename = "gone.bmp";
       },
       DiagnosticCode::MissingPicture, DiagnosticSubject::CeilingTexture, "gone.bmp",
       "ceiling texture \"gone.bmp\" not found; the layer shows the missing-picture tile \"無\"",
       TextureSource::MissingTile},
      {"damaged ground",
       [](SceneSettings& s) {
         s.Ground.Enabled = true;
         s.Ground.TextureFilename = "junk.bmp";
       },
       DiagnosticCode::UnreadablePicture, DiagnosticSubject::GroundTexture, "junk.bmp",
       dir_ / "junk.bmp: ", TextureSource::MissingTile},
      {"beyond the budget",
       [](SceneSettings& s) {
         s.Ceiling.Enabled = true;
         s.Ceiling.TextureFilename = "big.bmp";
       },
       DiagnosticCode::PictureRefused, DiagnosticSubject::CeilingTexture, "big.bmp",
       dir_ / "big.bmp: the pictures' memory budget of 1000 bytes does not admit this picture of "
              "20 x 20 pixels",
       TextureSource::None},
      {"no picture in its header", [](SceneSettings& s) { Add(s.Far, "wide.bmp"); },
       DiagnosticCode::UnreadablePicture, DiagnosticSubject::Object, "wide.bmp",
       dir_ / "wide.bmp: ", TextureSource::None},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SceneSettings scene;
    c.make(scene);
    const Preparation prepared = Prepare(scene, 1000);
    ASSERT_EQ(prepared.diagnostics.size(), 1u);
    const Diagnostic& d = prepared.diagnostics[0];
    EXPECT_EQ(d.code, c.code);
    EXPECT_EQ(d.subject, c.subject);
    EXPECT_EQ(d.file, c.file);
    EXPECT_EQ(d.line, 0);
    EXPECT_EQ(d.text.rfind(c.text, 0), 0u) << d.text;
    if (c.subject == DiagnosticSubject::Object) {
      const PreparedObject& object = prepared.scene->Group(d.group).at(d.index);
      EXPECT_EQ(object.Picture, nullptr);  // left out, its entry kept
      EXPECT_EQ(object.Settings.Filename, c.file);
    } else {
      const PreparedTexture& texture = c.subject == DiagnosticSubject::GroundTexture
                                           ? prepared.scene->GroundTexture
                                           : prepared.scene->CeilingTexture;
      EXPECT_EQ(texture.Source, c.source);
      EXPECT_EQ(texture.Drawn == nullptr, c.source == TextureSource::None);
      EXPECT_EQ(texture.Picture, nullptr);
    }
  }
  // A layer that is off is not prepared at all.
  SceneSettings off;
  off.Ground.TextureFilename = "gone.bmp";
  EXPECT_EQ(Prepare(off).diagnostics, std::vector<Diagnostic>{});

  // Without memory for the placeholder, the layer is left to its renderer.
  SceneSettings starved;
  starved.Ground.Enabled = true;
  TheMemoryHunger().SetRefusal([](std::size_t) { return true; });
  const Preparation prepared = Prepare(starved);
  TheMemoryHunger().SetRefusal(nullptr);
  ASSERT_EQ(prepared.diagnostics.size(), 2u);
  EXPECT_EQ(prepared.diagnostics[1].code, DiagnosticCode::PlaceholderNoMemory);
  EXPECT_EQ(prepared.scene->GroundTexture.Source, TextureSource::None);
}

// The ground has no transparency: a picture's holes are texels of the colour
// the file gives them. The ceiling keeps them, and its transparent colour and
// transparency are in the alpha; neither changes the picture as decoded.
TEST_F(PreparationTest, EachLayerDrawsThePictureAsItUsesIt) {
  SceneSettings scene;
  scene.Ground.Enabled = scene.Ceiling.Enabled = true;
  scene.Ground.TextureFilename = scene.Ceiling.TextureFilename = HoleyPng("cut.png");
  scene.Ceiling.Transparency = 50;
  scene.Ceiling.OpaqueColor = MakePacked(7, 7, 7);
  Preparation prepared = Prepare(scene);
  EXPECT_EQ(prepared.diagnostics, std::vector<Diagnostic>{});
  const PreparedTexture& ground = prepared.scene->GroundTexture;
  const PreparedTexture& ceiling = prepared.scene->CeilingTexture;
  ASSERT_EQ(ground.Source, TextureSource::Picture);
  ASSERT_EQ(ground.Picture, ceiling.Picture);  // one picture, decoded once
  const PixelImage& decoded = *ground.Picture;
  ASSERT_NE(decoded.holes, nullptr);
  EXPECT_EQ(ground.Drawn->holes, nullptr);
  EXPECT_EQ(ground.Drawn->Row(1)[2], MakePacked(0, 0, 0, 255));
  EXPECT_NE(ceiling.Drawn->holes, nullptr);
  EXPECT_EQ(Alpha(ceiling.Drawn->Row(1)[2]), 0);    // a hole
  EXPECT_EQ(Alpha(ceiling.Drawn->Row(0)[0]), 128);  // the transparency
  EXPECT_EQ(decoded.Row(0)[0], MakePacked(0, 0, 0, 255));
  EXPECT_EQ(cache_.Decodes(), 1);

  // A BMP has no holes: the ground draws the picture itself.
  scene.Ground.TextureFilename = Bmp("water.bmp", 4, 4);
  prepared = Prepare(scene);
  EXPECT_EQ(prepared.scene->GroundTexture.Drawn, prepared.scene->GroundTexture.Picture);
}

// Three 10 x 10 pictures of 400 bytes each (720 while one is decoded): an
// object's is held as decoded and as drawn (800 bytes), the ground's BMP once
// (400), so a budget of 1600 bytes has no room left to decode the ceiling's;
// a picture many parts use counts once.
TEST_F(PreparationTest, ThePictureBudgetHoldsForThePreparedScene) {
  SceneSettings scene;
  Add(scene.Far, Bmp("a.bmp", 10, 10));
  Add(scene.Near, "a.bmp", 4);
  scene.Ground.Enabled = scene.Ceiling.Enabled = true;
  scene.Ground.TextureFilename = Bmp("b.bmp", 10, 10);
  scene.Ceiling.TextureFilename = Bmp("c.bmp", 10, 10);
  Preparation prepared = Prepare(scene, 1600);
  ASSERT_EQ(prepared.diagnostics.size(), 1u);
  EXPECT_EQ(prepared.diagnostics[0].code, DiagnosticCode::PictureRefused);
  EXPECT_EQ(prepared.diagnostics[0].subject, DiagnosticSubject::CeilingTexture);
  EXPECT_EQ(prepared.pictureBytes, 1200);
  EXPECT_NE(prepared.scene->Group(GroupId::Near)[0].Picture, nullptr);
  EXPECT_EQ(prepared.scene->Group(GroupId::Near)[0].Picture,
            prepared.scene->Group(GroupId::Far)[0].Picture);
  prepared = Prepare(scene, 2000);
  EXPECT_EQ(prepared.diagnostics, std::vector<Diagnostic>{});
  EXPECT_EQ(prepared.pictureBytes, 2000);
}

// Preparing equal documents again decodes and derives nothing; an edit derives
// only what it changes; a picture changed on disk is decoded anew.
TEST_F(PreparationTest, RepeatedPreparationsDecodeOnce) {
  SceneSettings scene;
  Add(scene.Far, Bmp("tree.bmp", 6, 4), 3);
  Add(scene.Mid, "tree.bmp", 2);
  scene.Ceiling.Enabled = true;
  scene.Ceiling.TextureFilename = HoleyPng("cut.png");
  const SceneSettings copy = scene;
  Prepare(scene);
  Prepare(copy);
  EXPECT_EQ(cache_.Decodes(), 2);
  EXPECT_EQ(cache_.Derivations(), 2);  // the objects' alpha (shared), the ceiling's
  scene.Mid.First()->Transparency = 0.25L;
  scene.Ceiling.Transparency = 30;
  Prepare(scene);
  EXPECT_EQ(cache_.Decodes(), 2);
  EXPECT_EQ(cache_.Derivations(), 4);
  Prepare(copy);
  EXPECT_EQ(cache_.Derivations(), 4);

  Bmp("tree.bmp", 5, 5);
  const Preparation changed = Prepare(copy);
  EXPECT_EQ(cache_.Decodes(), 3);
  EXPECT_EQ(changed.scene->Group(GroupId::Far)[0].Picture->width, 5);
}

// An entry whose picture cannot be had draws its random numbers as it would
// with its picture: making it available moves no other object.
TEST_F(PreparationTest, EntriesWithoutPicturesKeepTheOthersInPlace) {
  auto layout = [&](bool found) {
    if (found)
      Bmp("late.bmp", 2, 3);
    else
      std::filesystem::remove(dir_ / "late.bmp");
    SceneSettings scene;
    Add(scene.Far, "late.bmp", 3).PositionMode = PositionMode::Sky;
    Add(scene.Far, Bmp("tree.bmp", 4, 4), 2);
    std::vector<long double> others;
    const Preparation prepared = Prepare(scene);
    for (const PlacedObject& copy : prepared.scene->Layout.Copies)
      if (copy.Object->Index == 1)
        others.insert(others.end(), {copy.Placement.Angle, copy.Placement.Distance});
    EXPECT_EQ(prepared.scene->Layout.Copies.size(), found ? 5u : 2u);
    return others;
  };
  const std::vector<long double> missing = layout(false);
  EXPECT_EQ(missing.size(), 4u);
  EXPECT_EQ(layout(true), missing);
}

// A thumbnail's preparation leaves out each layer whose picture is found
// nowhere or cannot be read, and says so; the checkerboard of a layer without
// a name and a refusal for memory stay as they are. The objects are placed as
// with the layer (the ground's presence decides their sides).
TEST_F(PreparationTest, LeavingOutTakesAwayTheLayersWhosePicturesCannotBeHad) {
  Bmp("big.bmp", 20, 20);
  Bmp("tree.bmp", 4, 4);
  testing::WriteFile(dir_ / "junk.bmp", "no picture at all");
  std::filesystem::create_directory(dir_ / "folder.bmp");
  struct Case {
    const char* what;
    bool ground;  // the ground (else the ceiling) named `name`
    std::string name;
    DiagnosticCode code;
    const char* ends;  // how the diagnostic's text ends
    bool drawn;        // the layer is still drawn
    TextureSource source;
  };
  const Case cases[] = {
      {"missing ground", true, "gone.bmp", DiagnosticCode::MissingPicture,
       "not found; the layer is left out", false, TextureSource::None},
      {"damaged ceiling", false, "junk.bmp", DiagnosticCode::UnreadablePicture,
       "; the layer is left out", false, TextureSource::None},
      {"a folder at the ground's name", true, "folder.bmp", DiagnosticCode::UnreadablePicture,
       "so no picture is read from it; the layer is left out", false, TextureSource::None},
      {"no ground name", true, "", DiagnosticCode::NoPictureName,
       "the layer shows the checkerboard", true, TextureSource::Checkerboard},
      {"ceiling beyond the budget", false, "big.bmp", DiagnosticCode::PictureRefused,
       "before it hold 128 bytes", true, TextureSource::None},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SceneSettings scene;
    Add(scene.Far, "tree.bmp", 4);
    Add(scene.Near, "junk.bmp");  // unreadable: left out as always, now saying so
    (c.ground ? scene.Ground.Enabled : scene.Ceiling.Enabled) = true;
    (c.ground ? scene.Ground.TextureFilename : scene.Ceiling.TextureFilename) = c.name;
    const Preparation kept = Prepare(scene, 1000);
    const Preparation left = Prepare(scene, 1000, MissingPictures::LeaveOut);
    ASSERT_EQ(left.diagnostics.size(), 2u);
    EXPECT_EQ(left.diagnostics[0].code, DiagnosticCode::UnreadablePicture);
    EXPECT_TRUE(left.diagnostics[0].text.ends_with("; the object is left out"))
        << left.diagnostics[0].text;
    const Diagnostic& d = left.diagnostics[1];
    EXPECT_EQ(d.code, c.code);
    EXPECT_TRUE(d.text.ends_with(c.ends)) << d.text;
    const PreparedScene& prepared = *left.scene;
    EXPECT_EQ(c.ground ? prepared.GroundEnabled : prepared.CeilingEnabled, c.drawn);
    const PreparedTexture& texture = c.ground ? prepared.GroundTexture : prepared.CeilingTexture;
    EXPECT_EQ(texture.Source, c.source);
    EXPECT_EQ(texture.Drawn == nullptr, c.source == TextureSource::None);
    // Every copy where the scene with its placeholders has it.
    ASSERT_EQ(prepared.Layout.Copies.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i)
      EXPECT_EQ(prepared.Layout.Copies[i].Placement, kept.scene->Layout.Copies[i].Placement);
  }
}

}  // namespace
}  // namespace horizonmill
