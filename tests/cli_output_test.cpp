// What the command-line renderer may replace: only regular files; from a
// scene's Output_Filename nothing at all, unless -o or --overwrite says so.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
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
      {text, "exists, and the scene's output name never replaces a file"},
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

// A scene's own output name makes only new files: a picture already there,
// by any name, the scene's own texture included, stays as it was.
TEST(CliOutput, ASceneNameReplacesNoPictureWhereverItPoints) {
  TempDir dir;
  std::filesystem::create_directory(dir / "scenes");
  WriteFile(dir / "old.png", "\x89PNG old");
  ASSERT_EQ(RunCli("--size 8x4 --quiet -o " + Quoted(dir / "scenes/ground.bmp")).status, 0);
  const struct {
    std::string name;  // Output_Filename, as a scene from elsewhere may write it
    std::string file;  // what it names
    bool written;
  } cases[] = {
      {dir / "old.png", dir / "old.png", false},
      {"..\\old.png", dir / "old.png", false},
      {"ground.bmp", dir / "scenes/ground.bmp", false},
      {dir / "scenes/../scenes/ground.bmp", dir / "scenes/ground.bmp", false},
      {"new.png", dir / "scenes/new.png", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(dir / "scenes/scene.hm",
              "Output_Resolution 8 4\r\nGround_TextureFilename ground.bmp\r\n"
              "Output_Filename " +
                  c.name + "\r\n");
    const std::string before = ReadFile(c.file);
    // Run in the scene's folder, where its relative names lead.
    const auto r = RunCli(Quoted(dir / "scenes/scene.hm") + " --quiet",
                          "cd " + Quoted(dir / "scenes") + " &&");
    if (c.written) {
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(ReadFile(c.file).substr(0, 4), "\x89PNG");
      continue;
    }
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("never replaces a file (-o or --overwrite replaces it)"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(ReadFile(c.file), before);
  }
}

TEST(CliOutput, ANameOf250CharactersIsWritten) {
  TempDir dir;
  const std::string name = std::string(246, 'n') + ".bmp";
  const auto r = RunCli("--size 8x8 --quiet -o " + Quoted(dir / name));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{name});
}

TEST(CliOutput, ANameThatCannotBeWrittenFailsBeforeTheRender) {
  TempDir dir;
  const struct {
    std::string name, reason;
  } cases[] = {
      // Nobody, root included, makes files in /proc: an unwritable folder.
      {"/proc/horizonmill-out.jpg", "/proc/horizonmill-out.jpg: cannot be written: "},
      {dir / "missing/out.jpg",
       dir / "missing/out.jpg: the folder " + dir / "missing/ does not exist"},
      {"C:\\pictures\\out.jpg", "C:/pictures/out.jpg: a Windows drive-letter name"},
  };
  for (const auto& c : cases) {
    // --timings lists every stage that ran: none may have.
    const auto r = RunCli("--timings -o " + Quoted(c.name));
    EXPECT_EQ(r.status, 1) << c.name;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;  // one line
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("sky"), std::string::npos) << r.err;
  }
  EXPECT_TRUE(dir.Entries().empty());
  // "\" in an output name is a folder separator.
  std::filesystem::create_directory(dir / "sub");
  const auto r = RunCli("--size 8x4 --quiet -o " + Quoted(dir / "sub\\out.bmp"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(dir / "sub/out.bmp"));
}

TEST(CliOutput, TheExtensionChoosesTheFormatAndSaysSoWhenItNamesNone) {
  TempDir dir;
  auto r = RunCli("--size 8x4 -o " + Quoted(dir / "out.png"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(dir / "out.png").substr(0, 4), "\x89PNG");
  EXPECT_NE(r.err.find("(8 x 4, PNG)"), std::string::npos) << r.err;

  r = RunCli("--size 8x4 --quiet -o " + Quoted(dir / "out.gif"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err,
            "horizonmill-render: " + dir / "out.gif" +
                ": warning: the extension \".gif\" names no picture format; the image is "
                "written as JPEG (.png, .bmp, .jpg, .jpeg, .exr and .hdr choose the format)\n");
  EXPECT_EQ(ReadFile(dir / "out.gif").substr(0, 3), "\xff\xd8\xff");

  r = RunCli("--size 8x4 --quiet --quality 50 -o " + Quoted(dir / "q.bmp"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("warning: --quality applies to JPEG only; the image is written as BMP"),
            std::string::npos)
      << r.err;

  // --strict makes a warning an error before anything is rendered.
  r = RunCli("--size 8x4 --quiet --strict -o " + Quoted(dir / "strict"));
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "strict"));
}

// "-o -": the image on standard output, never a file; a link at an output
// name is replaced only when it stands for a regular file.
TEST(CliOutput, StandardOutputAndLinksAtTheOutputName) {
  TempDir dir;
  auto r = RunCli("--size 8x4 -o -");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, 4), "\x89PNG");
  EXPECT_NE(r.err.find("wrote standard output (8 x 4, PNG)"), std::string::npos) << r.err;
  r = RunCli("--size 8x4 --quiet --quality 40 --format jpg -o -");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, 3), "\xff\xd8\xff");
  EXPECT_EQ(r.err, "");
  r = RunCli("--size 8x4 --quiet --format bmp -o - --sun-json " + Quoted(dir / "sun.json"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, 2), "BM");
  EXPECT_TRUE(std::filesystem::exists(dir / "sun.json"));

  WriteFile(dir / "kept.jpg", "the file the link stands for");
  std::filesystem::create_symlink(dir / "kept.jpg", dir / "to-file.jpg");
  std::filesystem::create_symlink("/dev/null", dir / "to-device.jpg");
  r = RunCli("--size 8x4 --timings -o " + Quoted(dir / "to-device.jpg"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("is a symbolic link into /dev"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("sky"), std::string::npos) << r.err;  // before the render
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "to-device.jpg"));
  r = RunCli("--size 8x4 --quiet -o " + Quoted(dir / "to-file.jpg"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(std::filesystem::is_symlink(dir / "to-file.jpg"));
  EXPECT_EQ(ReadFile(dir / "kept.jpg"), "the file the link stands for");
}

TEST(CliOutput, TheJpegQualityIsTheWindowsUnlessGiven) {
  TempDir dir;
  WriteFile(dir / "h.INI", "[Horizonmill]\r\nJPEGQuality=30\r\n");
  ::setenv("HORIZONMILL_INI", (dir / "h.INI").c_str(), 1);
  auto r = RunCli("--size 64x32 --quiet -o " + Quoted(dir / "ini.jpg"));
  ::unsetenv("HORIZONMILL_INI");
  ASSERT_EQ(r.status, 0) << r.err;
  r = RunCli("--size 64x32 --quiet --quality 30 -o " + Quoted(dir / "thirty.jpg"));
  ASSERT_EQ(r.status, 0) << r.err;
  r = RunCli("--size 64x32 --quiet --quality 90 -o " + Quoted(dir / "ninety.jpg"));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(dir / "ini.jpg"), ReadFile(dir / "thirty.jpg"));
  EXPECT_NE(ReadFile(dir / "ini.jpg"), ReadFile(dir / "ninety.jpg"));
}

}  // namespace
}  // namespace horizonmill
