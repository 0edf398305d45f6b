// The command-line renderer's outputs for 3D programs: the cube map, the
// panorama metadata and the sun's direction.
#include <gtest/gtest.h>

#include <filesystem>

#include "image/BmpReader.h"
#include "render/CubeMap.h"
#include "support/CliRunner.h"
#include "support/PanoramaTesting.h"
#include "support/PngReading.h"
#include "support/TempDir.h"
#include "support/XmpReading.h"

namespace horizonmill {
namespace {

using testing::DecodePng;
using testing::JpegXmp;
using testing::PngXmp;
using testing::ReadFile;
using testing::RunCli;
using testing::TempDir;
using testing::WriteFile;

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

std::string Example(const char* name) {
  std::string path = HORIZONMILL_SOURCE_DIR;
  path.append("/examples/").append(name);
  return Quoted(path);
}

// The six faces as written, read back from their files.
std::array<WorkBitmap, 6> ReadFaces(const std::string& folder, const std::string& extension) {
  std::array<WorkBitmap, 6> faces;
  for (CubeFace face : kCubeFaces) {
    const std::string path = folder + "/" + std::string(CubeFaceName(face)) + extension;
    faces[static_cast<int>(face)] =
        extension == ".png" ? DecodePng(ReadFile(path)) : ReadBmpFile(path);
  }
  return faces;
}

TEST(CliPanoramaOutputs, TheCubeMapOfAnExampleJoinsWithoutSeams) {
  TempDir dir;
  const auto r = RunCli(Example("lighthouse-coast.hm") + " --size 1024x512 --cubemap " +
                        Quoted(dir / "faces") + " --quiet");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"faces"});  // nothing but the faces
  // PNG by default, and a face is no panorama: no XMP.
  const auto faces = ReadFaces(dir / "faces", ".png");
  EXPECT_EQ(PngXmp(ReadFile(dir / "faces/px.png")), std::nullopt);
  for (const WorkBitmap& f : faces) {
    EXPECT_EQ(f.Width(), 256);  // a quarter of the panorama's width
    EXPECT_EQ(f.Height(), 256);
  }
  // Pictures have edges of their own; along each of the cube's twelve edges
  // the pixels on either side differ no more than neighbours inside the faces do.
  const auto seams = testing::CompareSeams(faces);
  EXPECT_TRUE(seams.beyondIsEdge);
  ASSERT_EQ(seams.edges.size(), 12u);
  for (const auto& [shared, edge] : seams.edges) {
    EXPECT_EQ(edge.pairs, 2 * 256)
        << CubeFaceName(shared.first) << "-" << CubeFaceName(shared.second);
    EXPECT_LE(edge.Mean(), seams.insideMean * 1.5 + 0.5)
        << CubeFaceName(shared.first) << "-" << CubeFaceName(shared.second);
  }
}

TEST(CliPanoramaOutputs, FaceSizeFormatAndTheOtherOutputsTogether) {
  TempDir dir;
  WriteFile(dir / "scene.hm", "Output_Resolution 64 32\r\nOutput_Filename " + (dir / "scene.jpg") +
                                  "\r\nGradation2_Position 0.25 0.5\r\n");
  // Without -o the scene's own output name is not written.
  auto r = RunCli(Quoted(dir / "scene.hm") + " --cubemap " + Quoted(dir / "jpg") +
                  " --cubemap-format JPG --face-size 10 --quality 50 --quiet");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "scene.jpg"));
  for (CubeFace face : kCubeFaces) {
    const std::string bytes = ReadFile(dir / "jpg/" + std::string(CubeFaceName(face)) + ".jpg");
    ASSERT_EQ(bytes.substr(0, 3), "\xFF\xD8\xFF");
    EXPECT_EQ(JpegXmp(bytes), std::nullopt);  // a face is no panorama
  }
  // -o, the cube map and the sun in one run.
  r = RunCli(Quoted(dir / "scene.hm") + " -o " + Quoted(dir / "pano.jpg") + " --cubemap " +
             Quoted(dir / "bmp") + " --cubemap-format bmp --face-size 12 --sun-json " +
             Quoted(dir / "sun.json"));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("wrote the cube map"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFaces(dir / "bmp", ".bmp")[3].Width(), 12);
  EXPECT_NE(JpegXmp(ReadFile(dir / "pano.jpg")), std::nullopt);
  EXPECT_NE(ReadFile(dir / "sun.json").find("\"azimuth\": 92.8125,"), std::string::npos);
}

TEST(CliPanoramaOutputs, TheSunAloneRendersNothingAndNoMetadataLeavesTheXmpOut) {
  TempDir dir;
  auto r = RunCli("--size 300x150 --sun-json " + Quoted(dir / "sun.json") + " --timings");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err.find("sky"), std::string::npos) << r.err;  // no stage ran
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"sun.json"});
  EXPECT_NE(ReadFile(dir / "sun.json").find("\"imageSize\": [300, 150],"), std::string::npos);

  for (const std::string ext : {".jpg", ".png"}) {
    const auto xmp = [&](const std::string& name) {
      const std::string bytes = ReadFile(dir / (name + ext));
      return ext == ".png" ? PngXmp(bytes) : JpegXmp(bytes);
    };
    r = RunCli("--size 64x32 -o " + Quoted(dir / ("plain" + ext)) + " --no-metadata --quiet");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(xmp("plain"), std::nullopt) << ext;
    r = RunCli("--size 64x32 -o " + Quoted(dir / ("marked" + ext)) + " --quiet");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(xmp("marked"), std::nullopt) << ext;
  }
}

TEST(CliPanoramaOutputs, BadUsageAndUnwritableTargetsAreSaidBeforeTheRender) {
  TempDir dir;
  const struct {
    std::string args, message;
    int status;
  } cases[] = {
      {"--face-size 64",
       "--face-size, --cubemap-format, --cubemap-layout and --cubemap-convention go with --cubemap",
       2},
      {"--cubemap d --cubemap-format gif", "--cubemap-format wants png, bmp, jpg, exr or hdr", 2},
      {"--cubemap d --face-size 0", "--face-size wants an integer from 1 to 65535", 2},
      {"--cubemap ''", "--cubemap needs a name", 2},
      {"--sun-json s.json --register h.ini --alias a --name n", "do not go with --register", 2},
      {"--list-registered h.ini --no-metadata", "take no scene file and no rendering options", 2},
      {"-o " + Quoted(dir / "x.json") + " --sun-json " + Quoted(dir / "x.json"),
       "x.json: named twice", 1},
      {"--sun-json " + Quoted(dir.Path().string()), "is a folder", 1},
      {"--cubemap " + Quoted(dir / "plain/faces") + " --cubemap-format bmp",
       "plain: is not a folder", 1},
      {"--size 64x32 --cubemap " + Quoted(dir / "big") + " --cubemap-format bmp --face-size 30000",
       "cube faces: 30000 x 30000 pixels take", 1},
      {"--cubemap " + Quoted(dir / "f") + " --cubemap-format bmp --quality 50 --strict",
       "--quality applies to JPEG only; the faces are written as BMP", 1},
  };
  WriteFile(dir / "plain", "a file");
  for (const auto& c : cases) {
    const auto r = RunCli(c.args + " --quiet");
    EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
  }
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"plain"});
}

}  // namespace
}  // namespace horizonmill
