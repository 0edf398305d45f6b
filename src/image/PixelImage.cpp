#include "image/PixelImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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
  TheMemoryHunger().FreeBlock(image->holes);
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
  DropHoleMask(image);
  TheMemoryHunger().FreeBlock(image.pixels);
  image.pixels = pixels;
  image.width = width;
  image.height = height;
  return true;
}

bool AddHoleMask(PixelImage& image) {
  const std::size_t count = static_cast<std::size_t>(image.width) * image.height;
  if (image.holes == nullptr) {
    image.holes = static_cast<std::uint8_t*>(TheMemoryHunger().AllocBlock(count));
    if (image.holes == nullptr) return false;
  }
  std::memset(image.holes, 0, count);
  return true;
}

void DropHoleMask(PixelImage& image) {
  TheMemoryHunger().FreeBlock(image.holes);
  image.holes = nullptr;
}

void PaintHoles(PixelImage& image, PackedColour key) {
  if (image.holes == nullptr) return;
  const std::int64_t count = std::int64_t{image.width} * image.height;
  for (std::int64_t k = 0; k < count; ++k)
    image.pixels[k] = KeyedPixel(image.pixels[k], image.holes[k] != 0, key);
}

namespace detail {
bool MixTexelsOverRanges(PackedColour a0, PackedColour b0, PackedColour a1, PackedColour b1,
                         const FilteredAxis& ax, const FilteredAxis& ay, PackedColour& out) {
  ChannelLanes top, bottom, mixed;
  if (!MixColourLanesOverRange(ToLanes(a0), ToLanes(b0), ax.lo, ax.hi, top) ||
      !MixColourLanesOverRange(ToLanes(a1), ToLanes(b1), ax.lo, ax.hi, bottom) ||
      !MixColourLanesOverRange(bottom, top, ay.lo, ay.hi, mixed))
    return false;
  out = FromLanes(mixed);
  return true;
}
}  // namespace detail

void SetImagePixel(PixelImage& image, int x, int y, bool wrap, PackedColour colour) {
  if (static_cast<unsigned>(x) >= static_cast<unsigned>(image.width) ||
      static_cast<unsigned>(y) >= static_cast<unsigned>(image.height)) {
    if (!wrap) return;
    x = WrapCoordinate(x, image.width);
    y = WrapCoordinate(y, image.height);
  }
  image.Row(y)[x] = colour;
}

}  // namespace horizonmill
