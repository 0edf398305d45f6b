// A picture loaded for a layer or an object, as a bitmap to scale into the
// window's preview.
#pragma once

#include "image/PixelImage.h"
#include "image/WorkBitmap.h"

namespace horizonmill {

// The picture's colours as a bitmap (alpha and holes dropped: a hole shows the
// colour its file gives it); empty when memory runs out.
WorkBitmap BitmapOf(const PixelImage& picture);

}  // namespace horizonmill
