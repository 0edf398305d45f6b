// The advisory lock that registration, listing and removal hold on a host.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/FileError.h"
#include "platform/FileLock.h"
#include "platform/Interrupt.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::TempDir;
using testing::WriteFile;

// Whether another open file description could take the lock now.
bool Free(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  return free;
}

TEST(FileLock, HeldAgainstEveryOtherOpenerUntilItGoes) {
  TempDir dir;
  const std::string path = dir / "host.ini.lock";
  {
    const FileLock lock(path);
    EXPECT_TRUE(std::filesystem::is_regular_file(path));
    EXPECT_FALSE(Free(path));  // another opener in this very process waits
  }
  EXPECT_TRUE(Free(path));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"host.ini.lock"});  // the file stays

  // A second holder gets it once the first has let go.
  std::atomic<int> order{0};
  int secondSaw = -1;
  std::thread second;
  {
    const FileLock first(path);
    second = std::thread([&] {
      const FileLock lock(path);
      secondSaw = order.load();
    });
    order = 1;  // the second cannot have the lock before this
  }
  second.join();
  EXPECT_EQ(secondSaw, 1);
}

TEST(FileLock, OnlyARegularFileServes) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  std::filesystem::create_directory(dir / "folder");
  WriteFile(dir / "target", "");
  std::filesystem::create_symlink(dir / "target", dir / "link");
  for (const char* name : {"fifo", "folder", "link", "missing/x.lock"}) {
    try {
      const FileLock lock(dir / name);
      ADD_FAILURE() << name << " was taken";
    } catch (const FileError& e) {
      EXPECT_EQ(e.Path(), dir / name);
    }
  }
}

extern "C" void NoteSignal(int) {}

TEST(FileLock, AnInterruptEndsTheWait) {
  TempDir dir;
  const std::string path = dir / "lock";
  // A signal without restarting, as the command line's handlers are.
  struct sigaction action {
  }, old{};
  action.sa_handler = NoteSignal;
  sigaction(SIGUSR1, &action, &old);
  std::atomic<bool> ended{false};
  bool interrupted = false;
  {
    const FileLock held(path);
    std::thread waiter([&] {
      try {
        const FileLock lock(path);
      } catch (const Interrupted&) {
        interrupted = true;
      }
      ended = true;
    });
    RequestInterrupt(SIGINT);
    // A signal that comes before the waiter waits is not seen: repeat.
    while (!ended) {
      pthread_kill(waiter.native_handle(), SIGUSR1);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    waiter.join();
  }
  RequestInterrupt(0);
  sigaction(SIGUSR1, &old, nullptr);
  EXPECT_TRUE(interrupted);
  EXPECT_TRUE(Free(path));
}

}  // namespace
}  // namespace horizonmill
