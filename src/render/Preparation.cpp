// PrepareScene: the document turned into what the render draws (see
// PreparedScene.h).
#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <utility>

#include "image/BmpReader.h"
#include "image/Placeholders.h"
#include "platform/FileError.h"
#include "render/PreparedScene.h"
#include "render/RenderCeiling.h"

namespace horizonmill {

SharedPicture PreparedScene::ObjectPicture(GroupId group, std::size_t index) const {
  const std::vector<PreparedObject>& objects = Group(group);
  return index < objects.size() ? objects[index].Decoded : nullptr;
}

namespace {

std::string Quoted(std::string_view text) {
  std::string quoted(1, '"');
  quoted += text;
  quoted += '"';
  return quoted;
}

// The colour part of a key colour, for the name of a derived picture.
std::string KeyName(PackedColour key) {
  char text[16];
  std::snprintf(text, sizeof text, "%06x", static_cast<unsigned>(key & 0x00ffffffu));
  return text;
}

// A copy of a decoded picture, its hole mask kept or dropped; nullptr when
// memory runs out.
PixelImagePtr CopyPicture(const PixelImage& from, bool holes) {
  PixelImagePtr copy = MakePixelImage(from.width, from.height);
  if (!copy) return nullptr;
  const std::size_t count = static_cast<std::size_t>(from.width) * from.height;
  std::copy_n(from.pixels, count, copy->pixels);
  if (holes && from.holes != nullptr) {
    if (!AddHoleMask(*copy)) return nullptr;
    std::copy_n(from.holes, count, copy->holes);
  }
  return copy;
}

// Who a picture belongs to: a texture or an entry.
struct Owner {
  PictureKind kind = PictureKind::Object;
  GroupId group = GroupId::Far;
  std::size_t index = 0;

  Diagnostic Tell(DiagnosticCode code, const std::string& name, std::string text) const {
    return kind == PictureKind::Object ? EntryDiagnostic(code, group, index, name, std::move(text))
                                       : TextureDiagnostic(code, kind, name, std::move(text));
  }
  // What is done without a picture found nowhere, to follow what happened.
  std::string_view Instead(MissingPictures missing) const {
    if (kind == PictureKind::Object) return "; the object is left out";
    if (missing == MissingPictures::LeaveOut) return "; the layer is left out";
    return "; the layer shows the missing-picture tile \"無\"";
  }
};

class Preparer {
 public:
  Preparer(const SceneSettings& document, const PictureSource& source, PictureCache& cache,
           std::int64_t budget, MissingPictures missing)
      : doc_(document), source_(source), cache_(cache), budget_(budget), missing_(missing) {}

  Preparation Run();

 private:
  // The decoded picture a name stands for, held in the budget; nothing, with
  // the diagnostic told, when it cannot be had. `refused` tells why not.
  std::optional<CachedPicture> Acquire(const std::string& name, const Owner& owner,
                                       DiagnosticCode& refused);
  // A picture made from `source` in `form`, held in the budget; nullptr, with
  // PictureRefused told, when the budget or memory does not allow it.
  SharedPicture Derive(const CachedPicture& source, const std::string& form, const Owner& owner,
                       const std::string& name, const std::function<PixelImagePtr()>& make);
  // Counts a picture the prepared scene holds (its bytes once, however many
  // parts hold it). False when it does not fit beside the others; `reason`
  // then says why. Release takes one hold back.
  bool Hold(const SharedPicture& picture, const std::string& path, std::string_view use,
            std::string& reason);
  std::string BudgetRefusal(const std::string& path, const PixelImage& picture,
                            std::string_view use, std::int64_t bytes) const;
  void Release(const SharedPicture& picture);

  void PrepareObjects(PreparedScene& scene);
  void PrepareGround(PreparedScene& scene);
  void PrepareCeiling(PreparedScene& scene);
  // Whether a layer whose picture could not be had for `refused` is left out.
  // What an unreadable picture's diagnostic adds when the layer or the object
  // is left out for it; nothing otherwise.
  std::string LeftOut(const Owner& owner) const {
    return missing_ == MissingPictures::LeaveOut ? std::string(owner.Instead(missing_)) : "";
  }
  bool LeavesOut(DiagnosticCode refused) const {
    return missing_ == MissingPictures::LeaveOut && (refused == DiagnosticCode::MissingPicture ||
                                                     refused == DiagnosticCode::UnreadablePicture);
  }
  // A placeholder in place of a layer's picture: the checkerboard or the
  // "無" tile; for the ceiling with its alpha.
  void Placeholder(PreparedTexture& texture, bool checkerboard, const Owner& owner,
                   const std::string& name,
                   const std::function<void(PixelImage&)>& finish = nullptr);

  const SceneSettings& doc_;
  const PictureSource& source_;
  PictureCache& cache_;
  PictureBudget budget_;
  const MissingPictures missing_;
  // The pictures counted in the budget, with how many parts of the scene hold each.
  std::map<const PixelImage*, int> held_;
  // Pictures derived in this preparation, by file and form: entries that share
  // a picture and its key share the derived one too.
  std::map<std::pair<FileIdentity, std::string>, SharedPicture> derived_;
  std::vector<Diagnostic> diagnostics_;
};

std::string Preparer::BudgetRefusal(const std::string& path, const PixelImage& picture,
                                    std::string_view use, std::int64_t bytes) const {
  return path + ": the pictures' memory budget of " + ByteSizeText(budget_.Limit()) +
         " does not admit this picture of " + std::to_string(picture.width) + " x " +
         std::to_string(picture.height) + " pixels" + std::string(use) + ": it needs " +
         ByteSizeText(bytes) + ", and the scene's pictures before it hold " +
         ByteSizeText(budget_.Held());
}

bool Preparer::Hold(const SharedPicture& picture, const std::string& path, std::string_view use,
                    std::string& reason) {
  if (const auto it = held_.find(picture.get()); it != held_.end()) {
    ++it->second;
    return true;
  }
  const std::int64_t bytes = HeldBytes(picture.get());
  if (budget_.Held() + bytes > budget_.Limit()) {
    reason = BudgetRefusal(path, *picture, use, bytes);
    return false;
  }
  held_.emplace(picture.get(), 1);
  budget_.Hold(bytes);
  return true;
}

void Preparer::Release(const SharedPicture& picture) {
  const auto it = held_.find(picture.get());
  if (it == held_.end() || --it->second > 0) return;
  held_.erase(it);
  budget_.Release(HeldBytes(picture.get()));
}

std::optional<CachedPicture> Preparer::Acquire(const std::string& name, const Owner& owner,
                                               DiagnosticCode& refused) {
  const std::string_view kind = PictureKindName(owner.kind);
  if (name.empty()) {
    refused = DiagnosticCode::NoPictureName;
    const std::string key = owner.kind == PictureKind::Object          ? "Objects_Filename"
                            : owner.kind == PictureKind::GroundTexture ? "Ground_TextureFilename"
                                                                       : "Sky_TextureFilename";
    diagnostics_.push_back(owner.Tell(
        refused, name,
        key + " names no picture" +
            std::string(owner.kind == PictureKind::Object ? "; the object is left out"
                                                          : "; the layer shows the checkerboard")));
    return std::nullopt;
  }
  const std::optional<std::string> path = source_.Find(name);
  if (!path) {
    // A folder, FIFO or device at the name is told as what it is: a picture
    // that cannot be read, not one that is missing.
    if (const std::string there = source_.WhatIsThere(name); !there.empty()) {
      refused = DiagnosticCode::UnreadablePicture;
      diagnostics_.push_back(owner.Tell(refused, name,
                                        std::string(kind) + " " + Quoted(name) + ": " + there +
                                            ", so no picture is read from it" + LeftOut(owner)));
      return std::nullopt;
    }
    refused = DiagnosticCode::MissingPicture;
    diagnostics_.push_back(owner.Tell(refused, name,
                                      std::string(kind) + " " + Quoted(name) + " not found" +
                                          std::string(owner.Instead(missing_))));
    return std::nullopt;
  }
  std::string reason;
  try {
    CachedPicture picture = cache_.Picture(*path, &budget_);
    // Decoded before (the cache had it) it passed no admission here.
    if (Hold(picture.image, *path, "", reason)) return picture;
  } catch (const BmpFileTooLarge& tooLarge) {
    reason = tooLarge.what();
  } catch (const FileError& unreadable) {
    refused = DiagnosticCode::UnreadablePicture;
    diagnostics_.push_back(owner.Tell(refused, name, unreadable.what() + LeftOut(owner)));
    return std::nullopt;
  }
  refused = DiagnosticCode::PictureRefused;
  diagnostics_.push_back(owner.Tell(refused, name, reason));
  return std::nullopt;
}

SharedPicture Preparer::Derive(const CachedPicture& source, const std::string& form,
                               const Owner& owner, const std::string& name,
                               const std::function<PixelImagePtr()>& make) {
  const auto key = std::make_pair(source.file, form);
  if (const auto made = derived_.find(key); made != derived_.end()) return made->second;
  const std::string use = " as the " + std::string(PictureKindName(owner.kind)) + " uses it";
  std::string reason;
  // Checked before it is made: the derived picture is the size of its source.
  const std::int64_t bytes = HeldBytes(source.image.get());
  if (budget_.Held() + bytes > budget_.Limit()) {
    reason = BudgetRefusal(name, *source.image, use, bytes);
  } else if (SharedPicture picture = cache_.Derived(source, form, make); !picture) {
    reason = name + ": not enough memory for the picture " + use;
  } else if (Hold(picture, name, use, reason)) {
    derived_.emplace(key, picture);
    return picture;
  }
  diagnostics_.push_back(owner.Tell(DiagnosticCode::PictureRefused, name, reason));
  return nullptr;
}

void Preparer::PrepareObjects(PreparedScene& scene) {
  const std::pair<const ObjectGroup*, GroupId> groups[] = {
      {&doc_.Far, GroupId::Far}, {&doc_.Mid, GroupId::Mid}, {&doc_.Near, GroupId::Near}};
  for (const auto& [group, id] : groups) {
    std::vector<PreparedObject>& objects = scene.Objects[static_cast<int>(id)];
    std::size_t index = 0;
    for (const ObjectEntry& entry : *group) {
      PreparedObject& object = objects.emplace_back();
      object.Settings = entry;
      object.Group = id;
      object.Index = index;
      const Owner owner{PictureKind::Object, id, index++};
      DiagnosticCode refused{};
      const std::optional<CachedPicture> picture = Acquire(entry.Filename, owner, refused);
      if (!picture) continue;
      const std::string form = "object " + KeyName(entry.OpaqueColor) + " " +
                               std::to_string(ObjectAlpha(entry.Transparency));
      object.Picture = Derive(*picture, form, owner, entry.Filename, [&] {
        PixelImagePtr drawn = CopyPicture(*picture->image, true);
        if (drawn) PrepareObjectAlpha(*drawn, object.Settings);
        return drawn;
      });
      if (object.Picture)
        object.Decoded = picture->image;
      else
        Release(picture->image);
    }
  }
}

void Preparer::Placeholder(PreparedTexture& texture, bool checkerboard, const Owner& owner,
                           const std::string& name,
                           const std::function<void(PixelImage&)>& finish) {
  PixelImagePtr tile;
  const bool made = checkerboard ? MakeCheckerTexture(tile) : MakeMissingTexture(tile);
  if (!made) {
    texture.Source = TextureSource::None;
    diagnostics_.push_back(owner.Tell(DiagnosticCode::PlaceholderNoMemory, name,
                                      std::string("memory ran out for the ") +
                                          (checkerboard ? "checkerboard" : "missing-picture tile") +
                                          " of the " + std::string(PictureKindName(owner.kind)) +
                                          "; the layer draws its own checkerboard"));
    return;
  }
  if (finish) finish(*tile);
  texture.Source = checkerboard ? TextureSource::Checkerboard : TextureSource::MissingTile;
  texture.Drawn = SharedPicture(std::move(tile));
}

void Preparer::PrepareGround(PreparedScene& scene) {
  const GroundSettings& ground = doc_.Ground;
  scene.GroundEnabled = ground.Enabled;
  scene.GroundScale = ToReal(ground.Scale);
  scene.GroundReflection = ground.Reflection / 100.0L;
  scene.GroundReflectionWarp = ToReal(ground.ReflectionWarp);
  if (!ground.Enabled) return;
  const Owner owner{PictureKind::GroundTexture};
  const std::string& name = ground.TextureFilename;
  DiagnosticCode refused{};
  const std::optional<CachedPicture> picture = Acquire(name, owner, refused);
  PreparedTexture& texture = scene.GroundTexture;
  if (!picture) {
    if (LeavesOut(refused))
      scene.GroundEnabled = false;
    else if (refused != DiagnosticCode::PictureRefused)
      Placeholder(texture, refused == DiagnosticCode::NoPictureName, owner, name);
    return;
  }
  // The ground has no transparency: a picture's transparent pixels are texels
  // of the colour the file gives them. A picture without holes is drawn as it is.
  texture.Drawn = picture->image->holes == nullptr ? picture->image
                                                   : Derive(*picture, "ground", owner, name, [&] {
                                                       return CopyPicture(*picture->image, false);
                                                     });
  if (!texture.Drawn) {
    Release(picture->image);
    return;
  }
  texture.Source = TextureSource::Picture;
  texture.Picture = picture->image;
}

void Preparer::PrepareCeiling(PreparedScene& scene) {
  const CeilingSettings& ceiling = doc_.Ceiling;
  scene.CeilingEnabled = ceiling.Enabled;
  scene.CeilingScale = ToReal(ceiling.Scale);
  scene.CeilingTransparency = ceiling.Transparency / 100.0L;
  const std::uint8_t mode = ceiling.MixtureMode;
  scene.CeilingMixtureMode = mode == MixtureMode::Add    ? MixtureMode::Add
                             : mode == MixtureMode::Norm ? MixtureMode::Norm
                                                         : MixtureMode::Sub;
  scene.CeilingOpaqueColor = ceiling.OpaqueColor;
  if (!ceiling.Enabled) return;
  const PackedColour key = scene.CeilingOpaqueColor;
  const long double transparency = scene.CeilingTransparency;
  const auto alpha = [key, transparency](PixelImage& texture) {
    PrepareCeilingAlpha(texture, key, transparency);
  };
  const Owner owner{PictureKind::CeilingTexture};
  const std::string& name = ceiling.TextureFilename;
  DiagnosticCode refused{};
  const std::optional<CachedPicture> picture = Acquire(name, owner, refused);
  PreparedTexture& texture = scene.CeilingTexture;
  if (!picture) {
    if (LeavesOut(refused))
      scene.CeilingEnabled = false;
    else if (refused != DiagnosticCode::PictureRefused)
      Placeholder(texture, refused == DiagnosticCode::NoPictureName, owner, name, alpha);
    return;
  }
  const std::string form =
      "ceiling " + KeyName(key) + " " + std::to_string(CeilingTexelAlpha(transparency));
  texture.Drawn = Derive(*picture, form, owner, name, [&] {
    PixelImagePtr drawn = CopyPicture(*picture->image, true);
    if (drawn) alpha(*drawn);
    return drawn;
  });
  if (!texture.Drawn) {
    Release(picture->image);
    return;
  }
  texture.Source = TextureSource::Picture;
  texture.Picture = picture->image;
}

Preparation Preparer::Run() {
  auto scene = std::make_shared<PreparedScene>();
  scene->Sky = doc_.Sky;
  scene->Sun = doc_.Sun;
  scene->AirDepth = ToReal(doc_.AirDepth);
  StarLayerInput& stars = scene->Stars;
  stars.OverSampling = doc_.Stars.OverSampling;
  stars.RandomSeed = ToInteger(doc_.RandomSeed);
  stars.NumberOfStars = ToInteger(doc_.Stars.NumberOfStars);
  stars.AirDepth = scene->AirDepth;
  stars.SizeOfStars = ToReal(doc_.Stars.SizeOfStars);
  scene->ResolutionWidth = ToReal(doc_.Output.Resolution.Width);
  scene->ResolutionHeight = ToReal(doc_.Output.Resolution.Height);
  scene->Sunlight = ComputeSunlight(doc_.Sun);

  // In the order a settings file names the pictures.
  PrepareObjects(*scene);
  PrepareGround(*scene);
  PrepareCeiling(*scene);

  // Placed once for both passes, as each pass placed them after reseeding.
  SceneRandom random;
  scene->Layout = PlaceObjects(random, stars.RandomSeed, doc_.Ground.Enabled, scene->Objects[0],
                               scene->Objects[1], scene->Objects[2]);

  Preparation preparation;
  preparation.pictureBytes = budget_.Held();
  preparation.scene = std::move(scene);
  preparation.diagnostics = std::move(diagnostics_);
  return preparation;
}

}  // namespace

Preparation PrepareScene(const SceneSettings& document, const PictureSource& source,
                         PictureCache& cache, std::int64_t budget, MissingPictures missing) {
  return Preparer(document, source, cache, budget, missing).Run();
}

}  // namespace horizonmill
