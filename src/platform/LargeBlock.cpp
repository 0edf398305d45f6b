#include "platform/LargeBlock.h"

#include <sys/mman.h>

#include <cstdlib>

namespace horizonmill {
namespace {

// The size of a huge page on the machines we run on; a block smaller than one
// is allocated as usual.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

void LargeBlockDeleter::operator()(std::uint8_t* block) const { std::free(block); }

LargeBlock AllocateLargeBlock(std::size_t bytes) {
  if (bytes < kHugePage)
    return LargeBlock(static_cast<std::uint8_t*>(std::malloc(bytes == 0 ? 1 : bytes)));
  // Whole huge pages, aligned to one, so that every page of the block can be one.
  if (bytes > SIZE_MAX - kHugePage) return nullptr;
  const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* block = std::aligned_alloc(kHugePage, rounded);
  if (block == nullptr) return nullptr;
  // Only advice: without huge pages the block is used as it is.
  (void)madvise(block, rounded, MADV_HUGEPAGE);
  return LargeBlock(static_cast<std::uint8_t*>(block));
}

}  // namespace horizonmill
