// FillEmptyFile writes only into an existing, empty regular file, and touches
// nothing else.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/FillEmptyFile.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

TEST(FillEmptyFile, FillsOnlyAnEmptyRegularFile) {
  TempDir dir;
  WriteFile(dir / "empty", "");
  EXPECT_TRUE(FillEmptyFile(dir / "empty", "thumbnail"));
  EXPECT_EQ(ReadFile(dir / "empty"), "thumbnail");

  WriteFile(dir / "full", "kept");
  WriteFile(dir / "target", "");
  std::filesystem::create_symlink(dir / "target", dir / "link");
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  std::filesystem::create_directory(dir / "folder");
  for (const char* name : {"full", "link", "fifo", "folder", "missing"})
    EXPECT_FALSE(FillEmptyFile(dir / name, "thumbnail")) << name;
  EXPECT_EQ(ReadFile(dir / "full"), "kept");
  EXPECT_EQ(ReadFile(dir / "target"), "");  // a link's target is not reached
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

}  // namespace
}  // namespace horizonmill
