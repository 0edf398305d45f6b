// Writing the finished image: the output size from the resolution texts, the
// output name as a path, and the encoder of each format chosen by its
// ImageFormat (codecs/ImageFormat.h): BMP, PNG or JPEG as the bitmap is (JPEG
// and PNG marked as a panorama, codecs/PanoramaXmp.h), or OpenEXR and Radiance
// HDR in linear light with the sun raised (codecs/HdrLight.h).
#pragma once

#include <string>
#include <string_view>

#include "codecs/EncodeOptions.h"
#include "codecs/ImageFormat.h"
#include "codecs/LinearPicture.h"
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
// MessageCode::MemoryExhausted: the limit the size breaks (image/ImageLimits.h), or, when
// it breaks none, that memory ran out.
std::string OutputSizeProblem(OutputSize size);

// An output name (Output_Filename, -o, the window's input) as a path here: "\"
// is a folder separator, as in every name that comes from a settings file.
std::string OutputPathOf(std::string_view name);

// The image in the format, into the sink. The HDR formats hold the picture
// decoded to linear light with the options' glow added (codecs/HdrLight.h;
// none: the picture alone); the others hold the bitmap as it is. Each
// encoder takes what is its own of the options (codecs/EncodeOptions.h) and
// tells the sink of the rows it encodes; what the sink or the encoder throws
// passes through.
void EncodeImage(const WorkBitmap& bitmap, ImageFormat format, const EncodeOptions& options,
                 ByteSink& out);
// A picture already in linear light (a cube map's faces are sampled so) in an
// HDR format; the options' glow is not added again. An eight-bit format has
// no encoder of such a picture: asking for one is a programmer's error.
void EncodeLinearImage(const LinearPicture& picture, ImageFormat format,
                       const EncodeOptions& options, ByteSink& out);

// EncodeImage into the file, atomically; throws FileError naming the file on
// failure. With a progress, its rows are counted there (the caller plans
// them) and a request to stop ends the write with WriteCancelled, the file
// there before untouched (platform/AtomicFile.h).
void SaveImage(const WorkBitmap& bitmap, const std::string& path, ImageFormat format,
               const EncodeOptions& options, WriteProgress* progress = nullptr);
// SaveImage as BMP, and as JPEG at the quality, without metadata.
void SaveAsBmp(const WorkBitmap& bitmap, const std::string& path,
               WriteProgress* progress = nullptr);
void SaveAsJpeg(const WorkBitmap& bitmap, const std::string& path, int quality,
                WriteProgress* progress = nullptr);

}  // namespace horizonmill
