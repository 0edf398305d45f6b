// The textured layers written the plainest way their description allows, in
// extended precision throughout: one column after another, the texture walk,
// the bilinear samples, the aerial fade (through EaseIn and EaseOut), the
// ripple and the mirror mix worked out afresh at every pixel. The renderers
// must give exactly these pixels, for any number of threads.
#pragma once

#include <cmath>

#include "image/Colour.h"
#include "image/WorkBitmap.h"
#include "render/Easing.h"
#include "render/PlaneWalk.h"
#include "render/RenderCeiling.h"
#include "render/RenderGround.h"

namespace horizonmill::testing {

// AerialFade as the description writes it: t = EaseIn(c, h, 1, 0, 1/d, 4),
// r = EaseOut(t, c, 0, 1, 1/(depth+1), 2), clamped, single precision, rounded.
inline PackedColour FadeByDefinition(PackedColour colour, PackedColour horizon, long double depth,
                                     long double distance) {
  if (depth == 0 || !(distance >= 1)) return colour;
  const long double inv = 1 / distance, k = 1 / (depth + 1);
  float out[3];
  const int cs[3] = {Red(colour), Green(colour), Blue(colour)};
  const int hs[3] = {Red(horizon), Green(horizon), Blue(horizon)};
  for (int i = 0; i < 3; ++i) {
    const double t = EaseIn(cs[i], hs[i], 1.0, 0.0, static_cast<double>(inv), 4.0);
    double r = EaseOut(t, cs[i], 0.0, 1.0, static_cast<double>(k), 2.0);
    if (r > 255) r = 255;
    if (!(r >= 0)) r = 0;
    out[i] = static_cast<float>(r);
  }
  return PackFloatColour(out[0], out[1], out[2], static_cast<float>(Alpha(colour)));
}

namespace extended {

// Trunc(v) and the fraction Frac(v), or Frac(v) + 1 when that is not positive.
inline void Split(long double v, long long& base, double& fraction) {
  base = static_cast<long long>(v);
  long double f = v - base;
  if (!(f > 0)) f += 1;
  fraction = static_cast<double>(f);
}

inline int Wrap(long long v, int size) {
  const long long r = v % size;
  return static_cast<int>(r < 0 ? r + size : r);
}

inline int Mix(int a, int b, double t) {
  return static_cast<int>(static_cast<double>(b) + static_cast<double>(a - b) * t);
}

inline PackedColour MixColour(PackedColour a, PackedColour b, double t) {
  if (Alpha(a) == 0) a = b & 0x00ffffffu;
  if (Alpha(b) == 0) b = a & 0x00ffffffu;
  return MakePacked(Mix(Red(a), Red(b), t), Mix(Green(a), Green(b), t), Mix(Blue(a), Blue(b), t),
                    Mix(Alpha(a), Alpha(b), t));
}

inline PackedColour Sample(const PixelImage& image, long double x, long double y) {
  long long bx, by;
  double fx, fy;
  Split(x, bx, fx);
  Split(y, by, fy);
  const int x0 = Wrap(bx, image.width), x1 = Wrap(bx + 1, image.width);
  const int y0 = Wrap(by, image.height), y1 = Wrap(by + 1, image.height);
  const PackedColour top = MixColour(image.Row(y0)[x1], image.Row(y0)[x0], fx);
  const PackedColour bottom = MixColour(image.Row(y1)[x1], image.Row(y1)[x0], fx);
  return MixColour(bottom, top, fy);
}

inline BgrPixel Sample(const WorkBitmap& bitmap, long double x, long double y) {
  long long bx, by;
  double fx, fy;
  Split(x, bx, fx);
  Split(y, by, fy);
  const int x0 = Wrap(bx, bitmap.Width()), x1 = Wrap(bx + 1, bitmap.Width());
  const int y0 = Wrap(by, bitmap.Height()), y1 = Wrap(by + 1, bitmap.Height());
  auto mix = [](BgrPixel a, BgrPixel b, double t) {
    return BgrPixel{static_cast<std::uint8_t>(Mix(a.b, b.b, t)),
                    static_cast<std::uint8_t>(Mix(a.g, b.g, t)),
                    static_cast<std::uint8_t>(Mix(a.r, b.r, t))};
  };
  const BgrPixel top = mix(bitmap.Row(y0)[x1], bitmap.Row(y0)[x0], fx);
  const BgrPixel bottom = mix(bitmap.Row(y1)[x1], bitmap.Row(y1)[x0], fx);
  return mix(bottom, top, fy);
}

// The walk of column x: the start at the texture centre and the step direction.
struct Walk {
  long double u, v, du, dv;
  Walk(int W, int x, const PixelImage& texture) {
    const Vector2 d = RotateVector(360.0L / W * x, 0, texture.height);
    du = d.u / W;
    dv = d.v / W;
    u = texture.width / 2.0L;
    v = texture.height / 2.0L;
  }
  void Advance(long double d, long double scale) {
    u = u + du * d / scale;
    v = v + dv * d / scale;
  }
};

inline long double StepDistance(int H, int j) {
  const int half = H / 2;
  const double t = EaseOut(0, half, 0, half, j, 2);
  const long double m = 1 - (2.0L / H) * t;
  return m > 0 ? 1 / m : 0;
}

inline PackedColour Horizon(const PixelImage* row, int x) {
  return row != nullptr ? row->Row(0)[x] : MakePacked(255, 255, 255, 255);
}

inline long double ScaleOf(long double scale) { return scale == 0 ? 0.001L : scale; }

}  // namespace extended

// RenderCeiling for an input with a texture.
inline void ExtendedCeiling(WorkBitmap& target, const CeilingLayerInput& input) {
  PrepareCeilingAlpha(input);
  const PixelImage& texture = *input.Texture;
  const int W = target.Width(), H = target.Height();
  const long double scale = extended::ScaleOf(input.Scale);
  for (int x = 0; x < W; ++x) {
    extended::Walk walk(W, x, texture);
    const PackedColour hz = extended::Horizon(input.HorizonRow, x);
    for (int j = 0; j < H / 2; ++j) {
      PackedColour c = extended::Sample(texture, walk.u, walk.v);
      const long double d = extended::StepDistance(H, j);
      walk.Advance(d, scale);
      c = FadeByDefinition(c, hz, input.AirDepth, d);
      BlendInto(target.Row(j)[x], c, input.MixtureMode);
    }
  }
}

// RenderGround for an input with a texture (and a reflection bitmap when it reflects).
inline void ExtendedGround(WorkBitmap& target, const GroundLayerInput& input) {
  const PixelImage& texture = *input.Texture;
  const int W = target.Width(), H = target.Height(), half = H / 2;
  const long double scale = extended::ScaleOf(input.Scale);
  const long double K = 0.01227184609375L, w1024 = static_cast<long double>(W) / 1024;
  const AverageColourResult avg = AverageColour(texture);
  for (int x = 0; x < W; ++x) {
    extended::Walk walk(W, x, texture);
    const PackedColour hz = extended::Horizon(input.HorizonRow, x);
    for (int j = 0; j < H - half; ++j) {
      const int y = H - 1 - j;
      PackedColour c = extended::Sample(texture, walk.u, walk.v);
      const long double d = extended::StepDistance(H, j);
      walk.Advance(d, scale);
      if (input.Reflection > 0) {
        const long double warp = (std::sin((Red(c) - static_cast<long double>(avg.r)) * K) +
                                  std::cos((Green(c) - static_cast<long double>(avg.g)) * K) - 1) *
                                 input.ReflectionWarp * w1024 / (d / 5);
        const PackedColour r =
            BgrToPacked(extended::Sample(*input.ReflectionBitmap, x + warp, y - half));
        auto mix = [&](int rc, int cc) {
          return static_cast<int>(
              std::nearbyintl(rc * input.Reflection + cc * (1 - input.Reflection)));
        };
        c = MakePacked(mix(Red(r), Red(c)), mix(Green(r), Green(c)), mix(Blue(r), Blue(c)),
                       Alpha(c));
      }
      c = FadeByDefinition(c, hz, input.AirDepth, d);
      target.Row(y)[x] = PackedToBgr(c);
    }
  }
}

}  // namespace horizonmill::testing
