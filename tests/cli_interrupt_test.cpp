// Ctrl-C during a render: the command stops and writes nothing.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/TempDir.h"

extern char** environ;

namespace horizonmill {
namespace {

using testing::TempDir;
using testing::WriteFile;

TEST(CliInterrupt, CtrlCStopsTheRenderAndWritesNothing) {
  TempDir dir;
  // Twenty million stars: many seconds of work, polled after every star.
  WriteFile(
      dir / "slow.hm",
      "Stars_NumberOfStars 20000000\r\nStars_SizeOfStars 1.0\r\nOutput_Resolution 1024 512\r\n");
  const std::string scene = dir / "slow.hm", out = dir / "slow.jpg", quiet = "--quiet", o = "-o";
  char* argv[] = {const_cast<char*>(HORIZONMILL_CLI_PATH),
                  const_cast<char*>(scene.c_str()),
                  const_cast<char*>(o.c_str()),
                  const_cast<char*>(out.c_str()),
                  const_cast<char*>(quiet.c_str()),
                  nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, HORIZONMILL_CLI_PATH, nullptr, nullptr, argv, environ), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  ASSERT_EQ(kill(pid, SIGINT), 0);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal instead of stopping";
  EXPECT_EQ(WEXITSTATUS(status), 130);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"slow.hm"});
}

}  // namespace
}  // namespace horizonmill
