// Memory for the large pixel buffers (the work bitmaps of a render): asked of
// the system in huge pages where it offers them, so that the first touch of a
// bitmap of many megabytes costs a few page faults instead of thousands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace horizonmill {

struct LargeBlockDeleter {
  void operator()(std::uint8_t* block) const;
};
using LargeBlock = std::unique_ptr<std::uint8_t[], LargeBlockDeleter>;

// `bytes` bytes, contents undefined; empty when memory runs out.
LargeBlock AllocateLargeBlock(std::size_t bytes);

}  // namespace horizonmill
