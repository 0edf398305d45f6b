// The panorama in linear light for the HDR outputs (EXR and Radiance HDR): the
// eight-bit picture decoded from sRGB (Rec. 709 primaries, 1 its white), plus
// the sun raised above what eight bits hold, so that the picture lights a 3D
// scene from where its sun is.
//
// The added sun is a lobe of fixed angular size around the sun's direction n
// (render/SunDirection.h), laid on the panorama by its own direction rule, so
// it covers the same solid angle at every height of the sun (more columns near
// the zenith and the nadir, as it must): a pixel whose direction d makes the
// angle ψ with n gets the weight
//   g = (1 − u)²,  u = (1 − cos ψ) / (1 − cos α),  for ψ < α (0 beyond),
// smooth to its rim and, for small angles, (1 − (ψ/α)²)². An HDR pixel is
//   L = decode(pixel) + k · g · decode(C)
// with C the disc's colour (its centre colour) and k chosen so that on a
// surface facing the sun the whole lobe gives R times the light that the
// picture itself gives it:
//   k · Y(decode(C)) · Σ g · max(0, n·d) · Ω  =  R · Σ Y(decode(pixel)) · max(0, n·d) · Ω
// summed over the pixels, Ω a pixel's solid angle (2π / W · (sin φ_top −
// sin φ_bottom) for a pixel between the elevations of its upper and lower
// edges), Y the Rec. 709 luminance (0.2126 R + 0.7152 G + 0.0722 B). A ground
// switched on lets no sunlight through: the lobe's rows below the horizon get
// nothing, so a sun that sets dims as it goes down and adds nothing once it is
// gone (the ground's mirror image of the glow stays as painted). Nothing is
// added (k = 0) when R is 0, in the mixture modes that darken (Sub, SubPlain),
// when the sun layer mixed nothing into the picture (its weights,
// render/SunWeights.h, are all 0: a black disc, a render stopped before the
// sun), and when either sum is 0.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

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

// The angular radius α of the sun's lobe: 2.5 degrees, or two rows of the
// panorama where those are wider (below 144 rows), so that the lobe always
// covers pixels around its centre.
double SunLobeRadius(int height);

// The lobe's weight g of each pixel of a W x H panorama; only the rows it
// reaches are kept.
class SunLobe {
 public:
  SunLobe() = default;
  // The lobe around `toward` (a unit vector).
  SunLobe(int width, int height, Direction toward);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Row y's weights, width of them; nullptr for a row the lobe does not reach.
  const float* Row(int y) const;
  float At(int x, int y) const;
  // The weights' light on a surface facing `toward`: Σ g · max(0, n·d) · Ω.
  double FacingIrradiance(Direction toward) const;
  // A ground that lets no light through: the rows below the horizon (the lower
  // half, which the ground draws) get nothing.
  void CoverBelowHorizon();

 private:
  int width_ = 0, height_ = 0;
  int first_ = 0, rows_ = 0;  // the rows kept: first_ .. first_ + rows_ - 1
  std::vector<float> weights_;
};

// What the HDR outputs add to the picture: scale · g at each pixel, scale the
// disc's colour decoded times k (red, green, blue).
struct SunGlow {
  const SunLobe* lobe = nullptr;  // nothing: no sun added
  std::array<float, 3> scale{};
  // Whether anything is added at all.
  bool Adds() const;
};

// The sun's share of an HDR output, and how it was found.
struct SunLight {
  double ratio = 0;                     // R, as asked
  double scale = 0;                     // k
  std::array<float, 3> colour{};        // the disc's colour decoded to linear light
  double pictureIrradiance = 0;         // the picture's light on the facing surface
  double lobeIrradiance = 0;            // the whole lobe's (per unit of colour luminance)
  std::shared_ptr<const SunLobe> lobe;  // nothing when nothing is added
  // What to add; it points into this light, which must outlive it.
  SunGlow Glow() const;
};

// k and the lobe for a rendered picture, the weights its sun layer kept (the
// same size; empty weights add nothing), the sun as the scene has it, the
// ratio R (R >= 0), and whether the scene's ground is switched on.
SunLight ComputeSunLight(const WorkBitmap& picture, const SunWeights& weights,
                         const SunSettings& sun, double ratio, bool groundOn);

// Row y of the picture in linear light with the glow added: width x 3 floats.
void LinearRow(const WorkBitmap& picture, const SunGlow& glow, int y, float* rgb);
// The whole picture so, for the encoders; picture and glow must outlive it.
LinearPicture LinearPictureOf(const WorkBitmap& picture, const SunGlow& glow);

// The bilinear sample of the picture in linear light at a panorama point, by
// the rule of SamplePanorama (columns wrap, rows are held at the top and
// bottom): the mix of the four pixels' linear values, in floats.
void SampleLinear(const WorkBitmap& picture, const SunGlow& glow, float x, float y, float* rgb);

}  // namespace horizonmill
