#include "image/MemoryHunger.h"

#include <cassert>
#include <cstdlib>
#include <new>

namespace horizonmill {

MemoryHunger::~MemoryHunger() {
  for (Header* block : registry_) std::free(block);
  for (auto& list : small_)
    for (Header* block : list) std::free(block);
  for (Header* block : large_) std::free(block);
}

bool MemoryHunger::Append(std::vector<Header*>& list, Header* block) {
  try {
    if (list.size() == list.capacity()) list.reserve(list.capacity() + kGrowth);
  } catch (const std::bad_alloc&) {
    return false;
  }
  list.push_back(block);
  return true;
}

void* MemoryHunger::AllocBlock(std::size_t n) {
  if (n == 0 || n > kMaxBlock) return nullptr;
  if (refuse_ != nullptr && refuse_(n)) return nullptr;
  const std::lock_guard lock(mutex_);
  Header* block = nullptr;
  std::vector<Header*>* taken_from = nullptr;
  std::size_t taken_at = 0;
  if (n < 256) {
    if (!small_[n].empty()) {
      block = small_[n].front();
      taken_from = &small_[n];
    }
  } else {
    for (std::size_t i = 0; i < large_.size(); ++i) {
      if (static_cast<std::size_t>(large_[i]->size) >= n) {
        block = large_[i];
        taken_from = &large_;
        taken_at = i;
        break;
      }
    }
  }
  bool fresh = false;
  if (block == nullptr) {
    void* raw = systemAlloc_ ? systemAlloc_(n + sizeof(Header)) : std::malloc(n + sizeof(Header));
    if (raw == nullptr) return nullptr;
    block = static_cast<Header*>(raw);
    block->size = static_cast<std::int32_t>(n);
    fresh = true;
  }
  // Register before unlinking from a free list, so a failed registration leaves
  // every list as it was.
  if (!Append(registry_, block)) {
    if (fresh) std::free(block);
    return nullptr;
  }
  if (taken_from != nullptr)
    taken_from->erase(taken_from->begin() + static_cast<std::ptrdiff_t>(taken_at));
  block->slot = static_cast<std::int32_t>(registry_.size() - 1);
  return block + 1;
}

void MemoryHunger::FreeBlock(void* payload) {
  if (payload == nullptr) return;
  Header* block = HeaderOf(payload);
  const std::lock_guard lock(mutex_);
  assert(block->slot >= 0 && static_cast<std::size_t>(block->slot) < registry_.size() &&
         registry_[block->slot] == block && "a block freed twice, or not from this allocator");
  registry_[block->slot] = nullptr;
  auto& list = block->size < 256 ? small_[block->size] : large_;
  if (!Append(list, block)) std::free(block);  // no room to keep it: give it back
}

std::int32_t MemoryHunger::StoredSize(const void* payload) {
  return (static_cast<const Header*>(payload) - 1)->size;
}

MemoryHunger& TheMemoryHunger() {
  static MemoryHunger hunger;
  return hunger;
}

}  // namespace horizonmill
