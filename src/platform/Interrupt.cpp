#include "platform/Interrupt.h"

#include <signal.h>

#include <csignal>
#include <cstring>

namespace horizonmill {
namespace {

volatile std::sig_atomic_t g_pending = 0;

extern "C" void OnInterrupt(int signal) { g_pending = signal; }

}  // namespace

void InstallInterruptHandlers() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a read that waits on a pipe returns with EINTR, so the
  // reader can stop instead of waiting for data that may never come.
  action.sa_flags = 0;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

int PendingInterrupt() { return g_pending; }

void RequestInterrupt(int signal) { g_pending = signal; }

Interrupted::Interrupted(int signal)
    : std::runtime_error(std::string("interrupted by ") + (signal == SIGINT ? "SIGINT"
                                                           : signal == SIGTERM
                                                               ? "SIGTERM"
                                                               : ::strsignal(signal))),
      signal_(signal) {}

void StopIfInterrupted() {
  if (const int signal = PendingInterrupt()) throw Interrupted(signal);
}

}  // namespace horizonmill
