// The output plan: which files a run writes, their names, the warnings about
// their formats and the checks before the render.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "app/OutputPlan.h"
#include "app/Session.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::TempDir;
using testing::WriteFile;

struct PlanCase {
  const char* what;
  OutputRequest request;
  std::string sceneName;  // Output_Filename
  std::vector<std::string> names;
  std::string error;                  // a part of it; empty: planned
  std::vector<std::string> warnings;  // a part of each
};

TEST(OutputPlan, NamesChecksAndWarningsOfARun) {
  TempDir dir;
  WriteFile(dir / "notes.txt", "my notes");
  const std::string d = dir.Path().string();
  auto image = [](std::string name) {
    OutputRequest r;
    r.image = std::move(name);
    return r;
  };
  OutputRequest cubeOnly;
  cubeOnly.cubemap = d + "\\cube";
  OutputRequest sunOnly;
  sunOnly.sunJson = d + "/sun.json";
  OutputRequest twice = image(d + "/sun.json");
  twice.sunJson = d + "/sun.json";
  OutputRequest quality = image(d + "/a.png");
  quality.quality = 50;
  OutputRequest pngLevel = image(d + "/a.jpg");
  pngLevel.pngLevel = 9;
  OutputRequest pngLevelFaces;
  pngLevelFaces.cubemap = d + "/cube";
  pngLevelFaces.faceFormat = CubeFaceFormat::Bmp;
  pngLevelFaces.pngLevel = 0;
  OutputRequest overwrite;
  overwrite.overwrite = true;
  OutputRequest tooWide = image(d + "/a.png");
  tooWide.cubemap = d + "/cube";
  tooWide.faceSize = 70000;
  const PlanCase cases[] = {
      {"the scene's name", {}, d + "\\out.jpg", {d + "/out.jpg"}, "", {}},
      {"no name at all", {}, "", {}, "no output file: give one with -o", {}},
      {"a cube map alone needs no name",
       cubeOnly,
       "",
       {d + "/cube/px.png", d + "/cube/nx.png", d + "/cube/py.png", d + "/cube/ny.png",
        d + "/cube/pz.png", d + "/cube/nz.png"},
       "",
       {}},
      {"the sun alone", sunOnly, "scene.jpg", {d + "/sun.json"}, "", {}},
      {"a name twice", twice, "", {}, "named twice among the files to write", {}},
      {"a document the scene names",
       {},
       d + "/notes.txt",
       {},
       "(-o or --overwrite replaces it)",
       {}},
      {"a document with --overwrite",
       overwrite,
       d + "/notes.txt",
       {d + "/notes.txt"},
       "",
       {"the image is written as JPEG"}},
      {"a document named by the user",
       image(d + "/notes.txt"),
       "",
       {d + "/notes.txt"},
       "",
       {"the extension \".txt\" names no picture format"}},
      {"a missing folder", image(d + "/none/a.jpg"), "", {}, "does not exist", {}},
      {"quality for PNG",
       quality,
       "",
       {d + "/a.png"},
       "",
       {"--quality applies to JPEG only; the image is written as PNG"}},
      {"a PNG level for JPEG",
       pngLevel,
       "",
       {d + "/a.jpg"},
       "",
       {"--png-level applies to PNG only; the image is written as JPEG"}},
      {"a PNG level for BMP faces",
       pngLevelFaces,
       "",
       {d + "/cube/px.bmp", d + "/cube/nx.bmp", d + "/cube/py.bmp", d + "/cube/ny.bmp",
        d + "/cube/pz.bmp", d + "/cube/nz.bmp"},
       "",
       {"--png-level applies to PNG only; the faces are written as BMP"}},
      {"faces beyond the limits", tooWide, "", {}, "Out of memory! (cube faces:", {}},
      {"standard output", image("-"), "", {}, "", {}},
  };
  for (const PlanCase& c : cases) {
    Session session;
    session.Scene().Output.Filename = c.sceneName;
    session.Scene().Output.Resolution = {"64", "32"};
    const PlannedOutputs planned = PlanOutputs(c.request, session);
    if (!c.error.empty()) {
      EXPECT_FALSE(planned.plan) << c.what;
      EXPECT_NE(planned.error.find(c.error), std::string::npos) << c.what << ": " << planned.error;
      // A size beyond the limits, and only that, is told as memory exhausted.
      EXPECT_EQ(planned.outOfMemory.empty(), !c.error.starts_with("Out of memory!")) << c.what;
      if (!planned.outOfMemory.empty()) {
        EXPECT_EQ(planned.error, "Out of memory! (" + planned.outOfMemory + ")") << c.what;
      }
      continue;
    }
    ASSERT_TRUE(planned.plan) << c.what << ": " << planned.error;
    EXPECT_EQ(planned.plan->Names(), c.names) << c.what;
    ASSERT_EQ(planned.plan->warnings.size(), c.warnings.size()) << c.what;
    for (std::size_t i = 0; i < c.warnings.size(); ++i)
      EXPECT_NE(planned.plan->warnings[i].text.find(c.warnings[i]), std::string::npos) << c.what;
  }
}

// The files of a run are compared as the files they are, not as the names
// they were given; the scene and its pictures are never among them.
TEST(OutputPlan, AFileIsKnownByWhatItIsNotByItsSpelling) {
  TempDir dir;
  const std::string d = dir.Path().string();
  WriteFile(dir / "y.png", "an old picture");
  WriteFile(dir / "ground.bmp", "BM ground");
  WriteFile(dir / "tree.bmp", "BM tree");
  std::filesystem::create_symlink(dir / "y.png", dir / "link.png");
  std::filesystem::create_hard_link(dir / "y.png", dir / "hard.png");
  std::filesystem::create_symlink(dir / "lake.hm", dir / "lake-link.hm");
  Session session;
  session.Scene().Output.Resolution = {"64", "32"};
  session.Scene().Ground.TextureFilename = dir / "ground.bmp";
  auto tree = NewObjectEntry();
  tree->Filename = dir / "tree.bmp";
  AppendObjectEntry(session.Scene().Far, std::move(tree));
  session.SaveAs(dir / "lake.hm");
  const struct {
    std::string image, sun, cubemap;
    std::string error;  // a part of it; empty: planned
  } cases[] = {
      {d + "/./y.png", d + "/y.png", "", "named twice among the files to write"},
      {d + "//y.png", d + "/y.png", "", "named twice among the files to write"},
      {d + "/new.png", d + "/sub/../new.png", "", "named twice among the files to write"},
      {d + "/new.png", d + "/./new.png", "", "named twice among the files to write"},
      {d + "/link.png", d + "/y.png", "", "named twice among the files to write"},
      {d + "/hard.png", d + "/y.png", "", "named twice among the files to write"},
      {d + "/./cube/px.png", "", d + "/cube", "named twice among the files to write"},
      {d + "/lake.hm", "", "", "is the scene's settings file itself"},
      {d + "/./lake.hm", "", "", "is the scene's settings file itself"},
      {d + "/lake-link.hm", "", "", "is the scene's settings file itself"},
      {"", d + "/ground.bmp", "", "is the ground texture the scene uses"},
      {d + "/tree.bmp", "", "", "is an object picture the scene uses"},
      {d + "/y.png", d + "/sun.json", d + "/cube", ""},
      {d + "/hard.png", d + "/link.json", "", ""},
  };
  std::filesystem::create_directory(dir / "sub");
  std::filesystem::create_directory(dir / "cube");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.image + " " + c.sun + " " + c.cubemap);
    OutputRequest request;
    if (!c.image.empty()) request.image = c.image;
    request.sunJson = c.sun;
    request.cubemap = c.cubemap;
    const PlannedOutputs planned = PlanOutputs(request, session);
    if (c.error.empty()) {
      EXPECT_TRUE(planned.plan) << planned.error;
      continue;
    }
    EXPECT_FALSE(planned.plan);
    EXPECT_NE(planned.error.find(c.error), std::string::npos) << planned.error;
  }
}

TEST(OutputPlan, FormatsSizesAndQualityFollowTheRequestAndTheSession) {
  TempDir dir;
  Session session;
  session.SetJpegQuality(70);
  session.Scene().Output.Resolution = {"64", "32"};
  OutputRequest request;
  request.image = "-";
  PlannedOutputs planned = PlanOutputs(request, session);
  ASSERT_TRUE(planned.plan);
  EXPECT_TRUE(planned.plan->ToStandardOutput());
  EXPECT_EQ(planned.plan->imageFormat, ImageFormat::Png);
  EXPECT_FALSE(planned.plan->WritesJpeg());
  request.streamFormat = ImageFormat::Jpeg;
  request.preview = true;
  planned = PlanOutputs(request, session);
  ASSERT_TRUE(planned.plan);
  EXPECT_TRUE(planned.plan->WritesJpeg());
  EXPECT_EQ(planned.plan->quality, 70);
  EXPECT_EQ(planned.plan->size.width, 409);
  EXPECT_EQ(planned.plan->size.height, 307);

  request = {};
  request.cubemap = dir / "cube";
  request.faceFormat = ImageFormat::Jpeg;
  request.quality = 20;
  planned = PlanOutputs(request, session);
  ASSERT_TRUE(planned.plan);
  EXPECT_EQ(planned.plan->faceSize, 16);  // a quarter of the width
  EXPECT_EQ(planned.plan->quality, 20);
  EXPECT_TRUE(planned.plan->warnings.empty());
  EXPECT_TRUE(planned.plan->ExistingFaces().empty());
  std::filesystem::create_directory(dir / "cube");
  WriteFile(dir / "cube/nz.jpg", "an old face");
  EXPECT_EQ(planned.plan->ExistingFaces(), std::vector<std::string>{dir / "cube/nz.jpg"});
}

TEST(OutputPlan, PngLevelAndThreadsGoToTheImageAndTheFaces) {
  TempDir dir;
  Session session;
  session.Scene().Output.Resolution = {"64", "32"};
  session.Context().Threads = 3;
  OutputRequest request;
  request.image = dir / "a.png";
  request.cubemap = dir / "cube";
  PlannedOutputs planned = PlanOutputs(request, session);
  ASSERT_TRUE(planned.plan);
  EXPECT_TRUE(planned.plan->WritesPng());
  EXPECT_EQ(planned.plan->png.level, kDefaultPngLevel);
  EXPECT_EQ(planned.plan->threads, 3);
  request.pngLevel = 9;
  planned = PlanOutputs(request, session);
  ASSERT_TRUE(planned.plan);
  EXPECT_TRUE(planned.plan->warnings.empty());
  const CubeMapOptions cube = planned.plan->CubeOptions();
  EXPECT_EQ(cube.encoding.png.level, 9);
  EXPECT_EQ(cube.threads, 3);
}

TEST(OutputPlan, HdrOutputsKeepTheSunsWeightsAndNothingElseDoes) {
  TempDir dir;
  Session session;
  session.Scene().Output.Resolution = {"64", "32"};
  const struct {
    const char* what;
    std::optional<std::string> image;
    std::optional<ImageFormat> stream;
    std::optional<CubeFaceFormat> faces;
    bool keeps;
  } cases[] = {
      {"PNG", "a.png", std::nullopt, std::nullopt, false},
      {"JPEG and PNG faces", "a.jpg", std::nullopt, CubeFaceFormat::Png, false},
      {"OpenEXR", "a.exr", std::nullopt, std::nullopt, true},
      {"Radiance HDR in capitals", "a.HDR", std::nullopt, std::nullopt, true},
      {"EXR faces beside a BMP", "a.bmp", std::nullopt, CubeFaceFormat::Exr, true},
      {"HDR faces alone", std::nullopt, std::nullopt, CubeFaceFormat::Hdr, true},
      {"EXR on standard output", "-", ImageFormat::Exr, std::nullopt, true},
  };
  for (const auto& c : cases) {
    OutputRequest request;
    if (c.image) request.image = *c.image == "-" ? "-" : dir / *c.image;
    request.streamFormat = c.stream;
    if (c.faces) {
      request.cubemap = dir / "cube";
      request.faceFormat = c.faces;
    }
    const PlannedOutputs planned = PlanOutputs(request, session);
    ASSERT_TRUE(planned.plan) << c.what << ": " << planned.error;
    EXPECT_EQ(planned.plan->WritesHdr(), c.keeps) << c.what;
    EXPECT_EQ(planned.plan->KeepsSunWeights(), c.keeps) << c.what;
    EXPECT_EQ(planned.plan->sunRatio, kDefaultSunRatio) << c.what;
  }
}

TEST(OutputPlan, LayoutsConventionsRatiosAndTheFullPanoramaWarning) {
  TempDir dir;
  const std::string d = dir.Path().string();
  const std::string gpano = "not twice as wide as high: no full panorama, so no panorama metadata";
  const std::string ratio = "--sun-ratio applies to the EXR and HDR outputs only";
  struct Case {
    const char* what;
    std::string size;
    OutputRequest request;
    std::vector<std::string> names;
    std::string error;
    std::vector<std::string> warnings;
  };
  auto request = [&](std::optional<std::string> image, const std::string& cube = {}) {
    OutputRequest r;
    if (image) r.image = d + "/" + *image;
    if (!cube.empty()) r.cubemap = d + "/" + cube;
    return r;
  };
  OutputRequest cross = request(std::nullopt, "cube");
  cross.cubeLayout = CubeLayout::Cross;
  cross.faceFormat = CubeFaceFormat::Exr;
  cross.cubeConvention = CubeConvention::ThreeJs;
  OutputRequest hugeCross = cross;
  hugeCross.faceSize = 20000;  // 80000 pixels wide
  OutputRequest wideJpegRow = request(std::nullopt, "cube");
  wideJpegRow.cubeLayout = CubeLayout::Row;
  wideJpegRow.faceFormat = CubeFaceFormat::Jpeg;
  wideJpegRow.faceSize = 10920;  // 65520 wide: an image, but no JPEG
  OutputRequest wideBmpRow = wideJpegRow;
  wideBmpRow.faceFormat = CubeFaceFormat::Bmp;
  wideBmpRow.faceSize = 2000;
  OutputRequest ratioForPng = request("a.png");
  ratioForPng.sunRatio = 2;
  OutputRequest ratioForExr = request("a.exr");
  ratioForExr.sunRatio = 0;
  OutputRequest negative = request("a.exr");
  negative.sunRatio = -1;
  OutputRequest noNumber = request("a.exr");
  noNumber.sunRatio = std::nan("");
  OutputRequest plain = request("a.png");
  plain.metadata = ImageMetadata::None;
  OutputRequest preview = request("p.jpg");
  preview.preview = true;
  const Case cases[] = {
      {"2 : 1 PNG", "64 32", request("a.png"), {d + "/a.png"}, "", {}},
      {"3 : 1 PNG", "96 32", request("a.png"), {d + "/a.png"}, "", {"96 x 32, " + gpano}},
      {"3 : 1 EXR", "96 32", request("a.exr"), {d + "/a.exr"}, "", {gpano}},
      {"3 : 1 BMP has no metadata anyway", "96 32", request("a.bmp"), {d + "/a.bmp"}, "", {}},
      {"3 : 1 Radiance HDR neither", "96 32", request("a.hdr"), {d + "/a.hdr"}, "", {}},
      {"3 : 1 without metadata", "96 32", plain, {d + "/a.png"}, "", {}},
      {"the preview", "64 32", preview, {d + "/p.jpg"}, "", {"409 x 307, " + gpano}},
      {"a cross", "64 32", cross, {d + "/cube/cubemap.exr"}, "", {}},
      {"a cross too large",
       "64 32",
       hugeCross,
       {},
       "Out of memory! (the cube map's cross picture: the width",
       {}},
      {"a JPEG row too wide", "64 32", wideJpegRow, {}, "picture would be 65520 x 10920", {}},
      {"a BMP row", "64 32", wideBmpRow, {d + "/cube/cubemap.bmp"}, "", {}},
      {"a ratio for PNG", "64 32", ratioForPng, {d + "/a.png"}, "", {ratio}},
      {"no sun for EXR", "64 32", ratioForExr, {d + "/a.exr"}, "", {}},
      {"a ratio below 0", "64 32", negative, {}, "wants a number from 0 up", {}},
      {"a ratio that is no number", "64 32", noNumber, {}, "wants a number from 0 up", {}},
  };
  for (const Case& c : cases) {
    Session session;
    const auto space = c.size.find(' ');
    session.Scene().Output.Resolution = {c.size.substr(0, space), c.size.substr(space + 1)};
    const PlannedOutputs planned = PlanOutputs(c.request, session);
    if (!c.error.empty()) {
      EXPECT_FALSE(planned.plan) << c.what;
      EXPECT_NE(planned.error.find(c.error), std::string::npos) << c.what << ": " << planned.error;
      // A size beyond the limits, and only that, is told as memory exhausted.
      EXPECT_EQ(planned.outOfMemory.empty(), !c.error.starts_with("Out of memory!")) << c.what;
      if (!planned.outOfMemory.empty()) {
        EXPECT_EQ(planned.error, "Out of memory! (" + planned.outOfMemory + ")") << c.what;
      }
      continue;
    }
    ASSERT_TRUE(planned.plan) << c.what << ": " << planned.error;
    EXPECT_EQ(planned.plan->Names(), c.names) << c.what;
    ASSERT_EQ(planned.plan->warnings.size(), c.warnings.size()) << c.what;
    for (std::size_t i = 0; i < c.warnings.size(); ++i)
      EXPECT_NE(planned.plan->warnings[i].text.find(c.warnings[i]), std::string::npos)
          << c.what << ": " << planned.plan->warnings[i].text;
  }
  // The plan hands the cube map's choices on to the export.
  Session session;
  session.Scene().Output.Resolution = {"64", "32"};
  const PlannedOutputs planned = PlanOutputs(cross, session);
  ASSERT_TRUE(planned.plan);
  const CubeMapOptions options = planned.plan->CubeOptions();
  EXPECT_EQ(options.layout, CubeLayout::Cross);
  EXPECT_EQ(options.convention, CubeConvention::ThreeJs);
  EXPECT_EQ(options.format, CubeFaceFormat::Exr);
  EXPECT_EQ(options.faceSize, 16);
  std::filesystem::create_directory(d + "/cube");
  WriteFile(d + "/cube/cubemap.exr", "an old cube map");
  EXPECT_EQ(planned.plan->ExistingFaces(), std::vector<std::string>{d + "/cube/cubemap.exr"});
}

// A thumbnail fits the size asked for, the longer side at it, the other
// rounded half to even and never below one pixel; it is PNG without metadata.
TEST(OutputPlan, AThumbnailFitsItsSizeAsPng) {
  auto fit = [](int w, int h, int side) {
    const OutputSize s = ThumbnailSize({w, h}, side);
    return std::to_string(s.width) + "x" + std::to_string(s.height);
  };
  EXPECT_EQ(fit(3072, 1536, 256), "256x128");
  EXPECT_EQ(fit(409, 307, 256), "256x192");  // 192.16
  EXPECT_EQ(fit(307, 409, 128), "96x128");   // tall: the height is the size
  EXPECT_EQ(fit(100, 100, 48), "48x48");
  EXPECT_EQ(fit(8, 5, 4), "4x2");          // 2.5: half to even
  EXPECT_EQ(fit(8, 7, 4), "4x4");          // 3.5: half to even
  EXPECT_EQ(fit(10000, 1, 64), "64x1");    // never below one pixel
  EXPECT_EQ(fit(64, 32, 640), "640x320");  // enlarged when asked for

  TempDir dir;
  Session session;
  session.Scene().Output.Resolution = {"64", "32"};
  OutputRequest request;
  request.image = dir / "thumb";
  request.thumbnail = 16;
  PlannedOutputs planned = PlanOutputs(request, session);
  ASSERT_TRUE(planned.plan) << planned.error;
  EXPECT_EQ(planned.plan->imageFormat, ImageFormat::Png);
  EXPECT_EQ(planned.plan->metadata, ImageMetadata::None);
  EXPECT_EQ(planned.plan->ImageSize().width, 16);
  EXPECT_EQ(planned.plan->ImageSize().height, 8);
  EXPECT_TRUE(planned.plan->warnings.empty());  // no word about the missing extension
  request.image = dir / "thumb.jpg";
  planned = PlanOutputs(request, session);
  EXPECT_FALSE(planned.plan);
  EXPECT_NE(planned.error.find("a thumbnail is written as PNG, not as JPEG"), std::string::npos)
      << planned.error;
  request.image = "-";
  request.streamFormat = ImageFormat::Png;
  EXPECT_TRUE(PlanOutputs(request, session).plan);
  request.image.reset();  // the scene names no file
  EXPECT_FALSE(PlanOutputs(request, session).plan);
  request.image = dir / "huge.png";
  request.thumbnail = 65535;  // 65535 x 32768 pixels: beyond 2 GiB
  planned = PlanOutputs(request, session);
  EXPECT_FALSE(planned.plan);
  EXPECT_NE(planned.error.find("(the thumbnail: "), std::string::npos) << planned.error;
}

}  // namespace
}  // namespace horizonmill
