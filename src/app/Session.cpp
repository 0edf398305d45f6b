#include "app/Session.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

#include "codecs/ImageOutput.h"
#include "image/BmpReader.h"
#include "image/PictureBudget.h"
#include "image/Placeholders.h"
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

void Session::SetPictureBudget(std::int64_t bytes) {
  pictureBudget_ = bytes;
  pictures_.SetCapacity(bytes);
  prepared_.reset();
}

void Session::AddSearchFolder(const std::string& folder) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
  searchFolders_.push_back(ec ? folder : absolute.lexically_normal().string());
}

PictureSearch Session::Search() const { return PictureSearch(sceneFolder_, searchFolders_); }

std::optional<std::string> Session::FindPicture(std::string_view name) const {
  return Search().Find(name);
}

void Session::New() {
  scene_.Reset();
  settingsFilename_ = kNewSettingsName;
  hasFile_ = false;
  sceneFolder_.clear();
  savedText_ = EncodeSettings(scene_);
}

OpenResult Session::Open(const std::string& path) {
  SettingsRead read = ReadSettings(path);
  scene_.Swap(read.scene);
  settingsFilename_ = path;
  hasFile_ = true;
  sceneFolder_ = SettingsFolder(path);
  HoldOldResolution();
  if (read.status == ReadStatus::Complete)
    savedText_ = EncodeSettings(scene_);
  else
    savedText_.reset();
  return OpenResult{read.status, std::move(read.diagnostics)};
}

void Session::Save() {
  WriteSettings(scene_, settingsFilename_);
  savedText_ = EncodeSettings(scene_);
}

void Session::SaveAs(const std::string& path) {
  WriteSettings(scene_, path);
  settingsFilename_ = path;
  hasFile_ = true;
  sceneFolder_ = SettingsFolder(path);
  savedText_ = EncodeSettings(scene_);
}

bool Session::HasUnsavedChanges() const {
  return !savedText_ || *savedText_ != EncodeSettings(scene_);
}

void Session::HoldOldResolution() {
  if (scene_.Output.Format != OutputFormat::Normal) scene_.Output.Resolution = OutputResolution{};
}

ControlStates Session::Refresh() {
  ControlStates s;
  s.ceiling = scene_.Ceiling.Enabled;
  s.ceilingColour = scene_.Ceiling.Enabled && CeilingPicture() != nullptr;
  s.ground = scene_.Ground.Enabled;
  s.groundWarp = scene_.Ground.Enabled && scene_.Ground.Reflection >= 1;
  // Old and OldDiet both hold the resolution; DietMode only refines Old.
  const bool old = scene_.Output.Format != OutputFormat::Normal;
  s.dietMode = old;
  s.resolution = !old;
  HoldOldResolution();
  s.output = !scene_.Output.Filename.empty();
  return s;
}

std::string Session::ResolutionProblem() const {
  const OutputSize size = OutputSizeOf(scene_.Output.Resolution);
  return WorkBitmap::LimitReason(size.width, size.height);
}

bool Session::Admits(const SceneSettings& changed, DiagnosticSubject subject, GroupId group,
                     std::size_t index, Diagnostic* refused) {
  const Preparation preparation = Prepare(changed);
  for (const Diagnostic& d : preparation.diagnostics) {
    if (d.code != DiagnosticCode::PictureRefused || d.subject != subject) continue;
    if (subject == DiagnosticSubject::Object && (d.group != group || d.index != index)) continue;
    if (refused != nullptr) *refused = d;
    return false;
  }
  return true;
}

TextureChoice Session::SetTexture(TextureLayer layer, const std::string& name, bool switchOn) {
  const bool ground = layer == TextureLayer::Ground;
  SceneSettings changed = scene_;
  std::string& slotName = ground ? changed.Ground.TextureFilename : changed.Ceiling.TextureFilename;
  bool& enabled = ground ? changed.Ground.Enabled : changed.Ceiling.Enabled;
  slotName = name;
  if (switchOn) enabled = true;

  TextureChoice choice;
  const std::optional<std::string> path = FindPicture(name);
  if (!path) {
    const PictureKind kind = ground ? PictureKind::GroundTexture : PictureKind::CeilingTexture;
    choice.missing =
        TextureDiagnostic(DiagnosticCode::MissingPicture, kind, name,
                          std::string(PictureKindName(kind)) + " \"" + name + "\" not found" +
                              "; the layer shows the missing-picture tile \"無\"");
    scene_ = std::move(changed);
    return choice;
  }
  // Throws FileError for a file that is no loadable picture, before the
  // document is touched.
  const horizonmill::PictureBudget alone(pictureBudget_);  // the class, not the accessor
  const CachedPicture picture = pictures_.Picture(*path, &alone);
  if (!ground) changed.Ceiling.OpaqueColor = FindUnusedColour(*picture.image);
  Diagnostic refused;
  if (!Admits(changed,
              ground ? DiagnosticSubject::GroundTexture : DiagnosticSubject::CeilingTexture,
              GroupId::Far, 0, &refused))
    throw PictureOverBudget(*path, "the pictures' memory budget of " +
                                       ByteSizeText(pictureBudget_) +
                                       " does not admit it beside the scene's other pictures");
  scene_ = std::move(changed);
  choice.picture = BitmapOf(*picture.image);
  ShowInPreview(choice.picture);
  return choice;
}

void Session::ShowInPreview(const WorkBitmap& picture) {
  if (!picture.Empty()) StretchDraw(picture, preview_);
}

ObjectEntry* Session::AddObjectPicture(ObjectGroup& group, const ObjectEntry* like,
                                       const std::string& path) {
  std::unique_ptr<ObjectEntry> entry = NewObjectEntry(like);
  if (!entry) return nullptr;
  CachedPicture picture;
  try {
    const horizonmill::PictureBudget alone(pictureBudget_);  // the class, not the accessor
    picture = pictures_.Picture(path, &alone);
  } catch (const BmpFileTooLarge&) {
    return nullptr;  // too large for memory: memory running out
  }
  // A picture cut out on a transparent background needs no key colour of its
  // own: one its opaque pixels do not use keeps all of them drawn.
  if (picture.image->holes != nullptr) entry->OpaqueColor = FindUnusedColour(*picture.image);
  entry->Filename = path;

  // Would it fit the budget beside the scene's other pictures?
  const GroupId id = &group == &scene_.Far   ? GroupId::Far
                     : &group == &scene_.Mid ? GroupId::Mid
                                             : GroupId::Near;
  SceneSettings changed = scene_;
  ObjectGroup& target = id == GroupId::Far   ? changed.Far
                        : id == GroupId::Mid ? changed.Mid
                                             : changed.Near;
  target.Append(std::make_unique<ObjectEntry>(*entry));
  if (!Admits(changed, DiagnosticSubject::Object, id, target.Size() - 1, nullptr)) return nullptr;

  ObjectEntry* added = entry.get();
  AppendObjectEntry(group, std::move(entry));
  return added;
}

void Session::SetMissing(MissingPictures missing) {
  if (missing == missing_) return;
  missing_ = missing;
  prepared_.reset();  // prepared the other way
}

Preparation Session::Prepare(const SceneSettings& document) {
  return PrepareScene(document, Search(), pictures_, pictureBudget_, missing_);
}

Preparation Session::Prepare() {
  Preparation preparation = Prepare(scene_);
  prepared_ = preparation.scene;
  preparedFrom_ = scene_;
  preparedSearch_ = Search();
  return preparation;
}

std::shared_ptr<const PreparedScene> Session::Prepared() {
  if (!prepared_ || preparedFrom_ != scene_ || preparedSearch_ != Search()) Prepare();
  return prepared_;
}

SharedPicture Session::ObjectPicture(const ObjectEntry& entry) {
  const std::pair<const ObjectGroup*, GroupId> groups[] = {
      {&scene_.Far, GroupId::Far}, {&scene_.Mid, GroupId::Mid}, {&scene_.Near, GroupId::Near}};
  for (const auto& [group, id] : groups) {
    std::size_t index = 0;
    for (const ObjectEntry& e : *group) {
      if (&e == &entry) return Prepared()->ObjectPicture(id, index);
      ++index;
    }
  }
  return nullptr;
}

SharedPicture Session::CeilingPicture() {
  if (!scene_.Ceiling.Enabled) return nullptr;
  return Prepared()->CeilingTexture.Picture;
}

bool Session::PreviewAcceptsClick() const {
  return !context_.Rendering && context_.RenderProgress == 0;
}

void Session::RenderPreview(const PreparedScene& prepared) {
  RenderBackground(context_, prepared, preview_, preview_);
}

bool RenderFullSize(RenderContext& context, const PreparedScene& prepared,
                    const OutputResolution& resolution, WorkBitmap& output, WorkBitmap& preview) {
  const OutputSize size = OutputSizeOf(resolution);
  if (!output.Resize(size.width, size.height)) return false;
  RenderBackground(context, prepared, output, preview);
  if (context.Port->WantsPreview()) {
    StretchDraw(output, preview);
    context.Port->PreviewReady(preview);
  }
  return true;
}

bool Session::RenderOutput(const PreparedScene& prepared, const OutputResolution& resolution) {
  return RenderFullSize(context_, prepared, resolution, output_, preview_);
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
