#include <gtest/gtest.h>

#include "image/MemoryHunger.h"

namespace horizonmill {
namespace {

TEST(MemoryHunger, SmallBlocksAreReusedByExactSize) {
  MemoryHunger hunger;
  EXPECT_EQ(hunger.AllocBlock(0), nullptr);
  void* a = hunger.AllocBlock(100);
  ASSERT_NE(a, nullptr);
  hunger.FreeBlock(a);
  EXPECT_EQ(hunger.FreeListSize(100), 1u);
  void* b = hunger.AllocBlock(99);
  EXPECT_NE(b, a);
  void* c = hunger.AllocBlock(100);
  EXPECT_EQ(c, a);
  EXPECT_EQ(hunger.FreeListSize(100), 0u);
  hunger.FreeBlock(b);
  hunger.FreeBlock(c);
  hunger.FreeBlock(nullptr);
}

#ifndef NDEBUG  // asserts are compiled only without NDEBUG
TEST(MemoryHungerDeathTest, ABlockFreedTwiceIsAProgrammerError) {
  MemoryHunger hunger;
  void* a = hunger.AllocBlock(300);
  hunger.FreeBlock(a);
  EXPECT_DEATH(hunger.FreeBlock(a), "freed twice");
}
#endif

TEST(MemoryHunger, SmallListsHandOutTheOldestFirst) {
  MemoryHunger hunger;
  void* a = hunger.AllocBlock(64);
  void* b = hunger.AllocBlock(64);
  hunger.FreeBlock(a);
  hunger.FreeBlock(b);
  EXPECT_EQ(hunger.AllocBlock(64), a);
  EXPECT_EQ(hunger.AllocBlock(64), b);
}

TEST(MemoryHunger, LargeBlocksAreFirstFitAndKeepTheirSize) {
  MemoryHunger hunger;
  void* big = hunger.AllocBlock(4096);
  hunger.FreeBlock(big);
  void* again = hunger.AllocBlock(1000);
  EXPECT_EQ(again, big);
  EXPECT_EQ(MemoryHunger::StoredSize(again), 4096);
  EXPECT_EQ(hunger.LargeListSize(), 0u);
  hunger.FreeBlock(again);
  EXPECT_EQ(hunger.LargeListSize(), 1u);

  MemoryHunger second;
  void* small = second.AllocBlock(300);
  void* large = second.AllocBlock(5000);
  second.FreeBlock(small);
  second.FreeBlock(large);
  EXPECT_EQ(second.AllocBlock(400), large);  // skips the 300-byte block
  EXPECT_EQ(second.AllocBlock(300), small);
}

TEST(MemoryHunger, RegistryGrowsOneSlotPerHandOutIn1024Steps) {
  MemoryHunger hunger;
  for (int i = 0; i < 1500; ++i) {
    void* p = hunger.AllocBlock(16 + i % 300);
    ASSERT_NE(p, nullptr);
    if (i % 2 == 0) hunger.FreeBlock(p);
  }
  EXPECT_EQ(hunger.RegistrySize(), 1500u);
  EXPECT_EQ(hunger.RegistryCapacity(), 2048u);
}

TEST(MemoryHunger, SystemFailureReturnsNoneAndChangesNoList) {
  MemoryHunger hunger;
  void* kept = hunger.AllocBlock(300);
  hunger.FreeBlock(kept);
  hunger.SetSystemAlloc([](std::size_t) -> void* { return nullptr; });
  EXPECT_EQ(hunger.AllocBlock(5000), nullptr);  // no free block is large enough
  EXPECT_EQ(hunger.AllocBlock(50), nullptr);
  EXPECT_EQ(hunger.LargeListSize(), 1u);
  EXPECT_EQ(hunger.RegistrySize(), 1u);
  EXPECT_EQ(hunger.AllocBlock(200 + 100), kept);  // still served from the list
  EXPECT_EQ(hunger.AllocBlock(MemoryHunger::kMaxBlock + 1), nullptr);
}

}  // namespace
}  // namespace horizonmill
