// SIGINT (Ctrl-C) and SIGTERM while the command loads, renders or writes: it
// stops, exits with 130 or 143, says that nothing was written, and leaves
// nothing behind; kill -9 while it writes leaves the old file alone too.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "support/CliProcess.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::CliProcess;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

struct SignalCase {
  int signal;
  int status;  // -1: the signal ends the program
};
constexpr SignalCase kStops[] = {{SIGINT, 130}, {SIGTERM, 143}};

void Pause() { std::this_thread::sleep_for(std::chrono::microseconds(200)); }

void ExpectStoppedCleanly(CliProcess& cli, const SignalCase& c) {
  cli.Wait();
  if (c.status < 0) {
    EXPECT_EQ(cli.EndingSignal(), c.signal);
    return;
  }
  EXPECT_EQ(cli.Status(), c.status) << cli.Err();
  EXPECT_NE(cli.Err().find("nothing was written"), std::string::npos) << cli.Err();
}

TEST(CliInterrupt, CtrlCStopsTheRenderAndWritesNothing) {
  TempDir dir;
  // Twenty million stars: many seconds of work, polled after every star.
  WriteFile(
      dir / "slow.hm",
      "Stars_NumberOfStars 20000000\r\nStars_SizeOfStars 1.0\r\nOutput_Resolution 1024 512\r\n");
  CliProcess cli({dir / "slow.hm", "-o", dir / "slow.jpg", "--quiet"});
  ASSERT_TRUE(cli.Started());
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  ASSERT_TRUE(cli.Signal(SIGINT));
  ExpectStoppedCleanly(cli, kStops[0]);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"slow.hm"});
}

TEST(CliInterrupt, DuringTheWriteTheOldFileStaysAndNothingIsLeftBeside) {
  for (const SignalCase& c : {kStops[0], kStops[1], SignalCase{SIGKILL, -1}}) {
    SCOPED_TRACE(strsignal(c.signal));
    TempDir dir;
    const std::string out = dir / "out.bmp";
    WriteFile(out, "BM old");
    // A 54 MB picture: its writing takes a good while after the file opens.
    CliProcess cli({"--size", "6000x3000", "--quiet", "-o", out});
    ASSERT_TRUE(cli.Started());
    while (cli.OpenFileUnder(dir.Path()).empty()) {
      ASSERT_FALSE(cli.Ended()) << "it ended before it was seen writing: " << cli.Err();
      Pause();
    }
    ASSERT_TRUE(cli.Signal(c.signal));
    ExpectStoppedCleanly(cli, c);
    EXPECT_EQ(ReadFile(out), "BM old");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out.bmp"});
  }
}

TEST(CliInterrupt, WhileTheSceneLoadsTheLoadingStops) {
  for (const SignalCase& c : kStops) {
    SCOPED_TRACE(strsignal(c.signal));
    TempDir dir;
    // The scene comes through a pipe that is never closed, so the program
    // waits in its reading until it is stopped.
    const std::string scene = dir / "scene.hm";
    ASSERT_EQ(::mkfifo(scene.c_str(), 0600), 0);
    CliProcess cli({scene, "--quiet", "-o", dir / "out.jpg"});
    ASSERT_TRUE(cli.Started());
    int pipe = -1;
    while ((pipe = ::open(scene.c_str(), O_WRONLY | O_NONBLOCK)) < 0) {
      ASSERT_EQ(errno, ENXIO);  // nobody reads yet
      ASSERT_FALSE(cli.Ended()) << cli.Err();
      Pause();
    }
    ASSERT_EQ(::write(pipe, "RandomSeed 1\r\n", 14), 14);
    // A signal that comes just before the reading starts to wait is seen at
    // the next one; so it is repeated until the program has stopped.
    for (int i = 0; i < 5000 && !cli.Ended(); ++i) {
      cli.Signal(c.signal);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ::close(pipe);
    ExpectStoppedCleanly(cli, c);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"scene.hm"});
  }
}

}  // namespace
}  // namespace horizonmill
