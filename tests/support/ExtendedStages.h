// The textured layers written the plainest way their definition allows, in
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

// AerialFade as it is defined: t = EaseIn(c, h, 1, 0, 1/d, 4),
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

inline int Wrap(long long v, int size) {
  const long long r = v % size;
  return static_cast<int>(r < 0 ? r + size : r);
}

inline int Mix(int a, int b, double t) {
  return static_cast<int>(static_cast<double>(b) + static_cast<double>(a - b) * t);
}

// a weighted by t, b by 1 - t; a transparent side takes the other's colour.
inline PackedColour MixColour(PackedColour a, PackedColour b, double t) {
  if (Alpha(a) == 0) a = b & 0x00ffffffu;
  if (Alpha(b) == 0) b = a & 0x00ffffffu;
  return MakePacked(Mix(Red(a), Red(b), t), Mix(Green(a), Green(b), t), Mix(Blue(a), Blue(b), t),
                    Mix(Alpha(a), Alpha(b), t));
}

// Bilinear with wrap-around over a w x h picture whose pixel (x, y) is at(x, y):
// Trunc of each coordinate, its fraction Frac, or Frac + 1 when not positive.
template <typename At>
PackedColour Sample(int w, int h, At at, long double x, long double y) {
  const long long bx = static_cast<long long>(x), by = static_cast<long long>(y);
  long double fx = x - bx, fy = y - by;
  if (!(fx > 0)) fx += 1;
  if (!(fy > 0)) fy += 1;
  const int x0 = Wrap(bx, w), x1 = Wrap(bx + 1, w), y0 = Wrap(by, h), y1 = Wrap(by + 1, h);
  const double tx = static_cast<double>(fx), ty = static_cast<double>(fy);
  return MixColour(MixColour(at(x1, y1), at(x0, y1), tx), MixColour(at(x1, y0), at(x0, y0), tx),
                   ty);
}

// The walk of column x: from the texture centre along the column's direction.
struct Walk {
  long double u, v, du, dv;
  Walk(int W, int x, const PixelImage& texture)
      : u(texture.width / 2.0L), v(texture.height / 2.0L) {
    const Vector2 d = RotateVector(360.0L / W * x, 0, texture.height);
    du = d.u / W;
    dv = d.v / W;
  }
  PackedColour Sample(const PixelImage& t) const {
    return extended::Sample(
        t.width, t.height, [&](int x, int y) { return t.Row(y)[x]; }, u, v);
  }
  // Step j's distance d (1 / (1 - (2 / H) t), t = EaseOut(0, half, 0, half, j, 2)), after which
  // the walk moves on by d / scale.
  long double Advance(int H, int j, long double scale) {
    const int half = H / 2;
    const double t = EaseOut(0, half, 0, half, j, 2);
    const long double m = 1 - (2.0L / H) * t;
    const long double d = m > 0 ? 1 / m : 0;
    u = u + du * d / (scale == 0 ? 0.001L : scale);
    v = v + dv * d / (scale == 0 ? 0.001L : scale);
    return d;
  }
};

inline PackedColour Horizon(const PixelImage* row, int x) {
  return row != nullptr ? row->Row(0)[x] : MakePacked(255, 255, 255, 255);
}

}  // namespace extended

// RenderCeiling for an input with a texture (its alpha prepared).
inline void ExtendedCeiling(WorkBitmap& target, const CeilingLayerInput& input) {
  const int W = target.Width(), H = target.Height();
  for (int x = 0; x < W; ++x) {
    extended::Walk walk(W, x, *input.Texture);
    const PackedColour hz = extended::Horizon(input.HorizonRow, x);
    for (int j = 0; j < H / 2; ++j) {
      PackedColour c = walk.Sample(*input.Texture);
      const long double d = walk.Advance(H, j, input.Scale);
      c = FadeByDefinition(c, hz, input.AirDepth, d);
      BlendInto(target.Row(j)[x], c, input.MixtureMode);
    }
  }
}

// RenderGround for an input with a texture (and a reflection bitmap when it reflects).
inline void ExtendedGround(WorkBitmap& target, const GroundLayerInput& input) {
  const int W = target.Width(), H = target.Height(), half = H / 2;
  const long double K = 0.01227184609375L, w1024 = static_cast<long double>(W) / 1024;
  const AverageColourResult avg = AverageColour(*input.Texture);
  const WorkBitmap* mirror = input.ReflectionBitmap;
  auto mirror_at = [&](int x, int y) { return BgrToPacked(mirror->Row(y)[x]); };
  for (int x = 0; x < W; ++x) {
    extended::Walk walk(W, x, *input.Texture);
    const PackedColour hz = extended::Horizon(input.HorizonRow, x);
    for (int j = 0; j < H - half; ++j) {
      const int y = H - 1 - j;
      PackedColour c = walk.Sample(*input.Texture);
      const long double d = walk.Advance(H, j, input.Scale);
      if (input.Reflection > 0) {
        const long double warp = (std::sin((Red(c) - static_cast<long double>(avg.r)) * K) +
                                  std::cos((Green(c) - static_cast<long double>(avg.g)) * K) - 1) *
                                 input.ReflectionWarp * w1024 / (d / 5);
        const PackedColour r =
            extended::Sample(mirror->Width(), mirror->Height(), mirror_at, x + warp, y - half);
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
