#include "image/TextureLoading.h"

#include "image/BmpReader.h"
#include "image/Placeholders.h"

namespace horizonmill {

TextureLoad LoadGroundTexture(PixelImagePtr& slot, const std::string& path) {
  throw std::logic_error("not implemented");
}

TextureLoad LoadCeilingTexture(PixelImagePtr& slot, PackedColour& opaqueColor,
                               const std::string& path) {
  throw std::logic_error("not implemented");
}

}  // namespace horizonmill
