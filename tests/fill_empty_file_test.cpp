// FillEmptyFile writes only into an existing, empty regular file, and touches
// nothing else.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "platform/FileError.h"
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

// A disk that fills (a file size limit lowered, SIGXFSZ ignored, as the
// writer's tests do) leaves the file empty as the service handed it, whether
// the bytes pass the limit by one or by many.
TEST(FillEmptyFile, AFullDiskLeavesTheFileEmpty) {
  TempDir dir;
  const std::string thumbnail = dir / "thumbnail";
  for (const std::size_t bytes : {std::size_t{4097}, std::size_t{200000}}) {
    SCOPED_TRACE(bytes);
    WriteFile(thumbnail, "");
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    rlimit lowered = before;
    lowered.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &lowered);
    const auto signalBefore = std::signal(SIGXFSZ, SIG_IGN);
    EXPECT_THROW(FillEmptyFile(thumbnail, std::string(bytes, 'p')), FileError);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, signalBefore);
    EXPECT_EQ(ReadFile(thumbnail), "");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"thumbnail"});
  }
}

}  // namespace
}  // namespace horizonmill
