// Ctrl-C (SIGINT) and SIGTERM as a request to stop. The command-line renderer
// installs the handlers; the window installs none, so nothing is ever pending
// there. Long work looks at the request where it can stop cleanly: the render
// between its steps, the atomic writer before every block it writes (removing
// what it wrote), the readers before every block they read.
#pragma once

#include <stdexcept>
#include <string>

namespace horizonmill {

// Catches SIGINT and SIGTERM from now on. The handlers only note the signal;
// a system call that waits (reading a pipe) returns early, so a reader sees
// the request at once.
void InstallInterruptHandlers();
// The signal that asked to stop (SIGINT or SIGTERM), or 0.
int PendingInterrupt();
// Notes `signal` as if it had arrived (what the handlers do; tests use it).
// 0 forgets a pending request.
void RequestInterrupt(int signal);

// Thrown where long work stops for a pending interrupt. Whatever was being
// written has been removed.
class Interrupted : public std::runtime_error {
 public:
  explicit Interrupted(int signal);
  int Signal() const { return signal_; }
  // The exit status of a program that stops for the signal: 128 + its number
  // (130 for SIGINT, 143 for SIGTERM).
  int ExitStatus() const { return 128 + signal_; }

 private:
  int signal_;
};

// Throws Interrupted when an interrupt is pending.
void StopIfInterrupted();

}  // namespace horizonmill
