#include "image/TextureLoading.h"

#include <utility>
#include <vector>

#include "image/PictureReader.h"
#include "image/Placeholders.h"

namespace horizonmill {
namespace {

// The part both layers share: the file is decoded before the slot is touched,
// so a file that cannot be loaded leaves the previous texture in place.
// `holes`: the picture's transparent pixels become the texture's holes; without
// it they are texels of the colour the file gives them.
TextureLoad LoadTexture(PixelImagePtr& slot, const std::string& path, const PictureBudget* budget,
                        bool holes) {
  TextureLoad load;
  Picture picture = ReadPictureFile(path, budget);
  if (!holes) std::vector<std::uint8_t>().swap(picture.holes);
  slot.reset();
  slot = MakePictureImage(picture);
  if (!slot) {
    load.result = TextureLoadResult::OutOfMemory;
    return load;
  }
  load.picture = std::move(picture.bitmap);
  return load;
}

}  // namespace

TextureLoad LoadGroundTexture(PixelImagePtr& slot, const std::string& path,
                              const PictureBudget* budget) {
  return LoadTexture(slot, path, budget, false);
}

TextureLoad LoadCeilingTexture(PixelImagePtr& slot, PackedColour& opaqueColor,
                               const std::string& path, const PictureBudget* budget) {
  TextureLoad load = LoadTexture(slot, path, budget, true);
  if (load.result == TextureLoadResult::Loaded) opaqueColor = FindUnusedColour(*slot);
  return load;
}

}  // namespace horizonmill
