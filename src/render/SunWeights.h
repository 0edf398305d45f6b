// What the sun layer mixed into each pixel: the weight with which it blended
// its colour there. An output in linear light raises the sun above what eight
// bits hold only when the layer mixed something in (codecs/HdrLight.h: the
// light it adds is a lobe of its own, not these weights). A render keeps them
// only when it is asked to (RenderContext::SunWeightsOut); otherwise nothing is
// recorded and the sun layer runs as it always did.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "image/Colour.h"

namespace horizonmill {

// The weight of a sun colour of opacity `alpha` in a mixture mode: the share of
// the colour that the blend puts into the pixel. Add and Sub put in
// Round(colour x alpha / 255): alpha / 255; Norm puts in colour x alpha / 256
// (beside the pixel's own (255 - alpha) / 256): alpha / 256; the plain modes
// put in the whole colour wherever alpha is not 0: 1. Alpha 0, and a value that
// is no mode, mix nothing in: 0.
inline float SunWeightOf(std::uint8_t mode, int alpha) {
  if (alpha == 0 || !IsBlendMode(mode)) return 0;
  switch (mode) {
    case MixtureMode::Add:
    case MixtureMode::Sub:
      return static_cast<float>(alpha) / 255.0f;
    case MixtureMode::Norm:
      return static_cast<float>(alpha) / 256.0f;
    default:
      return 1;
  }
}

// One float per pixel of a W x H picture, row 0 at the top; 0 where the sun did
// not reach.
class SunWeights {
 public:
  // W x H weights, every one 0. False, leaving it empty, when memory runs out.
  bool Reset(int width, int height);
  void Clear();  // every weight 0 again

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  float* Row(int y) { return weights_.get() + static_cast<std::size_t>(y) * width_; }
  const float* Row(int y) const { return weights_.get() + static_cast<std::size_t>(y) * width_; }
  float At(int x, int y) const { return Row(y)[x]; }

 private:
  std::unique_ptr<float[]> weights_;
  int width_ = 0, height_ = 0;
};

}  // namespace horizonmill
