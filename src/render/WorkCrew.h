// The threads inside one stage. A stage cuts its work into blocks (runs of
// columns or rows that never touch each other's pixels); the calling thread and
// up to Threads - 1 workers take the blocks in increasing order, each as soon as
// it is free. Only the calling thread reports progress, so the user interface's
// events, the progress value and the abort flag stay on the thread that started
// the render; an abort lets every thread finish the block it holds and start no
// other. Because each block is worked out exactly as a lone thread would, the
// pixels are the same for every thread count.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

namespace horizonmill {

class WorkCrew {
 public:
  // threads >= 1 (smaller values count as 1). The workers start at the first
  // Run that has a block for them, and stop when the crew is destroyed.
  explicit WorkCrew(int threads);
  ~WorkCrew();
  WorkCrew(const WorkCrew&) = delete;
  WorkCrew& operator=(const WorkCrew&) = delete;

  int Threads() const { return threads_; }

  // Runs body(thread, first, last) for the blocks [first, last) of `block`
  // units (the last one shorter) that cover [0, units). thread is 0 on the
  // calling thread and 1 .. Threads() - 1 on the workers, for scratch memory of
  // one's own, after each block a worker finishes while it waits for the last
  // ones, and in any case once every unit is done, the calling thread calls
  // progress(done) with the number of units finished so far (so the last call
  // says `units`); when that returns true, no further block is started and Run
  // returns false as soon as the blocks being worked on are finished. True when
  // every block ran and no report asked to stop. The body must not throw; it
  // runs on several threads at once.
  template <typename Body, typename Progress>
  bool Run(std::int64_t units, std::int64_t block, Body& body, Progress&& progress) {
    if (units <= 0) return true;
    block = std::max<std::int64_t>(block, 1);
    Begin(units, block, &Invoke<Body>, &body);
    bool stopped = false;
    std::int64_t reported = -1;
    auto report = [&] {
      reported = done_.load(std::memory_order_acquire);
      if (progress(reported)) {
        stopped = true;
        stop_.store(true, std::memory_order_relaxed);
      }
    };
    try {
      while (!stopped && RunBlock(0)) report();
      // The workers' last blocks; the caller keeps reporting while they run.
      WaitForWorkers([&] {
        if (!stopped) report();
      });
      // The workers may have taken every block, or finished the last ones
      // unseen: the last report is always the whole.
      if (!stopped && reported != units) report();
    } catch (...) {
      // A report that throws still leaves no worker inside the caller's body.
      stop_.store(true, std::memory_order_relaxed);
      WaitForWorkers([] {});
      throw;
    }
    return !stopped;
  }

  // Run without progress reports: every block runs.
  template <typename Body>
  void Run(std::int64_t units, std::int64_t block, Body& body) {
    Run(units, block, body, [](std::int64_t) { return false; });
  }

 private:
  using InvokeFn = void (*)(void* body, int thread, std::int64_t first, std::int64_t last);
  template <typename Body>
  static void Invoke(void* body, int thread, std::int64_t first, std::int64_t last) noexcept {
    (*static_cast<Body*>(body))(thread, first, last);
  }

  // Publishes a job and wakes the workers it has blocks for (starting them when
  // needed; a worker the system refuses to start is done without).
  void Begin(std::int64_t units, std::int64_t block, InvokeFn invoke, void* body);
  // Takes the next block and runs it; false when none is left or the job stopped.
  bool RunBlock(int thread);
  // Waits until every worker is done with the job, calling onSignal whenever
  // one finishes a block.
  template <typename OnSignal>
  void WaitForWorkers(OnSignal&& onSignal) {
    std::uint32_t seen = signal_.load(std::memory_order_acquire);
    while (finished_.load(std::memory_order_acquire) < joined_) {
      signal_.wait(seen, std::memory_order_acquire);
      seen = signal_.load(std::memory_order_acquire);
      onSignal();
    }
  }
  void Work(int thread, std::uint32_t generation);

  const int threads_;
  std::vector<std::jthread> workers_;

  // The current job, written by the calling thread before generation_ moves on.
  InvokeFn invoke_ = nullptr;
  void* body_ = nullptr;
  std::int64_t units_ = 0, block_ = 1, blocks_ = 0;
  // How many workers take part in the current job (all that were started).
  int joined_ = 0;

  std::atomic<std::int64_t> next_{0};  // the next block to take
  std::atomic<std::int64_t> done_{0};  // units finished
  std::atomic<bool> stop_{false};      // no further block (abort)
  std::atomic<bool> closing_{false};   // the crew is being destroyed
  std::atomic<int> finished_{0};       // workers done with the current job
  // Moves on with every job (and at the end); the workers wait on it.
  std::atomic<std::uint32_t> generation_{0};
  // Moves on whenever a worker finishes a block or the job; the caller waits on it.
  std::atomic<std::uint32_t> signal_{0};
};

}  // namespace horizonmill
