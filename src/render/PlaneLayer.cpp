#include "render/PlaneLayer.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace horizonmill {

bool MakePlaneSteps(int height, int count, long double airDepth, std::vector<PlaneStep>& steps) {
  steps.clear();
  try {
    steps.reserve(static_cast<std::size_t>(count));
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int j = 0; j < count; ++j) {
    const long double d = PlaneWalk::StepDistance(height, j);
    steps.push_back(PlaneStep{d, AerialFader(airDepth, d)});
  }
  return true;
}

namespace {

// The most the double walk of any column can lie from the extended one, along
// either axis, at each step.
//
// Step j moves the extended walk by (du * d) / scale (or times the inverse of
// a power-of-two scale, the same), each operation rounded to 64 bits, and adds
// that, rounded again. The double walk moves by fl(du) / fl(scale) * fl(d),
// each of the five roundings within 2^-53 of its value, so the two moves lie
// within |move| * 2^-50 of each other; the two additions each lose at most
// |position| * 2^-53 (2^-64 for the extended one). The positions start alike
// (half the texture's sides), |du| and |dv| are at most textureHeight / width,
// so |move| <= textureHeight / width / |scale| * d and |position| is at most
// the start plus the moves so far. The sum is doubled to cover the rounding of
// its own arithmetic. A scale or distance that is no number makes every bound
// no number, which SampleImageFiltered never trusts.
void Bound(int width, const PixelImage& texture, long double scale,
           const std::vector<double>& distances, std::vector<double>& errors) {
  const double reach = static_cast<double>(texture.height) / width /
                       std::fabs(static_cast<double>(scale)) * (1 + 0x1p-40);
  double position = std::max(texture.width, texture.height) / 2.0;
  double error = 0;
  for (std::size_t j = 0; j < distances.size(); ++j) {
    errors[j] = 2 * error;
    const double move = reach * distances[j];
    position += move;
    error += move * 0x1p-50 + position * 0x1p-52;
  }
}

}  // namespace

bool PlaneColumns::Allocate() {
  try {
    walks_.resize(static_cast<std::size_t>(width_));
    horizon_.resize(static_cast<std::size_t>(width_));
    distances_.resize(steps_.size());
    errors_.resize(steps_.size());
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (std::size_t j = 0; j < steps_.size(); ++j)
    distances_[j] = static_cast<double>(steps_[j].distance);
  Bound(width_, texture_, scale_, distances_, errors_);
  return true;
}

}  // namespace horizonmill
