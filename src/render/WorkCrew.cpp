#include "render/WorkCrew.h"

#include <exception>

namespace horizonmill {

WorkCrew::WorkCrew(int threads) : threads_(std::max(threads, 1)) {}

WorkCrew::~WorkCrew() {
  closing_.store(true, std::memory_order_relaxed);
  generation_.fetch_add(1, std::memory_order_release);
  generation_.notify_all();
  // Joined here, while the atomics the workers touch last still exist.
  workers_.clear();
}

void WorkCrew::Begin(std::int64_t units, std::int64_t block, InvokeFn invoke, void* body) {
  invoke_ = invoke;
  body_ = body;
  units_ = units;
  block_ = block;
  blocks_ = (units - 1) / block + 1;
  next_.store(0, std::memory_order_relaxed);
  done_.store(0, std::memory_order_relaxed);
  stop_.store(false, std::memory_order_relaxed);
  finished_.store(0, std::memory_order_relaxed);
  // A job of one block is the caller's alone: no worker is woken for it.
  if (blocks_ < 2) {
    joined_ = 0;
    return;
  }
  const std::uint32_t generation = generation_.load(std::memory_order_relaxed);
  const std::int64_t wanted = std::min<std::int64_t>(threads_ - 1, blocks_ - 1);
  try {
    while (static_cast<std::int64_t>(workers_.size()) < wanted) {
      const int thread = static_cast<int>(workers_.size()) + 1;
      workers_.emplace_back([this, thread, generation] { Work(thread, generation); });
    }
  } catch (const std::exception&) {
    // Out of threads or memory: the workers there are (or the caller alone) do the job.
  }
  joined_ = static_cast<int>(workers_.size());
  generation_.fetch_add(1, std::memory_order_release);
  generation_.notify_all();
}

bool WorkCrew::RunBlock(int thread) {
  if (stop_.load(std::memory_order_relaxed)) return false;
  const std::int64_t b = next_.fetch_add(1, std::memory_order_relaxed);
  if (b >= blocks_) return false;
  const std::int64_t first = b * block_;
  const std::int64_t last = std::min(units_, first + block_);
  invoke_(body_, thread, first, last);
  done_.fetch_add(last - first, std::memory_order_release);
  return true;
}

void WorkCrew::Work(int thread, std::uint32_t generation) {
  for (;;) {
    generation_.wait(generation, std::memory_order_acquire);
    generation = generation_.load(std::memory_order_acquire);
    if (closing_.load(std::memory_order_relaxed)) return;
    while (RunBlock(thread)) {
      signal_.fetch_add(1, std::memory_order_release);
      signal_.notify_one();
    }
    finished_.fetch_add(1, std::memory_order_release);
    signal_.fetch_add(1, std::memory_order_release);
    signal_.notify_one();
  }
}

}  // namespace horizonmill
