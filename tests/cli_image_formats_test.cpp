// The format asked for is the format written: the image on standard output
// (--format) and the cube map's files (--cubemap-format), each read back by the
// reader of that format alone, hold the picture the same render gives as BMP.
#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "codecs/HdrLight.h"
#include "image/BmpReader.h"
#include "render/CubeLayout.h"
#include "render/CubeMap.h"
#include "render/PanoramaDirection.h"
#include "support/CliRunner.h"
#include "support/ImageReadBack.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::DifferenceBetween;
using testing::ReadBack;
using testing::ReadBackAs;
using testing::ReadBackOf;
using testing::ReadFile;
using testing::RunCli;
using testing::TempDir;

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

// An example with a sun, stars, a sky of several colours and objects, at
// 64 x 32: a swapped channel or row shows.
std::string Dusk() {
  return Quoted(std::string(HORIZONMILL_SOURCE_DIR) + "/examples/dusk.hm") + " --size 64x32";
}

// Each format, the word that asks for it, what else the run is told, and how
// close its pixels come to what was encoded, per channel on the eight-bit
// scale: PNG and BMP exactly; JPEG (at quality 95) loosely, its blocks and
// halved chroma blurring the stars and the objects' edges by about 5 on
// average where swapping red and blue would make it above 20; OpenEXR to half
// floats' precision; Radiance HDR to its shared exponent's, which leaves a
// dark channel beside a bright one a step or two coarse. The HDR formats are asked
// for without the sun's added light, so that they hold the picture alone.
const struct FormatCase {
  const char* word;
  ImageFormat format;
  const char* options;
  double largest, mean;
} kFormats[] = {
    {"png", ImageFormat::Png, "", 0, 0},
    {"bmp", ImageFormat::Bmp, "", 0, 0},
    {"jpg", ImageFormat::Jpeg, " --quality 95", 80, 10},
    {"exr", ImageFormat::Exr, " --sun-ratio 0", 0.1, 0.03},
    {"hdr", ImageFormat::Hdr, " --sun-ratio 0", 3, 0.3},
};

// The panorama, as BMP on standard output.
WorkBitmap RenderedPanorama() {
  const auto r = RunCli(Dusk() + " --quiet -o - --format bmp");
  EXPECT_EQ(r.status, 0) << r.err;
  return DecodeBmp(std::span(reinterpret_cast<const std::uint8_t*>(r.out.data()), r.out.size()));
}

TEST(CliImageFormats, StandardOutputHoldsTheFormatAsked) {
  const WorkBitmap panorama = RenderedPanorama();
  ASSERT_EQ(panorama.Width(), 64);
  for (const FormatCase& c : kFormats) {
    SCOPED_TRACE(c.word);
    const auto r = RunCli(Dusk() + " --quiet -o - --format " + c.word + c.options);
    ASSERT_EQ(r.status, 0) << r.err;
    const ReadBack back = ReadBackAs(c.format, r.out);
    ASSERT_EQ(back.problem, "");
    const auto difference = DifferenceBetween(back, panorama);
    EXPECT_LE(difference.largest, c.largest);
    EXPECT_LE(difference.mean, c.mean);
  }
}

// A face of the panorama as the cube map samples it: the eight-bit formats
// from its bytes, the HDR formats in linear light.
ReadBack ExpectedFace(const WorkBitmap& panorama, CubeFace face, int n, ImageFormat format) {
  if (!IsHdrFormat(format)) {
    WorkBitmap bitmap(n, n);
    RenderCubeFace(panorama, face, bitmap);
    return ReadBackOf(bitmap);
  }
  const PanoramaProjection project(panorama.Width(), panorama.Height());
  std::vector<float> linear(static_cast<std::size_t>(n) * n * 3);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const Direction d = ConventionFaceDirection(CubeConvention::Gl, face, x, y, n);
      const PanoramaPoint p =
          project(static_cast<float>(d.x), static_cast<float>(d.y), static_cast<float>(d.z));
      SampleLinear(panorama, SunGlow{}, p.x, p.y,
                   &linear[(static_cast<std::size_t>(y) * n + x) * 3]);
    }
  return ReadBackOf(n, n, linear);
}

TEST(CliImageFormats, CubeMapFilesHoldTheFormatAsked) {
  constexpr int kFace = 12;
  const WorkBitmap panorama = RenderedPanorama();
  TempDir dir;
  for (const FormatCase& c : kFormats) {
    const std::string folder = dir / c.word;
    const auto r = RunCli(Dusk() + " --quiet --face-size " + std::to_string(kFace) + " --cubemap " +
                          Quoted(folder) + " --cubemap-format " + c.word + c.options);
    ASSERT_EQ(r.status, 0) << c.word << "\n" << r.err;
    for (CubeFace face : kCubeFaces) {
      const std::string name = std::string(CubeFaceName(face)) + "." + c.word;
      SCOPED_TRACE(name);
      const ReadBack back = ReadBackAs(c.format, ReadFile(folder + "/" + name));
      ASSERT_EQ(back.problem, "");
      const auto difference =
          DifferenceBetween(back, ExpectedFace(panorama, face, kFace, c.format));
      EXPECT_LE(difference.largest, c.largest);
      EXPECT_LE(difference.mean, c.mean);
    }
  }
}

}  // namespace
}  // namespace horizonmill
