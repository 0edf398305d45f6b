#include <gtest/gtest.h>

#include <cstdint>

#include "render/SceneRandom.h"

namespace horizonmill {
namespace {

TEST(SceneRandom, LinearCongruentialSequence) {
  SceneRandom r;
  r.Seed(0);
  EXPECT_EQ(r.RandomBelow(0x80000000u), 0u);
  EXPECT_EQ(r.State(), 1u);
  r.RandomBelow(2);
  EXPECT_EQ(r.State(), 134775814u);
  r.Seed(-1);  // stored bit for bit
  EXPECT_EQ(r.State(), 0xffffffffu);
  // floor(S * n / 2^32) of the advanced state, and S / 2^32.
  r.Seed(65536);
  const std::uint32_t s1 = 65536u * 134775813u + 1u;
  EXPECT_EQ(r.RandomBelow(3072), static_cast<std::uint32_t>((std::uint64_t{s1} * 3072) >> 32));
  const std::uint32_t s2 = s1 * 134775813u + 1u;
  EXPECT_EQ(r.RandomUnit(), s2 / 4294967296.0L);
}

}  // namespace
}  // namespace horizonmill
