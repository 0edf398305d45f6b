// The scene's random generator, whose sequence fixes where stars and objects land.
#pragma once

#include <cstdint>

namespace horizonmill {

// The scene's 32-bit linear congruential generator. Each draw first advances
// the state S = S * 134775813 + 1 (mod 2^32).
class SceneRandom {
 public:
  void Seed(std::int32_t seed) { state_ = static_cast<std::uint32_t>(seed); }
  std::uint32_t State() const { return state_; }
  // floor(S * n / 2^32) of the advanced state; n >= 1.
  std::uint32_t RandomBelow(std::uint32_t n) {
    Advance();
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(state_) * n) >> 32);
  }
  // S / 2^32 of the advanced state, in [0, 1).
  long double RandomUnit() {
    Advance();
    return static_cast<long double>(state_) / 4294967296.0L;
  }

 private:
  void Advance() { state_ = state_ * 134775813u + 1u; }
  std::uint32_t state_ = 0;
};

}  // namespace horizonmill
