// The fade per channel is c + (h - c) * near^4 taken toward c again by depth^2,
// every step rounded to double (the curve helpers' results), the result then
// held as a float and rounded to a byte.
//
// Why double precision gives the same bytes: with both powers within 0..1 and
// c, h bytes, every intermediate lies within 0..255, and the double and the
// extended evaluation each stay within a few units in the last place of such
// values (below 2^-40) of the exact one, so within 2^-39 of each other. The
// byte that comes out, Round(float(r)) with halves to even, changes only where
// float(r) crosses a value k + 1/2, that is within half a float step (at most
// 2^-17 below 256) of k + 1/2. A channel whose double result lies farther than
// 2^-12 from every k + 1/2 therefore rounds as the extended one does; the few
// that lie closer are worked out again in extended precision.
//
// FadeRow goes further, in single precision, four channels at once. Both
// evaluations above equal, within 2^-44, the exact value c + w * (h - c) with
// w = nearPower * depthPower (the steps are that expression, rearranged). In
// single precision w is held within 2^-23.9 of itself (w <= 1), so w * (h - c)
// within 255 * 2^-23.9, and the product and the sum each round by at most half
// a float step below 256 (2^-17): within 2^-14.9 of the exact value in all.
// Where that float result lies farther than 2^-12 from every k + 1/2, the
// exact value lies farther than 2^-13, the double one farther than 2^-14, and
// its rounding to a float (half a step, 2^-17) cannot reach k + 1/2: the byte
// is the nearest integer of the float result. The others (about one channel
// in two thousand) take InDouble's way.
#include "render/AerialFade.h"

#include <cmath>

#include "render/Easing.h"

namespace horizonmill {

PackedColour AerialFade(PackedColour colour, PackedColour horizon, long double airDepth,
                        long double distance) {
  return AerialFader(airDepth, distance)(colour, horizon);
}

AerialFader::AerialFader(long double airDepth, long double distance) {
  // distance < 1 (and a distance that is no number) leaves colours unchanged.
  if (airDepth == 0 || !(distance >= 1)) return;
  active_ = true;
  const long double inv = 1 / distance;
  const long double k = 1 / (airDepth + 1);
  // The two powers of EaseIn(c, h, 1, 0, inv, 4) and EaseOut(t, c, 0, 1, k, 2);
  // their divisors |0 - 1|^4 and |1 - 0|^2 are exactly 1.
  nearPower_ = PowerOfAbs(
      static_cast<double>(static_cast<long double>(static_cast<double>(inv)) - 1.0L), 4.0);
  const long double kd = static_cast<double>(k);
  depthPower_ = PowerOfAbs(static_cast<double>(1.0L - kd), 2.0);
  // A negative AirDepth (never from the recommended inputs) can push the depth
  // power past 1, and a value that is no number fails the test: extended then.
  inDouble_ = nearPower_ <= 1 && depthPower_ <= 1;
  weight_ = static_cast<float>(nearPower_ * depthPower_);
}

PackedColour AerialFader::Extended(PackedColour colour, PackedColour horizon) const {
  auto channel = [this](int c, int h) -> float {
    // t = c + (h - c) * (1 - inv)^4
    const double t = static_cast<double>(c + nearPower_ * static_cast<long double>(h - c));
    // r = c - (c - t) * (1 - k)^2, by way of EaseOut's mirror
    const double mirrored =
        static_cast<double>(t + depthPower_ * (static_cast<long double>(c) - t));
    double r = static_cast<double>(t + (static_cast<long double>(c) - mirrored));
    if (r > 255) r = 255;
    if (!(r >= 0)) r = 0;
    return static_cast<float>(r);
  };
  return PackFloatColour(channel(Red(colour), Red(horizon)), channel(Green(colour), Green(horizon)),
                         channel(Blue(colour), Blue(horizon)), static_cast<float>(Alpha(colour)));
}

#if defined(__SSE2__)
PackedColour AerialFader::InDouble(PackedColour colour, PackedColour horizon) const {
  // Red and green in one pair of lanes, blue (and alpha, unused) in the other;
  // each lane does the scalar steps below, the same operations in the same order.
  const __m128i c = detail::ToLanes(colour).v;
  const __m128i diff = _mm_sub_epi32(detail::ToLanes(horizon).v, c);
  const __m128d near = _mm_set1_pd(nearPower_), depth = _mm_set1_pd(depthPower_);
  const __m128d big = _mm_set1_pd(0x1p52), half = _mm_set1_pd(0.5);
  const __m128d sign = _mm_set1_pd(-0.0);
  auto fade = [&](__m128i cs, __m128i ds, __m128d& r) {
    const __m128d cd = _mm_cvtepi32_pd(cs);
    const __m128d t = _mm_add_pd(cd, _mm_mul_pd(near, _mm_cvtepi32_pd(ds)));
    const __m128d mirrored = _mm_add_pd(t, _mm_mul_pd(depth, _mm_sub_pd(cd, t)));
    r = _mm_add_pd(t, _mm_sub_pd(cd, mirrored));
    const __m128d nearest = _mm_sub_pd(_mm_add_pd(r, big), big);
    const __m128d off =
        _mm_andnot_pd(sign, _mm_sub_pd(_mm_andnot_pd(sign, _mm_sub_pd(r, nearest)), half));
    return _mm_movemask_pd(_mm_cmplt_pd(off, _mm_set1_pd(0x1p-12)));
  };
  __m128d red_green, blue;
  const int near_half = fade(c, diff, red_green) |
                        (fade(_mm_shuffle_epi32(c, 0xee), _mm_shuffle_epi32(diff, 0xee), blue) & 1);
  if (near_half) return Extended(colour, horizon);
  // PackFloatColour: held as floats, clamped to 0..255, rounded halves to even.
  auto pack = [&](__m128d v) {
    v = _mm_cvtps_pd(_mm_cvtpd_ps(v));
    v = _mm_min_pd(_mm_max_pd(v, _mm_setzero_pd()), _mm_set1_pd(255));
    return _mm_cvttpd_epi32(_mm_sub_pd(_mm_add_pd(v, big), big));
  };
  const std::uint32_t rgb = detail::FromLanes({_mm_unpacklo_epi64(pack(red_green), pack(blue))});
  return WithAlpha(rgb, Alpha(colour));
}

void AerialFader::FadeRow(PackedColour* colours, const PackedColour* horizons, int count) const {
  if (!active_) return;
  int i = 0;
  if (inDouble_) {
    // Red, green and blue move by the weight; alpha by 0, so it stays as it is.
    const __m128 weight = _mm_setr_ps(weight_, weight_, weight_, 0);
    const __m128 limit = _mm_set1_ps(0.5f - 0x1p-12f);
    const __m128 sign = _mm_set1_ps(-0.0f);
    const __m128i zero = _mm_setzero_si128();
    // One pixel's four channels, in 32-bit lanes, faded and rounded; `near`
    // gets a bit per lane that lies too close to a half.
    auto fade = [&](__m128i c, __m128i h, int& near) {
      const __m128 cf = _mm_cvtepi32_ps(c);
      const __m128 r = _mm_add_ps(cf, _mm_mul_ps(weight, _mm_cvtepi32_ps(_mm_sub_epi32(h, c))));
      const __m128i n = _mm_cvtps_epi32(r);
      const __m128 off = _mm_andnot_ps(sign, _mm_sub_ps(r, _mm_cvtepi32_ps(n)));
      near = _mm_movemask_ps(_mm_cmpge_ps(off, limit));
      return n;
    };
    for (; i + 4 <= count; i += 4) {
      const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(colours + i));
      const __m128i h = _mm_loadu_si128(reinterpret_cast<const __m128i*>(horizons + i));
      const __m128i c01 = _mm_unpacklo_epi8(c, zero), c23 = _mm_unpackhi_epi8(c, zero);
      const __m128i h01 = _mm_unpacklo_epi8(h, zero), h23 = _mm_unpackhi_epi8(h, zero);
      int near[4];
      const __m128i r0 =
          fade(_mm_unpacklo_epi16(c01, zero), _mm_unpacklo_epi16(h01, zero), near[0]);
      const __m128i r1 =
          fade(_mm_unpackhi_epi16(c01, zero), _mm_unpackhi_epi16(h01, zero), near[1]);
      const __m128i r2 =
          fade(_mm_unpacklo_epi16(c23, zero), _mm_unpacklo_epi16(h23, zero), near[2]);
      const __m128i r3 =
          fade(_mm_unpackhi_epi16(c23, zero), _mm_unpackhi_epi16(h23, zero), near[3]);
      const __m128i faded = _mm_packus_epi16(_mm_packs_epi32(r0, r1), _mm_packs_epi32(r2, r3));
      if ((near[0] | near[1] | near[2] | near[3]) == 0) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(colours + i), faded);
        continue;
      }
      PackedColour original[4];
      _mm_storeu_si128(reinterpret_cast<__m128i*>(original), c);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(colours + i), faded);
      for (int k = 0; k < 4; ++k)
        if (near[k] != 0) colours[i + k] = InDouble(original[k], horizons[i + k]);
    }
  }
  for (; i < count; ++i) colours[i] = (*this)(colours[i], horizons[i]);
}
#else
PackedColour AerialFader::InDouble(PackedColour colour, PackedColour horizon) const {
  const int c[3] = {Red(colour), Green(colour), Blue(colour)};
  const int h[3] = {Red(horizon), Green(horizon), Blue(horizon)};
  double r[3];
  bool near_half = false;
  for (int i = 0; i < 3; ++i) {
    const double ci = c[i];
    const double t = ci + nearPower_ * (h[i] - c[i]);
    const double mirrored = t + depthPower_ * (ci - t);
    r[i] = t + (ci - mirrored);
    // The nearest integer (halves to even; r lies within 0..255).
    const double n = (r[i] + 0x1p52) - 0x1p52;
    near_half |= std::fabs(std::fabs(r[i] - n) - 0.5) < 0x1p-12;
  }
  if (near_half) return Extended(colour, horizon);
  // PackFloatColour clamps to 0..255 as the extended path does before it.
  return PackFloatColour(static_cast<float>(r[0]), static_cast<float>(r[1]),
                         static_cast<float>(r[2]), static_cast<float>(Alpha(colour)));
}

void AerialFader::FadeRow(PackedColour* colours, const PackedColour* horizons, int count) const {
  if (!active_) return;
  for (int i = 0; i < count; ++i) colours[i] = (*this)(colours[i], horizons[i]);
}
#endif

}  // namespace horizonmill
