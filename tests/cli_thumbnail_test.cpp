// horizonmill-render --thumbnail: what a file manager's thumbnailer runs. The
// picture scaled to fit the size asked for, as PNG under any name.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "image/WorkBitmap.h"
#include "support/BitmapTesting.h"
#include "support/CliRunner.h"
#include "support/PngReading.h"
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

  // Larger than the picture: enlarged to the size asked for.
  r = RunCli(kLighthouse + " --preview --quiet --thumbnail 512 -o '" + (dir / "large.png") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  const WorkBitmap large = DecodePng(ReadFile(dir / "large.png"));
  ASSERT_EQ(large.Width(), 512);
  ASSERT_EQ(large.Height(), 384);
  EXPECT_TRUE(testing::SamePixels(large, Scaled(preview, 512, 384)));
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
