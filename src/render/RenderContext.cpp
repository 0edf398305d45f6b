#include "render/RenderContext.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace horizonmill {

int DefaultRenderThreads() {
  if (const char* text = std::getenv("HORIZONMILL_THREADS")) {
    int n = 0;
    const char* end = text + std::strlen(text);
    const auto r = std::from_chars(text, end, n);
    if (r.ec == std::errc() && r.ptr == end && n >= 1 && n <= kMaxRenderThreads) return n;
  }
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
