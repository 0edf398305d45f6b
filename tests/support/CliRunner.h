// Runs the command-line renderer and captures its exit status and output.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/TempDir.h"

namespace horizonmill::testing {

struct CliResult {
  int status = -1;
  std::string out, err;
};

// `args` is appended to the program name as a shell command line; `environment`
// (NAME=value ...) goes before it.
inline CliResult RunCli(const std::string& args, const std::string& environment = "") {
  TempDir capture;
  const std::string out = capture / "stdout", err = capture / "stderr";
  const std::string command = environment + " '" + HORIZONMILL_CLI_PATH + "' " + args + " >'" +
                              out + "' 2>'" + err + "' </dev/null";
  const int raw = std::system(command.c_str());
  CliResult r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = ReadFile(out);
  r.err = ReadFile(err);
  return r;
}

}  // namespace horizonmill::testing
