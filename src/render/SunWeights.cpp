#include "render/SunWeights.h"

#include <algorithm>
#include <new>

namespace horizonmill {

bool SunWeights::Reset(int width, int height) {
  weights_.reset();
  width_ = height_ = 0;
  if (width <= 0 || height <= 0) return true;
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  weights_.reset(new (std::nothrow) float[count]);
  if (!weights_) return false;
  width_ = width;
  height_ = height;
  Clear();
  return true;
}

void SunWeights::Clear() {
  std::fill_n(weights_.get(), static_cast<std::size_t>(width_) * height_, 0.0f);
}

}  // namespace horizonmill
