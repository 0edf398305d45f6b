// The picture formats an image is written in, and the one rule that chooses
// one by a file name. A format is chosen once — by the output name here, or
// by the user (--format, the cube map's format, the registration's choice) —
// and then travels as an ImageFormat value to the encoders
// (codecs/ImageOutput.h); nothing after that looks at a name to decide it.
#pragma once

#include <string>
#include <string_view>

namespace horizonmill {

enum class ImageFormat { Bmp, Jpeg, Png, Exr, Hdr };

// The extension of a file name: from the last "." that follows the last
// separator ("/", "\" or ":"), lower-cased; empty when there is none.
std::string LowerCaseExtension(std::string_view filename);

// By the extension, in any case: ".bmp" BMP, ".png" PNG, ".exr" OpenEXR,
// ".hdr" Radiance HDR, every other name JPEG (".jpg", ".jpeg", any other
// extension, none).
ImageFormat ImageFormatOf(std::string_view filename);
// True when the extension is one that names the format written: ".bmp",
// ".png", ".jpg", ".jpeg", ".exr" or ".hdr" (in any case).
bool HasImageExtension(std::string_view filename);

// "BMP", "JPEG", "PNG", "OpenEXR", "Radiance HDR".
const char* ImageFormatName(ImageFormat format);

// True for the formats in linear light, whose sun is raised: OpenEXR and
// Radiance HDR.
constexpr bool IsHdrFormat(ImageFormat format) {
  return format == ImageFormat::Exr || format == ImageFormat::Hdr;
}

}  // namespace horizonmill
