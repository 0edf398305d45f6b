// The output plan: which files one run writes — the panorama image, a cube
// map (six faces or one laid-out picture), the sun's direction — their names
// as paths here, whether the render keeps the sun's weights for an HDR output, the
// warnings about their formats, and the checks made before the render, so
// that a render is never spent on files that cannot be written. The window's
// output command and cube-map export and the command-line renderer all plan
// through here, then RenderAndWrite (app/RenderAndWrite.h) carries the plan out.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/CubeMapExport.h"
#include "codecs/HdrLight.h"
#include "codecs/ImageOutput.h"
#include "codecs/OutputTarget.h"

namespace horizonmill {

class Session;

// The image name that stands for standard output.
inline constexpr std::string_view kStandardOutputName = "-";

// What a run is asked to write.
struct OutputRequest {
  // The image's name as the user gave it (-o, or the window's output name;
  // "\" separates folders, "-" is standard output). Nothing: the scene's
  // Output_Filename, unless only a cube map or the sun is asked for.
  std::optional<std::string> image;
  // The scene's Output_Filename may replace any regular file (--overwrite);
  // without it that name replaces only an empty file or a picture.
  bool overwrite = false;
  // The format of an image written to standard output (default PNG).
  std::optional<ImageFormat> streamFormat;
  std::string cubemap;  // the faces' folder; empty: no cube map
  std::optional<CubeFaceFormat> faceFormat;
  std::optional<int> faceSize;                   // default: a quarter of the picture's width
  std::optional<CubeLayout> cubeLayout;          // default: six files (faces)
  std::optional<CubeConvention> cubeConvention;  // default: gl
  // R of the HDR outputs (codecs/HdrLight.h), 0 or more; default kDefaultSunRatio.
  std::optional<double> sunRatio;
  std::string sunJson;          // empty: no sun
  std::string shJson;           // empty: no ambient light's coefficients
  std::optional<int> quality;   // default: the session's JPEG quality
  std::optional<int> pngLevel;  // default: kDefaultPngLevel
  // The preview instead of the full image: the preview area's size, or a
  // thumbnail's when that is larger (rendered at its own size, not enlarged).
  bool preview = false;
  ImageMetadata metadata = ImageMetadata::Panorama;
  // The image as a thumbnail: the picture scaled to fit SIZE x SIZE pixels
  // (1 or more), written as PNG without metadata whatever its name's extension
  // (a file manager names it without one); a name that names another format
  // is refused.
  std::optional<int> thumbnail;
};

// A warning about the run, before the render: the name it is about and why.
struct OutputWarning {
  std::string where;
  std::string text;
};

struct OutputPlan {
  std::string image;  // a path, kStandardOutputName, or empty: no image
  ImageFormat imageFormat = ImageFormat::Jpeg;
  std::string cubemap;  // the faces' folder; empty: none
  std::optional<CubeFaceFormat> faces;
  int faceSize = 0;
  CubeLayout cubeLayout = CubeLayout::Faces;
  CubeConvention cubeConvention = CubeConvention::Gl;
  double sunRatio = kDefaultSunRatio;  // R of the HDR outputs
  std::string sun;                     // empty: none
  std::string sh;  // the ambient light's coefficients (codecs/AmbientLight.h); empty: none
  bool preview = false;
  OutputSize size{1, 1};  // the picture rendered
  // Whether the preview render is drawn into the session's preview bitmap:
  // a preview of the preview area's size. A larger one (a thumbnail's) is
  // drawn as a preview into the output bitmap.
  bool InPreviewBitmap() const;
  int quality = 90;  // of every JPEG written
  // How every PNG is compressed: the level asked for.
  PngOptions png;
  // The threads that compress PNG and OpenEXR: the render's.
  int threads = 1;
  ImageMetadata metadata = ImageMetadata::Panorama;
  int thumbnail = 0;  // the image scaled to fit thumbnail x thumbnail; 0: as rendered
  // Whether the image may replace a file at its name. The scene's own name
  // (without --overwrite) may not: a file that comes there during the run is
  // kept and the run then places nothing.
  bool replaceImage = true;
  std::vector<OutputWarning> warnings;

  // The sun alone needs no picture; the ambient light's coefficients do.
  bool Renders() const { return !image.empty() || faces.has_value() || !sh.empty(); }
  bool ToStandardOutput() const { return image == kStandardOutputName; }
  bool WritesJpeg() const;
  bool WritesPng() const;
  // Whether the image (standard output included) or the cube map is OpenEXR
  // or Radiance HDR.
  bool WritesHdr() const;
  // Whether the render must keep the sun's weights (RenderContext::SunWeightsOut):
  // only for an HDR output or the ambient light's coefficients (taken from
  // the same linear light), so that no other run pays for them.
  bool KeepsSunWeights() const { return WritesHdr() || !sh.empty(); }
  // The size of the image written: the picture's, or its thumbnail's.
  OutputSize ImageSize() const;
  // The files written, image first (standard output is none of them).
  std::vector<std::string> Names() const;
  // The cube map's files that are there already, which the run replaces.
  std::vector<std::string> ExistingFaces() const;
  // How the cube map is written, with what the HDR formats add.
  CubeMapOptions CubeOptions(const SunGlow* glow = nullptr) const;
};

// A picture of `picture`'s proportions that fits `side` x `side` pixels: the
// longer side `side`, the other rounded to the nearest (half to even), at
// least 1.
OutputSize ThumbnailSize(OutputSize picture, int side);

// The plan, or why the run cannot be made (a message naming the file).
struct PlannedOutputs {
  std::optional<OutputPlan> plan;
  std::string error;  // in English
  // A size beyond the image limits: which size and which limit, to follow
  // MessageCode::MemoryExhausted (`error` says both); empty for any other refusal.
  std::string outOfMemory;
};

// Plans the request for the session's scene, checking every name before the
// render: each target as CheckOutputTarget says (the scene's own name as a
// SceneFile name unless `overwrite`), the cube map's folder as
// CheckCubeMapTarget says and its faces within the image limits, and no file
// named twice (by identity: device and inode of the file, or of its folder
// with its name, so "./y.png" and "y.png" are one), a laid-out cube map within
// the image limits; no file of the run may be the scene's settings file or a
// picture it uses (whoever named it). Warns of an image
// name whose extension names no format (JPEG is written), of a quality asked
// for where nothing is JPEG, of a PNG level where nothing is PNG, of a sun
// ratio where nothing is HDR, and of a panorama image that is not twice as
// wide as high (no panorama metadata is written: it is no full sphere).
// Refuses a sun ratio below 0 or no number, and a thumbnail without an image,
// named as another format than PNG, or beyond the image limits. A preview
// whose thumbnail is larger than the preview area is rendered at the
// thumbnail's size (ThumbnailSize of the preview area), so that it is never
// enlarged; a smaller one is the preview scaled down.
PlannedOutputs PlanOutputs(const OutputRequest& request, const Session& session);

}  // namespace horizonmill
