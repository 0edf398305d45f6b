// Where an image may be written, by who chose the name, checked before the render.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>

#include "codecs/OutputTarget.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::TempDir;
using testing::WriteFile;

constexpr OutputSize kSmall{64, 32};

// A scene may name any file by an absolute name or "..\": its name only
// makes new files; the user's name replaces any regular file.
TEST(OutputTarget, TheSceneReplacesNothingTheUserAnyRegularFile) {
  TempDir dir;
  WriteFile(dir / "old.bmp", std::string("BM\x36\x00", 4));
  WriteFile(dir / "old.jpg", "\xFF\xD8\xFF\xE0");
  WriteFile(dir / "old.png", "\x89PNG\r\n\x1a\n");
  WriteFile(dir / "old.exr", std::string("\x76\x2f\x31\x01\x02\0\0\0", 8));
  WriteFile(dir / "old.hdr", "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n");
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
      {"absent.jpg", true, true},  {"old.bmp", false, true},  {"old.jpg", false, true},
      {"old.png", false, true},    {"empty", false, true},    {"notes.txt", false, true},
      {"short", false, true},      {"fifo", false, false},    {"folder", false, false},
      {"to-picture", false, true}, {"to-notes", false, true}, {"to-fifo", false, false},
      {"dangling", false, false},  {"old.exr", false, true},  {"old.hdr", false, true},
  };
  for (const auto& c : cases) {
    const std::string path = dir / c.name;
    const auto scene = CheckOutputTarget(path, OutputOrigin::SceneFile, kSmall, ImageFormat::Png);
    const auto named = CheckOutputTarget(path, OutputOrigin::Named, kSmall, ImageFormat::Png);
    EXPECT_EQ(!scene, c.fromScene) << c.name << ": " << scene.value_or("");
    EXPECT_EQ(!named, c.named) << c.name << ": " << named.value_or("");
    if (scene) {
      EXPECT_EQ(scene->substr(0, path.size() + 2), path + ": ");
    }
  }
  EXPECT_EQ(CheckOutputTarget(dir / "old.png", OutputOrigin::SceneFile, kSmall, ImageFormat::Png),
            dir / "old.png" + ": exists, and the scene's output name never replaces a file");
  // The check makes nothing.
  EXPECT_FALSE(std::filesystem::exists(dir / "absent.jpg"));
}

TEST(OutputTarget, WhatCannotBeWrittenIsSaidWithItsReason) {
  TempDir dir;
  WriteFile(dir / "file.txt", "text");
  constexpr auto kJpeg = ImageFormat::Jpeg;
  const struct {
    std::string path;
    OutputSize size;
    std::optional<ImageFormat> format;  // nothing: no picture
    std::string reason;                 // empty: accepted
  } cases[] = {
      {"C:/pictures/sky.jpg", kSmall, kJpeg,
       "a Windows drive-letter name, which cannot exist here"},
      {dir / "missing/out.jpg", kSmall, kJpeg, "the folder " + dir / "missing/ does not exist"},
      {dir / "file.txt/out.jpg", kSmall, kJpeg, dir / "file.txt/ is no folder"},
      {dir / "sub/", kSmall, kJpeg, "ends in \"/\", so it names a folder"},
      // Nobody, root included, makes files in /proc.
      {"/proc/horizonmill-test.jpg", kSmall, kJpeg, "cannot be written: "},
      {"/proc/horizonmill-test.json", kSmall, std::nullopt, "cannot be written: "},
      // The JPEG library takes at most 65500 pixels a side; PNG and BMP have no such limit.
      {dir / "wide.jpg",
       {65501, 16},
       kJpeg,
       "a JPEG picture can be at most 65500 pixels a side, and "
       "this one would be 65501 x 16"},
      {dir / "tall.jpeg", {16, 65501}, kJpeg, "would be 16 x 65501"},
      {dir / "edge.jpg", {65500, 65500}, kJpeg, ""},
      {dir / "wide.png", {65501, 16}, ImageFormat::Png, ""},
      {dir / "wide.bmp", {65535, 16}, ImageFormat::Bmp, ""},
      // The format decides, not the name: a thumbnail is PNG whatever its name
      // says; a file that holds no picture has no side to check.
      {dir / "thumbnail", {65501, 16}, ImageFormat::Png, ""},
      {dir / "named.png", {65501, 16}, kJpeg, "would be 65501 x 16"},
      {dir / "sun.json", {65501, 16}, std::nullopt, ""},
  };
  for (const auto& c : cases) {
    const auto problem = CheckOutputTarget(c.path, OutputOrigin::Named, c.size, c.format);
    if (c.reason.empty()) {
      EXPECT_FALSE(problem) << *problem;
      continue;
    }
    ASSERT_TRUE(problem) << c.path;
    EXPECT_EQ(problem->rfind(c.path + ": ", 0), 0u) << *problem;
    EXPECT_NE(problem->find(c.reason), std::string::npos) << *problem;
  }
}

}  // namespace
}  // namespace horizonmill
