// The default scene's whole process (horizonmill-render writing the JPEG)
// beside the floor program (bench/floor.c: a gradient and libjpeg at quality
// 90), in pairs whose order alternates; the medians and their ratio.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "Figures.h"

extern char** environ;

namespace horizonmill {
namespace {

// Runs the program and waits for it; its wall time in milliseconds, or -1 when
// it could not run or failed.
double RunMilliseconds(std::vector<std::string> args) {
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

void BM_DefaultSceneBesideFloor(benchmark::State& state) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("horizonmill-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::vector<std::string> ours = {HORIZONMILL_CLI_PATH, "--quiet", "-o",
                                         (dir / "default.jpg").string()};
  const std::vector<std::string> floor = {HORIZONMILL_FLOOR_PATH, (dir / "floor.jpg").string()};
  std::vector<double> ours_ms, floor_ms;
  bool flip = false;
  for (auto _ : state) {
    flip = !flip;
    if (flip) floor_ms.push_back(RunMilliseconds(floor));
    ours_ms.push_back(RunMilliseconds(ours));
    if (!flip) floor_ms.push_back(RunMilliseconds(floor));
  }
  std::filesystem::remove_all(dir);
  if (std::min(Median(ours_ms), Median(floor_ms)) <= 0) {
    state.SkipWithError("a program failed");
    return;
  }
  bench::Figures& figures = bench::Gathered();
  figures.default_ms = Median(ours_ms);
  figures.floor_ms = Median(floor_ms);
  state.counters["default_ms"] = figures.default_ms;
  state.counters["floor_ms"] = figures.floor_ms;
  state.counters["ratio"] = figures.default_ms / figures.floor_ms;
}
BENCHMARK(BM_DefaultSceneBesideFloor)->Iterations(21)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace horizonmill
