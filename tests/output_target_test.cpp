// Where an image may be written, by who chose the name.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "output/OutputTarget.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::TempDir;
using testing::WriteFile;

TEST(OutputTarget, TheSceneReplacesOnlyPicturesTheUserAnyRegularFile) {
  TempDir dir;
  WriteFile(dir / "old.bmp", "BM\x36\x00");
  WriteFile(dir / "old.jpg", "\xFF\xD8\xFF\xE0");
  WriteFile(dir / "empty", "");
  WriteFile(dir / "notes.txt", "my notes");
  WriteFile(dir / "short", "B");
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  std::filesystem::create_directory(dir / "folder");
  std::filesystem::create_symlink(dir / "old.bmp", dir / "to-picture");
  std::filesystem::create_symlink(dir / "notes.txt", dir / "to-notes");
  std::filesystem::create_symlink(dir / "fifo", dir / "to-fifo");
  std::filesystem::create_symlink(dir / "nowhere", dir / "dangling");
  const struct {
    const char* name;
    bool fromScene, named;  // accepted with either origin
  } cases[] = {
      {"absent.jpg", true, true}, {"old.bmp", true, true},    {"old.jpg", true, true},
      {"empty", true, true},      {"notes.txt", false, true}, {"short", false, true},
      {"fifo", false, false},     {"folder", false, false},   {"to-picture", true, true},
      {"to-notes", false, true},  {"to-fifo", false, true},   {"dangling", true, true},
  };
  for (const auto& c : cases) {
    const std::string path = dir / c.name;
    const auto scene = CheckOutputTarget(path, OutputOrigin::SceneFile);
    const auto named = CheckOutputTarget(path, OutputOrigin::Named);
    EXPECT_EQ(!scene, c.fromScene) << c.name << ": " << scene.value_or("");
    EXPECT_EQ(!named, c.named) << c.name << ": " << named.value_or("");
    if (scene) {
      EXPECT_EQ(scene->substr(0, path.size() + 2), path + ": ");
    }
  }
  EXPECT_EQ(CheckOutputTarget(dir / "notes.txt", OutputOrigin::SceneFile),
            dir / "notes.txt" +
                ": exists and is not a BMP or JPEG picture, so the scene's output name does not "
                "replace it");
}

}  // namespace
}  // namespace horizonmill
