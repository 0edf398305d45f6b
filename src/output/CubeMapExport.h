// Writing a panorama as the six faces of a cube map (render/CubeMap.h) into a
// folder: px, nx, py, ny, pz, nz with the format's extension.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/WorkBitmap.h"
#include "output/ImageOutput.h"
#include "platform/AtomicFile.h"
#include "render/CubeMap.h"

namespace horizonmill {

// The faces are written in one of the picture formats of output/ImageOutput.h.
using CubeFaceFormat = ImageFormat;
// The faces' format when none is asked for: lossless, and read by every 3D
// program.
inline constexpr CubeFaceFormat kDefaultCubeFaceFormat = CubeFaceFormat::Png;

// "png", "bmp" or "jpg" (any case); nothing for another name.
std::optional<CubeFaceFormat> CubeFaceFormatNamed(std::string_view name);
// ".png", ".bmp", ".jpg".
std::string_view CubeFaceExtension(CubeFaceFormat format);
// The face's file in the folder: "DIR/px.png" and so on.
std::string CubeFacePath(const std::string& folder, CubeFace face, CubeFaceFormat format);

// Nothing when the faces can go into `folder`, before anything is rendered:
// the folder is one (or can be made: its nearest existing parent is a folder
// we may write in) and no face's name is taken by what the atomic writer
// never replaces (a folder, a device...). Otherwise why not, naming the path.
// Existing faces are replaced: the folder is the user's own choice.
std::optional<std::string> CheckCubeMapTarget(const std::string& folder, CubeFaceFormat format);

// The six faces of `faceSize` x `faceSize` (WorkBitmap::FitsLimits) as files
// to write (faceSize rows each), each rendered from the panorama when it is
// written; JPEG faces at `quality`, without panorama metadata (a face is no
// panorama). The panorama must outlive the list.
std::vector<FileToWrite> CubeMapFiles(const WorkBitmap& panorama, const std::string& folder,
                                      int faceSize, CubeFaceFormat format, int quality);

// Makes the folder when it is missing, then writes the six faces and `others`
// (further files of the same command) together (WriteFilesAtomically, with
// `progress`): a failure, an interrupt or a request to stop leaves every file
// that was there before as it was, and a folder made here is removed again.
// Throws FileError naming the file, Interrupted or WriteCancelled.
void WriteCubeMap(const WorkBitmap& panorama, const std::string& folder, int faceSize,
                  CubeFaceFormat format, int quality, std::vector<FileToWrite> others = {},
                  WriteProgress* progress = nullptr);

}  // namespace horizonmill
