#include "image/TextureLoading.h"

#include "image/BmpReader.h"
#include "image/Placeholders.h"

namespace horizonmill {
namespace {

// The part both layers share: the file is decoded before the slot is touched,
// so a file that cannot be loaded leaves the previous texture in place.
TextureLoad LoadTexture(PixelImagePtr& slot, const std::string& path, const PictureBudget* budget) {
  TextureLoad load;
  load.picture = ReadBmpFile(path, budget);
  slot.reset();
  slot = MakePixelImage(load.picture.Width(), load.picture.Height());
  if (!slot) {
    load.result = TextureLoadResult::OutOfMemory;
    load.picture = WorkBitmap();
    return load;
  }
  LoadImageFromBitmap(*slot, load.picture);
  return load;
}

}  // namespace

TextureLoad LoadGroundTexture(PixelImagePtr& slot, const std::string& path,
                              const PictureBudget* budget) {
  return LoadTexture(slot, path, budget);
}

TextureLoad LoadCeilingTexture(PixelImagePtr& slot, PackedColour& opaqueColor,
                               const std::string& path, const PictureBudget* budget) {
  TextureLoad load = LoadTexture(slot, path, budget);
  if (load.result == TextureLoadResult::Loaded) opaqueColor = FindUnusedColour(*slot);
  return load;
}

}  // namespace horizonmill
