// SIGINT (Ctrl-C) and SIGTERM while the command renders or writes: it stops, exits with 130 or 143,
// says that nothing was written, and leaves nothing behind; kill -9 while it writes leaves the old
// file alone too.
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

// A FIFO as the scene or as the program's INI file is no file to read: it is
// refused at once, without waiting for a writer, so no signal is needed to
// end the program.
TEST(CliInterrupt, AFifoAsTheSceneOrTheProgramIniIsRefusedWithoutWaiting) {
  for (const bool programIni : {false, true}) {
    SCOPED_TRACE(programIni ? "the program INI" : "the scene");
    TempDir dir;
    const std::string fifo = dir / (programIni ? "horizonmill.INI" : "scene.hm");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::vector<std::string> args{"--quiet", "--size", "8x4", "-o", dir / "out.jpg"};
    if (!programIni) args.insert(args.begin(), fifo);
    CliProcess cli(args, {"HORIZONMILL_INI=" + (programIni ? fifo : dir / "none.INI")});
    ASSERT_TRUE(cli.Started());
    cli.Wait();
    EXPECT_EQ(cli.Status(), 1) << cli.Err();
    EXPECT_NE(cli.Err().find(fifo + ": not a regular file"), std::string::npos) << cli.Err();
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{programIni ? "horizonmill.INI" : "scene.hm"});
  }
}

}  // namespace
}  // namespace horizonmill
