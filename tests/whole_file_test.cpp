// Reading whole files: what is no regular file is refused without waiting,
// and a FIFO that may be read is read from its writer.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <thread>

#include "platform/WholeFile.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::TempDir;

TEST(WholeFile, WhatIsNoRegularFileIsRefusedWithoutWaiting) {
  TempDir dir;
  // Nobody ever writes to the FIFO: opening it for reading would wait for ever.
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  std::filesystem::create_directory(dir / "folder");
  for (const std::string& path : {dir / "fifo", dir / "folder", std::string("/dev/null")}) {
    try {
      ReadWholeFile(path);
      ADD_FAILURE() << path << " was read";
    } catch (const FileError& e) {
      EXPECT_EQ(e.Path(), path);
      EXPECT_EQ(e.Reason(), "not a regular file");
    }
  }
}

TEST(WholeFile, AFifoOpenedBeforeItsWriterIsReadFromTheWriter) {
  TempDir dir;
  const std::string fifo = dir / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] {
    // A writer opening without waiting succeeds only once the reader has the FIFO open.
    int fd;
    while ((fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0 && errno == ENXIO)
      std::this_thread::yield();
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "RandomSeed 1\r\n", 14), 14);
    ::close(fd);
  });
  WholeFileRules anyFile;
  anyFile.regularOnly = false;
  EXPECT_EQ(ReadWholeFile(fifo, anyFile), "RandomSeed 1\r\n");
  writer.join();
}

}  // namespace
}  // namespace horizonmill
