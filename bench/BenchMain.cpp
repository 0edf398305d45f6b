// The benchmark program: Google Benchmark's own steps, then the figures the
// benchmarks gathered, said plainly.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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
    // By size, smallest first: each stage's least cost of the runs (whatever
    // else runs on the machine only adds).
    std::vector<std::array<double, kStages>> costs;
    double most_memory = 0;
    for (const auto& [width, runs] : f.stage_ns_per_pixel) {
      std::array<double, kStages>& least = costs.emplace_back();
      least.fill(1e300);
      std::fprintf(out, "    %-7d", width);
      for (int s = 0; s < kStages; ++s) {
        for (const auto& run : runs) least[s] = std::min(least[s], run[s]);
        std::fprintf(out, "%11.2f", least[s]);
      }
      const double mib = f.beyond_buffers_mib.at(width);
      most_memory = std::max(most_memory, mib);
      std::fprintf(out, "%11.1f MiB\n", mib);
    }
    // spread: the largest cost over the smallest; rise: the most a larger size
    // costs per pixel over a smaller one (a cliff shows there).
    std::array<double, kStages> spread, rise;
    std::string wide, rising;
    for (int s = 0; s < kStages; ++s) {
      double low = 1e300, high = 0, least_so_far = 1e300;
      rise[s] = 0;
      for (const auto& c : costs) {
        low = std::min(low, c[s]);
        high = std::max(high, c[s]);
        if (least_so_far < 1e300) rise[s] = std::max(rise[s], c[s] / least_so_far);
        least_so_far = std::min(least_so_far, c[s]);
      }
      spread[s] = low > 0 ? high / low : 1;
      if (rise[s] > kFlat) rising += std::string(" ") + kStageNames[s];
      // The stars are a fixed number whatever the size: their cost per pixel
      // only falls as the image grows.
      if (spread[s] > kFlat && std::string_view(kStageNames[s]) != "stars")
        wide += std::string(" ") + kStageNames[s];
    }
    for (const auto& [label, row] : {std::pair{"spread", &spread}, std::pair{"rise", &rise}}) {
      std::fprintf(out, "    %-7s", label);
      for (const double v : *row) std::fprintf(out, "%10.2fx", v);
      std::fprintf(out, "\n");
    }
    std::fprintf(out,
                 "    (spread: the largest over the smallest; rise: the most a larger size costs "
                 "over a smaller one)\n");
    std::fprintf(out, "    no stage dearer per pixel at a larger size by more than %.2fx: %s\n",
                 kFlat, rising.empty() ? "yes" : ("NO," + rising).c_str());
    std::fprintf(out, "    every stage but the stars (a fixed number) within %.2fx: %s\n", kFlat,
                 wide.empty() ? "yes" : ("NO," + wide).c_str());
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
