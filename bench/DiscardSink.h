// A sink that throws the bytes away: the benchmarks measure the encoders, not a disk.
#pragma once

#include <cstddef>

#include "platform/ByteSink.h"

namespace horizonmill {

class DiscardSink : public ByteSink {
 public:
  using ByteSink::Write;
  void Write(const void*, std::size_t) override {}
};

// The same, counting the bytes: the size of the file that would have been.
class CountingSink : public ByteSink {
 public:
  using ByteSink::Write;
  void Write(const void*, std::size_t size) override { bytes += size; }
  std::size_t bytes = 0;
};

}  // namespace horizonmill
