#include "app/Session.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

#include "codecs/ImageOutput.h"
#include "image/PictureBudget.h"
#include "image/PictureReader.h"
#include "image/Placeholders.h"
#include "platform/Paths.h"
#include "render/Pipeline.h"

namespace horizonmill {

std::string GuardedScale(std::string_view text) {
  if (ToReal(text) == 0) return "0.001";
  return std::string(text);
}

Session::Session(ProgramSettings settings)
    : settings_(std::move(settings)),
      pictures_(PictureBudgetFromEnvironment()),
      preview_(kPreviewWidth, kPreviewHeight),
      pictureBudget_(PictureBudgetFromEnvironment()) {
  FillWorkBitmap(preview_, BgrPixel{192, 192, 192});
  SetJpegQuality(settings_.Values().JPEGQuality);
  savedText_ = EncodeSettings(scene_);
}

void Session::SetJpegQuality(int quality) { jpegQuality_ = std::clamp(quality, 0, 100); }

void Session::New() {
  scene_.Reset();
  settingsFilename_ = kNewSettingsName;
  sceneFolder_.clear();
  savedText_ = EncodeSettings(scene_);
}

ReadStatus Session::Open(const std::string& path, SettingsReaderHost& host) {
  SceneSettings read;
  SettingsReadLimits limits;
  limits.pictureBudget = pictureBudget_;
  const ReadStatus status = ReadSettings(read, path, host, limits);
  scene_.Swap(read);
  settingsFilename_ = path;
  sceneFolder_ = SettingsFolder(path);
  Refresh();
  if (status == ReadStatus::Complete)
    savedText_ = EncodeSettings(scene_);
  else
    savedText_.reset();
  return status;
}

void Session::Save() {
  WriteSettings(scene_, settingsFilename_);
  savedText_ = EncodeSettings(scene_);
}

void Session::SaveAs(const std::string& path) {
  WriteSettings(scene_, path);
  settingsFilename_ = path;
  sceneFolder_ = SettingsFolder(path);
  savedText_ = EncodeSettings(scene_);
}

bool Session::HasUnsavedChanges() const {
  return !savedText_ || *savedText_ != EncodeSettings(scene_);
}

ControlStates Session::Refresh() {
  ControlStates s;
  s.ceiling = scene_.Ceiling.Enabled;
  s.ceilingColour = scene_.Ceiling.Enabled && scene_.Ceiling.Texture != nullptr;
  s.ground = scene_.Ground.Enabled;
  s.groundWarp = scene_.Ground.Enabled && scene_.Ground.Reflection >= 1;
  // Old and OldDiet both hold the resolution; DietMode only refines Old.
  const bool old = scene_.Output.Format != OutputFormat::Normal;
  s.dietMode = old;
  s.resolution = !old;
  if (old) scene_.Output.Resolution = OutputResolution{};
  s.output = !scene_.Output.Filename.empty();
  return s;
}

std::string Session::ResolutionProblem() const {
  const OutputSize size = OutputSizeOf(scene_.Output.Resolution);
  return WorkBitmap::LimitReason(size.width, size.height);
}

std::optional<std::string> Session::ExistingTexture(std::string_view name) {
  std::string path = ResolvePath(name);
  if (!FileExists(path)) return std::nullopt;
  return path;
}

TextureLoad Session::LoadTexture(TextureLayer layer, const std::string& path,
                                 PixelImagePtr* replaced) {
  horizonmill::PictureBudget budget(pictureBudget_);  // the class, not the accessor
  budget.Hold(scene_.HeldPictureBytes());
  PixelImagePtr& slot =
      layer == TextureLayer::Ground ? scene_.Ground.Texture : scene_.Ceiling.Texture;
  // The loaders free what the slot holds; taken out first, it is kept.
  PixelImagePtr previous;
  if (replaced != nullptr) previous = std::move(slot);
  TextureLoad load;
  try {
    load = layer == TextureLayer::Ground
               ? LoadGroundTexture(slot, path, &budget)
               : LoadCeilingTexture(slot, scene_.Ceiling.OpaqueColor, path, &budget);
  } catch (...) {
    if (replaced != nullptr) slot = std::move(previous);
    throw;
  }
  if (replaced != nullptr) *replaced = std::move(previous);
  if (load.result == TextureLoadResult::Loaded) ShowInPreview(load.picture);
  return load;
}

TextureLoad Session::TakeTexture(TextureLayer layer, const std::string& path,
                                 PixelImagePtr* replaced) {
  TextureLoad load = LoadTexture(layer, path, replaced);
  if (layer == TextureLayer::Ground) {
    scene_.Ground.Enabled = true;
    scene_.Ground.TextureFilename = path;
  } else {
    scene_.Ceiling.Enabled = true;
    scene_.Ceiling.TextureFilename = path;
  }
  return load;
}

void Session::ShowInPreview(const WorkBitmap& picture) {
  if (!picture.Empty()) StretchDraw(picture, preview_);
}

ObjectEntry* Session::AddObjectPicture(ObjectGroup& group, const ObjectEntry* like,
                                       const std::string& path) {
  std::unique_ptr<ObjectEntry> entry = NewObjectEntry(like);
  if (!entry) return nullptr;
  horizonmill::PictureBudget budget(pictureBudget_);  // the class, not the accessor
  budget.Hold(scene_.HeldPictureBytes());
  try {
    entry->Image = LoadPictureFile(path, &budget);
  } catch (const BmpFileTooLarge&) {
    return nullptr;  // too large for memory or the budget: memory running out
  }
  if (!entry->Image) return nullptr;
  // A picture cut out on a transparent background needs no key colour of its
  // own: one its opaque pixels do not use keeps all of them drawn.
  if (entry->Image->holes != nullptr) entry->OpaqueColor = FindUnusedColour(*entry->Image);
  entry->Filename = path;
  ObjectEntry* added = entry.get();
  AppendObjectEntry(group, std::move(entry));
  return added;
}

bool Session::PreviewAcceptsClick() const {
  return !context_.Rendering && context_.RenderProgress == 0;
}

void Session::AddSearchFolder(const std::string& folder) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
  searchFolders_.push_back(ec ? folder : absolute.lexically_normal().string());
}

PictureSearch Session::Search() const { return PictureSearch(sceneFolder_, searchFolders_); }

Preparation Session::Prepare(const SceneSettings& document) {
  return PrepareScene(document, Search(), pictures_, pictureBudget_);
}

void Session::RenderPreview(const PreparedScene& prepared) {
  RenderBackground(context_, prepared, preview_, preview_);
}

bool Session::RenderOutput(const PreparedScene& prepared, const OutputResolution& resolution) {
  const OutputSize size = OutputSizeOf(resolution);
  if (!output_.Resize(size.width, size.height)) return false;
  RenderBackground(context_, prepared, output_, preview_);
  if (context_.Port->WantsPreview()) {
    StretchDraw(output_, preview_);
    context_.Port->PreviewReady(preview_);
  }
  return true;
}

std::vector<Diagnostic> Session::RenderPreview() {
  Preparation preparation = Prepare();
  RenderPreview(*preparation.scene);
  return std::move(preparation.diagnostics);
}

bool Session::RenderOutput(std::vector<Diagnostic>* diagnostics) {
  Preparation preparation = Prepare();
  if (diagnostics != nullptr) *diagnostics = std::move(preparation.diagnostics);
  return RenderOutput(*preparation.scene, scene_.Output.Resolution);
}

std::optional<int> Session::ProgressTick() {
  const int progress = context_.RenderProgress;
  if (progress != 0 && progress != 100) return progress;
  context_.RenderProgress = 0;
  return std::nullopt;
}

}  // namespace horizonmill
