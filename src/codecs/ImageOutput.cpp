#include "codecs/ImageOutput.h"

#include <algorithm>
#include <cctype>

#include "codecs/BmpWriter.h"
#include "codecs/ExrWriter.h"
#include "codecs/JpegWriter.h"
#include "codecs/PanoramaXmp.h"
#include "codecs/PngWriter.h"
#include "codecs/RgbeWriter.h"
#include "image/ImageLimits.h"
#include "platform/AtomicFile.h"

namespace horizonmill {

OutputSize OutputSizeOf(const OutputResolution& resolution) {
  return OutputSize{std::max(ToInteger(resolution.Width), 1),
                    std::max(ToInteger(resolution.Height), 1)};
}

std::string OutputSizeProblem(OutputSize size) {
  std::string limit = WorkBitmap::LimitReason(size.width, size.height);
  if (!limit.empty()) return limit;
  return "memory ran out for a " + std::to_string(size.width) + " x " +
         std::to_string(size.height) + " image";
}

std::string LowerCaseExtension(std::string_view filename) {
  const auto separator = filename.find_last_of("/\\:");
  const auto dot = filename.rfind('.');
  if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator))
    return {};
  std::string ext(filename.substr(dot));
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

std::string OutputPathOf(std::string_view name) {
  std::string path(name);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

bool IsBmpFilename(std::string_view filename) { return LowerCaseExtension(filename) == ".bmp"; }

ImageFormat ImageFormatOf(std::string_view filename) {
  const std::string ext = LowerCaseExtension(filename);
  if (ext == ".bmp") return ImageFormat::Bmp;
  if (ext == ".png") return ImageFormat::Png;
  if (ext == ".exr") return ImageFormat::Exr;
  if (ext == ".hdr") return ImageFormat::Hdr;
  return ImageFormat::Jpeg;
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

bool HasImageExtension(std::string_view filename) {
  const std::string ext = LowerCaseExtension(filename);
  return ext == ".bmp" || ext == ".png" || ext == ".jpg" || ext == ".jpeg" || ext == ".exr" ||
         ext == ".hdr";
}

void SaveAsBmp(const WorkBitmap& bitmap, const std::string& path, WriteProgress* progress) {
  WriteFileAtomically(
      path, [&](ByteSink& out) { EncodeBmp(bitmap, out); }, OnInterrupt::Stop, progress);
}

void SaveAsJpeg(const WorkBitmap& bitmap, const std::string& path, int quality,
                WriteProgress* progress) {
  WriteFileAtomically(
      path, [&](ByteSink& out) { EncodeJpeg(bitmap, quality, out); }, OnInterrupt::Stop, progress);
}

namespace {

// Whether the image says it is a full panorama.
bool MarksPanorama(const WorkBitmap& bitmap, ImageMetadata metadata) {
  return metadata == ImageMetadata::Panorama && IsFullPanoramaSize(bitmap.Width(), bitmap.Height());
}

// The metadata's XMP packet for the bitmap; empty for none.
std::string XmpPacketOf(const WorkBitmap& bitmap, ImageMetadata metadata) {
  return MarksPanorama(bitmap, metadata) ? PanoramaXmpPacket(bitmap.Width(), bitmap.Height())
                                         : std::string();
}

}  // namespace

void EncodeImage(const WorkBitmap& bitmap, std::string_view filename, int quality,
                 ImageMetadata metadata, ByteSink& out, const SunGlow* glow,
                 const PngOptions& png) {
  const SunGlow none;
  const LinearPicture linear = LinearPictureOf(bitmap, glow ? *glow : none);
  switch (ImageFormatOf(filename)) {
    case ImageFormat::Exr:
      return EncodeExr(
          linear, out,
          MarksPanorama(bitmap, metadata) ? ExrEnvironment::LatLong : ExrEnvironment::None);
    case ImageFormat::Hdr:
      return EncodeRgbe(linear, out);
    case ImageFormat::Bmp:
      return EncodeBmp(bitmap, out);
    case ImageFormat::Png:
      return EncodePng(bitmap, out, XmpPacketOf(bitmap, metadata), png);
    case ImageFormat::Jpeg:
      return EncodeJpeg(bitmap, quality, out, XmpPacketOf(bitmap, metadata));
  }
}

void SaveImage(const WorkBitmap& bitmap, const std::string& path, int quality,
               ImageMetadata metadata) {
  WriteFileAtomically(path,
                      [&](ByteSink& out) { EncodeImage(bitmap, path, quality, metadata, out); });
}

}  // namespace horizonmill
