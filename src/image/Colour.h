// Colour values and the per-pixel arithmetic between them.
//
// PackedColour: red bits 0-7, green 8-15, blue 16-23, alpha 24-31 (0 transparent,
// 255 opaque). BgrPixel: one pixel of a WorkBitmap row, bytes blue, green, red.
// FloatColour: four floats on the scale 0..255.
//
// Round means round to nearest with halves to even (the default rounding mode);
// Trunc means toward zero. Every function here is small and allocation-free,
// because the renderers call them once per pixel.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

namespace horizonmill {

using PackedColour = std::uint32_t;

struct BgrPixel {
  std::uint8_t b = 0, g = 0, r = 0;
  friend bool operator==(const BgrPixel&, const BgrPixel&) = default;
};
static_assert(sizeof(BgrPixel) == 3);

struct FloatColour {
  float r = 0, g = 0, b = 0, a = 255;
  friend bool operator==(const FloatColour&, const FloatColour&) = default;
};

// Blend modes; 3 and values above 5 are no mode: blending with them changes nothing.
enum MixtureMode : std::uint8_t {
  Add = 0,
  Sub = 1,
  Norm = 2,
  AddPlain = 4,
  SubPlain = 5,
};

constexpr std::uint8_t Red(PackedColour c) { return c & 0xff; }
constexpr std::uint8_t Green(PackedColour c) { return (c >> 8) & 0xff; }
constexpr std::uint8_t Blue(PackedColour c) { return (c >> 16) & 0xff; }
constexpr std::uint8_t Alpha(PackedColour c) { return c >> 24; }
constexpr PackedColour MakePacked(std::uint32_t r, std::uint32_t g, std::uint32_t b,
                                  std::uint32_t a = 255) {
  return (r & 0xff) | (g & 0xff) << 8 | (b & 0xff) << 16 | (a & 0xff) << 24;
}
constexpr PackedColour WithAlpha(PackedColour c, std::uint32_t a) {
  return (c & 0x00ffffffu) | (a & 0xff) << 24;
}
constexpr bool SameRgb(PackedColour a, PackedColour b) { return ((a ^ b) & 0x00ffffffu) == 0; }

// Round half to even, for values known to fit an int.
inline int RoundToInt(double v) { return static_cast<int>(std::nearbyint(v)); }
inline int RoundToInt(long double v) { return static_cast<int>(std::nearbyintl(v)); }

// Keeps bits 0-23 of a platform colour value (red in the low byte), sets alpha 255.
constexpr PackedColour MakeOpaque(std::uint32_t c) { return (c & 0x00ffffffu) | 0xff000000u; }

namespace detail {
// Round half to even for 0 <= v <= 255: adding and taking away 2^52 leaves
// exactly the rounded value under the default rounding mode.
inline std::uint32_t RoundSmall(double v) {
  return static_cast<std::uint32_t>((v + 0x1p52) - 0x1p52);
}
// Clamped to 0..255 and rounded; a value that is no number gives 0.
inline std::uint32_t ClampRoundChannel(double v) {
  if (v > 255) return 255;
  if (!(v >= 0)) return 0;
  return RoundSmall(v);
}
// The low eight bits of Round(a), for any float (0 for one that is no number).
std::uint32_t WrappedAlpha(float a);
}  // namespace detail

// Red, green, blue clamped to 0..255 and rounded; alpha the low 8 bits of
// Round(alpha), not clamped.
inline PackedColour PackFloatColour(float r, float g, float b, float a) {
  const std::uint32_t alpha = a >= 0 && a <= 255 ? detail::RoundSmall(a) : detail::WrappedAlpha(a);
  return detail::ClampRoundChannel(r) | detail::ClampRoundChannel(g) << 8 |
         detail::ClampRoundChannel(b) << 16 | alpha << 24;
}
inline PackedColour PackFloatColour(const FloatColour& c) {
  return PackFloatColour(c.r, c.g, c.b, c.a);
}
// The same clamping for three channels; the alpha byte is 0.
PackedColour PackFloatColourRGB(long double r, long double g, long double b);
// Alpha is always 255.0, whatever the alpha byte.
FloatColour UnpackColour(PackedColour c);

constexpr BgrPixel PackedToBgr(PackedColour c) { return BgrPixel{Blue(c), Green(c), Red(c)}; }
constexpr PackedColour BgrToPacked(BgrPixel p) { return MakePacked(p.r, p.g, p.b, 255); }
constexpr BgrPixel ColorRefToBgr(std::uint32_t c) { return PackedToBgr(MakeOpaque(c)); }
// A BgrPixel passed as a 32-bit value: byte 0 blue, 1 green, 2 red.
constexpr std::uint32_t BgrAsInt(BgrPixel p) { return p.b | p.g << 8 | p.r << 16; }

namespace detail {

// Round(c * a / 255) for bytes: the exact quotient never ends in one half (255 is
// odd), so this integer form equals rounding the floating-point quotient.
constexpr int ScaleByAlpha(int c, int a) { return (2 * c * a + 255) / 510; }

// Round(n / 256) with halves to even, for n >= 0.
constexpr int DivRound256(int n) {
  int q = n >> 8;
  int rem = n & 0xff;
  if (rem > 128 || (rem == 128 && (q & 1))) ++q;
  return q;
}

constexpr std::uint8_t BlendChannel(int s, int d, int a, std::uint8_t mode) {
  switch (mode) {
    case MixtureMode::Add: {
      int v = d + ScaleByAlpha(s, a);
      return static_cast<std::uint8_t>(v > 255 ? 255 : v);
    }
    case MixtureMode::Sub: {
      int v = d - ScaleByAlpha(s, a);
      return static_cast<std::uint8_t>(v < 0 ? 0 : v);
    }
    case MixtureMode::Norm:
      // The divisor is 256, not 255: alpha 255 over 0 gives 254 for a source of 255.
      return static_cast<std::uint8_t>(DivRound256((255 - a) * d + a * s));
    case MixtureMode::AddPlain: {
      int v = d + s;
      return static_cast<std::uint8_t>(v > 255 ? 255 : v);
    }
    default: {  // MixtureMode::SubPlain
      int v = d - s;
      return static_cast<std::uint8_t>(v < 0 ? 0 : v);
    }
  }
}

}  // namespace detail

constexpr bool IsBlendMode(std::uint8_t mode) {
  return mode <= MixtureMode::Norm || mode == MixtureMode::AddPlain ||
         mode == MixtureMode::SubPlain;
}

// The blend of a source colour onto a destination pixel; nothing for a value that
// is no mode.
constexpr std::optional<BgrPixel> BlendColour(PackedColour s, std::uint8_t mode, BgrPixel d) {
  if (!IsBlendMode(mode)) return std::nullopt;
  const int a = Alpha(s);
  return BgrPixel{detail::BlendChannel(Blue(s), d.b, a, mode),
                  detail::BlendChannel(Green(s), d.g, a, mode),
                  detail::BlendChannel(Red(s), d.r, a, mode)};
}

// Blends in place; alpha 0 leaves the pixel untouched in every mode (the plain
// ones included), and so does a value that is no mode.
inline void BlendInto(BgrPixel& d, PackedColour s, std::uint8_t mode) {
  if (Alpha(s) == 0 || !IsBlendMode(mode)) return;
  d = *BlendColour(s, mode, d);
}

// BlendInto with the mode fixed at compile time, for loops over many pixels.
template <std::uint8_t Mode>
inline void BlendIntoMode(BgrPixel& d, PackedColour s) {
  static_assert(IsBlendMode(Mode));
  const int a = Alpha(s);
  if (a == 0) return;
  d = BgrPixel{detail::BlendChannel(Blue(s), d.b, a, Mode),
               detail::BlendChannel(Green(s), d.g, a, Mode),
               detail::BlendChannel(Red(s), d.r, a, Mode)};
}

// Calls f.template operator()<Mode>() for a blend mode known only at run time,
// so pixel loops can be instantiated per mode; false for a value that is no mode.
template <typename F>
bool DispatchBlendMode(std::uint8_t mode, F&& f) {
  switch (mode) {
    case MixtureMode::Add:
      f.template operator()<MixtureMode::Add>();
      return true;
    case MixtureMode::Sub:
      f.template operator()<MixtureMode::Sub>();
      return true;
    case MixtureMode::Norm:
      f.template operator()<MixtureMode::Norm>();
      return true;
    case MixtureMode::AddPlain:
      f.template operator()<MixtureMode::AddPlain>();
      return true;
    case MixtureMode::SubPlain:
      f.template operator()<MixtureMode::SubPlain>();
      return true;
    default:
      return false;
  }
}

namespace detail {
// Trunc(a * t + b * (1 - t)), evaluated as b + (a - b) * t: the same quantity,
// written so that equal inputs give exactly themselves. Double precision.
inline int LerpChannel(int a, int b, double t) {
  return static_cast<int>(static_cast<double>(b) + static_cast<double>(a - b) * t);
}
}  // namespace detail

// a weighted by t, b by 1 - t, each channel truncated; a transparent side lends
// no colour of its own (its red, green and blue are taken from the other side).
inline PackedColour LerpColour(PackedColour a, PackedColour b, double t) {
  if (Alpha(a) == 0) a = b & 0x00ffffffu;
  if (Alpha(b) == 0) b = a & 0x00ffffffu;
  using detail::LerpChannel;
  return MakePacked(LerpChannel(Red(a), Red(b), t), LerpChannel(Green(a), Green(b), t),
                    LerpChannel(Blue(a), Blue(b), t), LerpChannel(Alpha(a), Alpha(b), t));
}

inline BgrPixel LerpBgr(BgrPixel a, BgrPixel b, double t) {
  using detail::LerpChannel;
  return BgrPixel{static_cast<std::uint8_t>(LerpChannel(a.b, b.b, t)),
                  static_cast<std::uint8_t>(LerpChannel(a.g, b.g, t)),
                  static_cast<std::uint8_t>(LerpChannel(a.r, b.r, t))};
}

}  // namespace horizonmill
