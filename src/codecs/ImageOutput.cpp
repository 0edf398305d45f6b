#include "codecs/ImageOutput.h"

#include <algorithm>
#include <cassert>
#include <stdexcept>

#include "codecs/BmpWriter.h"
#include "codecs/ExrWriter.h"
#include "codecs/HdrLight.h"
#include "codecs/JpegWriter.h"
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

std::string OutputPathOf(std::string_view name) {
  std::string path(name);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

void EncodeImage(const WorkBitmap& bitmap, ImageFormat format, const EncodeOptions& options,
                 ByteSink& out) {
  switch (format) {
    case ImageFormat::Bmp:
      return EncodeBmp(bitmap, options, out);
    case ImageFormat::Png:
      return EncodePng(bitmap, options, out);
    case ImageFormat::Jpeg:
      return EncodeJpeg(bitmap, options, out);
    case ImageFormat::Exr:
    case ImageFormat::Hdr:
      break;
  }
  const SunGlow none;
  EncodeLinearImage(LinearPictureOf(bitmap, options.glow ? *options.glow : none), format, options,
                    out);
}

void EncodeLinearImage(const LinearPicture& picture, ImageFormat format,
                       const EncodeOptions& options, ByteSink& out) {
  switch (format) {
    case ImageFormat::Exr:
      return EncodeExr(picture, options, out);
    case ImageFormat::Hdr:
      return EncodeRgbe(picture, options, out);
    case ImageFormat::Bmp:
    case ImageFormat::Png:
    case ImageFormat::Jpeg:
      break;
  }
  assert(!"an eight-bit format asked of a picture in linear light");
  throw std::logic_error(std::string("no ") + ImageFormatName(format) +
                         " encoder of a picture in linear light");
}

void SaveImage(const WorkBitmap& bitmap, const std::string& path, ImageFormat format,
               const EncodeOptions& options, WriteProgress* progress) {
  WriteFileAtomically(
      path, [&](ByteSink& out) { EncodeImage(bitmap, format, options, out); }, OnInterrupt::Stop,
      progress);
}

void SaveAsBmp(const WorkBitmap& bitmap, const std::string& path, WriteProgress* progress) {
  SaveImage(bitmap, path, ImageFormat::Bmp, {}, progress);
}

void SaveAsJpeg(const WorkBitmap& bitmap, const std::string& path, int quality,
                WriteProgress* progress) {
  SaveImage(bitmap, path, ImageFormat::Jpeg, {.quality = quality}, progress);
}

}  // namespace horizonmill
