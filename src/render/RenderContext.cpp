#include "render/RenderContext.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

namespace horizonmill {

namespace {

// The count HORIZONMILL_THREADS gives, or nothing when it is unset or no
// count from 1 to kMaxRenderThreads.
std::optional<int> ThreadsFromEnvironment() {
  const char* text = std::getenv("HORIZONMILL_THREADS");
  if (text == nullptr) return std::nullopt;
  int n = 0;
  const char* end = text + std::strlen(text);
  const auto r = std::from_chars(text, end, n);
  if (r.ec == std::errc() && r.ptr == end && n >= 1 && n <= kMaxRenderThreads) return n;
  return std::nullopt;
}

}  // namespace

std::string RenderThreadsProblem() {
  const char* text = std::getenv("HORIZONMILL_THREADS");
  if (text == nullptr || ThreadsFromEnvironment()) return {};
  return "HORIZONMILL_THREADS is \"" + std::string(text) + "\", not a count from 1 to " +
         std::to_string(kMaxRenderThreads) + "; it is passed over (one thread per core is used)";
}

int DefaultRenderThreads() {
  if (const auto n = ThreadsFromEnvironment()) return *n;
  const unsigned hardware = std::thread::hardware_concurrency();
  if (hardware == 0) return 1;
  return hardware > kMaxRenderThreads ? kMaxRenderThreads : static_cast<int>(hardware);
}

bool RenderContext::PollUnits(long long done, long long n) {
  return PollProgress(ProgressPercent(done - 1, n));
}

RenderPort& RenderContext::NullPort() {
  static RenderPort port;
  return port;
}

}  // namespace horizonmill
