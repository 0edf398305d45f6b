// A write that may run on another thread than the one waiting for it: how far
// it has come, and the request to stop it. Whoever runs the write makes the
// progress with the flag that asks it to stop (the window's abort, set on its
// own thread); the atomic writer (platform/AtomicFile.h) looks at the flag
// before every block it writes and wherever it looks at an interrupt, and the
// encoders count the rows they have taken (ByteSink::EncodedRows), so the
// waiting thread can show a gauge.
#pragma once

#include <atomic>
#include <cstdint>
#include <stdexcept>

namespace horizonmill {

// Thrown where a write stops because it was asked to: whatever was being
// written has been removed, and the files that were there are as they were.
class WriteCancelled : public std::runtime_error {
 public:
  WriteCancelled();
};

class WriteProgress {
 public:
  // `stop`, when given, asks the write to stop while it is set; it outlives
  // the progress. Without it, nothing ever asks.
  explicit WriteProgress(const std::atomic<bool>* stop = nullptr) : stop_(stop) {}
  WriteProgress(const WriteProgress&) = delete;
  WriteProgress& operator=(const WriteProgress&) = delete;

  // The writer's side, on the thread that writes: `rows` more to be encoded
  // (planned before they are), `rows` more encoded.
  void Plan(std::int64_t rows) { planned_.fetch_add(rows, std::memory_order_relaxed); }
  void Advance(std::int64_t rows) { done_.fetch_add(rows, std::memory_order_relaxed); }
  // Throws WriteCancelled when the write is asked to stop.
  void StopIfAsked() const {
    if (StopAsked()) throw WriteCancelled();
  }

  // Either side, from any thread.
  bool StopAsked() const { return stop_ != nullptr && stop_->load(std::memory_order_relaxed); }
  std::int64_t Planned() const { return planned_.load(std::memory_order_relaxed); }
  std::int64_t Done() const { return done_.load(std::memory_order_relaxed); }
  // The rows encoded of those planned, 0 .. 100 (0 while none are planned).
  int Percent() const;

 private:
  const std::atomic<bool>* stop_;
  std::atomic<std::int64_t> planned_{0};
  std::atomic<std::int64_t> done_{0};
};

}  // namespace horizonmill
