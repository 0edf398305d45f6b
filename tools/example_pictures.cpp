// Draws the pictures of the example scenes (cloud and water textures, mountain,
// tree, rock and lighthouse objects) and writes them as BMP files into a folder:
//   horizonmill-example-pictures DIR
// Every picture is procedural and seeded, so the files come out the same on
// every run. Object pictures use pure magenta (255, 0, 255) as their key colour.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "image/WorkBitmap.h"
#include "output/ImageOutput.h"
#include "platform/FileError.h"

using namespace horizonmill;

namespace {

constexpr BgrPixel kKey{255, 0, 255};

// Tileable value noise: a lattice of random values on a period x period grid,
// smoothly interpolated, summed over octaves.
class Noise {
 public:
  Noise(int period, std::uint32_t seed) : period_(period), values_(period * period) {
    std::uint32_t s = seed;
    for (float& v : values_) {
      s = s * 1664525u + 1013904223u;
      v = (s >> 8) / 16777216.0f;
    }
  }
  // x, y in lattice units; wraps at the period.
  float At(double x, double y) const {
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const double fx = Smooth(x - x0), fy = Smooth(y - y0);
    auto v = [&](int i, int j) {
      i = ((i % period_) + period_) % period_;
      j = ((j % period_) + period_) % period_;
      return values_[j * period_ + i];
    };
    const double top = v(x0, y0) + (v(x0 + 1, y0) - v(x0, y0)) * fx;
    const double bottom = v(x0, y0 + 1) + (v(x0 + 1, y0 + 1) - v(x0, y0 + 1)) * fx;
    return static_cast<float>(top + (bottom - top) * fy);
  }
  // Fractal sum over a tile of `size` pixels starting with `cells` lattice cells.
  float Fractal(int px, int py, int size, int cells, int octaves) const {
    double sum = 0, amplitude = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
      const double scale = static_cast<double>(cells << o) / size;
      sum += amplitude * At(px * scale + 17 * o, py * scale + 31 * o);
      total += amplitude;
      amplitude *= 0.5;
    }
    return static_cast<float>(sum / total);
  }

 private:
  static double Smooth(double t) { return t * t * (3 - 2 * t); }
  int period_;
  std::vector<float> values_;
};

std::uint8_t Byte(double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0) + 0.5); }
BgrPixel Rgb(double r, double g, double b) { return BgrPixel{Byte(b), Byte(g), Byte(r)}; }

// Clouds: soft white-to-grey masses, the open sky between them in the key colour.
WorkBitmap Clouds() {
  constexpr int n = 256;
  WorkBitmap bitmap(n, n);
  const Noise noise(64, 7);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      // Period 64 lattice over 256 pixels with 4 base cells: tiles seamlessly.
      const float v = noise.Fractal(x, y, n, 4, 5);
      if (v < 0.52f) {
        bitmap.Row(y)[x] = kKey;
        continue;
      }
      const double density = std::min(1.0, (v - 0.52) / 0.2);
      const double light = 255 - 70 * density + 25 * (noise.Fractal(x + 9, y + 5, n, 16, 2) - 0.5);
      bitmap.Row(y)[x] = Rgb(light, light * 0.97, light * 0.95);
    }
  return bitmap;
}

// Calm water: dark blue-green with gentle colour ripples (they drive the
// reflection's warp).
WorkBitmap Water() {
  constexpr int n = 256;
  WorkBitmap bitmap(n, n);
  const Noise noise(64, 21);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const double ripple = noise.Fractal(x, y, n, 8, 3) - 0.5;
      const double wave = std::sin(2 * M_PI * (y / 16.0 + 2 * ripple));
      bitmap.Row(y)[x] = Rgb(20 + 30 * ripple, 55 + 40 * wave * 0.5 + 25 * ripple, 70 + 20 * wave);
    }
  return bitmap;
}

// A mountain range: layered ridges, snow on the peaks, sky in the key colour.
WorkBitmap Mountains() {
  constexpr int w = 512, h = 128;
  WorkBitmap bitmap(w, h);
  FillWorkBitmap(bitmap, kKey);
  const Noise noise(32, 5);
  for (int x = 0; x < w; ++x) {
    const double ridge = 0.25 + 0.6 * noise.Fractal(x, 0, w, 4, 4) * std::sin(M_PI * x / w);
    const int top = static_cast<int>(h * (1 - ridge));
    for (int y = std::max(top, 0); y < h; ++y) {
      const double depth = static_cast<double>(y - top) / h;
      const bool snow = depth < 0.06 && ridge > 0.5;
      const double shade = 0.8 + 0.4 * (noise.Fractal(x, y, w, 32, 2) - 0.5);
      bitmap.Row(y)[x] = snow ? Rgb(235, 238, 245) : Rgb(70 * shade, 85 * shade, 110 * shade);
    }
  }
  return bitmap;
}

// A conifer: stacked triangles of dark green on a brown trunk.
WorkBitmap Tree() {
  constexpr int w = 64, h = 128;
  WorkBitmap bitmap(w, h);
  FillWorkBitmap(bitmap, kKey);
  const Noise noise(16, 9);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double dx = std::abs(x - w / 2 + 0.5);
      const double tier = std::fmod(y, 26.0) / 26.0;  // each tier widens downward
      const double half = (4 + 26 * tier) * (0.35 + 0.65 * y / h);
      if (y < h - 14 && dx < half) {
        const double n = noise.Fractal(x, y, w, 8, 2);
        bitmap.Row(y)[x] = Rgb(20 + 25 * n, 60 + 50 * n - dx, 30 + 20 * n);
      } else if (y >= h - 18 && dx < 4) {
        bitmap.Row(y)[x] = Rgb(90, 60, 35);
      }
    }
  return bitmap;
}

// A rounded grey rock with darker cracks.
WorkBitmap Rock() {
  constexpr int w = 96, h = 64;
  WorkBitmap bitmap(w, h);
  FillWorkBitmap(bitmap, kKey);
  const Noise noise(16, 13);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double u = (x - w / 2.0) / (w / 2.0), v = (h - y) / static_cast<double>(h);
      const double edge = 0.95 - 0.25 * (noise.Fractal(x, 0, w, 4, 3) - 0.5);
      if (u * u + v * v * 1.2 < edge * edge && v > 0) {
        const double lit = 0.6 + 0.4 * (1 - v) * 0 + 0.35 * (v - 0.3) - 0.2 * u;
        const double n = noise.Fractal(x, y, w, 16, 3);
        const double g = 90 + 90 * lit * (0.7 + 0.6 * n);
        bitmap.Row(y)[x] = Rgb(g, g * 0.96, g * 0.9);
      }
    }
  return bitmap;
}

// A white lighthouse with red bands and a lit lantern.
WorkBitmap Lighthouse() {
  constexpr int w = 48, h = 128;
  WorkBitmap bitmap(w, h);
  FillWorkBitmap(bitmap, kKey);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double cx = x - w / 2 + 0.5;
      if (y >= 28) {  // the tower tapers upward
        const double half = 8 + 12.0 * (y - 28) / (h - 28);
        if (std::abs(cx) < half) {
          const bool band = (y - 28) % 32 < 10;
          const double shade = 1 - 0.35 * (cx + half) / (2 * half);
          bitmap.Row(y)[x] = band ? Rgb(200 * shade, 40 * shade, 40 * shade)
                                  : Rgb(245 * shade, 245 * shade, 240 * shade);
        }
      } else if (y >= 12 && std::abs(cx) < 7) {
        bitmap.Row(y)[x] = Rgb(255, 235, 150);  // the lantern
      } else if (y >= 4 && y < 12 && std::abs(cx) < 10 - (12 - y)) {
        bitmap.Row(y)[x] = Rgb(60, 60, 70);  // the roof
      }
    }
  return bitmap;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  const std::pair<const char*, WorkBitmap> pictures[] = {
      {"clouds.bmp", Clouds()},     {"water.bmp", Water()}, {"mountains.bmp", Mountains()},
      {"tree.bmp", Tree()},         {"rock.bmp", Rock()},   {"lighthouse.bmp", Lighthouse()},
  };
  try {
    for (const auto& [name, bitmap] : pictures) SaveAsBmp(bitmap, dir + name);
  } catch (const FileError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
