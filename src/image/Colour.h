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

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Norm on all three channels at once: each in a 16-bit field of one 64-bit
// word, where (255 - a) * d + a * s (at most 65025) and the rounding's
// additions (at most 128 more) stay within the field. Rounding halves to even:
// Round(n / 256) = (n + 127 + bit 8 of n) >> 8.
template <>
inline void BlendIntoMode<MixtureMode::Norm>(BgrPixel& d, PackedColour s) {
  const std::uint64_t a = Alpha(s);
  if (a == 0) return;
  constexpr std::uint64_t kOnes = 0x0000'0001'0001'0001u;
  const std::uint64_t dst = d.b | std::uint64_t{d.g} << 16 | std::uint64_t{d.r} << 32;
  const std::uint64_t src = Blue(s) | std::uint64_t{Green(s)} << 16 | std::uint64_t{Red(s)} << 32;
  const std::uint64_t n = (255 - a) * dst + a * src;
  const std::uint64_t q = (n + 127 * kOnes + ((n >> 8) & kOnes)) >> 8;
  d = BgrPixel{static_cast<std::uint8_t>(q), static_cast<std::uint8_t>(q >> 16),
               static_cast<std::uint8_t>(q >> 32)};
}

// Add and Sub on all three channels at once, as Norm above. ScaleByAlpha is
// Round(s * a / 255), which for t = s * a + 128 is (t + (t >> 8)) >> 8 (each
// field stays below 2^16); the sum or difference with the destination is then
// formed with 256 to spare, so bit 8 of a field tells an overflow (Add) or a
// result that stays at or above 0 (Sub).
namespace detail {
constexpr std::uint64_t kFieldOnes = 0x0000'0001'0001'0001u;
inline std::uint64_t ScaledFields(PackedColour s, std::uint64_t a) {
  const std::uint64_t src = Blue(s) | std::uint64_t{Green(s)} << 16 | std::uint64_t{Red(s)} << 32;
  const std::uint64_t t = a * src + 128 * kFieldOnes;
  return ((t + ((t >> 8) & 0xff * kFieldOnes)) >> 8) & 0xff * kFieldOnes;
}
inline std::uint64_t PixelFields(const BgrPixel& d) {
  return d.b | std::uint64_t{d.g} << 16 | std::uint64_t{d.r} << 32;
}
inline BgrPixel FieldsPixel(std::uint64_t v) {
  return BgrPixel{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 16),
                  static_cast<std::uint8_t>(v >> 32)};
}
}  // namespace detail

template <>
inline void BlendIntoMode<MixtureMode::Add>(BgrPixel& d, PackedColour s) {
  const std::uint64_t a = Alpha(s);
  if (a == 0) return;
  const std::uint64_t sum = detail::PixelFields(d) + detail::ScaledFields(s, a);
  const std::uint64_t over = ((sum >> 8) & detail::kFieldOnes) * 0xff;
  d = detail::FieldsPixel(sum | over);
}

template <>
inline void BlendIntoMode<MixtureMode::Sub>(BgrPixel& d, PackedColour s) {
  const std::uint64_t a = Alpha(s);
  if (a == 0) return;
  const std::uint64_t difference =
      detail::PixelFields(d) + 256 * detail::kFieldOnes - detail::ScaledFields(s, a);
  const std::uint64_t kept = ((difference >> 8) & detail::kFieldOnes) * 0xff;
  d = detail::FieldsPixel(difference & kept);
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

// Four channels side by side in 32-bit lanes (red, green, blue and alpha of a
// PackedColour, or blue, green and red of a BgrPixel), so that a bilinear mix
// works on all of them at once: LerpLanes gives in each lane exactly what
// LerpChannel gives, the same double operations in the same order.
#if defined(__SSE2__)
struct ChannelLanes {
  __m128i v;
};
inline ChannelLanes ToLanes(std::uint32_t bytes) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i v = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(bytes)), zero);
  return {_mm_unpacklo_epi16(v, zero)};
}
// The low eight bits of each lane, lane 0 in the low byte.
inline std::uint32_t FromLanes(ChannelLanes l) {
  const __m128i v = _mm_and_si128(l.v, _mm_set1_epi32(0xff));
  const __m128i halves = _mm_packs_epi32(v, v);
  return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(halves, halves)));
}
inline int LaneAlpha(ChannelLanes l) { return _mm_extract_epi16(l.v, 6); }
inline bool SameLanes(ChannelLanes a, ChannelLanes b) {
  return _mm_movemask_epi8(_mm_cmpeq_epi32(a.v, b.v)) == 0xffff;
}
inline ChannelLanes WithoutAlpha(ChannelLanes l) {
  return {_mm_and_si128(l.v, _mm_set_epi32(0, -1, -1, -1))};
}
inline ChannelLanes LerpLanes(ChannelLanes a, ChannelLanes b, double t) {
  const __m128d factor = _mm_set1_pd(t);
  const __m128i span = _mm_sub_epi32(a.v, b.v);
  auto half = [&](__m128i base, __m128i diff) {
    return _mm_cvttpd_epi32(
        _mm_add_pd(_mm_cvtepi32_pd(base), _mm_mul_pd(_mm_cvtepi32_pd(diff), factor)));
  };
  const __m128i low = half(b.v, span);
  const __m128i high = half(_mm_shuffle_epi32(b.v, 0xee), _mm_shuffle_epi32(span, 0xee));
  return {_mm_unpacklo_epi64(low, high)};
}
#else
struct ChannelLanes {
  int v[4];
};
inline ChannelLanes ToLanes(std::uint32_t bytes) {
  return {{static_cast<int>(bytes & 0xff), static_cast<int>((bytes >> 8) & 0xff),
           static_cast<int>((bytes >> 16) & 0xff), static_cast<int>(bytes >> 24)}};
}
inline std::uint32_t FromLanes(ChannelLanes l) {
  return MakePacked(l.v[0], l.v[1], l.v[2], l.v[3]);
}
inline int LaneAlpha(ChannelLanes l) { return l.v[3]; }
inline bool SameLanes(ChannelLanes a, ChannelLanes b) {
  return a.v[0] == b.v[0] && a.v[1] == b.v[1] && a.v[2] == b.v[2] && a.v[3] == b.v[3];
}
inline ChannelLanes WithoutAlpha(ChannelLanes l) { return {{l.v[0], l.v[1], l.v[2], 0}}; }
inline ChannelLanes LerpLanes(ChannelLanes a, ChannelLanes b, double t) {
  ChannelLanes r;
  for (int i = 0; i < 4; ++i) r.v[i] = LerpChannel(a.v[i], b.v[i], t);
  return r;
}
#endif

// LerpColour on lanes: a transparent side lends no colour of its own. For t
// in 0..1 every lane stays within 0..255, so mixes can follow one another in
// lanes exactly as they would through PackedColour.
inline ChannelLanes MixColourLanes(ChannelLanes a, ChannelLanes b, double t) {
  if (LaneAlpha(a) == 0) a = WithoutAlpha(b);
  if (LaneAlpha(b) == 0) b = WithoutAlpha(a);
  return LerpLanes(a, b, t);
}

// LerpLanes at every t within [lo, hi] (a range about 0..1): true, with the
// lanes in `out`, when every t of the range gives those lanes; false when two
// may differ. Each lane moves one way only as t grows (every operation of
// LerpChannel is monotonic), so the ends decide.
//
// With SSE2 the lanes are first worked out once, in single precision, at the
// middle of the range: there b + (a - b) * t lies within 2^-15 of its exact
// value (t is held within 2^-24 of itself, and the product and the sum each
// round by at most half a float step below 256), the double evaluation
// within 2^-44, and across the range the exact value moves by at most
// |a - b| * (hi - lo) / 2. A lane whose single-precision result lies farther
// than all that from every integer truncates alike at every t of the range;
// so does a lane with a == b (b + 0 * t is b in either precision). Only when
// some lane does neither are the ends worked out in double.
#if defined(__SSE2__)
// How far from every integer a single-precision lane must lie to be proven
// over a range of t of width `width` (see LerpLanesOverRange).
inline __m128 LerpReach(double width) {
  return _mm_set1_ps(static_cast<float>((0x1p-14 + 128 * width) * (1 + 0x1p-20)));
}
// The lanes of LerpLanes in single precision at t, truncated; `proven` gets
// all bits set in each lane that lies farther than `reach` from every integer
// or has a == b.
inline __m128i NarrowLerp(__m128i a, __m128i b, __m128 t, __m128 reach, __m128& proven) {
  const __m128i span = _mm_sub_epi32(a, b);
  const __m128 v = _mm_add_ps(_mm_cvtepi32_ps(b), _mm_mul_ps(_mm_cvtepi32_ps(span), t));
  const __m128i whole = _mm_cvttps_epi32(v);
  const __m128 fraction = _mm_sub_ps(v, _mm_cvtepi32_ps(whole));  // exact
  const __m128 inside = _mm_and_ps(_mm_cmpgt_ps(fraction, reach),
                                   _mm_cmplt_ps(fraction, _mm_sub_ps(_mm_set1_ps(1), reach)));
  proven = _mm_or_ps(inside, _mm_castsi128_ps(_mm_cmpeq_epi32(span, _mm_setzero_si128())));
  return whole;
}
#endif

#if defined(__SSE2__)
// MixColourLanes' first steps in 32-bit lanes: a transparent a takes b's
// colour, then a transparent b takes a's (as it now is).
inline void LendColours(__m128i& a, __m128i& b) {
  const __m128i colour = _mm_set_epi32(0, -1, -1, -1);
  const __m128i zero = _mm_setzero_si128();
  const __m128i clear_a = _mm_and_si128(_mm_shuffle_epi32(_mm_cmpeq_epi32(a, zero), 0xff), colour);
  a = _mm_or_si128(_mm_andnot_si128(clear_a, a), _mm_and_si128(clear_a, b));
  const __m128i clear_b = _mm_and_si128(_mm_shuffle_epi32(_mm_cmpeq_epi32(b, zero), 0xff), colour);
  b = _mm_or_si128(_mm_andnot_si128(clear_b, b), _mm_and_si128(clear_b, a));
}
#endif

inline bool LerpLanesOverRange(ChannelLanes a, ChannelLanes b, double lo, double hi,
                               ChannelLanes& out) {
#if defined(__SSE2__)
  __m128 proven;
  const __m128i whole = NarrowLerp(a.v, b.v, _mm_set1_ps(static_cast<float>((lo + hi) / 2)),
                                   LerpReach(hi - lo), proven);
  if (_mm_movemask_ps(proven) == 0xf) {
    out.v = whole;
    return true;
  }
#endif
  out = LerpLanes(a, b, lo);
  return hi == lo || SameLanes(out, LerpLanes(a, b, hi));
}

// The lanes of a BgrPixel (BgrAsInt, ToLanes) back into one.
inline BgrPixel BgrFromLanes(ChannelLanes l) {
  const std::uint32_t bytes = FromLanes(l);
  return BgrPixel{static_cast<std::uint8_t>(bytes), static_cast<std::uint8_t>(bytes >> 8),
                  static_cast<std::uint8_t>(bytes >> 16)};
}

// MixColourLanes at every t within [lo, hi], as LerpLanesOverRange.
inline bool MixColourLanesOverRange(ChannelLanes a, ChannelLanes b, double lo, double hi,
                                    ChannelLanes& out) {
  if (LaneAlpha(a) == 0) a = WithoutAlpha(b);
  if (LaneAlpha(b) == 0) b = WithoutAlpha(a);
  return LerpLanesOverRange(a, b, lo, hi, out);
}
}  // namespace detail

// a weighted by t, b by 1 - t, each channel truncated; a transparent side lends
// no colour of its own (its red, green and blue are taken from the other side).
inline PackedColour LerpColour(PackedColour a, PackedColour b, double t) {
  return detail::FromLanes(detail::MixColourLanes(detail::ToLanes(a), detail::ToLanes(b), t));
}

inline BgrPixel LerpBgr(BgrPixel a, BgrPixel b, double t) {
  return detail::BgrFromLanes(
      detail::LerpLanes(detail::ToLanes(BgrAsInt(a)), detail::ToLanes(BgrAsInt(b)), t));
}

}  // namespace horizonmill
