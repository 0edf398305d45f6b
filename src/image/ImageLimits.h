// Limits on the size of every image the program allocates. Larger requests are
// refused before any memory is asked for, and reported as memory exhaustion.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace horizonmill {

inline constexpr std::int64_t kMaxImageSide = 65535;
inline constexpr std::int64_t kMaxImageBytes = std::int64_t{1} << 31;  // 2 GiB

// True when an image of width x height with the given bytes per row fits the limits.
constexpr bool FitsImageLimits(std::int64_t width, std::int64_t height, std::int64_t rowBytes) {
  return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
         rowBytes * height <= kMaxImageBytes;
}

// Which limit such an image breaks, in English ("the width, 70000 pixels, is
// beyond 65535 pixels, the largest side an image may have"); empty when it fits.
inline std::string ImageLimitReason(std::int64_t width, std::int64_t height,
                                    std::int64_t rowBytes) {
  if (width < 1 || height < 1) return "an image needs at least one pixel each way";
  for (const auto& [side, size] : {std::pair{"width", width}, std::pair{"height", height}})
    if (size > kMaxImageSide)
      return std::string("the ") + side + ", " + std::to_string(size) + " pixels, is beyond " +
             std::to_string(kMaxImageSide) + " pixels, the largest side an image may have";
  if (rowBytes * height > kMaxImageBytes)
    return std::to_string(width) + " x " + std::to_string(height) + " pixels take " +
           std::to_string(rowBytes * height / (1024 * 1024)) +
           " MiB, beyond the 2048 MiB an image may take";
  return {};
}

}  // namespace horizonmill
