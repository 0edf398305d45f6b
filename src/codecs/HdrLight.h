// The panorama in linear light for the HDR outputs (EXR and Radiance HDR): the
// eight-bit picture decoded from sRGB (Rec. 709 primaries, 1 its white), plus
// the sun raised above what eight bits hold, so that the picture lights a 3D
// scene from where its sun is painted.
//
// The sun layer keeps the weight w it mixed into each pixel (render/SunWeights.h).
// An HDR pixel is
//   L = decode(pixel) + k · w · decode(C)
// with C the disc's colour (its centre colour) and k chosen so that on a
// surface facing the sun the added sun gives R times the light that the
// picture itself gives it:
//   k · Y(decode(C)) · Σ w · max(0, n·d) · Ω  =  R · Σ Y(decode(pixel)) · max(0, n·d) · Ω
// summed over the pixels, n the sun's direction (render/SunDirection.h), d a
// pixel's direction, Ω its solid angle (2π / W · (sin φ_top − sin φ_bottom) for
// a pixel between the elevations of its upper and lower edges), Y the Rec. 709
// luminance (0.2126 R + 0.7152 G + 0.0722 B). The glow thus falls off as it is
// painted, and the sun lights a scene as strongly whatever the glow's size.
// Nothing is added (k = 0) when R is 0, in the mixture modes that darken (Sub,
// SubPlain), and when either sum is 0.
#pragma once

#include <array>
#include <cstdint>

#include "codecs/LinearPicture.h"
#include "image/WorkBitmap.h"
#include "render/PanoramaDirection.h"
#include "render/SunWeights.h"
#include "scene/SceneSettings.h"

namespace horizonmill {

// The ratio of the sun's light to the rest of the picture's when none is asked
// for: about a clear day's ratio of direct sunlight to skylight.
inline constexpr double kDefaultSunRatio = 6;

// The sRGB transfer function undone: 0..1 to linear 0..1.
double SrgbToLinear(double encoded);
// The same for a byte (its value / 255), from a table: exactly what
// SrgbToLinear gives, rounded to float.
float SrgbByteToLinear(std::uint8_t value);
// Rec. 709 luminance of linear red, green, blue.
inline double Luminance(double r, double g, double b) {
  return 0.2126 * r + 0.7152 * g + 0.0722 * b;
}

// The solid angle of each pixel of row y of a W x H panorama, in steradians.
double PixelSolidAngle(int y, int width, int height);

// The light on a surface facing `toward` (a unit vector) from the picture
// decoded to linear light: Σ Y · max(0, n·d) · Ω over its pixels.
double FacingIrradiance(const WorkBitmap& picture, Direction toward);
// The same with the weights as the light (Σ w · max(0, n·d) · Ω).
double FacingIrradiance(const SunWeights& weights, Direction toward);

// What the HDR outputs add to the picture: scale · w at each pixel, scale the
// disc's colour decoded times k (red, green, blue).
struct SunGlow {
  const SunWeights* weights = nullptr;  // nothing: no sun added
  std::array<float, 3> scale{};
  // Whether anything is added at all.
  bool Adds() const;
};

// The sun's share of an HDR output, and how it was found.
struct SunLight {
  double ratio = 0;               // R, as asked
  double scale = 0;               // k
  std::array<float, 3> colour{};  // the disc's colour decoded to linear light
  double pictureIrradiance = 0;   // the picture's light on the facing surface
  double weightIrradiance = 0;    // the weights' (per unit of colour luminance)
  SunGlow Glow(const SunWeights& weights) const;
};

// k for a rendered picture and the weights its sun layer kept (the same size;
// empty weights add nothing), the sun as the scene has it, and the ratio R
// (R >= 0).
SunLight ComputeSunLight(const WorkBitmap& picture, const SunWeights& weights,
                         const SunSettings& sun, double ratio);

// Row y of the picture in linear light with the glow added: width x 3 floats.
void LinearRow(const WorkBitmap& picture, const SunGlow& glow, int y, float* rgb);
// The whole picture so, for the encoders; picture and glow must outlive it.
LinearPicture LinearPictureOf(const WorkBitmap& picture, const SunGlow& glow);

// The bilinear sample of the picture in linear light at a panorama point, by
// the rule of SamplePanorama (columns wrap, rows are held at the top and
// bottom): the mix of the four pixels' linear values, in floats.
void SampleLinear(const WorkBitmap& picture, const SunGlow& glow, float x, float y, float* rgb);

}  // namespace horizonmill
