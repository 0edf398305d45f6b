#include "app/OutputPlan.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <system_error>
#include <utility>

#include "app/Session.h"
#include "codecs/PanoramaXmp.h"
#include "image/ImageLimits.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "render/Pipeline.h"

namespace horizonmill {
namespace {

namespace fs = std::filesystem;

// What can be said before the render about the format: an extension that
// names none of the formats, and a quality that does not apply.
void WarnAboutFormat(const OutputRequest& request, OutputPlan& plan) {
  const std::string& out = plan.image;
  // A thumbnail is PNG whatever its name says.
  if (!out.empty() && !plan.ToStandardOutput() && !HasImageExtension(out) && !plan.thumbnail) {
    const std::string ext = LowerCaseExtension(out);
    plan.warnings.push_back(
        {out, (ext.empty() ? std::string("the name has no extension")
                           : "the extension \"" + ext + "\" names no picture format") +
                  "; the image is written as JPEG (.png, .bmp, .jpg, .jpeg, .exr and .hdr "
                  "choose the format)"});
  }
  if (!out.empty() && plan.metadata == ImageMetadata::Panorama &&
      plan.imageFormat != ImageFormat::Bmp && plan.imageFormat != ImageFormat::Hdr &&
      !IsFullPanoramaSize(plan.size.width, plan.size.height))
    plan.warnings.push_back(
        {out, "the image is " + std::to_string(plan.size.width) + " x " +
                  std::to_string(plan.size.height) +
                  ", not twice as wide as high: no full panorama, so no panorama metadata "
                  "(GPano) is written"});
  if (request.sunRatio && !plan.WritesHdr() && plan.sh.empty())
    plan.warnings.push_back(
        {out.empty() ? plan.cubemap : out,
         "--sun-ratio applies to the EXR and HDR outputs only; nothing is written as either"});
  if (request.quality && !plan.WritesJpeg()) {
    std::string what = "nothing is written as JPEG";
    if (!out.empty())
      what = std::string("the image is written as ") + ImageFormatName(plan.imageFormat);
    else if (plan.faces)
      what = std::string("the faces are written as ") + ImageFormatName(*plan.faces);
    plan.warnings.push_back(
        {out.empty() ? plan.cubemap : out, "--quality applies to JPEG only; " + what});
  }
  if (request.pngLevel && !plan.WritesPng()) {
    std::string what = "nothing is written as PNG";
    if (!out.empty())
      what = std::string("the image is written as ") + ImageFormatName(plan.imageFormat);
    else if (plan.faces)
      what = std::string("the faces are written as ") + ImageFormatName(*plan.faces);
    plan.warnings.push_back(
        {out.empty() ? plan.cubemap : out, "--png-level applies to PNG only; " + what});
  }
}

// What a name stands for here, so that two spellings of one file compare
// equal: the file's device and inode when it exists (a link counts as what it
// points to), else its folder's and its last component, else the path made
// absolute and normal (a folder the run will make).
std::string IdentityOf(const std::string& path) {
  struct stat st;
  auto id = [](const struct stat& s) {
    return std::to_string(s.st_dev) + ":" + std::to_string(s.st_ino);
  };
  if (::stat(path.c_str(), &st) == 0) return "file " + id(st);
  const fs::path name(path);
  const fs::path folder = name.has_parent_path() ? name.parent_path() : fs::path(".");
  if (name.has_filename() && ::stat(folder.c_str(), &st) == 0)
    return "in " + id(st) + "/" + name.filename().string();
  std::error_code ec;
  return "path " + fs::absolute(name, ec).lexically_normal().string();
}

// The files a run must never write over: the scene's settings file and the
// pictures it uses, each with what it is, by identity.
std::vector<std::pair<std::string, std::string>> SceneFilesOf(const Session& session) {
  std::vector<std::pair<std::string, std::string>> files;
  auto add = [&](const std::string& path, std::string what) {
    struct stat st;
    if (!path.empty() && ::stat(path.c_str(), &st) == 0)
      files.emplace_back(IdentityOf(path), std::move(what));
  };
  add(session.SettingsFilename(), "the scene's settings file itself");
  const SceneSettings& scene = session.Scene();
  add(scene.Ground.TextureFilename, "the ground texture the scene uses");
  add(scene.Ceiling.TextureFilename, "the ceiling texture the scene uses");
  for (const ObjectGroup* group : {&scene.Far, &scene.Mid, &scene.Near})
    for (const ObjectEntry& entry : *group)
      add(entry.Filename, "an object picture the scene uses (" + entry.Filename + ")");
  return files;
}

std::string ImageNameOf(const OutputRequest& request, const Session& session, bool& sceneName) {
  sceneName = false;
  if (request.image) return *request.image;
  if (!request.cubemap.empty() || !request.sunJson.empty() || !request.shJson.empty()) return {};
  sceneName = true;
  return session.Scene().Output.Filename;
}

}  // namespace

OutputSize ThumbnailSize(OutputSize picture, int side) {
  const bool wide = picture.width >= picture.height;
  const double shorter = static_cast<double>(wide ? picture.height : picture.width) * side /
                         (wide ? picture.width : picture.height);
  const int other = std::max(1, static_cast<int>(std::nearbyint(shorter)));
  return wide ? OutputSize{side, other} : OutputSize{other, side};
}

bool OutputPlan::InPreviewBitmap() const {
  return preview && size.width == kPreviewWidth && size.height == kPreviewHeight;
}

OutputSize OutputPlan::ImageSize() const {
  return thumbnail > 0 ? ThumbnailSize(size, thumbnail) : size;
}

bool OutputPlan::WritesJpeg() const {
  return (!image.empty() && imageFormat == ImageFormat::Jpeg) || faces == CubeFaceFormat::Jpeg;
}

bool OutputPlan::WritesPng() const {
  return (!image.empty() && imageFormat == ImageFormat::Png) || faces == CubeFaceFormat::Png;
}

bool OutputPlan::WritesHdr() const {
  return (!image.empty() && IsHdrFormat(imageFormat)) || (faces && IsHdrFormat(*faces));
}

std::vector<std::string> OutputPlan::Names() const {
  std::vector<std::string> names;
  if (!image.empty() && !ToStandardOutput()) names.push_back(image);
  if (faces)
    for (std::string& path : CubeMapPaths(cubemap, *faces, cubeLayout))
      names.push_back(std::move(path));
  if (!sun.empty()) names.push_back(sun);
  if (!sh.empty()) names.push_back(sh);
  return names;
}

std::vector<std::string> OutputPlan::ExistingFaces() const {
  std::vector<std::string> existing;
  if (faces)
    for (std::string& path : CubeMapPaths(cubemap, *faces, cubeLayout))
      if (FileExists(path)) existing.push_back(std::move(path));
  return existing;
}

CubeMapOptions OutputPlan::CubeOptions(const SunGlow* glow) const {
  CubeMapOptions options;
  options.format = faces.value_or(kDefaultCubeFaceFormat);
  options.layout = cubeLayout;
  options.convention = cubeConvention;
  options.faceSize = faceSize;
  options.encoding.quality = quality;
  options.encoding.png = png;
  options.encoding.glow = glow;
  options.threads = threads;
  return options;
}

PlannedOutputs PlanOutputs(const OutputRequest& request, const Session& session) {
  auto refused = [](std::string error) { return PlannedOutputs{std::nullopt, std::move(error)}; };
  // A size beyond the image limits is told as memory exhausted, `detail`
  // naming the size and the limit.
  auto exhausted = [](std::string detail) {
    std::string error =
        std::string(EnglishText(MessageCode::MemoryExhausted)) + " (" + detail + ")";
    return PlannedOutputs{std::nullopt, std::move(error), std::move(detail)};
  };
  OutputPlan plan;
  plan.preview = request.preview;
  plan.size = request.preview ? OutputSize{kPreviewWidth, kPreviewHeight}
                              : OutputSizeOf(session.Scene().Output.Resolution);
  plan.quality = request.quality.value_or(session.JpegQuality());
  plan.png.level = request.pngLevel.value_or(kDefaultPngLevel);
  plan.threads = session.Context().Threads;
  plan.metadata = request.metadata;
  plan.sunRatio = request.sunRatio.value_or(kDefaultSunRatio);
  if (!(plan.sunRatio >= 0) || !std::isfinite(plan.sunRatio))
    return refused("the sun's ratio (--sun-ratio) wants a number from 0 up");

  bool sceneName = false;
  const std::string name = ImageNameOf(request, session, sceneName);
  if (name == kStandardOutputName) {
    plan.image = name;
    plan.imageFormat = request.streamFormat.value_or(ImageFormat::Png);
  } else {
    plan.image = OutputPathOf(name);
    plan.imageFormat = ImageFormatOf(plan.image);
  }
  if (plan.image.empty() && sceneName)
    return refused("no output file: give one with -o (the scene's Output_Filename is empty)");
  if (request.thumbnail) {
    if (plan.image.empty()) return refused("a thumbnail needs an image name to write it to");
    if (*request.thumbnail < 1) return refused("a thumbnail needs a size of 1 pixel or more");
    const bool named =
        plan.ToStandardOutput() ? request.streamFormat.has_value() : HasImageExtension(plan.image);
    if (named && plan.imageFormat != ImageFormat::Png)
      return refused((plan.ToStandardOutput() ? std::string("standard output") : plan.image) +
                     ": a thumbnail is written as PNG, not as " +
                     ImageFormatName(plan.imageFormat));
    plan.thumbnail = *request.thumbnail;
    // A preview is drawn at a larger thumbnail's own size, never enlarged.
    if (const OutputSize own = ThumbnailSize(plan.size, plan.thumbnail);
        plan.preview && own.width > plan.size.width)
      plan.size = own;
    plan.imageFormat = ImageFormat::Png;
    plan.metadata = ImageMetadata::None;
    const OutputSize thumbnail = plan.ImageSize();
    if (const std::string limit = WorkBitmap::LimitReason(thumbnail.width, thumbnail.height);
        !limit.empty())
      return exhausted("the thumbnail: " + limit);
  }
  if (!plan.image.empty() && !plan.ToStandardOutput()) {
    const OutputOrigin origin =
        sceneName && !request.overwrite ? OutputOrigin::SceneFile : OutputOrigin::Named;
    plan.replaceImage = origin == OutputOrigin::Named;
    if (const auto problem =
            CheckOutputTarget(plan.image, origin, plan.ImageSize(), plan.imageFormat)) {
      const bool namedWouldDo =
          !CheckOutputTarget(plan.image, OutputOrigin::Named, plan.ImageSize(), plan.imageFormat);
      return refused(*problem + (namedWouldDo ? " (-o or --overwrite replaces it)" : ""));
    }
  }
  if (!request.cubemap.empty()) {
    plan.cubemap = OutputPathOf(request.cubemap);
    plan.faces = request.faceFormat.value_or(kDefaultCubeFaceFormat);
    plan.faceSize = request.faceSize.value_or(DefaultCubeFaceSize(plan.size.width));
    plan.cubeLayout = request.cubeLayout.value_or(CubeLayout::Faces);
    plan.cubeConvention = request.cubeConvention.value_or(CubeConvention::Gl);
    if (const std::string limit = WorkBitmap::LimitReason(plan.faceSize, plan.faceSize);
        !limit.empty())
      return exhausted("cube faces: " + limit);
    const CubeGrid grid = CubeLayoutGrid(plan.cubeLayout);
    const std::int64_t width = std::int64_t{grid.columns} * plan.faceSize;
    const std::int64_t height = std::int64_t{grid.rows} * plan.faceSize;
    if (const std::string limit = ImageLimitReason(width, height, (width * 3 + 3) & ~3);
        !limit.empty())
      return exhausted("the cube map's " + std::string(CubeLayoutName(plan.cubeLayout)) +
                       " picture: " + limit);
    if (*plan.faces == CubeFaceFormat::Jpeg && (width > kMaxJpegSide || height > kMaxJpegSide))
      return refused(plan.cubemap + ": a JPEG picture can be at most " +
                     std::to_string(kMaxJpegSide) + " pixels a side, and the cube map's " +
                     std::string(CubeLayoutName(plan.cubeLayout)) + " picture would be " +
                     std::to_string(width) + " x " + std::to_string(height));
    if (const auto problem = CheckCubeMapTarget(plan.cubemap, *plan.faces, plan.cubeLayout))
      return refused(*problem);
  }
  for (auto [json, path] : {std::pair{&request.sunJson, &plan.sun}, {&request.shJson, &plan.sh}}) {
    if (json->empty()) continue;
    *path = OutputPathOf(*json);
    // A file in a cube map's folder that the run is to make is checked with
    // the folder.
    const auto slash = path->rfind('/');
    if (plan.faces && slash != std::string::npos && path->substr(0, slash) == plan.cubemap &&
        !std::filesystem::exists(plan.cubemap))
      continue;
    // Text: no picture size to check.
    if (const auto problem =
            CheckOutputTarget(*path, OutputOrigin::Named, OutputSize{1, 1}, std::nullopt))
      return refused(*problem);
  }
  // Two spellings of one file ("./y.png" and "y.png", a link and its file)
  // are one file named twice; the scene and its pictures are never written.
  const auto sceneFiles = SceneFilesOf(session);
  std::map<std::string, std::string> seen;  // identity -> the name that gave it
  for (const std::string& name : plan.Names()) {
    const std::string identity = IdentityOf(name);
    if (const auto [at, added] = seen.emplace(identity, name); !added)
      return refused(name + ": named twice among the files to write" +
                     (at->second == name ? std::string() : " (as " + at->second + ")"));
    for (const auto& [id, what] : sceneFiles)
      if (id == identity) return refused(name + ": is " + what + ", which a run never replaces");
  }
  WarnAboutFormat(request, plan);
  return {std::move(plan), {}};
}

}  // namespace horizonmill
