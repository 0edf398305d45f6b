// What the settings reader tells about the lines it passes over or reads
// otherwise than they seem to say: one warning per case, with the line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/SettingsFile.h"

namespace horizonmill {
namespace {

using Kind = DiagnosticCode;

// A diagnostic of the reader as these tests look at it.
struct SettingsWarning {
  int line = 0;
  Kind kind = Kind::UnknownKey;
  std::string message;
};

// The reader's diagnostics of a file named scene.hm; each names it.
std::vector<SettingsWarning> WarningsOf(std::string_view text) {
  std::vector<SettingsWarning> warnings;
  for (const Diagnostic& d : ReadSettingsBytes(text, "scene.hm").diagnostics) {
    EXPECT_EQ(d.file, "scene.hm");
    EXPECT_EQ(d.subject, DiagnosticSubject::None);
    warnings.push_back({d.line, d.code, d.text});
  }
  return warnings;
}

TEST(SettingsWarnings, EachLineTheReaderPassesOverIsToldWithWhatWasReadInstead) {
  const std::string entry = "Objects_CreateObject Near\n";
  const struct {
    std::string text;
    Kind kind;
    std::string message;
  } cases[] = {
      // Unknown keys, with the nearest known one when it is near.
      {"Gradation1_Color 1 2 3 4", Kind::UnknownKey,
       "unknown key \"Gradation1_Color\" (did you mean \"Gradation1_Colors\"?); the line is "
       "skipped"},
      {"randomseed 5", Kind::UnknownKey,
       "unknown key \"randomseed\" (did you mean \"RandomSeed\"?); the line is skipped"},
      {"Ground_Texture water.bmp", Kind::UnknownKey,
       "unknown key \"Ground_Texture\" (did you mean \"Ground_TextureFilename\"?); the line is "
       "skipped"},
      {"Frobnicate 1", Kind::UnknownKey, "unknown key \"Frobnicate\"; the line is skipped"},
      {"=5", Kind::UnknownKey, "the line has no key; the line is skipped"},
      // Numbers that do not convert count as 0; a text field is converted when used.
      {"Gradation2_Position 0,5 0.5", Kind::NotANumber,
       "Gradation2_Position: \"0,5\" is no number; it counts as 0"},
      {entry + "Objects_NumberOfObjects 3.0", Kind::NotANumber,
       "Objects_NumberOfObjects: \"3.0\" is no whole number (from -2147483648 to 2147483647); it "
       "counts as 0"},
      {"AirDepth abc", Kind::NotANumber,
       "AirDepth: \"abc\" is no number; it counts as 0 when the picture is rendered"},
      // Missing and left-over values.
      {"Gradation2_Position 0.5", Kind::MissingValues,
       "Gradation2_Position: 1 value is missing; it counts as 0"},
      {"Sky_OpaqueColor 255 0", Kind::MissingValues,
       "Sky_OpaqueColor: 2 values are missing; they count as 0"},
      {"Output_Resolution 4096", Kind::MissingValues,
       "Output_Resolution: 1 value is missing; it counts as 0"},
      {"Gradation1_Colors 1 2 3 4  5 6 7 8  9", Kind::MissingValues,
       "Gradation1_Colors: the last colour lacks 3 of its 4 values (red, green, blue, alpha); they "
       "count as 0"},
      {"RandomSeed = 123", Kind::ExtraValues,
       "RandomSeed: \"123\" after the key's values is ignored (with a blank before \"=\" the first "
       "value is empty: write RandomSeed=value or RandomSeed value)"},
      {"Output_Filename my picture.jpg", Kind::ExtraValues,
       "Output_Filename: \"picture.jpg\" after the key's values is ignored (a name or text ends at "
       "the first blank)"},
      {"Gradation2_Slopes 1 2 3 4 5", Kind::ExtraValues,
       "Gradation2_Slopes: \"5\" after the key's values is ignored"},
      // Words a key does not list.
      {"Gradation2_MixtureMode add", Kind::UnknownWord,
       "Gradation2_MixtureMode: \"add\" is not Add, Sub or Norm; it counts as Norm"},
      {"Objects_CreateObject far", Kind::UnknownWord,
       "Objects_CreateObject: \"far\" is not Far, Mid or Near; the entry belongs to no group and "
       "is never drawn"},
      {entry + "Objects_PositionMode ground", Kind::UnknownWord,
       "Objects_PositionMode: \"ground\" is not Ground or Sky; it counts as Sky"},
      {entry + "Objects_Shadeing True x", Kind::UnknownWord,
       "Objects_Shadeing: \"True x\" is not True or False; the object is not shaded"},
      {"Output_Format", Kind::UnknownWord,
       "Output_Format: no word, where Old or OldDiet is wanted; it counts as OldDiet"},
      // Entry lines without an entry.
      {"Objects_Scale 2", Kind::NoEntry,
       "Objects_Scale before any Objects_CreateObject is ignored"},
  };
  for (const auto& c : cases) {
    const std::vector<SettingsWarning> warnings = WarningsOf("# a scene\n" + c.text + "\n");
    ASSERT_EQ(warnings.size(), 1u)
        << c.text << (warnings.empty() ? "" : ": " + warnings[0].message);
    const int line = 2 + (c.text.starts_with(entry) ? 1 : 0);
    EXPECT_EQ(warnings[0].line, line) << c.text;
    EXPECT_EQ(warnings[0].kind, c.kind) << c.text;
    EXPECT_EQ(warnings[0].message, c.message) << c.text;
  }
}

TEST(SettingsWarnings, SkyColoursAndPositionsThatDifferInNumber) {
  const std::string four = "Gradation1_Colors 1 1 1 255  2 2 2 255  3 3 3 255  4 4 4 255\n";
  auto warnings = WarningsOf(four + "Gradation1_Positions 0 0.5 1\n");
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].line, 2);
  EXPECT_EQ(warnings[0].kind, Kind::GradationCounts);
  EXPECT_EQ(warnings[0].message,
            "the sky gradation has 4 colours (line 1) but 3 positions (line 2); each colour needs "
            "its position, the others keep their earlier ones");
  warnings = WarningsOf(four);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].line, 1);
  EXPECT_EQ(warnings[0].message,
            "Gradation1_Colors gives 4 colours and no Gradation1_Positions line gives their "
            "positions; the stops keep the positions 0, 0.5, 1, then 0");
  EXPECT_TRUE(WarningsOf("Gradation1_Colors\n").empty());  // no colours: a black sky
  warnings = WarningsOf("Gradation1_Positions 0 1\n");
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].message.find("the default 3 colours but 2 positions"), std::string::npos);
  // 17 colours: the 17th goes, and the counts are then compared at 16.
  std::string colours = "Gradation1_Colors", positions = "Gradation1_Positions";
  for (int i = 0; i < 17; ++i) colours += " 1 2 3 255", positions += i < 16 ? " 0" : " 1";
  warnings = WarningsOf(colours + "\n" + positions + "\n");
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_EQ(warnings[0].message,
            "Gradation1_Colors: \"1 2 3 255\" is ignored: the sky gradation has at most 16 stops");
  EXPECT_EQ(warnings[1].message,
            "Gradation1_Positions: \"1\" is ignored: the sky gradation has "
            "at most 16 stops");
}

TEST(SettingsWarnings, WhatTheWriterWritesReadsWithoutAWarning) {
  SceneSettings scene;
  EXPECT_TRUE(WarningsOf(EncodeSettings(scene)).empty());
  // Every key, empty text fields included (a cleared input is written as it is).
  scene.Ground.Enabled = scene.Ceiling.Enabled = true;
  scene.Output.Format = OutputFormat::OldDiet;
  scene.Stars.NumberOfStars = "";
  auto entry = NewObjectEntry();
  entry->Manual = true;
  entry->Filename = "/nowhere/tree.bmp";
  AppendObjectEntry(scene.Mid, std::move(entry));
  // Pictures that are nowhere, and empty texture names, are no reader's
  // business: the preparation tells of them.
  EXPECT_TRUE(WarningsOf(EncodeSettings(scene)).empty());
}

TEST(SettingsWarnings, NoSettingsFileAtAll) {
  const struct {
    std::string bytes;
    std::string reason;  // empty: may be a settings file
  } cases[] = {
      {"", ""},
      {"RandomSeed 1\r\n\tAirDepth\f2\x1a", ""},
      {"\xEF\xBB\xBFRandomSeed 1\n", ""},
      {std::string("BM\x36\x00\x00\x00", 6), "is a BMP picture, not a settings file"},
      {std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10), "is a JPEG picture, not a settings file"},
      {std::string("\x89PNG\r\n\x1a\n\x00\x00", 10), "is a PNG picture, not a settings file"},
      {std::string("\xFF\xFER\x00S\x00", 6), "is UTF-16 text; a settings file is Shift_JIS"},
      {std::string("R\0a\0n\0", 6), "holds NUL bytes (binary data or UTF-16 text)"},
      {"\x01\x02\x03\x04 junk \x05\x06\x07\x08", "holds binary data, so it is no settings file"},
  };
  for (const auto& c : cases) {
    const auto reason = NotSettingsTextReason(c.bytes);
    if (c.reason.empty()) {
      EXPECT_FALSE(reason) << *reason;
    } else {
      ASSERT_TRUE(reason) << c.reason;
      EXPECT_EQ(reason->find(c.reason), 0u) << *reason;
    }
  }
}

}  // namespace
}  // namespace horizonmill

namespace horizonmill {
namespace {

// Stars beyond what the picture can show are told with their line; the
// values are kept as written.
TEST(SettingsWarnings, StarsBeyondWhatThePictureCanShowAreToldWithTheirLine) {
  const struct {
    std::string text;
    std::vector<int> lines;  // the lines warned of, in order
    std::vector<std::string> parts;
  } cases[] = {
      {"Output_Resolution 64 32\nStars_NumberOfStars 2048\n", {}, {}},
      {"Output_Resolution 64 32\nStars_NumberOfStars 2049\n",
       {2},
       {"Stars_NumberOfStars: 2049 stars are more than the 64 x 32 picture has pixels"}},
      {"Stars_NumberOfStars 2147483647\nOutput_Resolution 3072 1536\n",
       {1},
       {"2147483647 stars are more than the 3072 x 1536 picture has pixels"}},
      {"Stars_SizeOfStars 1024\n", {}, {}},
      {"Stars_SizeOfStars 3e38\n",
       {1},
       {"Stars_SizeOfStars: a star of size 3e38 is wider than the whole panorama"}},
      // The over-sampling makes a star of a fitting size too wide: it is the
      // line told, whether the size is written or the default.
      {"Stars_OverSampling 2\nStars_SizeOfStars 600\n",
       {1},
       {"Stars_OverSampling: 2 times the star size 600 makes a star wider"}},
      {"Stars_NumberOfStars 10\nStars_OverSampling 2147483647\n",
       {2},
       {"Stars_OverSampling: 2147483647 times the star size 1.0 (the default)"}},
      {"Stars_SizeOfStars 1\nStars_OverSampling 2147483647\nStars_NumberOfStars 10\n",
       {2},
       {"Stars_OverSampling: 2147483647 times the star size 1 makes"}},
      {"Stars_OverSampling 1024\n", {}, {}},
      // A size too wide alone is the size's line, whatever the over-sampling.
      {"Stars_OverSampling 4\nStars_SizeOfStars 2000\n", {2}, {"a star of size 2000"}},
      {"RandomSeed 1\nStars_SizeOfStars 1e9\nStars_NumberOfStars 99999999\n",
       {3, 2},
       {"99999999 stars", "a star of size 1e9"}},
      {"Stars_NumberOfStars -5\nStars_SizeOfStars -3e38\n", {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<SettingsWarning> beyond;
    for (const SettingsWarning& w : WarningsOf(c.text))
      if (w.kind == Kind::BeyondSight) beyond.push_back(w);
    ASSERT_EQ(beyond.size(), c.lines.size());
    for (std::size_t i = 0; i < beyond.size(); ++i) {
      EXPECT_EQ(beyond[i].line, c.lines[i]);
      EXPECT_NE(beyond[i].message.find(c.parts[i]), std::string::npos) << beyond[i].message;
    }
  }
}

}  // namespace
}  // namespace horizonmill
