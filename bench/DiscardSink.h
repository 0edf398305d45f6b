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

}  // namespace horizonmill
