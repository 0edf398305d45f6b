// The command-line renderer's output against what happens around it while it
// runs: a reader of standard output that stalls, reads slowly or goes away,
// and names that are no picture or given twice.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/CliProcess.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::CliProcess;
using testing::ReadFile;
using testing::RunCli;
using testing::TempDir;
using testing::WriteFile;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Standard output into a pipe whose reader stalls, or takes 4 KiB every 50
// ms: SIGINT and SIGTERM still stop the writing, with the interrupt's status.
TEST(CliOutputFaults, AStalledOrSlowReaderOfStandardOutputStillHearsSignals) {
  const struct {
    int signal;
    int status;
    bool reads;  // the reader reads slowly; else it never reads
  } cases[] = {
      {SIGINT, 130, false}, {SIGTERM, 143, false}, {SIGINT, 130, true}, {SIGTERM, 143, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(strsignal(c.signal)) + (c.reads ? ", slow reader" : ", stalled"));
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    // An uncompressed 6 MB picture: far more than a pipe holds.
    CliProcess cli({"--size", "2000x1000", "--quiet", "-o", "-", "--format", "bmp"}, {}, ends[1]);
    ::close(ends[1]);
    ASSERT_TRUE(cli.Started());
    std::atomic<bool> stop{false};
    std::atomic<long> read{0};
    std::thread reader([&] {
      char block[4096];
      while (c.reads && !stop) {
        const ssize_t n = ::read(ends[0], block, sizeof block);
        if (n <= 0) break;
        read += n;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
    });
    // The writing has begun once the pipe holds bytes, or they are read.
    for (int queued = 0; queued < 4096 && read == 0;) {
      ASSERT_FALSE(cli.Ended()) << cli.Err();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      ::ioctl(ends[0], FIONREAD, &queued);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_TRUE(cli.Signal(c.signal));
    cli.Wait();
    stop = true;
    reader.join();
    ::close(ends[0]);
    EXPECT_EQ(cli.Status(), c.status) << cli.Err();
    EXPECT_TRUE(Has(cli.Err(), "interrupted by")) << cli.Err();
  }
}

// Smaller faults, each told as what it is.
TEST(CliOutputFaults, SmallerFaultsAreToldAsWhatTheyAre) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo.bmp").c_str(), 0600), 0);
  ASSERT_EQ(::mkdir((dir / "folder.bmp").c_str(), 0700), 0);
  int scenes = 0;
  auto sceneWithObject = [&](const std::string& picture) {
    std::string scene = dir / ("object" + std::to_string(++scenes) + ".hm");
    WriteFile(scene, "Output_Resolution 64 32\r\nObjects_CreateObject Far\r\nObjects_Filename " +
                         picture + "\r\n");
    return scene;
  };
  const std::string out = "'" + (dir / "out.png") + "'";
  const struct {
    std::string name;
    std::string args;
    std::string environment;
    int status;
    std::string told;
    std::string notTold;
  } cases[] = {
      {"-o twice", "--size 64x32 -o " + out + " -o '" + (dir / "b.png") + "'", "", 2,
       "-o names one image a run, and it was given twice", ""},
      {"no thread count", "--size 64x32 --strict -o " + out, "HORIZONMILL_THREADS=0", 1,
       "warning: HORIZONMILL_THREADS is \"0\", not a count from 1 to 256", ""},
      {"no number", "--size 64x32 -o " + out, "HORIZONMILL_THREADS=abc", 0,
       "warning: HORIZONMILL_THREADS is \"abc\"", ""},
      {"--threads decides", "--size 64x32 --threads 2 --strict -o " + out,
       "HORIZONMILL_THREADS=abc", 0, "", "HORIZONMILL_THREADS"},
      {"a FIFO as a picture", sceneWithObject(dir / "fifo.bmp") + " -o " + out, "", 1,
       "fifo.bmp is a FIFO, not a regular file", "not found"},
      {"a folder as a picture", sceneWithObject(dir / "folder.bmp") + " -o " + out, "", 1,
       "folder.bmp is a folder, not a regular file", "not found"},
      {"a device as a picture", sceneWithObject("/dev/null") + " -o " + out, "", 1,
       "/dev/null is a device, not a regular file", "not found"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = RunCli(c.args, c.environment);
    EXPECT_EQ(r.status, c.status) << r.err;
    // An empty text is found in any message, and a case without one said
    // nothing that must be missing.
    EXPECT_TRUE(Has(r.err, c.told)) << r.err;
    if (!c.notTold.empty()) {
      EXPECT_FALSE(Has(r.err, c.notTold)) << r.err;
    }
  }
  // A reader that goes away early is said to have, not a full disk, for
  // every format.
  for (const char* format : {"jpg", "png", "bmp"}) {
    SCOPED_TRACE(format);
    const std::string err = dir / "err.txt";
    const std::string command = std::string("'") + HORIZONMILL_CLI_PATH +
                                "' --size 3000x1500 --quiet -o - --format " + format + " 2>'" +
                                err + "' | head -c 10 >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(Has(ReadFile(err), "standard output: the reader closed the pipe")) << ReadFile(err);
    EXPECT_FALSE(Has(ReadFile(err), "disk space")) << ReadFile(err);
  }
}

}  // namespace
}  // namespace horizonmill
