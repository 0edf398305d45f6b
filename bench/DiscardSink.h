// A sink that counts the bytes and throws them away: the benchmarks measure the
// encoders, not a disk.
#pragma once

#include <cstddef>

#include "platform/ByteSink.h"

namespace horizonmill {

class DiscardSink : public ByteSink {
 public:
  using ByteSink::Write;
  void Write(const void*, std::size_t size) override { bytes_ += size; }
  std::size_t Bytes() const { return bytes_; }

 private:
  std::size_t bytes_ = 0;
};

}  // namespace horizonmill
