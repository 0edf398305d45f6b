// Transparency from PNG pictures: a scene whose object pictures (every group)
// and ceiling picture are PNG with transparent pixels renders exactly as the
// same scene with BMP pictures painted in the key colour there, whatever the
// key colour and after it has changed.
#include <gtest/gtest.h>
#include <png.h>

#include <string>
#include <vector>

#include "codecs/BmpWriter.h"
#include "platform/ByteSink.h"
#include "render/Pipeline.h"
#include "support/BitmapTesting.h"
#include "support/PictureEncoding.h"
#include "support/SceneRendering.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::PngLayout;
using testing::RgbaPicture;

const PackedColour kMagenta = MakePacked(255, 0, 255);
// A colour the pictures' opaque pixels have too: keyed, those go as well.
const PackedColour kLeaf = MakePacked(40, 140, 60);

// A w x h picture: a shape of a few colours (kLeaf among them) on a
// transparent background, with alphas either side of half at its edge; the
// transparent pixels hold colours of their own (as cut-out pictures do).
RgbaPicture CutOut(int w, int h, std::uint32_t seed) {
  RgbaPicture p{w, h, std::vector<PackedColour>(static_cast<std::size_t>(w) * h)};
  std::uint32_t s = seed;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      s = s * 1664525u + 1013904223u;
      const double u = (x - w / 2.0) / (w / 2.5), v = (y - h / 1.6) / (h / 1.8);
      const double r = u * u + v * v;
      const std::uint32_t alpha = r < 0.8 ? 255 : r < 0.9 ? 128 : r < 1.0 ? 127 : (s >> 28) * 8;
      PackedColour c = (x + y) % 5 == 0 ? kLeaf : MakePacked(90 + x % 7 * 20, 60 + y % 5 * 30, 30);
      if (alpha < 128) c = s >> 8 & 0xffffff;  // what lies under a hole: anything
      p.At(x, y) = WithAlpha(c, alpha);
    }
  return p;
}

// The same picture as a BMP would have it: every transparent pixel painted in `key`.
WorkBitmap Keyed(const RgbaPicture& p, PackedColour key) {
  RgbaPicture painted = p;
  for (PackedColour& c : painted.pixels)
    if (c >> 24 < 128) c = key;
  return painted.Bitmap();
}

// Few colours, for a palette.
RgbaPicture Posterised(RgbaPicture p) {
  for (PackedColour& c : p.pixels) c &= 0xc0c0c0c0u;  // alphas 0, 64 (holes), 128, 192
  return p;
}

class PictureTransparency : public ::testing::Test {
 protected:
  struct Source {
    std::string name;
    RgbaPicture rgba;
    PngLayout layout;
  };

  void SetUp() override {
    const int RGBA = PNG_COLOR_TYPE_RGB_ALPHA, P = PNG_COLOR_TYPE_PALETTE;
    pictures_ = {{"far", CutOut(96, 48, 1), {RGBA, 8}},
                 {"mid", CutOut(64, 32, 2), {RGBA, 16, true}},
                 {"near", Posterised(CutOut(48, 24, 3)), {P, 8, false, true}},
                 {"clouds", CutOut(64, 64, 4), {RGBA, 8, true}}};
    for (const Source& p : pictures_)
      testing::WriteFile(dir_ / (p.name + ".png"), testing::EncodePngLayout(p.rgba, p.layout));
    // The water, the same in both scenes, for the reflection pass.
    testing::WriteFile(dir_ / "water.jpg",
                       testing::EncodeJpeg(Keyed(CutOut(32, 32, 5), kLeaf), false, false));
  }

  // The pictures as BMP files painted in `key`, named NAME-TAG.bmp.
  void WriteBmps(PackedColour key, const std::string& tag) {
    for (const Source& p : pictures_) {
      MemorySink sink;
      EncodeBmp(Keyed(p.rgba, key), {}, sink);
      testing::WriteFile(dir_ / (p.name + "-" + tag + ".bmp"), sink.Bytes());
    }
  }

  // A scene of every object group, the ceiling and the ground, its pictures
  // named NAME + suffix and keyed by `key`.
  void Open(SceneSettings& scene, const std::string& suffix, PackedColour key) {
    const std::string k = std::to_string(key & 0xff) + " " + std::to_string(key >> 8 & 0xff) + " " +
                          std::to_string(key >> 16 & 0xff) + " 255";
    std::string text = testing::ReadFile(testing::kExamples + "/dusk.hm");
    text = text.substr(0, text.find("RandomSeed"));  // the header, the sky and the sun
    text += "RandomSeed 99\r\nAirDepth 2\r\n";
    const struct {
      const char* group;
      const char* picture;
      const char* rest;
    } objects[] = {
        {"Far", "far", "Objects_NumberOfObjects 6\r\nObjects_PositionMode Ground\r\n"},
        {"Far", "clouds", "Objects_NumberOfObjects 4\r\nObjects_PositionMode Sky\r\n"},
        {"Mid", "mid",
         "Objects_NumberOfObjects 5\r\nObjects_PositionMode Ground\r\nObjects_Transparency "
         "0.3\r\n"},
        {"Near", "near", "Objects_NumberOfObjects 3\r\nObjects_PositionMode Ground\r\n"},
        {"Near", "far", "Objects_Manual 200 0 1.2\r\nObjects_Scale 1.5\r\n"},
    };
    for (const auto& o : objects)
      text += std::string("Objects_CreateObject ") + o.group + "\r\nObjects_OpaqueColor " + k +
              "\r\nObjects_Filename " + o.picture + suffix + "\r\nObjects_Shadeing True\r\n" +
              o.rest;
    text +=
        "Ground_TextureFilename water.jpg\r\nGround_Reflection 0.5\r\n"
        "Sky_TextureFilename clouds" +
        suffix + "\r\nSky_MixtureMode Norm\r\nSky_OpaqueColor " + k +
        "\r\nSky_Transparency 0.2\r\n";
    const std::string path = dir_ / ("scene" + suffix + ".hm");
    testing::WriteFile(path, text);
    testing::OpenScene(scene, path);
  }

  static void SetKey(SceneSettings& scene, PackedColour key) {
    scene.Ceiling.OpaqueColor = key;
    for (ObjectGroup* group : {&scene.Far, &scene.Mid, &scene.Near})
      for (ObjectEntry& e : *group) e.OpaqueColor = key;
  }

  testing::TempDir dir_;
  std::vector<Source> pictures_;
};

TEST_F(PictureTransparency, PngHolesRenderAsBmpPixelsOfTheKeyColour) {
  WriteBmps(kMagenta, "magenta");
  WriteBmps(kLeaf, "leaf");
  SceneSettings png, magenta, leaf;
  Open(png, ".png", kMagenta);
  Open(magenta, "-magenta.bmp", kMagenta);
  Open(leaf, "-leaf.bmp", kLeaf);
  const std::string folder = dir_.Path().string();
  const auto prepared = testing::Prepare(png, folder);
  ASSERT_NE(prepared->CeilingTexture.Picture->holes, nullptr);
  for (const auto& group : prepared->Objects)
    for (const PreparedObject& object : group)
      ASSERT_NE(object.Decoded->holes, nullptr) << object.Settings.Filename;

  const struct { int w, h; } sizes[] = {{kPreviewWidth, kPreviewHeight}, {3072, 1536}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(std::to_string(size.w) + " x " + std::to_string(size.h));
    SetKey(png, kMagenta);
    auto render = [&](const SceneSettings& scene) {
      return testing::RenderScene(scene, size.w, size.h, nullptr, 0, folder);
    };
    const WorkBitmap expected = render(magenta);
    EXPECT_TRUE(testing::SamePixels(render(png), expected));
    // The key changed in the editors (to a colour the pictures use): the
    // holes follow it, as pixels painted in it would.
    SetKey(png, kLeaf);
    const WorkBitmap changed = render(png);
    EXPECT_TRUE(testing::SamePixels(changed, render(leaf)));
    EXPECT_FALSE(testing::SamePixels(changed, expected));
  }
}

}  // namespace
}  // namespace horizonmill
