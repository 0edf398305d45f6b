#include "image/Colour.h"

namespace horizonmill {
namespace {

// Extended reals are rounded as they are: going through double first could
// round twice (127.4999... to 127.5 to 128).
std::uint32_t ClampRound(long double v) {
  if (v > 255) return 255;
  if (!(v >= 0)) return 0;
  return static_cast<std::uint32_t>(std::nearbyintl(v));
}

}  // namespace

std::uint32_t detail::WrappedAlpha(float a) {
  // Alpha keeps the low eight bits of its rounded value: 256 wraps to 0.
  const long double ra = std::nearbyintl(static_cast<long double>(a));
  if (!(std::fabs(ra) < 9.2e18L)) return 0;
  return static_cast<std::uint32_t>(static_cast<long long>(ra) & 0xff);
}

PackedColour PackFloatColourRGB(long double r, long double g, long double b) {
  return ClampRound(r) | ClampRound(g) << 8 | ClampRound(b) << 16;
}

FloatColour UnpackColour(PackedColour c) {
  return FloatColour{static_cast<float>(Red(c)), static_cast<float>(Green(c)),
                     static_cast<float>(Blue(c)), 255.0f};
}

}  // namespace horizonmill
