#include "image/BmpReader.h"

#include "platform/FileError.h"

namespace horizonmill {

WorkBitmap DecodeBmp(std::span<const std::uint8_t> bytes) { throw BmpError("not implemented"); }

WorkBitmap ReadBmpFile(const std::string& path) { throw FileError(path, "not implemented"); }

PixelImagePtr LoadPictureFile(const std::string& path) {
  WorkBitmap bitmap = ReadBmpFile(path);
  PixelImagePtr image = MakePixelImage(bitmap.Width(), bitmap.Height());
  if (image) LoadImageFromBitmap(*image, bitmap);
  return image;
}

}  // namespace horizonmill
