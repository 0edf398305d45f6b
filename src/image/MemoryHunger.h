// The block allocator behind every PixelImage record and pixel array.
//
// Blocks carry an 8-byte header (payload size as first requested, registry slot).
// Freed blocks wait in free lists and are handed out again: one list per exact
// size 1..255 (oldest first) and one large list for sizes of 256 and more (first
// fit in freeing order). Memory goes back to the system only when the allocator
// is destroyed. Blocks may be taken and given back on any thread (a picture is
// allocated by whichever thread prepares or renders a scene, and freed by the
// one that lets go of it last): a mutex guards the lists. The setters and the
// counts are for tests, on one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace horizonmill {

class MemoryHunger {
 public:
  // How the allocator obtains memory from the system; tests swap it to force failures.
  using SystemAlloc = void* (*)(std::size_t);

  MemoryHunger() = default;
  ~MemoryHunger();
  MemoryHunger(const MemoryHunger&) = delete;
  MemoryHunger& operator=(const MemoryHunger&) = delete;

  // Returns a payload of at least n bytes, or nullptr for n == 0, for n above
  // kMaxBlock, or when the system has no memory (all lists are then unchanged).
  void* AllocBlock(std::size_t n);
  // nullptr is ignored. The caller's pointer is not cleared.
  void FreeBlock(void* payload);

  // Payload size stored in a block's header (the size first requested from the system).
  static std::int32_t StoredSize(const void* payload);

  std::size_t RegistrySize() const { return registry_.size(); }
  std::size_t RegistryCapacity() const { return registry_.capacity(); }
  std::size_t LargeListSize() const { return large_.size(); }
  std::size_t FreeListSize(std::size_t n) const { return small_[n].size(); }

  void SetSystemAlloc(SystemAlloc alloc) { systemAlloc_ = alloc; }
  // Tests force failures: a request for which `refuse` returns true gets
  // nullptr, even when a free block would serve it. nullptr: refuse nothing.
  using Refusal = bool (*)(std::size_t);
  void SetRefusal(Refusal refuse) { refuse_ = refuse; }

  static constexpr std::size_t kMaxBlock = 0x7fffffff - 8;
  static constexpr std::size_t kGrowth = 1024;

 private:
  struct Header {
    std::int32_t size;
    std::int32_t slot;
  };
  static Header* HeaderOf(void* payload) { return static_cast<Header*>(payload) - 1; }
  // Appends, growing the capacity by kGrowth when full. False when that fails.
  static bool Append(std::vector<Header*>& list, Header* block);

  std::mutex mutex_;  // over the lists
  std::vector<Header*> registry_;
  std::vector<Header*> small_[256];
  std::vector<Header*> large_;
  SystemAlloc systemAlloc_ = nullptr;  // nullptr: std::malloc
  Refusal refuse_ = nullptr;
};

// The process-wide allocator through which pixel images get their memory.
MemoryHunger& TheMemoryHunger();

}  // namespace horizonmill
