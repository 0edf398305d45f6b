// Writing the settings file (the format is described in SettingsFile.h).
#include <algorithm>
#include <charconv>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/TextCodec.h"
#include "scene/SettingsFile.h"
#include "scene/Token.h"

namespace horizonmill {

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

}  // namespace horizonmill
