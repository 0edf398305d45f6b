// Reading the settings file (the format and its rules are described in
// SettingsFile.h).
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <span>

#include "platform/FileError.h"
#include "platform/Interrupt.h"
#include "platform/TextCodec.h"
#include "platform/WholeFile.h"
#include "scene/SettingsFile.h"
#include "scene/SettingsKeys.h"
#include "scene/Token.h"

namespace horizonmill {

namespace {

using Key = detail::SettingsKey;

// The words each key lists; any other word reads as the key's fallback.
constexpr std::string_view kMixtureWords[] = {"Add", "Sub", "Norm"};
constexpr std::string_view kGroupWords[] = {"Far", "Mid", "Near"};
constexpr std::string_view kPositionWords[] = {"Ground", "Sky"};
constexpr std::string_view kShadeingWords[] = {"True", "False"};
constexpr std::string_view kFormatWords[] = {"Old", "OldDiet"};

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

std::string Quoted(std::string_view text) {
  std::string quoted(1, '"');
  quoted += text;
  quoted += '"';
  return quoted;
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
  Reader(SettingsRead& read, std::string_view fileName, const SettingsReadLimits& limits)
      : read_(read), scene_(read.scene), fileName_(fileName), limits_(limits) {}

  void Run(std::string_view text) {
    scene_.Ground.Enabled = false;
    scene_.Ceiling.Enabled = false;
    scene_.Output.Format = OutputFormat::Normal;
    for (std::string_view line : SplitLines(text)) {
      ++line_;
      StopIfInterrupted();
      if (!Apply(line)) {
        read_.status = ReadStatus::OutOfMemory;
        return;
      }
    }
    CheckGradationCounts();
    CheckStars();
  }

 private:
  // The values of a line. Each reader of a value notes what the line lacks or
  // holds that does not convert; what it returns is what the file's rules read.
  std::string_view Value() { return scanner_.NextToken("="); }
  bool ValuesLeft() const { return !scanner_.Remainder().empty(); }
  std::string TextValue() {
    lastWasText_ = true;
    return std::string(Value());
  }
  // A text field that is converted when it is used: text that will not convert
  // is told about (an empty text is what the writer writes for an empty field,
  // so it counts as missing only where `required`).
  std::string NumberText(bool integer, bool required = false) {
    const std::string_view text = Value();
    lastWasText_ = false;
    if (text.empty()) {
      missing_ += required ? 1 : 0;
    } else if (integer ? !ParseInteger(text) : !ParseReal(text)) {
      NotANumber(text, integer, " when the picture is rendered");
    }
    return std::string(text);
  }
  std::string_view NumberValue(bool integer) {
    const std::string_view text = Value();
    lastWasText_ = false;
    if (text.empty())
      ++missing_;
    else if (integer ? !ParseInteger(text) : !ParseReal(text))
      NotANumber(text, integer, "");
    return text;
  }
  std::string IntegerText(bool required = false) { return NumberText(true, required); }
  std::string RealText() { return NumberText(false); }
  long double RealValue() { return ToReal(NumberValue(false)); }
  int TrackBarValue() { return TrackBarPosition(NumberValue(false)); }
  std::uint8_t MixtureValue() {
    return MixtureModeOf(WordValue(kMixtureWords, "it counts as Norm"));
  }
  std::int32_t IntegerValue() { return ToInteger(NumberValue(true)); }
  FloatColour ColourValue() {
    FloatColour c;
    c.r = ToFloatComponent(NumberValue(false));
    c.g = ToFloatComponent(NumberValue(false));
    c.b = ToFloatComponent(NumberValue(false));
    c.a = ToFloatComponent(NumberValue(false));
    return c;
  }
  PackedColour ColourBytesValue() {
    const std::uint8_t r = LowByte(NumberValue(true));
    const std::uint8_t g = LowByte(NumberValue(true));
    const std::uint8_t b = LowByte(NumberValue(true));
    const std::uint8_t a = LowByte(NumberValue(true));
    return MakePacked(r, g, b, a);
  }
  // A word of the key's list; `otherwise` says what any other word means.
  std::string_view WordValue(std::span<const std::string_view> words, std::string_view otherwise) {
    const std::string_view word = Value();
    lastWasText_ = false;
    if (std::find(words.begin(), words.end(), word) == words.end())
      UnknownWord(word, words, otherwise);
    return word;
  }

  void Warn(DiagnosticCode code, std::string message) { WarnAt(line_, code, std::move(message)); }
  void WarnAt(int line, DiagnosticCode code, std::string message) {
    Diagnostic d;
    d.code = code;
    d.file = fileName_;
    d.line = line;
    d.text = std::move(message);
    read_.diagnostics.push_back(std::move(d));
  }
  void NotANumber(std::string_view text, bool integer, std::string_view when);
  void UnknownWord(std::string_view word, std::span<const std::string_view> words,
                   std::string_view otherwise);
  void CheckLineEnd(Key key);
  void CheckGradationCounts();
  void CheckStars();

  // False when the reading has to stop (memory).
  bool Apply(std::string_view line);
  bool ApplyKey(Key key);
  bool ApplyEntryKey(Key key, ObjectEntry& e);
  bool CreateEntry();
  void TakeTexture(bool ground);
  // Ends the reading for want of memory (or past the entry bound), saying why.
  bool StopReading(const std::string& why) {
    Warn(DiagnosticCode::ReadingStopped,
         why + "; the reading stops here, the lines after it are not read");
    return false;
  }

  SettingsRead& read_;
  SceneSettings& scene_;
  const std::string fileName_;  // as the diagnostics name it
  const SettingsReadLimits& limits_;
  TokenScanner scanner_;
  // The line being applied: its number, its key as written, what its values
  // lacked, whether a "=" followed blanks after the key, and whether the last
  // value read was a text (which ends at a blank).
  int line_ = 0;
  std::string_view keyName_;
  int missing_ = 0;
  bool equalsAfterBlank_ = false;
  bool lastWasText_ = false;
  // Where the star count, the star size and the over-sampling were given.
  int starsLine_ = 0, starSizeLine_ = 0, overSamplingLine_ = 0;
  // Where the sky gradation's colours and positions were given, and how many positions.
  int colorsLine_ = 0, positionsLine_ = 0, positionsGiven_ = 0;
  // The entry that entry lines fill: in its group, or owned by orphan_ when
  // its group word named no group.
  ObjectEntry* current_ = nullptr;
  std::unique_ptr<ObjectEntry> orphan_;
  std::size_t entries_ = 0;  // in Far, Mid and Near
};

bool Reader::Apply(std::string_view line) {
  keyName_ = scanner_.GetToken(line, "=");
  const Key key = detail::SettingsKeyOf(keyName_);
  // "RandomSeed = 1": the blank ends the key, and the "=" then ends an empty value.
  equalsAfterBlank_ = scanner_.Remainder().starts_with('=');
  missing_ = 0;
  lastWasText_ = false;
  if (key == Key::Unknown) {
    // "#" lines are comments; so, to whoever wrote one, is "#" glued to text.
    if (keyName_.starts_with('#') || TrimBlanks(line).empty()) return true;
    std::string message =
        keyName_.empty() ? "the line has no key" : "unknown key " + Quoted(keyName_);
    if (const std::string_view nearest = detail::NearestSettingsKey(keyName_); !nearest.empty())
      message += " (did you mean " + Quoted(nearest) + "?)";
    Warn(DiagnosticCode::UnknownKey, message + "; the line is skipped");
    return true;
  }
  if (detail::IsEntryKey(key) && current_ == nullptr) {
    // The keys of an entry do nothing while there is no current entry.
    Warn(DiagnosticCode::NoEntry,
         std::string(keyName_) + " before any Objects_CreateObject is ignored");
    return true;
  }
  if (!ApplyKey(key)) return false;
  CheckLineEnd(key);
  return true;
}

bool Reader::ApplyKey(Key key) {
  SkyGradation& sky = scene_.Sky;
  SunSettings& sun = scene_.Sun;
  // One line per key, so that the switch reads as the table of keys it is.
  // clang-format off
  switch (key) {
    case Key::Unknown: return true;
    case Key::RandomSeed: scene_.RandomSeed = IntegerText(); return true;
    case Key::AirDepth: scene_.AirDepth = RealText(); return true;
    case Key::SkyColors: {
      int n = 0;
      while (ValuesLeft() && n < SkyGradation::kCapacity) sky.Colors[n++] = ColourValue();
      sky.Count = n;
      colorsLine_ = line_;
      return true;
    }
    case Key::SkyPositions: {
      int n = 0;
      for (; n < SkyGradation::kCapacity && ValuesLeft(); ++n) sky.Positions[n] = RealValue();
      positionsLine_ = line_;
      positionsGiven_ = n;
      return true;
    }
    case Key::SunCenterColor: sun.CenterColor = ColourValue(); return true;
    case Key::SunOuterColor: sun.OuterColor = ColourValue(); return true;
    case Key::SunPosition:
      sun.Position.X = RealValue();
      sun.Position.Y = RealValue();
      return true;
    case Key::SunSlopes:
      for (long double& s : sun.Slopes) s = RealValue();
      return true;
    case Key::SunMixtureMode: sun.MixtureMode = MixtureValue(); return true;
    case Key::StarsOverSampling: scene_.Stars.OverSampling = IntegerValue(); overSamplingLine_ = line_; return true;
    case Key::StarsNumber: scene_.Stars.NumberOfStars = IntegerText(); starsLine_ = line_; return true;
    case Key::StarsSize: scene_.Stars.SizeOfStars = RealText(); starSizeLine_ = line_; return true;
    case Key::CreateObject: return CreateEntry();
    case Key::GroundTexture: TakeTexture(true); return true;
    case Key::GroundScale: scene_.Ground.Scale = RealText(); return true;
    case Key::GroundReflection: scene_.Ground.Reflection = TrackBarValue(); return true;
    case Key::GroundReflectionWarp: scene_.Ground.ReflectionWarp = RealText(); return true;
    case Key::CeilingTexture: TakeTexture(false); return true;
    case Key::CeilingScale: scene_.Ceiling.Scale = RealText(); return true;
    case Key::CeilingMixtureMode: scene_.Ceiling.MixtureMode = MixtureValue(); return true;
    case Key::CeilingOpaqueColor: scene_.Ceiling.OpaqueColor = ColourBytesValue(); return true;
    case Key::CeilingTransparency: scene_.Ceiling.Transparency = TrackBarValue(); return true;
    case Key::OutputResolution:
      scene_.Output.Resolution.Width = IntegerText(true);
      scene_.Output.Resolution.Height = IntegerText(true);
      return true;
    case Key::OutputFormatKey:
      scene_.Output.Format = WordValue(kFormatWords, "it counts as OldDiet") == "Old"
                                 ? OutputFormat::Old : OutputFormat::OldDiet;
      return true;
    case Key::OutputFilename: scene_.Output.Filename = TextValue(); return true;
    default: return ApplyEntryKey(key, *current_);  // Apply saw that there is an entry
  }
  // clang-format on
}

bool Reader::ApplyEntryKey(Key key, ObjectEntry& e) {
  // clang-format off
  switch (key) {
    case Key::ObjectOpaqueColor: e.OpaqueColor = ColourBytesValue(); return true;
    case Key::ObjectFilename: e.Filename = TextValue(); return true;
    case Key::ObjectManual:
      e.Placement.Angle = RealValue();
      e.Placement.Height = RealValue();
      e.Placement.Distance = RealValue();
      e.Manual = true;
      return true;
    case Key::ObjectScale: e.Scale = RealValue(); return true;
    case Key::ObjectNumber: e.NumberOfObjects = IntegerValue(); return true;
    case Key::ObjectShadeing: {
      // The whole rest of the line: "True x" is not "True".
      const std::string_view rest = scanner_.Remainder();
      e.Shadeing = rest == "True";
      if (rest != "True" && rest != "False")
        UnknownWord(rest, kShadeingWords, "the object is not shaded");
      scanner_.GetToken("", "=");  // the rest is taken
      return true;
    }
    case Key::ObjectPositionMode:
      e.PositionMode = WordValue(kPositionWords, "it counts as Sky") == "Ground"
                           ? PositionMode::Ground : PositionMode::Sky;
      return true;
    case Key::ObjectMixtureMode: e.MixtureMode = MixtureValue(); return true;
    case Key::ObjectTransparency: e.Transparency = RealValue(); return true;
    case Key::ObjectSoftFocus: e.SoftFocus = RealValue(); return true;
    default: return true;
  }
  // clang-format on
}

void Reader::NotANumber(std::string_view text, bool integer, std::string_view when) {
  Warn(DiagnosticCode::NotANumber,
       std::string(keyName_) + ": " + Quoted(text) +
           (integer ? " is no whole number (from -2147483648 to 2147483647)" : " is no number") +
           "; it counts as 0" + std::string(when));
}

void Reader::UnknownWord(std::string_view word, std::span<const std::string_view> words,
                         std::string_view otherwise) {
  std::string list;
  for (const std::string_view w : words) {
    if (!list.empty()) list += w == words.back() ? " or " : ", ";
    list += w;
  }
  const std::string what =
      word.empty() ? "no word, where " + list + " is wanted" : Quoted(word) + " is not " + list;
  Warn(DiagnosticCode::UnknownWord,
       std::string(keyName_) + ": " + what + "; " + std::string(otherwise));
}

void Reader::CheckLineEnd(Key key) {
  if (missing_ > 0) {
    const std::string they = missing_ == 1 ? "it counts as 0" : "they count as 0";
    const std::string what =
        key == Key::SkyColors ? "the last colour lacks " + std::to_string(missing_) +
                                    " of its 4 values (red, green, blue, alpha)"
                              : std::to_string(missing_) +
                                    (missing_ == 1 ? " value is missing" : " values are missing");
    Warn(DiagnosticCode::MissingValues, std::string(keyName_) + ": " + what + "; " + they);
  }
  if (!ValuesLeft()) return;
  std::string message = std::string(keyName_) + ": " + Quoted(scanner_.Remainder());
  if (key == Key::SkyColors || key == Key::SkyPositions)
    message += " is ignored: the sky gradation has at most 16 stops";
  else
    message += " after the key's values is ignored";
  if (equalsAfterBlank_)
    message += " (with a blank before \"=\" the first value is empty: write " +
               std::string(keyName_) + "=value or " + std::string(keyName_) + " value)";
  else if (lastWasText_)
    message += " (a name or text ends at the first blank)";
  Warn(DiagnosticCode::ExtraValues, message);
}

// Stars beyond what the picture can show cost the render minutes for nothing:
// more stars than it has pixels whiten the sky, and a star wider than the
// panorama (size 1024 spans its width, times the over-sampling) covers it.
// The render still draws them, and can be stopped between two stars.
void Reader::CheckStars() {
  const StarSettings& stars = scene_.Stars;
  const std::int64_t width = std::max(ToInteger(scene_.Output.Resolution.Width), 1);
  const std::int64_t height = std::max(ToInteger(scene_.Output.Resolution.Height), 1);
  const std::int64_t count = ToInteger(stars.NumberOfStars);
  if (starsLine_ != 0 && count > width * height)
    WarnAt(starsLine_, DiagnosticCode::BeyondSight,
           "Stars_NumberOfStars: " + std::to_string(count) + " stars are more than the " +
               std::to_string(width) + " x " + std::to_string(height) +
               " picture has pixels; they whiten the sky and the render takes long for nothing");
  // A star spans size x over-sampling 1024ths of the panorama: whichever of
  // the two lines makes it wider than the whole is the one told.
  const long double size = ToReal(stars.SizeOfStars);
  const long double overSampling = std::max(stars.OverSampling, std::int32_t{1});
  const long double span = size * overSampling;
  if (span <= 1024) return;
  if (!(size <= 1024)) {
    WarnAt(starSizeLine_, DiagnosticCode::BeyondSight,
           "Stars_SizeOfStars: a star of size " + std::string(stars.SizeOfStars) +
               " is wider than the whole panorama (at size 1024 one spans it), so it covers "
               "the sky and the render takes long for nothing");
    return;
  }
  WarnAt(overSamplingLine_, DiagnosticCode::BeyondSight,
         "Stars_OverSampling: " + std::to_string(stars.OverSampling) + " times the star size " +
             std::string(stars.SizeOfStars) + (starSizeLine_ == 0 ? " (the default)" : "") +
             " makes a star wider than the whole panorama (at size x over-sampling 1024 one "
             "spans it), so it covers the sky and the render takes long for nothing");
}

void Reader::CheckGradationCounts() {
  if (colorsLine_ == 0 && positionsLine_ == 0) return;
  const int colours = scene_.Sky.Count;
  if (positionsLine_ == 0) {
    // Without colours (a black sky) positions do not matter.
    if (colours != 3 && colours != 0)
      WarnAt(colorsLine_, DiagnosticCode::GradationCounts,
             "Gradation1_Colors gives " + std::to_string(colours) +
                 " colours and no Gradation1_Positions line gives their positions; the stops "
                 "keep the positions 0, 0.5, 1, then 0");
    return;
  }
  if (positionsGiven_ == colours) return;
  const std::string where = colorsLine_ == 0 ? "the default 3 colours"
                                             : std::to_string(colours) + " colours (line " +
                                                   std::to_string(colorsLine_) + ")";
  WarnAt(std::max(colorsLine_, positionsLine_), DiagnosticCode::GradationCounts,
         "the sky gradation has " + where + " but " + std::to_string(positionsGiven_) +
             " positions (line " + std::to_string(positionsLine_) +
             "); each colour needs its position, the others keep their earlier ones");
}

bool Reader::CreateEntry() {
  // An entry of no group lives only until the next one is created.
  orphan_.reset();
  current_ = nullptr;
  if (entries_ >= limits_.maxObjectEntries)
    return StopReading("more than " + std::to_string(limits_.maxObjectEntries) + " object entries");
  // The defaults: entries read from a file never inherit from the editor's selection.
  std::unique_ptr<ObjectEntry> entry = NewObjectEntry();
  if (!entry) return StopReading("memory ran out for an object entry");
  current_ = entry.get();
  const std::string_view word =
      WordValue(kGroupWords, "the entry belongs to no group and is never drawn");
  ObjectGroup* group = word == "Far"    ? &scene_.Far
                       : word == "Mid"  ? &scene_.Mid
                       : word == "Near" ? &scene_.Near
                                        : nullptr;
  if (group == nullptr) {
    orphan_ = std::move(entry);
    return true;
  }
  AppendObjectEntry(*group, std::move(entry));
  ++entries_;
  return true;
}

void Reader::TakeTexture(bool ground) {
  // The name as written: where its picture is, is the preparation's to find.
  std::string name = TextValue();
  if (ground) {
    scene_.Ground.TextureFilename = std::move(name);
    scene_.Ground.Enabled = true;
  } else {
    scene_.Ceiling.TextureFilename = std::move(name);
    scene_.Ceiling.Enabled = true;
  }
}

}  // namespace

SettingsRead ReadSettingsBytes(std::string_view bytes, std::string_view fileName,
                               const SettingsReadLimits& limits) {
  const std::string text = DecodeText(bytes);
  SettingsRead read;
  Reader(read, fileName, limits).Run(text);
  return read;
}

std::optional<std::string> NotSettingsTextReason(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
    return "is UTF-16 text; a settings file is Shift_JIS (CP932) or UTF-8 text";
  std::size_t controls = 0;
  bool nul = false;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    nul = nul || b == 0;
    controls +=
        (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != 0x1A) || b == 0x7F;
  }
  if (!nul && controls * 32 <= bytes.size()) return std::nullopt;
  constexpr std::pair<std::string_view, std::string_view> kPictures[] = {
      {"BM", "a BMP picture"},
      {"\xFF\xD8\xFF", "a JPEG picture"},
      {"\x89PNG", "a PNG picture"},
      {"GIF8", "a GIF picture"}};
  for (const auto& [signature, what] : kPictures)
    if (bytes.starts_with(signature)) return "is " + std::string(what) + ", not a settings file";
  return nul ? "holds NUL bytes (binary data or UTF-16 text), so it is no settings file"
             : "holds binary data, so it is no settings file";
}

SettingsRead ReadSettings(const std::string& path, const SettingsReadLimits& limits) {
  // Only a regular file, up to the limit: a FIFO (or a device) is refused at
  // once, opened without waiting and judged by what the open file is, so that
  // the command line never hangs and the window never waits on a writer.
  const std::string tooLong =
      "too long for a settings file (more than " + std::to_string(limits.maxFileBytes) + " bytes)";
  const std::string bytes = ReadWholeFile(path, {limits.maxFileBytes, tooLong, true});
  if (const auto reason = NotSettingsTextReason(bytes)) throw FileError(path, *reason);
  return ReadSettingsBytes(bytes, path, limits);
}

}  // namespace horizonmill
