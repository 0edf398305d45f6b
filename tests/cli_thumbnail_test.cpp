// horizonmill-render --thumbnail: what a file manager's thumbnailer runs. The
// picture scaled to fit the size asked for, as PNG under any name.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "image/WorkBitmap.h"
#include "render/Pipeline.h"
#include "render/RenderContext.h"
#include "support/BitmapTesting.h"
#include "support/CliRunner.h"
#include "support/PngReading.h"
#include "support/SceneRendering.h"
#include "support/TempDir.h"
#include "support/XmpReading.h"

namespace horizonmill {
namespace {

using testing::DecodePng;
using testing::ReadFile;
using testing::RunCli;
using testing::TempDir;

const std::string kLighthouse =
    std::string("'") + HORIZONMILL_SOURCE_DIR + "/examples/lighthouse-coast.hm'";

// The picture as the scaler of the core makes it from `source`.
WorkBitmap Scaled(const WorkBitmap& source, int width, int height) {
  WorkBitmap scaled(width, height);
  StretchDraw(source, scaled);
  return scaled;
}

// The thumbnailer's command line: the output name has no extension, as file
// managers give it, and nothing but the picture may come out.
TEST(CliThumbnail, ThePreviewScaledToTheSizeAsPngUnderAnyName) {
  TempDir dir;
  auto r =
      RunCli(kLighthouse + " --preview --quiet --no-metadata -o '" + (dir / "preview.png") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  const WorkBitmap preview = DecodePng(ReadFile(dir / "preview.png"));
  ASSERT_EQ(preview.Width(), 409);
  ASSERT_EQ(preview.Height(), 307);

  r = RunCli(kLighthouse + " --preview --quiet --thumbnail 128 -o '" + (dir / "thumb") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");  // no warning about the name without an extension
  const std::string bytes = ReadFile(dir / "thumb");
  ASSERT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
  const WorkBitmap thumbnail = DecodePng(bytes);
  // 307 * 128 / 409 = 96.08: the longer side is the size, the proportions kept.
  ASSERT_EQ(thumbnail.Width(), 128);
  ASSERT_EQ(thumbnail.Height(), 96);
  EXPECT_TRUE(testing::SamePixels(thumbnail, Scaled(preview, 128, 96)));
}

// Up to the preview's width a thumbnail is the preview scaled down; a larger
// one is a preview rendered at the thumbnail's own size (stars thinned to its
// density, one pixel each), never the preview enlarged.
TEST(CliThumbnail, ALargerThumbnailIsRenderedAtItsOwnSize) {
  TempDir dir;
  auto r = RunCli(kLighthouse + " --preview --quiet --no-metadata -o '" + (dir / "p.png") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  const WorkBitmap preview = DecodePng(ReadFile(dir / "p.png"));
  SceneSettings scene;
  testing::OpenExample(scene, "lighthouse-coast.hm");
  const std::shared_ptr<const PreparedScene> prepared = testing::Prepare(scene);
  const struct {
    int size, width, height;
  } cases[] = {{128, 128, 96}, {409, 409, 307}, {512, 512, 384}, {1024, 1024, 769}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    const std::string out = dir / ("t" + std::to_string(c.size));
    r = RunCli(kLighthouse + " --preview --quiet --thumbnail " + std::to_string(c.size) + " -o '" +
               out + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    const WorkBitmap thumbnail = DecodePng(ReadFile(out));
    ASSERT_EQ(thumbnail.Width(), c.width);
    ASSERT_EQ(thumbnail.Height(), c.height);
    const WorkBitmap enlarged = Scaled(preview, c.width, c.height);
    if (c.size <= 409) {
      EXPECT_TRUE(testing::SamePixels(thumbnail, enlarged));
      continue;
    }
    WorkBitmap own(c.width, c.height);
    RenderContext context;
    RenderBackground(context, *prepared, own, own);
    EXPECT_TRUE(testing::SamePixels(thumbnail, own));
    EXPECT_GT(testing::CountDifferent(thumbnail, enlarged), c.width * c.height / 4);
  }
}

// The lighthouse example's lines, sorted into its parts.
struct SceneParts {
  std::string head;                  // the sky, the sun, the stars, the output
  std::vector<std::string> objects;  // each entry: far, middle, near, the lighthouse (manual)
  std::string ground, ceiling;
};

SceneParts LighthouseParts() {
  SceneParts parts;
  std::istringstream lines(
      ReadFile(std::string(HORIZONMILL_SOURCE_DIR) + "/examples/lighthouse-coast.hm"));
  for (std::string line; std::getline(lines, line);) {
    line += '\n';
    if (line.starts_with("Objects_CreateObject")) parts.objects.emplace_back();
    if (line.starts_with("Ground_"))
      parts.ground += line;
    else if (line.starts_with("Sky_"))
      parts.ceiling += line;
    else if (line.starts_with("Objects_"))
      parts.objects.back() += line;
    else
      parts.head += line;
  }
  return parts;
}

std::string Renamed(std::string part, const std::string& from, const std::string& to) {
  part.replace(part.find(from), from.size(), to);
  return part;
}

// A thumbnail leaves out each layer and object whose picture it cannot reach
// (found nowhere, or no picture to read there): it is the scene without them,
// byte for byte, with a warning for each, and never the "無" tile a render
// draws. What it reaches it draws; with every picture out of reach (a sandbox
// that shows only the scene file) it is the sky, the sun and the stars.
TEST(CliThumbnail, WhatItCannotReachIsLeftOut) {
  TempDir dir;
  std::filesystem::create_directory(dir / "folder.bmp");
  const SceneParts p = LighthouseParts();
  const std::string objects = p.objects.at(0) + p.objects.at(1) + p.objects.at(2);
  const std::string lighthouse = p.objects.at(3);
  enum Before { Tile, Same, Failed };  // what the scene's preview showed instead
  const struct {
    const char* what;
    std::string scene, without;
    const char* told;
    Before before;
  } cases[] = {
      {"the ground's picture missing", p.head + lighthouse + Renamed(p.ground, "water", "gone"),
       p.head + lighthouse, "ground texture \"gone.bmp\" not found; the layer is left out", Tile},
      {"a folder at the ground's name",
       p.head + lighthouse + Renamed(p.ground, "water.bmp", "folder.bmp") + p.ceiling,
       p.head + lighthouse + p.ceiling, "so no picture is read from it; the layer is left out",
       Failed},
      {"the ceiling's picture missing",
       p.head + objects + lighthouse + p.ground + Renamed(p.ceiling, "clouds", "gone"),
       p.head + objects + lighthouse + p.ground,
       "ceiling texture \"gone.bmp\" not found; the layer is left out", Tile},
      {"the last object's picture missing",
       p.head + objects + Renamed(lighthouse, "lighthouse", "gone") + p.ground + p.ceiling,
       p.head + objects + p.ground + p.ceiling, "\"gone.bmp\" not found; the object is left out",
       Same},
  };
  const std::string search = " --search-dir '" + std::string(HORIZONMILL_SOURCE_DIR) + "/examples'";
  auto thumbnail = [&](const std::string& text, const std::string& name, std::string* err,
                       const std::string& options) {
    testing::WriteFile(dir / (name + ".hm"), text);
    const auto r = RunCli("'" + (dir / (name + ".hm")) + "'" + options +
                          " --preview --thumbnail 256 -o '" + (dir / name) + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    if (err) *err = r.err;
    return ReadFile(dir / name);
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string err;
    const std::string bytes = thumbnail(c.scene, "scene", &err, search);
    EXPECT_EQ(bytes, thumbnail(c.without, "without", nullptr, search));
    EXPECT_NE(err.find(c.told), std::string::npos) << err;
    EXPECT_EQ(err.find("無"), std::string::npos) << err;
    // The same scene's preview, as a render makes it.
    const auto r = RunCli("'" + (dir / "scene.hm") + "'" + search + " --preview --quiet -o '" +
                          (dir / "render.png") + "'");
    if (c.before == Failed) {
      EXPECT_EQ(r.status, 1);
      continue;
    }
    ASSERT_EQ(r.status, 0) << r.err;
    const WorkBitmap render = Scaled(DecodePng(ReadFile(dir / "render.png")), 256, 192);
    EXPECT_EQ(testing::SamePixels(DecodePng(bytes), render), c.before == Same);
  }
  // Nothing but the scene file: no picture found anywhere.
  std::string err;
  EXPECT_EQ(thumbnail(p.head + objects + lighthouse + p.ground + p.ceiling, "alone", &err, ""),
            thumbnail(p.head, "sky", nullptr, ""));
  EXPECT_NE(err.find("ground texture \"water.bmp\" not found; the layer is left out"),
            std::string::npos)
      << err;
}

// A full panorama scaled down keeps 2 : 1 but is no panorama file: no XMP.
// A thumbnail service makes an empty file, passes its name and reads the
// thumbnail back through the file it keeps open: the thumbnail goes into that
// very file. A file with something in it is replaced as any output is.
TEST(CliThumbnail, AnEmptyFileIsFilledInPlaceAnyOtherReplaced) {
  TempDir dir;
  const std::string empty = dir / "tumbler-X.png";
  testing::WriteFile(empty, "");
  const int kept = ::open(empty.c_str(), O_RDONLY);
  ASSERT_GE(kept, 0);
  auto r = RunCli(kLighthouse + " --preview --quiet --thumbnail 64 -o '" + empty + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  std::string seen;
  char block[4096];
  for (ssize_t n; (n = ::read(kept, block, sizeof block)) > 0;)
    seen.append(block, static_cast<std::size_t>(n));
  ::close(kept);
  EXPECT_TRUE(seen == ReadFile(empty));  // the same file, whole
  EXPECT_EQ(DecodePng(seen).Width(), 64);

  const std::string old = dir / "old.png";
  testing::WriteFile(old, "a picture the user keeps");
  const int before = ::open(old.c_str(), O_RDONLY);
  ASSERT_GE(before, 0);
  r = RunCli(kLighthouse + " --preview --quiet --thumbnail 64 -o '" + old + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  std::string still(64, '\0');
  still.resize(static_cast<std::size_t>(std::max<ssize_t>(0, ::read(before, still.data(), 64))));
  ::close(before);
  EXPECT_EQ(still, "a picture the user keeps");  // the old file untouched, a new one in its place
  EXPECT_EQ(DecodePng(ReadFile(old)).Width(), 64);
}

TEST(CliThumbnail, TheFullImageScaledWithoutPanoramaMetadata) {
  TempDir dir;
  auto r = RunCli("--size 300x150 --quiet --no-metadata -o '" + (dir / "full.png") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  r = RunCli("--size 300x150 --thumbnail 64 -o '" + (dir / "thumb.PNG") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("(64 x 32, PNG, a thumbnail)"), std::string::npos) << r.err;
  const std::string bytes = ReadFile(dir / "thumb.PNG");
  EXPECT_FALSE(testing::PngXmp(bytes).has_value());
  const WorkBitmap thumbnail = DecodePng(bytes);
  ASSERT_EQ(thumbnail.Width(), 64);
  ASSERT_EQ(thumbnail.Height(), 32);
  EXPECT_TRUE(
      testing::SamePixels(thumbnail, Scaled(DecodePng(ReadFile(dir / "full.png")), 64, 32)));
}

TEST(CliThumbnail, NamesOfOtherFormatsAndBadSizesAreRefused) {
  TempDir dir;
  for (const char* name : {"thumb.jpg", "thumb.bmp", "thumb.exr"}) {
    const auto r = RunCli("--preview --thumbnail 64 -o '" + (dir / name) + "'");
    EXPECT_EQ(r.status, 1) << name;
    EXPECT_NE(r.err.find(dir / name + ": a thumbnail is written as PNG"), std::string::npos)
        << r.err;
  }
  EXPECT_EQ(RunCli("--preview --thumbnail 64 -o - --format jpg").status, 1);
  for (const char* args :
       {"--thumbnail 0 -o t.png", "--thumbnail 65536 -o t.png", "--thumbnail big -o t.png",
        "--thumbnail 64", "--thumbnail", "--write-default a.hm --thumbnail 64"}) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_NE(r.err.find("--help"), std::string::npos) << args;
  }
  EXPECT_TRUE(dir.Entries().empty());
}

}  // namespace
}  // namespace horizonmill
