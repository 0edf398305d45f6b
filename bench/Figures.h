// The figures the renderer is held to, gathered while the benchmarks run and
// printed plainly once they are done (bench/BenchMain.cpp): each stage's cost
// per pixel by image size with its spread, the render's peak memory beyond its
// buffers, and the default scene's whole process beside the floor program.
#pragma once

#include <array>
#include <cstdio>
#include <map>
#include <vector>

namespace horizonmill::bench {

inline constexpr int kStages = 7;  // sky .. objects, as kStageNames

struct Figures {
  // By image width: each stage's nanoseconds per pixel, one entry per run.
  std::map<int, std::vector<std::array<double, kStages>>> stage_ns_per_pixel;
  // By image width: the largest peak memory beyond the buffers, in MiB.
  std::map<int, double> beyond_buffers_mib;
  // Medians of the whole processes, in milliseconds (0: not measured).
  double default_ms = 0, floor_ms = 0;
};

// What the benchmarks of this run have gathered.
Figures& Gathered();

// Prints what was gathered (nothing when no benchmark gathered anything).
void PrintFigures(const Figures& figures, std::FILE* out);

}  // namespace horizonmill::bench
