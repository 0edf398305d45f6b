// The command-line renderer as a child process, for tests that act on it while
// it runs (signals) or measure it (its peak resident memory, from wait4).
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

extern char** environ;

namespace horizonmill::testing {

class CliProcess {
 public:
  // Starts the program with `args`; `env` adds NAME=value entries to the
  // environment. Standard error goes to a file, standard input is /dev/null,
  // standard output to `out` (a pipe's end, say), else /dev/null.
  explicit CliProcess(const std::vector<std::string>& args,
                      const std::vector<std::string>& env = {}, int out = -1) {
    std::vector<std::string> all{HORIZONMILL_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(all.size() + 1);
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStrings(env);
    for (char** e = environ; *e != nullptr; ++e) envStrings.emplace_back(*e);
    std::vector<char*> envp;
    envp.reserve(envStrings.size() + 1);
    for (std::string& e : envStrings) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (out >= 0)
      posix_spawn_file_actions_adddup2(&actions, out, 1);
    else
      posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&pid_, HORIZONMILL_CLI_PATH, &actions, nullptr, argv.data(), envp.data()) != 0)
      pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~CliProcess() {
    if (pid_ > 0 && !ended_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  pid_t Pid() const { return pid_; }
  bool Started() const { return pid_ > 0; }
  bool Signal(int signal) const { return ::kill(pid_, signal) == 0; }
  // True once the program has ended (it is then waited for).
  bool Ended() {
    if (!ended_) Reap(WNOHANG);
    return ended_;
  }
  // Waits for the end.
  void Wait() {
    if (!ended_) Reap(0);
  }

  // After the end: the exit status, or -1 when a signal ended it.
  int Status() const { return WIFEXITED(raw_) ? WEXITSTATUS(raw_) : -1; }
  int EndingSignal() const { return WIFSIGNALED(raw_) ? WTERMSIG(raw_) : 0; }
  long PeakResidentKiB() const { return usage_.ru_maxrss; }
  std::string Err() const { return ReadFile(err_); }

  // The first file the program holds open under `folder` (the output being
  // written), or an empty path.
  std::filesystem::path OpenFileUnder(const std::filesystem::path& folder) const {
    std::error_code ec;
    const std::string prefix = folder.string() + "/";
    for (const auto& fd :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid_) + "/fd", ec)) {
      auto target = std::filesystem::read_symlink(fd.path(), ec);
      if (!ec && target.string().rfind(prefix, 0) == 0) return target;
    }
    return {};
  }

 private:
  void Reap(int options) {
    if (::wait4(pid_, &raw_, options, &usage_) == pid_) ended_ = true;
  }

  TempDir capture_;
  std::string err_ = capture_ / "stderr";
  pid_t pid_ = -1;
  bool ended_ = false;
  int raw_ = 0;
  struct rusage usage_ {};
};

}  // namespace horizonmill::testing
