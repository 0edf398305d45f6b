#include "output/CubeMapExport.h"

#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "image/ImageLimits.h"
#include "output/ImageOutput.h"
#include "output/OutputTarget.h"
#include "platform/FileError.h"

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

std::optional<std::string> CheckCubeMapTarget(const std::string& folder, CubeFaceFormat format) {
  if (folder.empty()) return "the cube map's folder name is empty";
  if (IsDriveLetterName(folder))
    return FileError(folder, "a Windows drive-letter name, which cannot exist here").what();
  std::error_code ec;
  const fs::path existing = NearestExisting(folder);
  if (!fs::is_directory(existing, ec))
    return FileError(existing.string(), "is not a folder, so the cube map cannot go there").what();
  if (::access(existing.c_str(), W_OK | X_OK) != 0)
    return FileError(existing.string(), ErrnoReason(errno)).what();
  for (CubeFace face : kCubeFaces) {
    const std::string path = CubeFacePath(folder, face, format);
    if (const std::string reason = NotReplaceableReason(path); !reason.empty())
      return FileError(path, reason).what();
  }
  return std::nullopt;
}

std::vector<FileToWrite> CubeMapFiles(const WorkBitmap& panorama, const std::string& folder,
                                      int faceSize, CubeFaceFormat format, int quality) {
  std::vector<FileToWrite> files;
  for (CubeFace face : kCubeFaces) {
    files.push_back({CubeFacePath(folder, face, format),
                     [&panorama, face, faceSize, extension = CubeFaceExtension(format),
                      quality](ByteSink& out) {
                       WorkBitmap bitmap;
                       if (!bitmap.Resize(faceSize, faceSize))
                         throw std::runtime_error(std::string(kMemoryExhausted));
                       RenderCubeFace(panorama, face, bitmap);
                       // A face is no panorama: no panorama metadata.
                       EncodeImage(bitmap, extension, quality, ImageMetadata::None, out);
                     },
                     faceSize});
  }
  return files;
}

void WriteCubeMap(const WorkBitmap& panorama, const std::string& folder, int faceSize,
                  CubeFaceFormat format, int quality, std::vector<FileToWrite> others,
                  WriteProgress* progress) {
  std::error_code ec;
  const bool made = fs::create_directories(folder, ec);
  if (ec) throw FileError(folder, ec.message());
  try {
    std::vector<FileToWrite> files = CubeMapFiles(panorama, folder, faceSize, format, quality);
    files.insert(files.end(), std::make_move_iterator(others.begin()),
                 std::make_move_iterator(others.end()));
    WriteFilesAtomically(files, progress);
  } catch (...) {
    if (made) fs::remove(folder, ec);
    throw;
  }
}

}  // namespace horizonmill
