// The command-line renderer as a user runs it.
#include <gtest/gtest.h>

// gcc 12 finds "may be used uninitialized" inside libstdc++'s own <regex> when
// the tests are built with the sanitizers at -O1: a false alarm in the header,
// not in our code.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>
#pragma GCC diagnostic pop
#else
#include <regex>
#endif

#include "Version.h"
#include "scene/SettingsFile.h"
#include "support/BmpBytes.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::BmpView;
using testing::ReadFile;
using testing::RunCli;
using testing::TempDir;

TEST(Cli, HelpExplainsTheUsage) {
  const auto r = RunCli("--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Usage: horizonmill-render"), std::string::npos);
  EXPECT_NE(r.out.find("--size WxH"), std::string::npos);
  EXPECT_NE(r.out.find("Exit status"), std::string::npos);
}

TEST(Cli, VersionAndTheDefaultSceneAsAStartingPoint) {
  auto r = RunCli("--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, std::string("horizonmill-render ") + kVersion + "\n");
  // The project's number, MAJOR.MINOR.PATCH, and in a build of a commit after
  // its release the commits since and the commit: "+git.N.gSHA" (or "+git.gSHA"
  // where the release is not in the clone).
  const std::string projectVersion = HORIZONMILL_PROJECT_VERSION;
  EXPECT_TRUE(std::regex_match(projectVersion, std::regex("[0-9]+\\.[0-9]+\\.[0-9]+")));
  const std::string version = kVersion;
  EXPECT_EQ(version.substr(0, projectVersion.size()), projectVersion);
  EXPECT_TRUE(std::regex_match(version.substr(projectVersion.size()),
                               std::regex("(\\+git(\\.[1-9][0-9]*)?\\.g[0-9a-f]{7,})?")))
      << version;

  TempDir dir;
  const std::string scene = dir / "start.hm";
  r = RunCli("--write-default '" + scene + "'");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(scene), EncodeSettings(SceneSettings{}));
  // An existing file is replaced only with --overwrite.
  testing::WriteFile(scene, "mine");
  r = RunCli("--write-default '" + scene + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "horizonmill-render: " + scene + ": exists; --overwrite replaces it\n");
  EXPECT_EQ(ReadFile(scene), "mine");
  r = RunCli("--write-default '" + scene + "' --overwrite --quiet");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(scene), EncodeSettings(SceneSettings{}));
}

TEST(Cli, BadUsageExitsWithTwo) {
  for (const char* args : {"--size 0x5 -o a.jpg",
                           "--size 12 -o a.jpg",
                           "--size axb -o a.jpg",
                           "--size 10x-3 -o a.jpg",
                           "--quality 101 -o a.jpg",
                           "--quality x -o a.jpg",
                           "--quality -1 -o a.jpg",
                           "--frobnicate",
                           "-o",
                           "a.hm b.hm -o x.jpg",
                           "--picture-budget 0 -o a.jpg",
                           "--picture-budget 1.5G -o a.jpg",
                           "--picture-budget -o a.jpg",
                           "--write-default a.hm -o b.jpg",
                           "--write-default a.hm b.hm",
                           "--write-default",
                           "--list-registered h.ini --strict",
                           "--format png -o a.png",
                           "-o - --format gif",
                           "--png-level 10 -o a.png",
                           "--png-level -1 -o a.png",
                           "--png-level x -o a.png",
                           "--list-registered h.ini --png-level 3"}) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_NE(r.err.find("horizonmill-render: "), std::string::npos) << args;
    EXPECT_NE(r.err.find("--help"), std::string::npos) << args;
  }
}

TEST(Cli, WritesTheDefaultSceneWithTheDocumentedRows) {
  TempDir dir;
  const auto r = RunCli("-o '" + (dir / "default.bmp") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("wrote"), std::string::npos);  // one final line when not a terminal
  const std::string bytes = ReadFile(dir / "default.bmp");
  const BmpView bmp(bytes);
  ASSERT_EQ(bmp.Width(), 3072);
  ASSERT_EQ(bmp.Height(), 1536);
  const int rows[] = {0, 96, 192, 384, 576, 700, 767, 768, 1152, 1535};
  const int levels[] = {0, 35, 76, 159, 227, 251, 255, 255, 159, 0};
  for (int i = 0; i < 10; ++i) {
    const BgrPixel p = bmp.At(3071 - 5 * i, rows[i]);
    EXPECT_EQ(p.r, levels[i]);
    EXPECT_EQ(p.g, levels[i]);
    EXPECT_EQ(p.b, 255);
  }
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"default.bmp"});
}

TEST(Cli, SizePreviewQualityQuietAndTimings) {
  TempDir dir;
  auto r = RunCli("--size 64x32 --quiet -o '" + (dir / "small.BMP") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  std::string bytes = ReadFile(dir / "small.BMP");
  EXPECT_EQ(BmpView(bytes).Width(), 64);
  EXPECT_EQ(BmpView(bytes).Height(), 32);

  r = RunCli("--preview --timings -o '" + (dir / "preview.bmp") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  bytes = ReadFile(dir / "preview.bmp");
  EXPECT_EQ(BmpView(bytes).Width(), 409);
  EXPECT_EQ(BmpView(bytes).Height(), 307);
  for (const char* stage : {"sky", "sun", "stars", "objects", "write"})
    EXPECT_NE(r.err.find(stage), std::string::npos) << stage;

  // Any thread count, given or from the environment, draws the same picture;
  // a count out of 1..256 is bad usage.
  for (const char* count : {"0", "257", "two"})
    EXPECT_EQ(RunCli(std::string("--threads ") + count + " -o a.jpg").status, 2) << count;
  r = RunCli("--size 300x150 --threads 1 -o '" + (dir / "one.bmp") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  r = RunCli("--size 300x150 --threads 7 -o '" + (dir / "seven.bmp") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  r = RunCli("--size 300x150 -o '" + (dir / "env.bmp") + "'", "HORIZONMILL_THREADS=3");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(dir / "one.bmp"), ReadFile(dir / "seven.bmp"));
  EXPECT_EQ(ReadFile(dir / "one.bmp"), ReadFile(dir / "env.bmp"));

  r = RunCli("--size 32x16 --quality 0 -o '" + (dir / "low.jpg") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(dir / "low.jpg").substr(0, 2), "\xff\xd8");
}

TEST(Cli, ErrorsNameTheFileAndLeaveNothingBehind) {
  TempDir dir;
  const std::string missing = dir / "missing/out.jpg";
  auto r = RunCli("-o '" + missing + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(missing), std::string::npos);
  EXPECT_TRUE(dir.Entries().empty());

  // Beyond the limits: the memory message and the limit, before the render (a
  // JPEG too: no other format would do).
  r = RunCli("--size 70000x10 --timings -o '" + (dir / "huge.jpg") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Out of memory! (the width, 70000 pixels, is beyond 65535 pixels"),
            std::string::npos)
      << r.err;
  r = RunCli("--size 30000x30000 -o '" + (dir / "huge.bmp") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("30000 x 30000 pixels take 2574 MiB, beyond the 2048 MiB an image may take"),
            std::string::npos)
      << r.err;
  // A JPEG's own limit is said as such, before the render.
  r = RunCli("--size 65501x10 --timings -o '" + (dir / "wide.jpg") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(dir / "wide.jpg: a JPEG picture can be at most 65500 pixels a side"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.err.find("sky"), std::string::npos) << r.err;  // no stage ran
  EXPECT_TRUE(dir.Entries().empty());

  r = RunCli("");  // the default scene names no output file
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("-o"), std::string::npos);
}

}  // namespace
}  // namespace horizonmill
