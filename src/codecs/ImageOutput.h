// Writing the finished image: the output size from the resolution texts, and
// BMP, PNG or JPEG by the file name (JPEG and PNG marked as a panorama,
// codecs/PanoramaXmp.h), or OpenEXR and Radiance HDR in linear light with the
// sun raised (codecs/HdrLight.h).
#pragma once

#include <string>
#include <string_view>

#include "codecs/HdrLight.h"
#include "codecs/PngWriter.h"
#include "image/WorkBitmap.h"
#include "platform/ByteSink.h"
#include "platform/WriteProgress.h"
#include "scene/SceneSettings.h"

namespace horizonmill {

struct OutputSize {
  int width;
  int height;
};
// The resolution texts as integers; a value below 1 (text that does not
// convert counts as 0) becomes 1.
OutputSize OutputSizeOf(const OutputResolution& resolution);
// Why an output bitmap of `size` could not be had, in English, to follow
// kMemoryExhausted: the limit the size breaks (image/ImageLimits.h), or, when
// it breaks none, that memory ran out.
std::string OutputSizeProblem(OutputSize size);

// An output name (Output_Filename, -o, the window's input) as a path here: "\"
// is a folder separator, as in every name that comes from a settings file.
std::string OutputPathOf(std::string_view name);

// The extension of a file name: from the last "." that follows the last
// separator ("/", "\" or ":"), lower-cased; empty when there is none.
std::string LowerCaseExtension(std::string_view filename);
// True when the name's extension is ".bmp" (in any case).
bool IsBmpFilename(std::string_view filename);

enum class ImageFormat { Bmp, Jpeg, Png, Exr, Hdr };
// By the extension, in any case: ".bmp" BMP, ".png" PNG, ".exr" OpenEXR,
// ".hdr" Radiance HDR, every other name JPEG (".jpg", ".jpeg", any other
// extension, none).
ImageFormat ImageFormatOf(std::string_view filename);
// "BMP", "JPEG", "PNG", "OpenEXR", "Radiance HDR".
const char* ImageFormatName(ImageFormat format);
// True for the formats in linear light, whose sun is raised: OpenEXR and
// Radiance HDR.
constexpr bool IsHdrFormat(ImageFormat format) {
  return format == ImageFormat::Exr || format == ImageFormat::Hdr;
}
// True when the extension is one that names the format written: ".bmp",
// ".png", ".jpg", ".jpeg", ".exr" or ".hdr" (in any case).
bool HasImageExtension(std::string_view filename);

// What an image file says about itself beyond its pixels.
enum class ImageMetadata {
  None,      // the pixels alone
  Panorama,  // a picture twice as wide as high says it is a full
             // equirectangular panorama: JPEG and PNG carry its XMP
             // (codecs/PanoramaXmp.h), OpenEXR its latitude-longitude
             // environment map attribute; BMP and Radiance HDR have no place
             // for it. Any other size says nothing: it is no full sphere.
};

// Write the bitmap atomically, without metadata; throw FileError naming the
// file on failure. With a progress, its rows are counted there (the caller
// plans them) and a request to stop ends the write with WriteCancelled, the
// file there before untouched (platform/AtomicFile.h).
void SaveAsBmp(const WorkBitmap& bitmap, const std::string& path,
               WriteProgress* progress = nullptr);
void SaveAsJpeg(const WorkBitmap& bitmap, const std::string& path, int quality,
                WriteProgress* progress = nullptr);
// The image in the format of the file name (by the extension rule); the
// quality is for JPEG only. The HDR formats hold the picture decoded to linear
// light with `glow` added (codecs/HdrLight.h; nothing: the picture alone); the
// others hold the bitmap as it is. PNG is compressed as `png` says.
void EncodeImage(const WorkBitmap& bitmap, std::string_view filename, int quality,
                 ImageMetadata metadata, ByteSink& out, const SunGlow* glow = nullptr,
                 const PngOptions& png = {});
// EncodeImage into the file, atomically.
void SaveImage(const WorkBitmap& bitmap, const std::string& path, int quality,
               ImageMetadata metadata);

}  // namespace horizonmill
