// The output plan: which files one run writes — the panorama image, the six
// faces of a cube map, the sun's direction — their names as paths here, the
// warnings about their formats, and the checks made before the render, so
// that a render is never spent on files that cannot be written. The window's
// output command and cube-map export and the command-line renderer all plan
// through here, then RenderAndWrite (app/RenderAndWrite.h) carries the plan out.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "output/CubeMapExport.h"
#include "output/ImageOutput.h"
#include "output/OutputTarget.h"

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
  std::optional<int> faceSize;  // default: a quarter of the picture's width
  std::string sunJson;          // empty: no sun
  std::optional<int> quality;   // default: the session's JPEG quality
  bool preview = false;         // the preview's size instead of the full image
  ImageMetadata metadata = ImageMetadata::Panorama;
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
  std::string sun;  // empty: none
  bool preview = false;
  OutputSize size{1, 1};  // the picture rendered
  int quality = 90;       // of every JPEG written
  ImageMetadata metadata = ImageMetadata::Panorama;
  std::vector<OutputWarning> warnings;

  // The sun alone needs no picture.
  bool Renders() const { return !image.empty() || faces.has_value(); }
  bool ToStandardOutput() const { return image == kStandardOutputName; }
  bool WritesJpeg() const;
  // The files written, image first (standard output is none of them).
  std::vector<std::string> Names() const;
  // The faces that are there already, which the run replaces.
  std::vector<std::string> ExistingFaces() const;
};

// The plan, or why the run cannot be made (a message naming the file).
struct PlannedOutputs {
  std::optional<OutputPlan> plan;
  std::string error;
};

// Plans the request for the session's scene, checking every name before the
// render: each target as CheckOutputTarget says (the scene's own name as a
// SceneFile name unless `overwrite`), the cube map's folder as
// CheckCubeMapTarget says and its faces within the image limits, and no name
// given twice. Warns of an image name whose extension names no format (JPEG
// is written) and of a quality asked for where nothing is JPEG.
PlannedOutputs PlanOutputs(const OutputRequest& request, const Session& session);

}  // namespace horizonmill
