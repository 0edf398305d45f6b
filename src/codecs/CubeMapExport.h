// Writing a panorama as a cube map (render/CubeMap.h) into a folder: the six
// faces px, nx, py, ny, pz, nz with the format's extension, or one picture
// "cubemap" with the faces laid out on a grid (render/CubeLayout.h), in the
// orientation of a convention.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/HdrLight.h"
#include "codecs/ImageOutput.h"
#include "image/WorkBitmap.h"
#include "platform/AtomicFile.h"
#include "render/CubeLayout.h"
#include "render/CubeMap.h"

namespace horizonmill {

// The faces are written in one of the picture formats of codecs/ImageOutput.h.
using CubeFaceFormat = ImageFormat;
// The faces' format when none is asked for: lossless, and read by every 3D
// program.
inline constexpr CubeFaceFormat kDefaultCubeFaceFormat = CubeFaceFormat::Png;

// "png", "bmp", "jpg", "exr" or "hdr" (any case); nothing for another name.
std::optional<CubeFaceFormat> CubeFaceFormatNamed(std::string_view name);
// ".png", ".bmp", ".jpg", ".exr", ".hdr".
std::string_view CubeFaceExtension(CubeFaceFormat format);
// The face's file in the folder: "DIR/px.png" and so on.
std::string CubeFacePath(const std::string& folder, CubeFace face, CubeFaceFormat format);

// The name of the one picture of a laid-out cube map, without extension.
inline constexpr std::string_view kCubeLayoutName = "cubemap";

// What a cube map is written as.
struct CubeMapOptions {
  CubeFaceFormat format = kDefaultCubeFaceFormat;
  CubeLayout layout = CubeLayout::Faces;
  CubeConvention convention = CubeConvention::Gl;
  int faceSize = 1;  // N: each face N x N
  // How each picture is encoded: the JPEG quality, the PNG compression (the
  // threads that compress are `threads`), what the HDR formats add to the panorama in
  // linear light. A face is no panorama: it says nothing of itself, whatever
  // the metadata says.
  EncodeOptions encoding;
  // The threads that sample each picture and compress a PNG one; 0 or less:
  // the default number of render threads.
  int threads = 0;
};

// The files of the cube map in the folder: the six faces in the order px, nx,
// py, ny, pz, nz, or "DIR/cubemap.EXT" for a layout.
std::vector<std::string> CubeMapPaths(const std::string& folder, CubeFaceFormat format,
                                      CubeLayout layout = CubeLayout::Faces);

// Nothing when the cube map can go into `folder`, before anything is
// rendered: the folder is one (or can be made: its nearest existing parent is
// a folder we may write in) and no file's name is taken by what the atomic
// writer never replaces (a folder, a device...). Otherwise why not, naming the
// path. Existing files are replaced: the folder is the user's own choice.
std::optional<std::string> CheckCubeMapTarget(const std::string& folder, CubeFaceFormat format,
                                              CubeLayout layout = CubeLayout::Faces);

// The cube map's files to write (faceSize rows each, a layout its grid's rows
// of faces), each rendered from the panorama when it is written; JPEG at the
// quality, without panorama metadata (a face is no panorama). The panorama
// (and the glow) must outlive the list. A picture beyond the image limits
// fails its write with std::runtime_error, MessageCode::MemoryExhausted in
// English and the size.
std::vector<FileToWrite> CubeMapFiles(const WorkBitmap& panorama, const std::string& folder,
                                      const CubeMapOptions& options);
// The six faces in the GL convention.
std::vector<FileToWrite> CubeMapFiles(const WorkBitmap& panorama, const std::string& folder,
                                      int faceSize, CubeFaceFormat format, int quality);

// Makes the folder when it is missing, then writes the cube map and `others`
// (further files of the same command) together (WriteFilesAtomically, with
// `progress`): a failure, an interrupt or a request to stop leaves every file
// that was there before as it was, and a folder made here is removed again.
// Throws FileError naming the file, Interrupted or WriteCancelled.
void WriteCubeMap(const WorkBitmap& panorama, const std::string& folder,
                  const CubeMapOptions& options, std::vector<FileToWrite> others = {},
                  WriteProgress* progress = nullptr);
// The six faces in the GL convention.
void WriteCubeMap(const WorkBitmap& panorama, const std::string& folder, int faceSize,
                  CubeFaceFormat format, int quality, std::vector<FileToWrite> others = {},
                  WriteProgress* progress = nullptr);

}  // namespace horizonmill
