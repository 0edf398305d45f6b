#include "codecs/HalfFloat.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define HORIZONMILL_HALF_BY_F16C 1
#endif

namespace horizonmill {
namespace {

float Held(float v) { return v > 0 ? std::min(v, kLargestHalf) : 0.0f; }  // a no-number fails v > 0

// A float in [0, 65504] to a half, rounded to the nearest (ties to even).
std::uint16_t HalfOf(float v) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  const int exponent = static_cast<int>(bits >> 23) - 127;
  std::uint32_t mantissa = bits & 0x7fffffu;
  std::uint32_t half = 0, rest = 0, halfway = 0;
  if (exponent >= -14) {  // a normal half: ten of the 23 bits kept
    half = (static_cast<std::uint32_t>(exponent + 15) << 10) | (mantissa >> 13);
    rest = mantissa & 0x1fffu;
    halfway = 0x1000u;
  } else {  // a subnormal half: v / 2^-24, of the mantissa with its leading 1
    const int shift = -(exponent + 1);  // >= 14
    if (shift > 24 || exponent == -127) return 0;
    mantissa |= 0x800000u;
    half = mantissa >> shift;
    rest = mantissa & ((1u << shift) - 1);
    halfway = 1u << (shift - 1);
  }
  // A carry out of the mantissa steps the exponent up, as it must.
  if (rest > halfway || (rest == halfway && (half & 1u) != 0)) ++half;
  return static_cast<std::uint16_t>(half);
}

#ifdef HORIZONMILL_HALF_BY_F16C
// Whether the processor converts to halves itself: F16C, and the AVX state it
// works in saved by the system.
bool HasF16c() {
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (__get_cpuid(1, &a, &b, &c, &d) == 0) return false;
  if ((c & bit_F16C) == 0 || (c & bit_AVX) == 0 || (c & bit_OSXSAVE) == 0) return false;
  unsigned low = 0, high = 0;
  __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  return (low & 6u) == 6u;  // the SSE and AVX registers
}

__attribute__((target("f16c"))) void FloatsToHalvesByF16c(const float* from, std::uint16_t* to,
                                                          std::size_t n) {
  const __m128 zero = _mm_setzero_ps(), largest = _mm_set1_ps(kLargestHalf);
  std::size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    // max gives its second operand for a no-number and for either zero.
    const __m128 v = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(from + i), zero), largest);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(to + i),
                     _mm_cvtps_ph(v, _MM_FROUND_TO_NEAREST_INT));
  }
  for (; i < n; ++i) to[i] = HalfOf(Held(from[i]));
}
#endif

// A half's value.
float HalfToFloat(std::uint16_t half) {
  const std::uint32_t exponent = (half >> 10) & 0x1fu, mantissa = half & 0x3ffu;
  const float magnitude = exponent == 0 ? std::ldexp(static_cast<float>(mantissa), -24)
                                        : std::ldexp(static_cast<float>(mantissa | 0x400u),
                                                     static_cast<int>(exponent) - 25);
  return (half & 0x8000u) != 0 ? -magnitude : magnitude;
}

}  // namespace

void FloatsToHalvesPortably(const float* from, std::uint16_t* to, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) to[i] = HalfOf(Held(from[i]));
}

void HalvesToFloats(const std::uint16_t* from, float* to, std::size_t n) {
  static const std::vector<float> table = [] {
    std::vector<float> t(65536);
    for (std::size_t h = 0; h < t.size(); ++h) t[h] = HalfToFloat(static_cast<std::uint16_t>(h));
    return t;
  }();
  for (std::size_t i = 0; i < n; ++i) to[i] = table[from[i]];
}

void FloatsToHalves(const float* from, std::uint16_t* to, std::size_t n) {
#ifdef HORIZONMILL_HALF_BY_F16C
  static const bool f16c = HasF16c();
  if (f16c) return FloatsToHalvesByF16c(from, to, n);
#endif
  FloatsToHalvesPortably(from, to, n);
}

}  // namespace horizonmill
