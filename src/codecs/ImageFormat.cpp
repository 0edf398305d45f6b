#include "codecs/ImageFormat.h"

#include <cctype>

namespace horizonmill {

std::string LowerCaseExtension(std::string_view filename) {
  const auto separator = filename.find_last_of("/\\:");
  const auto dot = filename.rfind('.');
  if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator))
    return {};
  std::string ext(filename.substr(dot));
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

ImageFormat ImageFormatOf(std::string_view filename) {
  const std::string ext = LowerCaseExtension(filename);
  if (ext == ".bmp") return ImageFormat::Bmp;
  if (ext == ".png") return ImageFormat::Png;
  if (ext == ".exr") return ImageFormat::Exr;
  if (ext == ".hdr") return ImageFormat::Hdr;
  return ImageFormat::Jpeg;
}

bool HasImageExtension(std::string_view filename) {
  const std::string ext = LowerCaseExtension(filename);
  return ext == ".bmp" || ext == ".png" || ext == ".jpg" || ext == ".jpeg" || ext == ".exr" ||
         ext == ".hdr";
}

const char* ImageFormatName(ImageFormat format) {
  switch (format) {
    case ImageFormat::Bmp:
      return "BMP";
    case ImageFormat::Png:
      return "PNG";
    case ImageFormat::Exr:
      return "OpenEXR";
    case ImageFormat::Hdr:
      return "Radiance HDR";
    case ImageFormat::Jpeg:
      break;
  }
  return "JPEG";
}

}  // namespace horizonmill
