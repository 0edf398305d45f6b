// The benchmark program: Google Benchmark's own steps, then the figures the
// benchmarks gathered, said plainly.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <string_view>

#include "Figures.h"
#include "RichExample.h"

namespace horizonmill::bench {
namespace {

// The spread that still counts as flat: the largest cost per pixel at most
// this many times the smallest.
constexpr double kFlat = 1.15;
constexpr double kFloorRatio = 1.2;
constexpr double kMemoryMib = 16;

std::string LoadAverage() {
  std::ifstream file("/proc/loadavg");
  std::string one, five, fifteen;
  file >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

}  // namespace

Figures& Gathered() {
  static Figures figures;
  return figures;
}

void PrintFigures(const Figures& f, std::FILE* out) {
  if (f.stage_ns_per_pixel.empty() && f.default_ms <= 0) return;
  std::fprintf(out, "\nFigures (load average now %s)\n", LoadAverage().c_str());
  if (!f.stage_ns_per_pixel.empty()) {
    std::fprintf(out,
                 "  Every-layer example on one thread: each stage's processor time per pixel, "
                 "ns (the least of the runs),\n  and the render's peak memory beyond the image "
                 "and reflection buffers\n    %-7s",
                 "width");
    for (const char* name : kStageNames) std::fprintf(out, "%11s", name);
    std::fprintf(out, "%15s\n", "beyond buffers");
    std::array<double, kStages> low, high;
    low.fill(1e300);
    high.fill(0);
    double most_memory = 0;
    for (const auto& [width, runs] : f.stage_ns_per_pixel) {
      std::fprintf(out, "    %-7d", width);
      for (int s = 0; s < kStages; ++s) {
        // The least of the runs: whatever else runs on the machine only adds.
        double least = 1e300;
        for (const auto& run : runs) least = std::min(least, run[s]);
        low[s] = std::min(low[s], least);
        high[s] = std::max(high[s], least);
        std::fprintf(out, "%11.2f", least);
      }
      const double mib = f.beyond_buffers_mib.at(width);
      most_memory = std::max(most_memory, mib);
      std::fprintf(out, "%11.1f MiB\n", mib);
    }
    std::fprintf(out, "    %-7s", "spread");
    bool flat = true;
    for (int s = 0; s < kStages; ++s) {
      const double spread = low[s] > 0 ? high[s] / low[s] : 1;
      // The stars are a fixed number whatever the size: their cost per pixel
      // only falls as the image grows.
      if (std::string_view(kStageNames[s]) != "stars") flat = flat && spread <= kFlat;
      std::fprintf(out, "%10.2fx", spread);
    }
    std::fprintf(out, "\n    (spread: largest / smallest; the stars, a fixed number, only fall)\n");
    std::fprintf(out, "    cost per pixel %s (every stage within %.2fx but the stars)\n",
                 flat ? "flat" : "NOT flat", kFlat);
    std::fprintf(out, "    peak memory beyond the buffers at most %.1f MiB (%s %.0f MiB)\n",
                 most_memory, most_memory <= kMemoryMib ? "within" : "BEYOND", kMemoryMib);
  }
  if (f.default_ms > 0 && f.floor_ms > 0) {
    const double ratio = f.default_ms / f.floor_ms;
    std::fprintf(out,
                 "  Default scene, whole process (horizonmill-render writing the JPEG): %.1f ms\n"
                 "    beside the floor (a C gradient fill and libjpeg at q90): %.1f ms\n"
                 "    ratio %.2f (%s %.1f)\n",
                 f.default_ms, f.floor_ms, ratio, ratio <= kFloorRatio ? "within" : "BEYOND",
                 kFloorRatio);
  }
}

}  // namespace horizonmill::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  using namespace horizonmill::bench;
  PrintFigures(Gathered(), stdout);
  return 0;
}
