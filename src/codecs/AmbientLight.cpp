#include "codecs/AmbientLight.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "codecs/HalfFloat.h"
#include "codecs/HdrLight.h"
#include "render/RenderContext.h"
#include "render/SunDirection.h"
#include "render/WorkCrew.h"

namespace horizonmill {
namespace {

constexpr double kPi = std::numbers::pi;
// (A_l / π) · K_i² of each coefficient.
constexpr double kScale[kShCoefficients] = {1 / (4 * kPi),  1 / (2 * kPi),   1 / (2 * kPi),
                                            1 / (2 * kPi),  15 / (16 * kPi), 15 / (16 * kPi),
                                            5 / (64 * kPi), 15 / (16 * kPi), 15 / (64 * kPi)};
constexpr int kBand[kShCoefficients] = {0, 1, 1, 1, 2, 2, 2, 2, 2};

// Each coefficient's Σ L · b_i(d) · Ω over one row, for red, green and blue.
using RowSums = std::array<std::array<double, 3>, kShCoefficients>;

double Window(int band, double cutoff) {
  if (band == 0) return 1;
  if (band >= cutoff) return 0;
  const double x = kPi * band / cutoff;
  const double sinc = std::sin(x) / x;
  return sinc * sinc * sinc * sinc;
}

ShCoefficients Windowed(const ShCoefficients& c, double cutoff) {
  ShCoefficients windowed = c;
  for (int i = 0; i < kShCoefficients; ++i)
    for (double& v : windowed[i]) v *= Window(kBand[i], cutoff);
  return windowed;
}

// Directions spread evenly over the sphere (a Fibonacci lattice), where the
// irradiance is looked at for values below 0.
const std::vector<std::array<double, 3>>& SphereSamples() {
  static const std::vector<std::array<double, 3>> samples = [] {
    constexpr int kCount = 4096;
    const double golden = kPi * (3 - std::sqrt(5.0));
    std::vector<std::array<double, 3>> s(kCount);
    for (int i = 0; i < kCount; ++i) {
      const double y = 1 - (2 * i + 1.0) / kCount, r = std::sqrt(1 - y * y);
      s[i] = {r * std::cos(golden * i), y, r * std::sin(golden * i)};
    }
    return s;
  }();
  return samples;
}

bool NowhereBelowZero(const ShCoefficients& c) {
  for (const auto& d : SphereSamples())
    for (int colour = 0; colour < 3; ++colour)
      if (IrradianceAt(c, colour, d[0], d[1], d[2]) < 0) return false;
  return true;
}

}  // namespace

double IrradianceAt(const ShCoefficients& c, int colour, double x, double y, double z) {
  const double b[kShCoefficients] = {1, y, z, x, x * y, y * z, 3 * z * z - 1, x * z, x * x - y * y};
  double sum = 0;
  for (int i = 0; i < kShCoefficients; ++i) sum += c[i][colour] * b[i];
  return sum;
}

IrradianceSh IrradianceOf(const LinearPicture& picture, int threads) {
  const int w = picture.width, h = picture.height;
  IrradianceSh sh;
  if (w <= 0 || h <= 0) return sh;
  std::vector<double> cosColumn(w), sinColumn(w);
  for (int x = 0; x < w; ++x) {
    const double theta = 2 * kPi * (x + 0.5) / w;
    cosColumn[x] = std::cos(theta);
    sinColumn[x] = std::sin(theta);
  }
  std::vector<RowSums> rows(static_cast<std::size_t>(h));
  threads = std::min(threads > 0 ? threads : DefaultRenderThreads(), h);
  std::vector<std::vector<float>> rgb(threads, std::vector<float>(std::size_t(w) * 3));
  std::vector<std::vector<std::uint16_t>> halves(threads,
                                                 std::vector<std::uint16_t>(std::size_t(w) * 3));
  // A row's light is taken as the OpenEXR output holds it: in halves.
  auto sumRows = [&](int thread, std::int64_t first, std::int64_t last) {
    float* values = rgb[thread].data();
    std::uint16_t* half = halves[thread].data();
    for (auto y = static_cast<int>(first); y < last; ++y) {
      picture.row(y, values);
      FloatsToHalves(values, half, std::size_t(w) * 3);
      HalvesToFloats(half, values, std::size_t(w) * 3);
      // Σ L, Σ L cos θ, Σ L sin θ, Σ L cos² θ, Σ L sin θ cos θ along the row.
      double s[5][3] = {};
      for (int x = 0; x < w; ++x) {
        const double c = cosColumn[x], sn = sinColumn[x];
        for (int k = 0; k < 3; ++k) {
          const double l = values[3 * x + k];
          s[0][k] += l;
          s[1][k] += l * c;
          s[2][k] += l * sn;
          s[3][k] += l * c * c;
          s[4][k] += l * sn * c;
        }
      }
      // d = (cos φ sin θ, sin φ, −cos φ cos θ).
      const double phi = kPi / 2 - kPi * (y + 0.5) / h;
      const double cp = std::cos(phi), sp = std::sin(phi), omega = PixelSolidAngle(y, w, h);
      RowSums& row = rows[y];
      for (int k = 0; k < 3; ++k) {
        const double s0 = s[0][k], sc = s[1][k], ss = s[2][k], scc = s[3][k], ssc = s[4][k];
        const double integral[kShCoefficients] = {s0,
                                                  sp * s0,
                                                  -cp * sc,
                                                  cp * ss,
                                                  cp * sp * ss,
                                                  -cp * sp * sc,
                                                  3 * cp * cp * scc - s0,
                                                  -cp * cp * ssc,
                                                  cp * cp * (s0 - scc) - sp * sp * s0};
        for (int i = 0; i < kShCoefficients; ++i) row[i][k] = integral[i] * omega;
      }
    }
  };
  WorkCrew crew(threads);
  crew.Run(h, 8, sumRows);
  // The rows added in order, so that the numbers do not depend on the threads.
  for (const RowSums& row : rows)
    for (int i = 0; i < kShCoefficients; ++i)
      for (int k = 0; k < 3; ++k) sh.unwindowed[i][k] += row[i][k];
  for (int i = 0; i < kShCoefficients; ++i)
    for (double& v : sh.unwindowed[i]) v *= kScale[i];

  // The window, its cutoff lowered by halves of the interval until the
  // irradiance is nowhere below 0 (at a cutoff of 1 only the first, never
  // negative, coefficient is left).
  sh.window = kShWindow;
  if (!NowhereBelowZero(Windowed(sh.unwindowed, kShWindow))) {
    double low = 1, high = kShWindow;
    for (int step = 0; step < 40; ++step) {
      const double mid = (low + high) / 2;
      (NowhereBelowZero(Windowed(sh.unwindowed, mid)) ? low : high) = mid;
    }
    sh.window = low;
  }
  sh.coefficients = Windowed(sh.unwindowed, sh.window);
  return sh;
}

std::string IrradianceShJson(const IrradianceSh& sh, int width, int height, double sunRatio) {
  std::string json = "{\n  \"convention\": \"irradiance, pre-scaled base\",\n";
  json +=
      "  \"basis\": [\"1\", \"y\", \"z\", \"x\", \"xy\", \"yz\", \"3z^2-1\", \"xz\", "
      "\"x^2-y^2\"],\n";
  json += "  \"frame\": \"+Y up, azimuth 0 toward -Z, 90 toward +X\",\n";
  json += "  \"imageSize\": [" + std::to_string(width) + ", " + std::to_string(height) + "],\n";
  json += "  \"sunRatio\": " + JsonNumber(sunRatio) + ",\n";
  json += "  \"window\": " + JsonNumber(sh.window) + ",\n";
  json += "  \"coefficients\": [";
  for (int i = 0; i < kShCoefficients; ++i) {
    const auto& c = sh.coefficients[i];
    json += std::string(i ? "," : "") + "\n    [" + JsonNumber(c[0]) + ", " + JsonNumber(c[1]) +
            ", " + JsonNumber(c[2]) + "]";
  }
  return json + "\n  ]\n}\n";
}

}  // namespace horizonmill
