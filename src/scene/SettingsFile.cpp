#include "scene/SettingsFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <system_error>

#include "image/BmpReader.h"
#include "image/TextureLoading.h"
#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "platform/WholeFile.h"
#include "scene/Token.h"

namespace horizonmill {

// ================================================================ writing

std::string FormatReal(long double value) {
  char buffer[64];
  const auto r =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text(buffer, r.ptr);
  for (char& c : text)
    if (c == 'e') c = 'E';
  return text;
}

namespace {

std::string Real(long double value) { return FormatReal(value); }
std::string Real(float value) { return FormatReal(static_cast<long double>(value)); }

const char* MixtureWord(std::uint8_t mode) {
  return mode == MixtureMode::Add ? "Add" : mode == MixtureMode::Sub ? "Sub" : "Norm";
}

// A text field as it stands, except that a line end inside it would start a
// new line of the file: CR and LF are written as blanks.
std::string Text(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

// " %d %d %d %d" of bytes 0..3 (red, green, blue, alpha).
// The width shares its line with the height. Written whole, an empty width, or
// one with a blank or "=" in it, would hand (part of) itself or the height to
// the wrong field when read: such a width is written as the one token the
// reader would take from it, "0" when that is empty (the same size: 0 and
// empty both count as 0).
std::string WidthText(const std::string& width) {
  if (!width.empty() &&
      std::none_of(width.begin(), width.end(), [](char c) { return IsDelimiter(c, "="); }))
    return width;
  TokenScanner scanner;
  const std::string_view token = scanner.GetToken(width, "=");
  return token.empty() ? "0" : std::string(token);
}

std::string ColourBytes(PackedColour c) {
  std::string out;
  for (const int byte : {Red(c), Green(c), Blue(c), Alpha(c)}) {
    out += ' ';
    out += std::to_string(byte);
  }
  return out;
}

std::string FloatColourValues(const FloatColour& c) {
  return Real(c.r) + " " + Real(c.g) + " " + Real(c.b) + " " + Real(c.a);
}

void AddEntryBlock(std::vector<std::string>& lines, const char* group, const ObjectEntry& e) {
  lines.push_back(std::string("Objects_CreateObject ") + group);
  lines.push_back("Objects_OpaqueColor" + ColourBytes(e.OpaqueColor));
  lines.push_back("Objects_Filename " + Text(e.Filename));
  if (e.Manual)
    lines.push_back("Objects_Manual " + Real(e.Placement.Angle) + " " + Real(e.Placement.Height) +
                    " " + Real(e.Placement.Distance));
  lines.push_back("Objects_Scale " + Real(e.Scale));
  lines.push_back("Objects_NumberOfObjects " + std::to_string(e.NumberOfObjects));
  lines.push_back(std::string("Objects_Shadeing ") + (e.Shadeing ? "True" : "False"));
  lines.push_back(std::string("Objects_PositionMode ") +
                  (e.PositionMode == PositionMode::Sky ? "Sky" : "Ground"));
  lines.push_back(std::string("Objects_MixtureMode ") + MixtureWord(e.MixtureMode));
  lines.push_back("Objects_Transparency " + Real(e.Transparency));
  lines.push_back("Objects_SoftFocus " + Real(e.SoftFocus));
}

}  // namespace

std::vector<std::string> SettingsLines(const SceneSettings& scene) {
  std::vector<std::string> lines;
  lines.emplace_back(kSettingsHeader);
  lines.emplace_back("#");

  const int count = std::clamp(scene.Sky.Count, 0, SkyGradation::kCapacity);
  std::string colours = "Gradation1_Colors ";
  std::string positions = "Gradation1_Positions ";
  for (int i = 0; i < count; ++i) {
    colours += FloatColourValues(scene.Sky.Colors[i]) + "  ";
    positions += Real(scene.Sky.Positions[i]) + " ";
  }
  lines.push_back(colours);
  lines.push_back(positions);

  const SunSettings& sun = scene.Sun;
  lines.push_back("Gradation2_CenterColor " + FloatColourValues(sun.CenterColor));
  lines.push_back("Gradation2_OuterColor " + FloatColourValues(sun.OuterColor));
  lines.push_back("Gradation2_Position " + Real(sun.Position.X) + " " + Real(sun.Position.Y));
  lines.push_back("Gradation2_Slopes " + Real(sun.Slopes[0]) + " " + Real(sun.Slopes[1]) + " " +
                  Real(sun.Slopes[2]) + " " + Real(sun.Slopes[3]));
  lines.push_back(std::string("Gradation2_MixtureMode ") + MixtureWord(sun.MixtureMode));

  lines.push_back("RandomSeed " + Text(scene.RandomSeed));
  lines.push_back("AirDepth " + Text(scene.AirDepth));
  lines.push_back("Stars_OverSampling " + std::to_string(scene.Stars.OverSampling));
  lines.push_back("Stars_NumberOfStars " + Text(scene.Stars.NumberOfStars));
  lines.push_back("Stars_SizeOfStars " + Text(scene.Stars.SizeOfStars));

  for (const ObjectEntry& e : scene.Far) AddEntryBlock(lines, "Far", e);
  for (const ObjectEntry& e : scene.Mid) AddEntryBlock(lines, "Mid", e);
  for (const ObjectEntry& e : scene.Near) AddEntryBlock(lines, "Near", e);

  const GroundSettings& ground = scene.Ground;
  if (ground.Enabled) {
    lines.push_back("Ground_TextureFilename " + Text(ground.TextureFilename));
    lines.push_back("Ground_Scale " + Text(ground.Scale));
    lines.push_back("Ground_Reflection " + Real(ground.Reflection / 100.0L));
    lines.push_back("Ground_ReflectionWarp " + Text(ground.ReflectionWarp));
  }
  const CeilingSettings& ceiling = scene.Ceiling;
  if (ceiling.Enabled) {
    lines.push_back("Sky_TextureFilename " + Text(ceiling.TextureFilename));
    lines.push_back("Sky_Scale " + Text(ceiling.Scale));
    lines.push_back(std::string("Sky_MixtureMode ") + MixtureWord(ceiling.MixtureMode));
    lines.push_back("Sky_OpaqueColor" + ColourBytes(ceiling.OpaqueColor));
    lines.push_back("Sky_Transparency " + Real(ceiling.Transparency / 100.0L));
  }

  const OutputSettings& output = scene.Output;
  lines.push_back("Output_Resolution " + WidthText(output.Resolution.Width) + " " +
                  Text(output.Resolution.Height));
  if (output.Format == OutputFormat::Old) lines.emplace_back("Output_Format Old");
  if (output.Format == OutputFormat::OldDiet) lines.emplace_back("Output_Format OldDiet");
  lines.push_back("Output_Filename " + Text(output.Filename));
  return lines;
}

std::string EncodeSettings(const SceneSettings& scene) {
  std::string text;
  for (const std::string& line : SettingsLines(scene)) {
    text += line;
    text += "\r\n";
  }
  return EncodeText(text);
}

void WriteSettings(const SceneSettings& scene, const std::string& path) {
  WriteFileAtomically(path, EncodeSettings(scene));
}

// ================================================================ reading

bool SettingsReaderHost::PictureExists(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

namespace {

enum class Key {
  Unknown,
  RandomSeed,
  AirDepth,
  SkyColors,
  SkyPositions,
  SunCenterColor,
  SunOuterColor,
  SunPosition,
  SunSlopes,
  SunMixtureMode,
  StarsOverSampling,
  StarsNumber,
  StarsSize,
  CreateObject,
  ObjectOpaqueColor,
  ObjectFilename,
  ObjectManual,
  ObjectScale,
  ObjectNumber,
  ObjectShadeing,
  ObjectPositionMode,
  ObjectMixtureMode,
  ObjectTransparency,
  ObjectSoftFocus,
  GroundTexture,
  GroundScale,
  GroundReflection,
  GroundReflectionWarp,
  CeilingTexture,
  CeilingScale,
  CeilingMixtureMode,
  CeilingOpaqueColor,
  CeilingTransparency,
  OutputResolution,
  OutputFormatKey,
  OutputFilename,
};

struct KeyName {
  std::string_view name;
  Key key;
};

constexpr KeyName kKeys[] = {
    {"RandomSeed", Key::RandomSeed},
    {"AirDepth", Key::AirDepth},
    {"Gradation1_Colors", Key::SkyColors},
    {"Gradation1_Positions", Key::SkyPositions},
    {"Gradation2_CenterColor", Key::SunCenterColor},
    {"Gradation2_OuterColor", Key::SunOuterColor},
    {"Gradation2_Position", Key::SunPosition},
    {"Gradation2_Slopes", Key::SunSlopes},
    {"Gradation2_MixtureMode", Key::SunMixtureMode},
    {"Stars_OverSampling", Key::StarsOverSampling},
    {"Stars_NumberOfStars", Key::StarsNumber},
    {"Stars_SizeOfStars", Key::StarsSize},
    {"Objects_CreateObject", Key::CreateObject},
    {"Objects_OpaqueColor", Key::ObjectOpaqueColor},
    {"Objects_Filename", Key::ObjectFilename},
    {"Objects_Manual", Key::ObjectManual},
    {"Objects_Scale", Key::ObjectScale},
    {"Objects_NumberOfObjects", Key::ObjectNumber},
    {"Objects_Shadeing", Key::ObjectShadeing},
    {"Objects_PositionMode", Key::ObjectPositionMode},
    {"Objects_MixtureMode", Key::ObjectMixtureMode},
    {"Objects_Transparency", Key::ObjectTransparency},
    {"Objects_SoftFocus", Key::ObjectSoftFocus},
    {"Ground_TextureFilename", Key::GroundTexture},
    {"Ground_Scale", Key::GroundScale},
    {"Ground_Reflection", Key::GroundReflection},
    {"Ground_ReflectionWarp", Key::GroundReflectionWarp},
    {"Sky_TextureFilename", Key::CeilingTexture},
    {"Sky_Scale", Key::CeilingScale},
    {"Sky_MixtureMode", Key::CeilingMixtureMode},
    {"Sky_OpaqueColor", Key::CeilingOpaqueColor},
    {"Sky_Transparency", Key::CeilingTransparency},
    {"Output_Resolution", Key::OutputResolution},
    {"Output_Format", Key::OutputFormatKey},
    {"Output_Filename", Key::OutputFilename},
};

// Exact and case-sensitive; "#" and everything unlisted are Unknown.
Key KeyOf(std::string_view name) {
  for (const KeyName& k : kKeys)
    if (k.name == name) return k.key;
  return Key::Unknown;
}

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

std::int64_t PictureBytes(const PixelImage* image) {
  if (image == nullptr) return 0;
  return std::int64_t{image->width} * image->height * std::int64_t{sizeof(PackedColour)};
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
      : scene_(scene), host_(host), limits_(limits), remembered_(pictureDirectory) {
    entries_ = scene.Far.Size() + scene.Mid.Size() + scene.Near.Size();
  }

  ReadStatus Run(std::string_view text) {
    scene_.Ground.Enabled = false;
    scene_.Ceiling.Enabled = false;
    scene_.Output.Format = OutputFormat::Normal;
    for (std::string_view line : SplitLines(text))
      if (!Apply(line)) return ReadStatus::OutOfMemory;
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

  SceneSettings& scene_;
  SettingsReaderHost& host_;
  const SettingsReadLimits& limits_;
  TokenScanner scanner_;
  std::string remembered_;  // where missing pictures are looked for first
  // The entry that entry lines fill: in current_group_, or owned by orphan_
  // when its group word named no group.
  ObjectEntry* current_ = nullptr;
  ObjectGroup* current_group_ = nullptr;
  std::unique_ptr<ObjectEntry> orphan_;
  std::size_t entries_ = 0;  // in Far, Mid and Near
  std::int64_t picture_bytes_ = 0;
};

bool Reader::Apply(std::string_view line) {
  const Key key = KeyOf(scanner_.GetToken(line, "="));
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
  picture_bytes_ -= PictureBytes(current_->Image.get());
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
  // for memory is memory running out.
  PixelImagePtr image;
  try {
    image = LoadPictureFile(*path);
  } catch (const BmpFileTooLarge&) {
  }
  picture_bytes_ -= PictureBytes(e.Image.get());
  e.Image.reset();
  const std::int64_t bytes = PictureBytes(image.get());
  if (!image || picture_bytes_ + bytes > limits_.maxObjectPictureBytes) {
    DropCurrentEntry();
    return RunOutOfMemory(kPictureNoMemory);
  }
  picture_bytes_ += bytes;
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
  TextureLoad load;
  try {
    load = ground ? LoadGroundTexture(scene_.Ground.Texture, path)
                  : LoadCeilingTexture(scene_.Ceiling.Texture, scene_.Ceiling.OpaqueColor, path);
  } catch (const BmpFileTooLarge&) {
    load.result = TextureLoadResult::OutOfMemory;
  }
  if (load.result == TextureLoadResult::OutOfMemory) {
    host_.Beep();
    host_.MessageBox(ground ? kGroundNoMemory : kCeilingNoMemory);
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
