// Limits on the size of every image the program allocates. Larger requests are
// refused before any memory is asked for, and reported as memory exhaustion.
#pragma once

#include <cstdint>
#include <string_view>

namespace horizonmill {

// The message of a render or output that cannot have its image (too large for
// the limits, or memory ran out).
inline constexpr std::string_view kMemoryExhausted = "メモリー枯渇！";

inline constexpr std::int64_t kMaxImageSide = 65535;
inline constexpr std::int64_t kMaxImageBytes = std::int64_t{1} << 31;  // 2 GiB

// True when an image of width x height with the given bytes per row fits the limits.
constexpr bool FitsImageLimits(std::int64_t width, std::int64_t height, std::int64_t rowBytes) {
  return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
         rowBytes * height <= kMaxImageBytes;
}

}  // namespace horizonmill
