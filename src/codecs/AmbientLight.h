// The ambient light of a panorama as the nine numbers per colour that 3D
// engines light diffuse surfaces with: the spherical-harmonic coefficients of
// its irradiance up to the second band, in the convention that engines which
// take "irradiance, pre-scaled base" coefficients expect:
//   E(n) / π = Σ c_i · b_i(n),
//   b = 1, y, z, x, xy, yz, 3z² − 1, xz, x² − y²   (n = (x, y, z), a unit normal)
// in the panorama's frame (render/PanoramaDirection.h: +Y up, azimuth 0 toward
// −Z, 90 toward +X), E the irradiance on a surface facing n. From the
// radiance L of the picture's pixels (linear light, Ω a pixel's solid angle):
//   c_i = w_l · (A_l / π) · K_i² · Σ L · b_i(d) · Ω
// with A_l = π, 2π/3, π/4 the cosine lobe's bands, K_i² the basis's
// normalisation (1/4π; 3/4π; 15/4π, 15/4π, 5/16π, 15/4π, 15/16π) and w_l a
// window that keeps the truncated series from ringing: sinc⁴(π l / W),
// W = kShWindow, lowered as far as needed (and no further) for the irradiance
// of every colour to be 0 or more in every direction.
#pragma once

#include <array>
#include <string>

#include "codecs/LinearPicture.h"

namespace horizonmill {

inline constexpr int kShCoefficients = 9;
// The window's cutoff when the irradiance needs no lowering.
inline constexpr double kShWindow = 12.767468;

using ShCoefficients = std::array<std::array<double, 3>, kShCoefficients>;  // red, green, blue

struct IrradianceSh {
  ShCoefficients coefficients{};  // windowed: what engines take
  ShCoefficients unwindowed{};    // w_l = 1
  double window = kShWindow;      // the cutoff W used
};

// The coefficients of a picture in linear light, its rows taken on `threads`
// threads (0 or less: the default number); the same numbers for any number.
IrradianceSh IrradianceOf(const LinearPicture& picture, int threads);

// E(n) / π of coefficients at a unit normal n.
double IrradianceAt(const ShCoefficients& c, int colour, double x, double y, double z);

// The coefficients as a JSON object (UTF-8, ending in a newline):
//   {"convention": "irradiance, pre-scaled base", "basis": [...],
//    "frame": "...", "imageSize": [W, H], "sunRatio": 6, "window": 12.767468,
//    "coefficients": [[r, g, b], ... nine]}
// each number the shortest text that reads back the same.
std::string IrradianceShJson(const IrradianceSh& sh, int width, int height, double sunRatio);

}  // namespace horizonmill
