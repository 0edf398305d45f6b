// What the command-line renderer may replace: only regular files; from a
// scene's Output_Filename only pictures, unless -o or --overwrite says so.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>

#include "support/CliRunner.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::ReadFile;
using testing::RunCli;
using testing::TempDir;
using testing::WriteFile;

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

// A scene of 64 x 32 pixels whose Output_Filename is `out`.
std::string SceneWritingTo(const TempDir& dir, const std::string& out) {
  WriteFile(dir / "scene.hm", "Output_Resolution 64 32\r\nOutput_Filename " + out + "\r\n");
  return Quoted(dir / "scene.hm");
}

TEST(CliOutput, ASceneNamingWhatIsNoPictureReplacesNothing) {
  TempDir dir;
  // A device of our own where we may make one; elsewhere /dev/null, which an
  // unprivileged program cannot replace anyway.
  std::string device = dir / "null";
  if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) device = "/dev/null";
  const std::string fifo = dir / "pipe.jpg", folder = dir / "folder.jpg", text = dir / "notes.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_directory(folder);
  WriteFile(text, "my notes\n");
  const struct {
    std::string target, reason;
  } cases[] = {
      {device, "is a device, not a regular file"},
      {fifo, "is a FIFO, not a regular file"},
      {folder, "is a folder, not a regular file"},
      {text, "exists and is not a BMP, JPEG or PNG picture"},
  };
  for (const auto& c : cases) {
    const auto r = RunCli(SceneWritingTo(dir, c.target) + " --quiet");
    EXPECT_EQ(r.status, 1) << c.target;
    EXPECT_NE(r.err.find(c.target + ": " + c.reason), std::string::npos) << r.err;
  }
  struct stat st;
  ASSERT_EQ(::lstat(device.c_str(), &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(ReadFile(text), "my notes\n");
  // Named by the user, the text file is replaced; a device never is.
  auto r = RunCli(SceneWritingTo(dir, text) + " --quiet --overwrite");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(text).substr(0, 3), "\xff\xd8\xff");
  WriteFile(text, "my notes\n");
  r = RunCli("--size 64x32 --quiet -o " + Quoted(text));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(text).substr(0, 3), "\xff\xd8\xff");
  r = RunCli("--size 64x32 --quiet -o " + Quoted(device));
  EXPECT_EQ(r.status, 1);
  ASSERT_EQ(::lstat(device.c_str(), &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(CliOutput, ANameOf250CharactersIsWritten) {
  TempDir dir;
  const std::string name = std::string(246, 'n') + ".bmp";
  const auto r = RunCli("--size 8x8 --quiet -o " + Quoted(dir / name));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{name});
}

}  // namespace
}  // namespace horizonmill
