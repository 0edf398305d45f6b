#include "image/PixelImage.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "image/ImageLimits.h"
#include "image/MemoryHunger.h"

namespace horizonmill {
namespace {

PackedColour* AllocPixels(int width, int height) {
  if (!FitsImageLimits(width, height, std::int64_t{width} * 4)) return nullptr;
  return static_cast<PackedColour*>(
      TheMemoryHunger().AllocBlock(static_cast<std::size_t>(width) * 4 * height));
}

}  // namespace

PixelImage* NewPixelImage(int width, int height) {
  void* record = TheMemoryHunger().AllocBlock(sizeof(PixelImage));
  if (record == nullptr) return nullptr;
  PackedColour* pixels = AllocPixels(width, height);
  if (pixels == nullptr) {
    TheMemoryHunger().FreeBlock(record);
    return nullptr;
  }
  return new (record) PixelImage{width, height, pixels};
}

void FreePixelImage(PixelImage* image) {
  if (image == nullptr) return;
  TheMemoryHunger().FreeBlock(image->pixels);
  image->~PixelImage();
  TheMemoryHunger().FreeBlock(image);
}

bool ResizePixelImage(PixelImage& image, int width, int height) {
  if (width == image.width && height == image.height) return true;
  PackedColour* pixels = AllocPixels(width, height);
  if (pixels == nullptr) return false;
  const int w = std::min(width, image.width);
  const int h = std::min(height, image.height);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      pixels[static_cast<std::ptrdiff_t>(y) * width + x] = image.Row(y)[x];
  TheMemoryHunger().FreeBlock(image.pixels);
  image.pixels = pixels;
  image.width = width;
  image.height = height;
  return true;
}

void SetImagePixel(PixelImage& image, int x, int y, bool wrap, PackedColour colour) {
  if (static_cast<unsigned>(x) >= static_cast<unsigned>(image.width) ||
      static_cast<unsigned>(y) >= static_cast<unsigned>(image.height)) {
    if (!wrap) return;
    x = WrapCoordinate(x, image.width);
    y = WrapCoordinate(y, image.height);
  }
  image.Row(y)[x] = colour;
}

PackedColour SampleImage(const PixelImage& image, long double x, long double y) {
  const SampleAxis sx = SplitSampleCoordinate(x);
  const SampleAxis sy = SplitSampleCoordinate(y);
  const int x0 = WrapSampleBase(sx.base, image.width);
  const int y0 = WrapSampleBase(sy.base, image.height);
  const int x1 = x0 + 1 == image.width ? 0 : x0 + 1;
  const int y1 = y0 + 1 == image.height ? 0 : y0 + 1;
  const PackedColour* r0 = image.Row(y0);
  const PackedColour* r1 = image.Row(y1);
  const PackedColour top = LerpColour(r0[x1], r0[x0], sx.fraction);
  const PackedColour bottom = LerpColour(r1[x1], r1[x0], sx.fraction);
  return LerpColour(bottom, top, sy.fraction);
}

}  // namespace horizonmill
