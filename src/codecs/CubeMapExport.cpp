#include "codecs/CubeMapExport.h"

#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "codecs/ImageOutput.h"
#include "codecs/OutputTarget.h"
#include "image/ImageLimits.h"
#include "platform/FileError.h"
#include "platform/Messages.h"
#include "render/RenderContext.h"
#include "render/WorkCrew.h"

namespace horizonmill {
namespace {

namespace fs = std::filesystem;

// The folder itself, or the nearest parent of it that exists.
fs::path NearestExisting(fs::path path) {
  std::error_code ec;
  while (!path.empty() && !fs::exists(fs::symlink_status(path, ec)) && path != path.parent_path())
    path = path.parent_path();
  return path.empty() ? fs::path(".") : path;
}

}  // namespace

std::optional<CubeFaceFormat> CubeFaceFormatNamed(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "png") return CubeFaceFormat::Png;
  if (lower == "bmp") return CubeFaceFormat::Bmp;
  if (lower == "jpg") return CubeFaceFormat::Jpeg;
  if (lower == "exr") return CubeFaceFormat::Exr;
  if (lower == "hdr") return CubeFaceFormat::Hdr;
  return std::nullopt;
}

std::string_view CubeFaceExtension(CubeFaceFormat format) {
  switch (format) {
    case CubeFaceFormat::Png:
      return ".png";
    case CubeFaceFormat::Bmp:
      return ".bmp";
    case CubeFaceFormat::Jpeg:
      return ".jpg";
    case CubeFaceFormat::Exr:
      return ".exr";
    case CubeFaceFormat::Hdr:
      return ".hdr";
  }
  return "";
}

std::string CubeFacePath(const std::string& folder, CubeFace face, CubeFaceFormat format) {
  return (fs::path(folder) / CubeFaceName(face)).string() + std::string(CubeFaceExtension(format));
}

std::vector<std::string> CubeMapPaths(const std::string& folder, CubeFaceFormat format,
                                      CubeLayout layout) {
  std::vector<std::string> paths;
  if (layout == CubeLayout::Faces) {
    for (CubeFace face : kCubeFaces) paths.push_back(CubeFacePath(folder, face, format));
  } else {
    paths.push_back((fs::path(folder) / kCubeLayoutName).string() +
                    std::string(CubeFaceExtension(format)));
  }
  return paths;
}

std::optional<std::string> CheckCubeMapTarget(const std::string& folder, CubeFaceFormat format,
                                              CubeLayout layout) {
  if (folder.empty()) return "the cube map's folder name is empty";
  if (IsDriveLetterName(folder))
    return FileError(folder, "a Windows drive-letter name, which cannot exist here").what();
  std::error_code ec;
  const fs::path existing = NearestExisting(folder);
  if (!fs::is_directory(existing, ec))
    return FileError(existing.string(), "is not a folder, so the cube map cannot go there").what();
  if (::access(existing.c_str(), W_OK | X_OK) != 0)
    return FileError(existing.string(), ErrnoReason(errno)).what();
  for (const std::string& path : CubeMapPaths(folder, format, layout)) {
    if (const std::string reason = NotReplaceableReason(path); !reason.empty())
      return FileError(path, reason).what();
  }
  return std::nullopt;
}

namespace {

// Rows of a picture sampled per block of the work crew.
constexpr int kSampledRowsPerBlock = 16;

// One picture of the cube map, W x H, and the direction of each of its pixels.
struct CubePicture {
  int width = 0, height = 0;
  std::function<std::optional<Direction>(int x, int y)> direction;
};

CubePicture PictureOf(const CubeMapOptions& options, std::optional<CubeFace> face) {
  const int n = options.faceSize;
  if (face)
    return {n, n, [convention = options.convention, f = *face, n](int x, int y) {
              return std::optional<Direction>(ConventionFaceDirection(convention, f, x, y, n));
            }};
  const CubeGrid grid = CubeLayoutGrid(options.layout);
  return {grid.columns * n, grid.rows * n,
          [layout = options.layout, convention = options.convention, n](int x, int y) {
            return CubeLayoutDirection(layout, convention, x, y, n);
          }};
}

// Why a cube picture cannot be had, in English.
std::string OutOfMemory(const CubePicture& picture) {
  return std::string(EnglishText(MessageCode::MemoryExhausted)) + " (a cube picture of " +
         std::to_string(picture.width) + " x " + std::to_string(picture.height) + ")";
}

// The picture sampled from the panorama and encoded in the format.
void EncodeCubePicture(const WorkBitmap& panorama, const CubePicture& picture,
                       const CubeMapOptions& options, ByteSink& out) {
  if (!WorkBitmap::FitsLimits(picture.width, picture.height))
    throw std::runtime_error(OutOfMemory(picture));
  EncodeOptions encoding = options.encoding;
  encoding.metadata = ImageMetadata::None;
  const int threads = options.threads > 0 ? options.threads : DefaultRenderThreads();
  encoding.threads = threads;
  if (IsHdrFormat(options.format)) {
    // Sampled in linear light, so that a face mixes light as a 3D program
    // does, the sun's glow with it.
    const PanoramaProjection project(panorama.Width(), panorama.Height());
    const SunGlow none;
    const SunGlow& glow = encoding.glow ? *encoding.glow : none;
    const LinearPicture linear{picture.width, picture.height, [&](int y, float* rgb) {
                                 for (int x = 0; x < picture.width; ++x) {
                                   const auto d = picture.direction(x, y);
                                   if (!d) {
                                     rgb[3 * x] = rgb[3 * x + 1] = rgb[3 * x + 2] = 0;
                                     continue;
                                   }
                                   const PanoramaPoint p =
                                       project(static_cast<float>(d->x), static_cast<float>(d->y),
                                               static_cast<float>(d->z));
                                   SampleLinear(panorama, glow, p.x, p.y, rgb + 3 * x);
                                 }
                               }};
    return EncodeLinearImage(linear, options.format, encoding, out);
  }
  WorkBitmap bitmap;
  if (!bitmap.Resize(picture.width, picture.height)) throw std::runtime_error(OutOfMemory(picture));
  // Rows on the crew's threads: each pixel is the panorama's sample alone.
  auto sample = [&](int, std::int64_t first, std::int64_t last) {
    SampleDirections(panorama, bitmap, static_cast<int>(first), static_cast<int>(last),
                     picture.direction);
  };
  WorkCrew(threads).Run(picture.height, kSampledRowsPerBlock, sample);
  EncodeImage(bitmap, options.format, encoding, out);
}

}  // namespace

std::vector<FileToWrite> CubeMapFiles(const WorkBitmap& panorama, const std::string& folder,
                                      const CubeMapOptions& options) {
  std::vector<FileToWrite> files;
  const std::vector<std::string> paths = CubeMapPaths(folder, options.format, options.layout);
  for (std::size_t k = 0; k < paths.size(); ++k) {
    std::optional<CubeFace> face;
    if (options.layout == CubeLayout::Faces) face = kCubeFaces[k];
    CubePicture picture = PictureOf(options, face);
    const int rows = picture.height;
    files.push_back({paths[k],
                     [&panorama, options, picture = std::move(picture)](ByteSink& out) {
                       EncodeCubePicture(panorama, picture, options, out);
                     },
                     rows});
  }
  return files;
}

std::vector<FileToWrite> CubeMapFiles(const WorkBitmap& panorama, const std::string& folder,
                                      int faceSize, CubeFaceFormat format, int quality) {
  CubeMapOptions options;
  options.format = format;
  options.faceSize = faceSize;
  options.encoding.quality = quality;
  return CubeMapFiles(panorama, folder, options);
}

void WriteCubeMap(const WorkBitmap& panorama, const std::string& folder,
                  const CubeMapOptions& options, std::vector<FileToWrite> others,
                  WriteProgress* progress) {
  std::error_code ec;
  const bool made = fs::create_directories(folder, ec);
  if (ec) throw FileError(folder, ec.message());
  try {
    std::vector<FileToWrite> files = CubeMapFiles(panorama, folder, options);
    files.insert(files.end(), std::make_move_iterator(others.begin()),
                 std::make_move_iterator(others.end()));
    WriteFilesAtomically(files, progress);
  } catch (...) {
    if (made) fs::remove(folder, ec);
    throw;
  }
}

void WriteCubeMap(const WorkBitmap& panorama, const std::string& folder, int faceSize,
                  CubeFaceFormat format, int quality, std::vector<FileToWrite> others,
                  WriteProgress* progress) {
  CubeMapOptions options;
  options.format = format;
  options.faceSize = faceSize;
  options.encoding.quality = quality;
  WriteCubeMap(panorama, folder, options, std::move(others), progress);
}

}  // namespace horizonmill
