#include "ExamplePictures.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace horizonmill::examples {
namespace {

// Value noise: a lattice of random values, smoothly interpolated, summed over
// octaves. Every octave wraps its lattice at the number of cells it spans
// across the tile, so the sum repeats exactly at the tile's size and a texture
// drawn from it joins itself without a seam.
class Noise {
 public:
  Noise(int lattice, std::uint32_t seed) : lattice_(lattice), values_(lattice * lattice) {
    std::uint32_t s = seed;
    for (float& v : values_) {
      s = s * 1664525u + 1013904223u;
      v = static_cast<float>(s >> 8) / 16777216.0f;  // 24 bits: exact
    }
  }
  // x, y in lattice units; the noise repeats every `period` units each way.
  float At(double x, double y, int period) const {
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const double fx = Smooth(x - x0), fy = Smooth(y - y0);
    auto v = [&](int i, int j) {
      i = ((i % period) + period) % period % lattice_;
      j = ((j % period) + period) % period % lattice_;
      return values_[j * lattice_ + i];
    };
    const double top = v(x0, y0) + (v(x0 + 1, y0) - v(x0, y0)) * fx;
    const double bottom = v(x0, y0 + 1) + (v(x0 + 1, y0 + 1) - v(x0, y0 + 1)) * fx;
    return static_cast<float>(top + (bottom - top) * fy);
  }
  // Fractal sum over a tile of `size` pixels starting with `cells` lattice
  // cells: octave o spans cells << o cells and repeats after them.
  float Fractal(int px, int py, int size, int cells, int octaves) const {
    double sum = 0, amplitude = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
      const int period = cells << o;
      const double scale = static_cast<double>(period) / size;
      sum += amplitude * At(px * scale + 17 * o, py * scale + 31 * o, period);
      total += amplitude;
      amplitude *= 0.5;
    }
    return static_cast<float>(sum / total);
  }

 private:
  static double Smooth(double t) { return t * t * (3 - 2 * t); }
  int lattice_;
  std::vector<float> values_;
};

constexpr BgrPixel kKey{255, 0, 255};

// Round half up; the value is never negative after the clamp.
std::uint8_t Byte(double v) {
  // NOLINTNEXTLINE(bugprone-incorrect-roundings)
  return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0) + 0.5);
}
BgrPixel Rgb(double r, double g, double b) { return BgrPixel{Byte(b), Byte(g), Byte(r)}; }

}  // namespace

// Clouds: soft white-to-grey masses, the open sky between them in the key colour.
WorkBitmap Clouds() {
  constexpr int n = 256;
  WorkBitmap bitmap(n, n);
  const Noise noise(64, 7);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const float v = noise.Fractal(x, y, n, 4, 5);
      if (v < 0.56f) {
        bitmap.Row(y)[x] = kKey;
        continue;
      }
      const double density = std::min(1.0, (v - 0.56) / 0.2);
      const double light = 255 - 70 * density + 25 * (noise.Fractal(x + 9, y + 5, n, 16, 2) - 0.5);
      bitmap.Row(y)[x] = Rgb(light, light * 0.97, light * 0.95);
    }
  return bitmap;
}

// Calm water: dark blue-green with gentle colour ripples (they drive the
// reflection's warp).
WorkBitmap Water() {
  constexpr int n = 128;
  WorkBitmap bitmap(n, n);
  const Noise noise(32, 21);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const double ripple = noise.Fractal(x, y, n, 4, 3) - 0.5;
      const double wave = std::sin(2 * M_PI * (y / 8.0 + 2 * ripple));
      bitmap.Row(y)[x] = Rgb(20 + 30 * ripple, 55 + 40 * wave * 0.5 + 25 * ripple, 70 + 20 * wave);
    }
  return bitmap;
}

// Object boxes are always twice as wide as high (they follow the panorama's
// aspect), so every object picture is drawn 2 : 1 with its subject standing on
// the bottom edge and the key colour around it.

// A mountain range: jagged peaks, snow above a line, bluish rock below.
WorkBitmap Mountains() {
  constexpr int w = 256, h = 128;
  WorkBitmap bitmap(w, h);
  FillWorkBitmap(bitmap, kKey);
  const Noise noise(32, 5);
  for (int x = 0; x < w; ++x) {
    // Two broad peaks with a ridged, sharper outline, falling to the box's ends.
    const double u = static_cast<double>(x) / w;
    const double envelope = std::pow(std::sin(M_PI * u), 0.7);
    const double peaks = 0.55 + 0.25 * std::sin(2 * M_PI * u * 2.3 + 1) +
                         0.35 * (1 - std::abs(2 * noise.Fractal(x, 0, w, 6, 4) - 1));
    const double height = std::clamp(0.9 * envelope * peaks, 0.0, 0.97);
    const int top = static_cast<int>(h * (1 - height));
    for (int y = std::max(top, 0); y < h; ++y) {
      const double n = noise.Fractal(x, y, w, 32, 3);
      const bool snow = y < h * 0.42 && y < top + 6 + 14 * n;
      const double lit = x < w / 2 ? 1.0 : 0.78;  // light from the left
      const double shade = (0.75 + 0.5 * (n - 0.5)) * lit;
      bitmap.Row(y)[x] =
          snow ? Rgb(235 * lit, 238 * lit, 248 * lit) : Rgb(72 * shade, 84 * shade, 112 * shade);
    }
  }
  return bitmap;
}

// A stand of conifers of different heights.
WorkBitmap Trees() {
  constexpr int w = 128, h = 64;
  WorkBitmap bitmap(w, h);
  FillWorkBitmap(bitmap, kKey);
  const Noise noise(16, 9);
  struct Tree {
    double x, height, width;
  };
  const Tree trees[] = {{30, 44, 11}, {52, 60, 14}, {74, 50, 12}, {95, 36, 9}};
  for (const Tree& t : trees) {
    const int top = static_cast<int>(h - t.height);
    for (int y = std::max(top, 0); y < h; ++y) {
      const double down = (y - top) / t.height;  // 0 at the tip, 1 at the foot
      for (int x = 0; x < w; ++x) {
        const double dx = std::abs(x - t.x);
        const double tier = std::fmod(down * 4, 1.0);  // four tiers, each widening
        const double half = t.width * down * (0.55 + 0.45 * tier);
        if (down < 0.9 && dx < half) {
          const double n = noise.Fractal(x, y, w, 16, 2);
          const double side = x < t.x ? 1.0 : 0.75;
          bitmap.Row(y)[x] = Rgb((18 + 20 * n) * side, (55 + 45 * n) * side, (32 + 15 * n) * side);
        } else if (down >= 0.85 && dx < 1.5) {
          bitmap.Row(y)[x] = Rgb(80, 55, 35);
        }
      }
    }
  }
  return bitmap;
}

// Two weathered boulders.
WorkBitmap Rocks() {
  constexpr int w = 128, h = 64;
  WorkBitmap bitmap(w, h);
  FillWorkBitmap(bitmap, kKey);
  const Noise noise(16, 13);
  struct Rock {
    double x, rx, ry;
  };
  const Rock rocks[] = {{48, 30, 34}, {86, 18, 20}};
  for (const Rock& r : rocks)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const double u = (x - r.x) / r.rx, v = (h - y) / r.ry;
        const double edge = 1 - 0.18 * noise.Fractal(x, y, w, 8, 2);
        if (u * u + v * v < edge * edge) {
          const double n = noise.Fractal(x, y, w, 16, 3);
          const double g = (110 + 70 * (v - 0.3) - 45 * u) * (0.75 + 0.5 * n);
          bitmap.Row(y)[x] = Rgb(g, g * 0.97, g * 0.9);
        }
      }
  return bitmap;
}

// A white lighthouse with red bands and a lit lantern, in the middle of its box.
WorkBitmap Lighthouse() {
  constexpr int w = 128, h = 64;
  WorkBitmap bitmap(w, h);
  FillWorkBitmap(bitmap, kKey);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double cx = x - w / 2.0 + 0.5;
      if (y >= 15) {  // the tower tapers upward
        const double half = 4 + 5.0 * (y - 15) / (h - 15);
        if (std::abs(cx) < half) {
          const bool band = (y - 15) % 16 < 5;
          const double shade = 1 - 0.35 * (cx + half) / (2 * half);
          bitmap.Row(y)[x] = band ? Rgb(200 * shade, 40 * shade, 40 * shade)
                                  : Rgb(245 * shade, 245 * shade, 240 * shade);
        }
      } else if (y >= 7 && std::abs(cx) < 3.5) {
        bitmap.Row(y)[x] = Rgb(255, 240, 160);  // the lantern
      } else if (y >= 2 && y < 7 && std::abs(cx) < 5.5 - (7 - y)) {
        bitmap.Row(y)[x] = Rgb(60, 60, 70);  // the roof
      }
    }
  return bitmap;
}

std::vector<ExamplePicture> ExamplePictures() {
  std::vector<ExamplePicture> pictures;
  pictures.push_back({"clouds.bmp", Clouds()});
  pictures.push_back({"water.bmp", Water()});
  pictures.push_back({"mountains.bmp", Mountains()});
  pictures.push_back({"trees.bmp", Trees()});
  pictures.push_back({"rocks.bmp", Rocks()});
  pictures.push_back({"lighthouse.bmp", Lighthouse()});
  return pictures;
}

std::vector<CutOutPicture> CutOutPictures() {
  std::vector<CutOutPicture> cutOuts;
  for (auto& [file, picture] : ExamplePictures()) {
    // The ground has no transparency; the lighthouse stands on the coast only.
    if (file == "water.bmp" || file == "lighthouse.bmp") continue;
    CutOutPicture cut{file.substr(0, file.size() - 4) + ".png", std::move(picture), {}};
    for (int y = 0; y < cut.picture.Height(); ++y)
      for (int x = 0; x < cut.picture.Width(); ++x) {
        BgrPixel& p = cut.picture.Row(y)[x];
        const bool clear = p == kKey;
        if (clear) p = BgrPixel{0, 0, 0};
        cut.alpha.push_back(clear ? 0 : 255);
      }
    cutOuts.push_back(std::move(cut));
  }
  return cutOuts;
}

namespace {

void AppendPng(png_structp png, png_bytep data, std::size_t size) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), size);
}
void FlushPng(png_structp) {}

}  // namespace

std::string EncodeCutOutPng(const CutOutPicture& cut) {
  const int w = cut.picture.Width(), h = cut.picture.Height();
  std::vector<png_byte> rgba;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const BgrPixel p = cut.picture.Row(y)[x];
      rgba.insert(rgba.end(), {p.r, p.g, p.b, cut.alpha[static_cast<std::size_t>(y) * w + x]});
    }
  std::vector<png_bytep> rows;
  rows.reserve(static_cast<std::size_t>(h));
  for (int y = 0; y < h; ++y) rows.push_back(rgba.data() + std::size_t{4} * w * y);
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("libpng could not encode " + cut.file);
  }
  png_set_write_fn(png, &out, AppendPng, FlushPng);
  png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace horizonmill::examples
