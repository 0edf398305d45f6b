// Reading the settings file (the format and its rules are described in
// SettingsFile.h).
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <system_error>

#include "image/BmpReader.h"
#include "image/PictureBudget.h"
#include "image/TextureLoading.h"
#include "platform/FileError.h"
#include "platform/Interrupt.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/WholeFile.h"
#include "scene/SettingsFile.h"
#include "scene/SettingsKeys.h"
#include "scene/Token.h"

namespace horizonmill {

bool SettingsReaderHost::PictureExists(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

namespace {

using Key = detail::SettingsKey;

std::uint8_t MixtureModeOf(std::string_view word) {
  if (word == "Add") return MixtureMode::Add;
  if (word == "Sub") return MixtureMode::Sub;
  return MixtureMode::Norm;
}

// A float colour component. Values beyond the float range are held at its
// largest value rather than becoming infinite, which no renderer could use.
float ToFloatComponent(std::string_view text) {
  constexpr long double kMax = std::numeric_limits<float>::max();
  const long double v = ToReal(text);
  return static_cast<float>(std::clamp(v, -kMax, kMax));
}

// A track-bar position from a value written as position / 100: x 100, rounded
// half to even, held to 0..100 (clamping first keeps huge values defined).
int TrackBarPosition(std::string_view text) {
  const long double v = ToReal(text) * 100;
  if (!(v > 0)) return 0;
  if (v >= 100) return 100;
  return static_cast<int>(std::nearbyintl(v));
}

std::uint8_t LowByte(std::string_view text) {
  return static_cast<std::uint8_t>(static_cast<std::uint32_t>(ToInteger(text)) & 0xff);
}

// Lines ended by CR LF, LF or CR; a last line without an end counts.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

class Reader {
 public:
  Reader(SceneSettings& scene, std::string_view pictureDirectory, SettingsReaderHost& host,
         const SettingsReadLimits& limits)
      : scene_(scene),
        host_(host),
        limits_(limits),
        budget_(limits.pictureBudget),
        remembered_(pictureDirectory) {
    entries_ = scene.Far.Size() + scene.Mid.Size() + scene.Near.Size();
    // Pictures the scene holds already count against the budget.
    budget_.Hold(scene.HeldPictureBytes());
  }

  ReadStatus Run(std::string_view text) {
    scene_.Ground.Enabled = false;
    scene_.Ceiling.Enabled = false;
    scene_.Output.Format = OutputFormat::Normal;
    for (std::string_view line : SplitLines(text)) {
      StopIfInterrupted();
      if (!Apply(line)) return ReadStatus::OutOfMemory;
    }
    return ReadStatus::Complete;
  }

 private:
  std::string_view Value() { return scanner_.NextToken("="); }
  std::string TextValue() { return std::string(Value()); }
  long double RealValue() { return ToReal(Value()); }
  bool ValuesLeft() const { return !scanner_.Remainder().empty(); }
  FloatColour ColourValue() {
    FloatColour c;
    c.r = ToFloatComponent(Value());
    c.g = ToFloatComponent(Value());
    c.b = ToFloatComponent(Value());
    c.a = ToFloatComponent(Value());
    return c;
  }
  PackedColour ColourBytesValue() {
    const std::uint8_t r = LowByte(Value());
    const std::uint8_t g = LowByte(Value());
    const std::uint8_t b = LowByte(Value());
    const std::uint8_t a = LowByte(Value());
    return MakePacked(r, g, b, a);
  }

  // False when the reading has to stop (memory).
  bool Apply(std::string_view line);
  bool ApplyEntryKey(Key key, ObjectEntry& e);
  bool CreateEntry();
  bool LoadObjectPicture(ObjectEntry& e);
  void LoadTexture(PictureKind kind);
  std::optional<std::string> FindPicture(PictureKind kind, std::string_view name);
  void DropCurrentEntry();
  bool RunOutOfMemory(std::string_view message) {
    host_.Beep();
    host_.MessageBox(message);
    return false;
  }
  // A picture refused for memory: the beep, the message, and the reason.
  void RefusePicture(PictureKind kind, std::string_view message, const std::string& reason) {
    RunOutOfMemory(message);
    host_.PictureRefused(kind, reason);
  }

  SceneSettings& scene_;
  SettingsReaderHost& host_;
  const SettingsReadLimits& limits_;
  PictureBudget budget_;  // holds every picture of the scene
  TokenScanner scanner_;
  std::string remembered_;  // where missing pictures are looked for first
  // The entry that entry lines fill: in current_group_, or owned by orphan_
  // when its group word named no group.
  ObjectEntry* current_ = nullptr;
  ObjectGroup* current_group_ = nullptr;
  std::unique_ptr<ObjectEntry> orphan_;
  std::size_t entries_ = 0;  // in Far, Mid and Near
};

bool Reader::Apply(std::string_view line) {
  const Key key = detail::SettingsKeyOf(scanner_.GetToken(line, "="));
  SkyGradation& sky = scene_.Sky;
  SunSettings& sun = scene_.Sun;
  // One line per key, so that the switch reads as the table of keys it is.
  // clang-format off
  switch (key) {
    case Key::Unknown: return true;
    case Key::RandomSeed: scene_.RandomSeed = TextValue(); return true;
    case Key::AirDepth: scene_.AirDepth = TextValue(); return true;
    case Key::SkyColors: {
      int n = 0;
      while (ValuesLeft() && n < SkyGradation::kCapacity) sky.Colors[n++] = ColourValue();
      sky.Count = n;
      return true;
    }
    case Key::SkyPositions:
      for (int i = 0; i < SkyGradation::kCapacity && ValuesLeft(); ++i)
        sky.Positions[i] = RealValue();
      return true;
    case Key::SunCenterColor: sun.CenterColor = ColourValue(); return true;
    case Key::SunOuterColor: sun.OuterColor = ColourValue(); return true;
    case Key::SunPosition:
      sun.Position.X = RealValue();
      sun.Position.Y = RealValue();
      return true;
    case Key::SunSlopes:
      for (long double& s : sun.Slopes) s = RealValue();
      return true;
    case Key::SunMixtureMode: sun.MixtureMode = MixtureModeOf(Value()); return true;
    case Key::StarsOverSampling: scene_.Stars.OverSampling = ToInteger(Value()); return true;
    case Key::StarsNumber: scene_.Stars.NumberOfStars = TextValue(); return true;
    case Key::StarsSize: scene_.Stars.SizeOfStars = TextValue(); return true;
    case Key::CreateObject: return CreateEntry();
    case Key::GroundTexture: LoadTexture(PictureKind::GroundTexture); return true;
    case Key::GroundScale: scene_.Ground.Scale = TextValue(); return true;
    case Key::GroundReflection: scene_.Ground.Reflection = TrackBarPosition(Value()); return true;
    case Key::GroundReflectionWarp: scene_.Ground.ReflectionWarp = TextValue(); return true;
    case Key::CeilingTexture: LoadTexture(PictureKind::CeilingTexture); return true;
    case Key::CeilingScale: scene_.Ceiling.Scale = TextValue(); return true;
    case Key::CeilingMixtureMode: scene_.Ceiling.MixtureMode = MixtureModeOf(Value()); return true;
    case Key::CeilingOpaqueColor: scene_.Ceiling.OpaqueColor = ColourBytesValue(); return true;
    case Key::CeilingTransparency: scene_.Ceiling.Transparency = TrackBarPosition(Value()); return true;
    case Key::OutputResolution:
      scene_.Output.Resolution.Width = TextValue();
      scene_.Output.Resolution.Height = TextValue();
      return true;
    case Key::OutputFormatKey:
      scene_.Output.Format = Value() == "Old" ? OutputFormat::Old : OutputFormat::OldDiet;
      return true;
    case Key::OutputFilename: scene_.Output.Filename = TextValue(); return true;
    default:
      // The keys of an entry do nothing while there is no current entry.
      return current_ == nullptr || ApplyEntryKey(key, *current_);
  }
  // clang-format on
}

bool Reader::ApplyEntryKey(Key key, ObjectEntry& e) {
  // clang-format off
  switch (key) {
    case Key::ObjectOpaqueColor: e.OpaqueColor = ColourBytesValue(); return true;
    case Key::ObjectFilename: return LoadObjectPicture(e);
    case Key::ObjectManual:
      e.Placement.Angle = RealValue();
      e.Placement.Height = RealValue();
      e.Placement.Distance = RealValue();
      e.Manual = true;
      return true;
    case Key::ObjectScale: e.Scale = RealValue(); return true;
    case Key::ObjectNumber: e.NumberOfObjects = ToInteger(Value()); return true;
    // The whole rest of the line: "True x" is not "True".
    case Key::ObjectShadeing: e.Shadeing = scanner_.Remainder() == "True"; return true;
    case Key::ObjectPositionMode:
      e.PositionMode = Value() == "Ground" ? PositionMode::Ground : PositionMode::Sky;
      return true;
    case Key::ObjectMixtureMode: e.MixtureMode = MixtureModeOf(Value()); return true;
    case Key::ObjectTransparency: e.Transparency = RealValue(); return true;
    case Key::ObjectSoftFocus: e.SoftFocus = RealValue(); return true;
    default: return true;
  }
  // clang-format on
}

bool Reader::CreateEntry() {
  // An entry of no group lives only until the next one is created.
  orphan_.reset();
  current_ = nullptr;
  current_group_ = nullptr;
  if (entries_ >= limits_.maxObjectEntries) return RunOutOfMemory(kEntryNoMemory);
  // The defaults: entries read from a file never inherit from the editor's selection.
  std::unique_ptr<ObjectEntry> entry = NewObjectEntry();
  if (!entry) return RunOutOfMemory(kEntryNoMemory);
  current_ = entry.get();
  const std::string_view word = Value();
  current_group_ = word == "Far"    ? &scene_.Far
                   : word == "Mid"  ? &scene_.Mid
                   : word == "Near" ? &scene_.Near
                                    : nullptr;
  if (current_group_ == nullptr) {
    orphan_ = std::move(entry);
    return true;
  }
  AppendObjectEntry(*current_group_, std::move(entry));
  ++entries_;
  host_.GroupsChanged();
  return true;
}

void Reader::DropCurrentEntry() {
  if (current_ == nullptr) return;
  budget_.Release(HeldBytes(current_->Image.get()));
  if (current_group_ != nullptr) {
    // The current entry's group is known, so no search through the groups.
    RemoveObjectEntry(*current_group_, current_);
    --entries_;
    host_.GroupsChanged();
  } else {
    orphan_.reset();
  }
  current_ = nullptr;
  current_group_ = nullptr;
}

bool Reader::LoadObjectPicture(ObjectEntry& e) {
  const std::optional<std::string> path = FindPicture(PictureKind::Object, Value());
  if (!path) {
    // Cancelled: the entry goes, and entry lines are ignored until the next one.
    DropCurrentEntry();
    return true;
  }
  e.Filename = *path;
  // Throws FileError for a file that is no loadable picture; the reading ends
  // there with the entry in place and without a picture. A picture too large
  // for memory or the budget is memory running out.
  PixelImagePtr image;
  std::string refusal = *path + ": not enough memory for the picture";
  try {
    image = LoadPictureFile(*path, &budget_);
  } catch (const BmpFileTooLarge& tooLarge) {
    refusal = tooLarge.what();
  }
  budget_.Release(HeldBytes(e.Image.get()));
  e.Image.reset();
  if (!image) {
    DropCurrentEntry();
    RefusePicture(PictureKind::Object, kPictureNoMemory, refusal);
    return false;
  }
  budget_.Hold(HeldBytes(image.get()));
  e.Image = std::move(image);
  return true;
}

void Reader::LoadTexture(PictureKind kind) {
  const std::string_view name = Value();
  const std::optional<std::string> found = FindPicture(kind, name);
  // A cancelled search keeps the unresolved path, so the user sees what was missing.
  const std::string path = found ? *found : ResolvePath(name);
  const bool ground = kind == PictureKind::GroundTexture;
  if (ground) {
    scene_.Ground.TextureFilename = path;
    scene_.Ground.Enabled = true;
  } else {
    scene_.Ceiling.TextureFilename = path;
    scene_.Ceiling.Enabled = true;
  }
  if (!host_.PictureExists(path)) return;
  // Throws FileError, leaving the slot as it was, for a file that is no picture.
  // Without memory for the texture the reading goes on.
  PixelImagePtr& slot = ground ? scene_.Ground.Texture : scene_.Ceiling.Texture;
  const std::int64_t before = HeldBytes(slot.get());
  TextureLoad load;
  std::string refusal = path + ": not enough memory for the picture";
  try {
    load = ground ? LoadGroundTexture(slot, path, &budget_)
                  : LoadCeilingTexture(slot, scene_.Ceiling.OpaqueColor, path, &budget_);
  } catch (const BmpFileTooLarge& tooLarge) {
    load.result = TextureLoadResult::OutOfMemory;
    refusal = tooLarge.what();
  }
  budget_.Release(before);
  budget_.Hold(HeldBytes(slot.get()));
  if (load.result == TextureLoadResult::OutOfMemory) {
    RefusePicture(kind, ground ? kGroundNoMemory : kCeilingNoMemory, refusal);
    return;
  }
  host_.TextureLoaded(kind, load.picture);
}

std::optional<std::string> Reader::FindPicture(PictureKind kind, std::string_view name) {
  std::string path = ResolvePath(name);
  if (host_.PictureExists(path)) return path;
  const std::string_view last = LastPathComponent(name);
  if (!remembered_.empty() && !last.empty()) {
    path = JoinPath(remembered_, last);
    if (host_.PictureExists(path)) return path;
  }
  const std::string_view prefix = kind == PictureKind::Object          ? kObjectPicturePrefix
                                  : kind == PictureKind::GroundTexture ? kGroundTexturePrefix
                                                                       : kCeilingTexturePrefix;
  std::string message(prefix);
  message += last;
  message += kMissingPictureSuffix;
  std::optional<std::string> chosen = host_.AskForPicture(kind, message, last);
  if (chosen) remembered_ = DirectoryOf(*chosen);
  return chosen;
}

}  // namespace

ReadStatus ReadSettingsBytes(SceneSettings& scene, std::string_view bytes,
                             std::string_view pictureDirectory, SettingsReaderHost& host,
                             const SettingsReadLimits& limits) {
  const std::string text = DecodeText(bytes);
  return Reader(scene, pictureDirectory, host, limits).Run(text);
}

ReadStatus ReadSettings(SceneSettings& scene, const std::string& path, SettingsReaderHost& host,
                        const SettingsReadLimits& limits) {
  // Any file that opens is read (a pipe too), up to the limit.
  const std::string tooLong =
      "too long for a settings file (more than " + std::to_string(limits.maxFileBytes) + " bytes)";
  const std::string bytes = ReadWholeFile(path, {limits.maxFileBytes, tooLong, false});
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::absolute(path, ec).parent_path();
  if (ec) folder = std::filesystem::path(path).parent_path();
  return ReadSettingsBytes(scene, bytes, folder.string(), host, limits);
}

}  // namespace horizonmill
