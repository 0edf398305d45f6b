// The command-line renderer's HDR outputs, cube-map layouts and conventions,
// and where it marks an image as a full panorama.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <numbers>

#include "codecs/HdrLight.h"
#include "support/CliRunner.h"
#include "support/HdrReading.h"
#include "support/PngReading.h"
#include "support/TempDir.h"
#include "support/XmpReading.h"

namespace horizonmill {
namespace {

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

TEST(CliHdrOutputs, BadValuesAreBadUsage) {
  const struct {
    std::string args, message;
  } cases[] = {
      {"--cubemap d --cubemap-layout 1x6", "--cubemap-layout wants faces, row, column, 2x3, 3x2"},
      {"--cubemap d --cubemap-layout", "--cubemap-layout needs a value"},
      {"--cubemap d --cubemap-convention dx", "--cubemap-convention wants gl or threejs"},
      {"--cubemap-layout cross", "--cubemap-layout and --cubemap-convention go with --cubemap"},
      {"--cubemap-convention threejs", "go with --cubemap"},
      {"-o a.exr --sun-ratio -1", "--sun-ratio wants a number from 0 to 1000"},
      {"-o a.exr --sun-ratio 1001", "--sun-ratio wants a number from 0 to 1000"},
      {"-o a.exr --sun-ratio six", "--sun-ratio wants a number from 0 to 1000"},
      {"-o a.exr --sun-ratio nan", "--sun-ratio wants a number from 0 to 1000"},
      {"-o a.exr --sun-ratio 6x", "--sun-ratio wants a number from 0 to 1000"},
      {"--sun-ratio 2 --register h.ini --alias a --name n", "--sun-ratio and --no-metadata do not"},
      {"--list-registered h.ini --sun-ratio 2", "take no scene file and no rendering options"},
      {"--cubemap d --cubemap-format tiff", "--cubemap-format wants png, bmp, jpg, exr or hdr"},
      {"-o - --format tga", "--format wants png, jpg, bmp, exr or hdr"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const auto r = RunCli("--quiet " + c.args);
    EXPECT_EQ(r.status, 2) << c.args << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
  }
}

TEST(CliHdrOutputs, ExrAndHdrOfAnExampleWithTheSunsRatioAndFactor) {
  TempDir dir;
  auto r = RunCli(Example("dusk.hm") + " --size 256x128 -o " + Quoted(dir / "dusk.exr") +
                  " --sun-json " + Quoted(dir / "sun.json") + " --sun-ratio 4 --quiet");
  ASSERT_EQ(r.status, 0) << r.err;
  const testing::ExrFile exr = testing::ReadExr(ReadFile(dir / "dusk.exr"));
  EXPECT_EQ(exr.picture.width, 256);
  EXPECT_EQ(exr.compression, Imf::ZIP_COMPRESSION);
  EXPECT_EQ(exr.envmap, Imf::ENVMAP_LATLONG);
  std::string json = ReadFile(dir / "sun.json");
  EXPECT_NE(json.find("\"sunRatio\": 4,\n  \"sunScale\": "), std::string::npos) << json;
  EXPECT_EQ(json.find("null"), std::string::npos) << json;
  // The sun's centre is far brighter than white in linear light.
  const int cx = 256 * 35 / 100, cy = 64;
  EXPECT_GT(exr.picture.At(cx, cy)[0], 2.0f);

  r = RunCli(Example("dusk.hm") + " --size 256x128 -o " + Quoted(dir / "dusk.HDR") +
             " --sun-ratio 4 --quiet");
  ASSERT_EQ(r.status, 0) << r.err;
  const testing::RgbeFile hdr = testing::ReadRgbe(ReadFile(dir / "dusk.HDR"));
  EXPECT_EQ(hdr.runLengthRows, 128);
  // The same light as the EXR, to RGBE's and half's precision.
  for (const auto& [x, y] : {std::pair{cx, cy}, std::pair{10, 10}, std::pair{200, 120}})
    for (int c = 0; c < 3; ++c)
      EXPECT_NEAR(hdr.picture.At(x, y)[c], exr.picture.At(x, y)[c],
                  exr.picture.At(x, y)[c] / 100 + 1e-4)
          << x << "," << y;

  // With an eight-bit image k is unknown, and R applies to nothing: a warning.
  r = RunCli(Example("dusk.hm") + " --size 64x32 -o " + Quoted(dir / "dusk.png") + " --sun-json " +
             Quoted(dir / "sun.json") + " --sun-ratio 4");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("--sun-ratio applies to the EXR and HDR outputs only"), std::string::npos)
      << r.err;
  json = ReadFile(dir / "sun.json");
  EXPECT_NE(json.find("\"sunScale\": null"), std::string::npos) << json;

  // The ambient light alone renders and writes nothing but its coefficients,
  // from the EXR's light: the first is the mean of the picture's light.
  r = RunCli(Example("dusk.hm") + " --size 256x128 --sh-json " + Quoted(dir / "sh.json") +
             " --sun-ratio 4");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("wrote " + dir / "sh.json"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("--sun-ratio applies"), std::string::npos) << r.err;
  json = ReadFile(dir / "sh.json");
  double mean[3] = {};
  for (int y = 0; y < 128; ++y) {
    const double omega = PixelSolidAngle(y, 256, 128) / (4 * std::numbers::pi);
    for (int x = 0; x < 256; ++x)
      for (int c = 0; c < 3; ++c) mean[c] += exr.picture.At(x, y)[c] * omega;
  }
  const auto first = json.find("\"coefficients\": [\n    [");
  ASSERT_NE(first, std::string::npos) << json;
  double c00[3] = {};
  ASSERT_EQ(std::sscanf(json.c_str() + first + 22, "[%lf, %lf, %lf]", &c00[0], &c00[1], &c00[2]), 3)
      << json;
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(c00[c], mean[c], mean[c] * 1e-3) << c;

  // On standard output too.
  r = RunCli("--size 64x32 -o - --format exr --quiet");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(testing::ReadExr(r.out).picture.height, 32);
}

TEST(CliHdrOutputs, LayoutsAndConventionsOfTheCubeMap) {
  TempDir dir;
  const struct {
    std::string layout;
    int columns, rows;
  } layouts[] = {{"row", 6, 1}, {"column", 1, 6}, {"2x3", 2, 3},
                 {"3x2", 3, 2}, {"cross", 4, 3},  {"vcross", 3, 4}};
  for (const auto& l : layouts) {
    const std::string folder = dir / l.layout;
    const auto r = RunCli("--size 128x64 --cubemap " + Quoted(folder) + " --cubemap-layout " +
                          l.layout + " --cubemap-convention threejs --face-size 20");
    ASSERT_EQ(r.status, 0) << l.layout << "\n" << r.err;
    EXPECT_NE(r.err.find("wrote the cube map " + folder + "/cubemap.png (" + l.layout +
                         ", faces 20 x 20, threejs)"),
              std::string::npos)
        << r.err;
    const WorkBitmap picture = testing::DecodePng(ReadFile(folder + "/cubemap.png"));
    EXPECT_EQ(picture.Width(), 20 * l.columns) << l.layout;
    EXPECT_EQ(picture.Height(), 20 * l.rows) << l.layout;
    EXPECT_EQ(testing::PngXmp(ReadFile(folder + "/cubemap.png")), std::nullopt);
  }
  // Six faces stay six files, in either convention; HDR faces are Radiance files.
  const auto r = RunCli("--size 128x64 --cubemap " + Quoted(dir / "hdr") +
                        " --cubemap-format hdr --cubemap-layout faces --face-size 8 --quiet");
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* face : {"px", "nx", "py", "ny", "pz", "nz"})
    EXPECT_EQ(testing::ReadRgbe(ReadFile(dir / ("hdr/" + std::string(face) + ".hdr"))).sizeLine,
              "-Y 8 +X 8");
}

TEST(CliHdrOutputs, OnlyATwoToOneImageIsMarkedAsAFullPanorama) {
  TempDir dir;
  const struct {
    std::string size, name;
    bool marked;
  } cases[] = {
      {"3072x1024", "wide.jpg", false}, {"96x32", "wide.png", false}, {"64x32", "full.png", true},
      {"64x32", "full.jpg", true},      {"60x32", "near.png", false},
  };
  for (const auto& c : cases) {
    const auto r = RunCli(Example("lighthouse-coast.hm") + " --size " + c.size + " -o " +
                          Quoted(dir / c.name));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string bytes = ReadFile(dir / c.name);
    const auto xmp = c.name.ends_with(".png") ? testing::PngXmp(bytes) : testing::JpegXmp(bytes);
    EXPECT_EQ(xmp.has_value(), c.marked) << c.size << " " << c.name;
    EXPECT_EQ(r.err.find("not twice as wide as high: no full panorama, so no panorama metadata "
                         "(GPano) is written") != std::string::npos,
              !c.marked)
        << r.err;
  }
  // --strict makes the warning an error before the render; --no-metadata asks
  // for no mark and hears no warning.
  auto r = RunCli("--size 96x32 -o " + Quoted(dir / "strict.png") + " --strict --quiet");
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "strict.png"));
  r = RunCli("--size 96x32 -o " + Quoted(dir / "plain.png") + " --no-metadata --strict --quiet");
  EXPECT_EQ(r.status, 0) << r.err;
}

}  // namespace
}  // namespace horizonmill
