// The output plan: which files a run writes, their names, the warnings about
// their formats and the checks before the render.
#include <gtest/gtest.h>

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
      {"faces beyond the limits", tooWide, "", {}, "メモリー枯渇！ (cube faces:", {}},
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
      continue;
    }
    ASSERT_TRUE(planned.plan) << c.what << ": " << planned.error;
    EXPECT_EQ(planned.plan->Names(), c.names) << c.what;
    ASSERT_EQ(planned.plan->warnings.size(), c.warnings.size()) << c.what;
    for (std::size_t i = 0; i < c.warnings.size(); ++i)
      EXPECT_NE(planned.plan->warnings[i].text.find(c.warnings[i]), std::string::npos) << c.what;
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

}  // namespace
}  // namespace horizonmill
