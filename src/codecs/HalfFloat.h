// Floats to the 16-bit halves of OpenEXR files: values at or below 0 and
// no-numbers become 0, values beyond the largest half (65504) are held there,
// and the rest are rounded to the nearest half (ties to the even one).
#pragma once

#include <cstddef>
#include <cstdint>

namespace horizonmill {

inline constexpr float kLargestHalf = 65504.0f;

// n floats to n halves' bits: on the processor's own conversion where it has
// one, otherwise as FloatsToHalvesPortably; the same bits either way.
void FloatsToHalves(const float* from, std::uint16_t* to, std::size_t n);
// The same by integer arithmetic alone.
void FloatsToHalvesPortably(const float* from, std::uint16_t* to, std::size_t n);
// n halves' values (a half of the largest exponent, which the conversions above
// never make, reads as a large finite number), from a table of every half.
void HalvesToFloats(const std::uint16_t* from, float* to, std::size_t n);

}  // namespace horizonmill
