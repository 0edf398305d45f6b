#include "codecs/HdrLight.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "render/SunDirection.h"

namespace horizonmill {
namespace {

const std::array<float, 256>& DecodeTable() {
  static const std::array<float, 256> table = [] {
    std::array<float, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = static_cast<float>(SrgbToLinear(i / 255.0));
    return t;
  }();
  return table;
}

// A colour channel on the 0..255 scale, decoded; held to 0..255 (nothing
// that is no number adds light).
float DecodeChannel(float value) {
  if (!(value > 0)) return 0;
  return static_cast<float>(SrgbToLinear(std::min(value, 255.0f) / 255.0));
}

// max(0, n·d) for every pixel is cos φ · (sin θ · nx − cos θ · nz) + sin φ · ny:
// a term per column and one per row, worked out once.
struct FacingTerms {
  std::vector<double> column;      // sin θ · nx − cos θ · nz
  std::vector<double> cosRow;      // cos φ
  std::vector<double> sinRow;      // sin φ · ny
  std::vector<double> solidAngle;  // Ω of each row's pixels

  FacingTerms(int width, int height, Direction n)
      : column(width), cosRow(height), sinRow(height), solidAngle(height) {
    constexpr double kDegree = std::numbers::pi / 180;
    for (int x = 0; x < width; ++x) {
      const double theta = 360.0 * (x + 0.5) / width * kDegree;
      column[x] = std::sin(theta) * n.x - std::cos(theta) * n.z;
    }
    for (int y = 0; y < height; ++y) {
      const double phi = (90 - 180.0 * (y + 0.5) / height) * kDegree;
      cosRow[y] = std::cos(phi);
      sinRow[y] = std::sin(phi) * n.y;
      solidAngle[y] = PixelSolidAngle(y, width, height);
    }
  }

  double Cosine(int x, int y) const {
    const double c = cosRow[y] * column[x] + sinRow[y];
    return c > 0 ? c : 0;
  }
};

// Σ value(x, y) · max(0, n·d) · Ω over a W x H panorama, or over its rows
// first .. last - 1 when value is 0 on every other row.
template <typename Value>
double Irradiance(int width, int height, Direction toward, Value value, int first = 0,
                  int last = -1) {
  if (width <= 0 || height <= 0) return 0;
  const FacingTerms terms(width, height, toward);
  double total = 0;
  for (int y = first; y < (last < 0 ? height : last); ++y) {
    double row = 0;
    for (int x = 0; x < width; ++x) {
      const double c = terms.Cosine(x, y);
      if (c > 0) row += value(x, y) * c;
    }
    total += row * terms.solidAngle[y];
  }
  return total;
}

bool AnyWeight(const SunWeights& weights) {
  for (int y = 0; y < weights.Height(); ++y) {
    const float* row = weights.Row(y);
    if (std::any_of(row, row + weights.Width(), [](float w) { return w != 0; })) return true;
  }
  return false;
}

}  // namespace

double SrgbToLinear(double encoded) {
  if (!(encoded > 0)) return 0;
  if (encoded <= 0.04045) return encoded / 12.92;
  return std::pow((encoded + 0.055) / 1.055, 2.4);
}

float SrgbByteToLinear(std::uint8_t value) { return DecodeTable()[value]; }

double PixelSolidAngle(int y, int width, int height) {
  constexpr double kDegree = std::numbers::pi / 180;
  const double top = (90 - 180.0 * y / height) * kDegree;
  const double bottom = (90 - 180.0 * (y + 1) / height) * kDegree;
  return 2 * std::numbers::pi / width * (std::sin(top) - std::sin(bottom));
}

double FacingIrradiance(const WorkBitmap& picture, Direction toward) {
  const auto& decode = DecodeTable();
  return Irradiance(picture.Width(), picture.Height(), toward, [&](int x, int y) {
    const BgrPixel p = picture.Row(y)[x];
    return Luminance(decode[p.r], decode[p.g], decode[p.b]);
  });
}

double SunLobeRadius(int height) {
  constexpr double kRadius = 2.5 * std::numbers::pi / 180;
  return height > 0 ? std::max(kRadius, 2 * std::numbers::pi / height) : kRadius;
}

SunLobe::SunLobe(int width, int height, Direction toward) : width_(width), height_(height) {
  if (width <= 0 || height <= 0) return;
  const double radius = SunLobeRadius(height);
  const double cosRadius = std::cos(radius);
  // The rows whose pixel centres can lie within the radius: those between the
  // elevations of the sun's direction plus and minus the radius.
  const double elevation = std::asin(std::clamp(toward.y, -1.0, 1.0));
  const double perRadian = height / std::numbers::pi;
  const auto rowAt = [&](double phi) { return (std::numbers::pi / 2 - phi) * perRadian - 0.5; };
  first_ = std::clamp(static_cast<int>(std::floor(rowAt(elevation + radius))), 0, height - 1);
  const int last =
      std::clamp(static_cast<int>(std::ceil(rowAt(elevation - radius))), 0, height - 1);
  rows_ = last - first_ + 1;
  weights_.assign(static_cast<std::size_t>(rows_) * width, 0.0f);
  const FacingTerms terms(width, height, toward);
  for (int y = first_; y <= last; ++y) {
    float* row = weights_.data() + static_cast<std::size_t>(y - first_) * width;
    for (int x = 0; x < width; ++x) {
      const double c = terms.cosRow[y] * terms.column[x] + terms.sinRow[y];
      if (!(c > cosRadius)) continue;
      const double u = (1 - c) / (1 - cosRadius);
      row[x] = static_cast<float>((1 - u) * (1 - u));
    }
  }
}

const float* SunLobe::Row(int y) const {
  if (y < first_ || y >= first_ + rows_) return nullptr;
  return weights_.data() + static_cast<std::size_t>(y - first_) * width_;
}

float SunLobe::At(int x, int y) const {
  const float* row = Row(y);
  return row != nullptr ? row[x] : 0.0f;
}

double SunLobe::FacingIrradiance(Direction toward) const {
  // Only the rows the lobe reaches hold light.
  return Irradiance(
      width_, height_, toward, [&](int x, int y) { return double{Row(y)[x]}; }, first_,
      first_ + rows_);
}

void SunLobe::CoverBelowHorizon() {
  for (int y = std::max(first_, height_ / 2); y < first_ + rows_; ++y)
    std::fill_n(weights_.data() + static_cast<std::size_t>(y - first_) * width_, width_, 0.0f);
}

bool SunGlow::Adds() const {
  return lobe != nullptr && (scale[0] > 0 || scale[1] > 0 || scale[2] > 0);
}

SunGlow SunLight::Glow() const {
  SunGlow glow;
  glow.lobe = lobe.get();
  for (int c = 0; c < 3; ++c) glow.scale[c] = static_cast<float>(scale * colour[c]);
  return glow;
}

SunLight ComputeSunLight(const WorkBitmap& picture, const SunWeights& weights,
                         const SunSettings& sun, double ratio, bool groundOn) {
  SunLight light;
  light.ratio = ratio;
  light.colour = {DecodeChannel(sun.CenterColor.r), DecodeChannel(sun.CenterColor.g),
                  DecodeChannel(sun.CenterColor.b)};
  const bool darkens =
      sun.MixtureMode == MixtureMode::Sub || sun.MixtureMode == MixtureMode::SubPlain;
  if (darkens || !(ratio > 0) || picture.Empty() || weights.Width() != picture.Width() ||
      weights.Height() != picture.Height() || !AnyWeight(weights))
    return light;
  const Direction toward = DescribeSun(sun, picture.Width(), picture.Height()).toward;
  auto lobe = std::make_shared<SunLobe>(picture.Width(), picture.Height(), toward);
  light.pictureIrradiance = FacingIrradiance(picture, toward);
  light.lobeIrradiance =
      lobe->FacingIrradiance(toward) * Luminance(light.colour[0], light.colour[1], light.colour[2]);
  if (!(light.lobeIrradiance > 0 && light.pictureIrradiance > 0)) return light;
  light.scale = ratio * light.pictureIrradiance / light.lobeIrradiance;
  if (groundOn) lobe->CoverBelowHorizon();
  light.lobe = std::move(lobe);
  return light;
}

void LinearRow(const WorkBitmap& picture, const SunGlow& glow, int y, float* rgb) {
  const auto& decode = DecodeTable();
  const BgrPixel* row = picture.Row(y);
  const int w = picture.Width();
  for (int x = 0; x < w; ++x) {
    rgb[3 * x] = decode[row[x].r];
    rgb[3 * x + 1] = decode[row[x].g];
    rgb[3 * x + 2] = decode[row[x].b];
  }
  if (!glow.Adds()) return;
  const float* weights = glow.lobe->Row(y);
  if (weights == nullptr) return;
  for (int x = 0; x < w; ++x) {
    if (weights[x] == 0) continue;
    for (int c = 0; c < 3; ++c) rgb[3 * x + c] += glow.scale[c] * weights[x];
  }
}

LinearPicture LinearPictureOf(const WorkBitmap& picture, const SunGlow& glow) {
  return LinearPicture{picture.Width(), picture.Height(),
                       [&picture, glow](int y, float* rgb) { LinearRow(picture, glow, y, rgb); }};
}

void SampleLinear(const WorkBitmap& picture, const SunGlow& glow, float x, float y, float* rgb) {
  rgb[0] = rgb[1] = rgb[2] = 0;
  const int w = picture.Width(), h = picture.Height();
  if (w == 0 || h == 0 || !(std::abs(x) < 1e7f && std::abs(y) < 1e7f)) return;
  const float fx = std::floor(x), fy = std::floor(y);
  const float tx = x - fx, ty = y - fy;
  int x0 = static_cast<int>(fx) % w;
  if (x0 < 0) x0 += w;
  const int x1 = x0 + 1 == w ? 0 : x0 + 1;
  const int y0 = std::clamp(static_cast<int>(fy), 0, h - 1);
  const int y1 = std::clamp(static_cast<int>(fy) + 1, 0, h - 1);
  const auto& decode = DecodeTable();
  const bool adds = glow.Adds();
  auto add = [&](int px, int py, float weight) {
    if (weight == 0) return;
    const BgrPixel p = picture.Row(py)[px];
    const float sun = adds ? glow.lobe->At(px, py) : 0.0f;
    rgb[0] += weight * (decode[p.r] + glow.scale[0] * sun);
    rgb[1] += weight * (decode[p.g] + glow.scale[1] * sun);
    rgb[2] += weight * (decode[p.b] + glow.scale[2] * sun);
  };
  add(x0, y0, (1 - tx) * (1 - ty));
  add(x1, y0, tx * (1 - ty));
  add(x0, y1, (1 - tx) * ty);
  add(x1, y1, tx * ty);
}

}  // namespace horizonmill
