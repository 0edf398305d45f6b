#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>

#include <cfloat>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "codecs/ImageOutput.h"
#include "image/Placeholders.h"
#include "platform/FileError.h"
#include "platform/Interrupt.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"
#include "render/Pipeline.h"
#include "scene/SettingsFile.h"
#include "support/PictureEncoding.h"

namespace horizonmill {
namespace {

namespace fs = std::filesystem;

class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "hm-settings-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Reads text as a file's bytes into `scene`.
ReadStatus Read(SceneSettings& scene, std::string_view text) {
  SettingsRead read = ReadSettingsBytes(text);
  scene = std::move(read.scene);
  return read.status;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

constexpr std::string_view kDefaultFile =
    "# Horizonmillらいと Version 1.06(1.0e-29L)\r\n"
    "#\r\n"
    "Gradation1_Colors 0 0 255 255  255 255 255 255  0 0 255 255  \r\n"
    "Gradation1_Positions 0 0.5 1 \r\n"
    "Gradation2_CenterColor 0 0 0 255\r\n"
    "Gradation2_OuterColor 0 0 0 255\r\n"
    "Gradation2_Position 0.5 0.5\r\n"
    "Gradation2_Slopes 0 0 0 0\r\n"
    "Gradation2_MixtureMode Add\r\n"
    "RandomSeed 65536\r\n"
    "AirDepth 0.0\r\n"
    "Stars_OverSampling 1\r\n"
    "Stars_NumberOfStars 0\r\n"
    "Stars_SizeOfStars 1.0\r\n"
    "Output_Resolution 3072 1536\r\n"
    "Output_Filename \r\n";

// ------------------------------------------------------------------ writing

TEST(SettingsWrite, DefaultSceneIsSixteenLinesInCp932) {
  SceneSettings scene;
  EXPECT_EQ(SettingsLines(scene).size(), 16u);
  EXPECT_EQ(Joined(SettingsLines(scene)), kDefaultFile);
  // On disk the header's らいと is 82E7 82A2 82C6.
  const std::string bytes = EncodeSettings(scene);
  EXPECT_TRUE(
      bytes.starts_with("# Horizonmill\x82\xE7\x82\xA2\x82\xC6 Version 1.06(1.0e-29L)\r\n#\r\n"));
  EXPECT_EQ(DecodeText(bytes), kDefaultFile);
  // Reading them after a reset changes nothing.
  SceneSettings again;
  EXPECT_EQ(Read(again, bytes), ReadStatus::Complete);
  EXPECT_EQ(EncodeSettings(again), bytes);
}

TEST(SettingsWrite, RealsAreFifteenDigitGeneralFormat) {
  EXPECT_EQ(FormatReal(0.5L), "0.5");
  EXPECT_EQ(FormatReal(255), "255");
  EXPECT_EQ(FormatReal(-0.25L), "-0.25");
  EXPECT_EQ(FormatReal(0.0001L), "0.0001");
  EXPECT_EQ(FormatReal(0.00001L), "1E-05");
  EXPECT_EQ(FormatReal(123456789012345.0L), "123456789012345");
  EXPECT_EQ(FormatReal(1234567890123456.0L), "1.23456789012346E+15");
  EXPECT_EQ(FormatReal(1.0L / 3), "0.333333333333333");
  // A float component is its float value printed through the real format.
  EXPECT_EQ(FormatReal(0.1f), "0.100000001490116");
  // The same as printf's "%.15Lg" with a capital E.
  for (long double v : {1e-300L, 6.02214076e23L, -7.5e-5L, 98765.4321L, 1e4000L}) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.15LG", v);
    EXPECT_EQ(FormatReal(v), expected);
  }
}

TEST(SettingsWrite, EveryLineOfAFullScene) {
  SceneSettings scene;
  scene.Sky.Count = 1;
  scene.Sky.Colors[0] = FloatColour{0.1f, 1, 2, 3};
  scene.Sky.Positions = {0.25L, 0.75L};
  scene.Sun.MixtureMode = 7;
  scene.RandomSeed = "";
  scene.AirDepth = "abc def";
  scene.Stars.OverSampling = -3;
  auto entry = NewObjectEntry();
  entry->OpaqueColor = MakePacked(1, 2, 3, 4);
  entry->Filename = "/pics/tree one.bmp";
  entry->Manual = true;
  entry->Placement = {90, -1.5L, 1e-5L};
  entry->Scale = 2;
  entry->NumberOfObjects = 12;
  entry->Shadeing = false;
  entry->PositionMode = PositionMode::Sky;
  entry->MixtureMode = MixtureMode::Sub;
  entry->Transparency = 0.5L;
  entry->SoftFocus = 3;
  AppendObjectEntry(scene.Near, std::move(entry));
  AppendObjectEntry(scene.Far, NewObjectEntry());
  scene.Ground.Enabled = true;
  scene.Ground.TextureFilename = "g.bmp";
  scene.Ground.Reflection = 57;
  scene.Ceiling.Enabled = true;
  scene.Ceiling.MixtureMode = MixtureMode::Add;
  scene.Ceiling.OpaqueColor = MakePacked(255, 0, 128, 255);
  scene.Ceiling.Transparency = 100;
  scene.Output.Format = OutputFormat::OldDiet;
  scene.Output.Filename = "a\r\nObjects_CreateObject Far";

  const std::vector<std::string> expected = {
      "# Horizonmillらいと Version 1.06(1.0e-29L)", "#",
      "Gradation1_Colors 0.100000001490116 1 2 3  ", "Gradation1_Positions 0.25 ",
      "Gradation2_CenterColor 0 0 0 255", "Gradation2_OuterColor 0 0 0 255",
      "Gradation2_Position 0.5 0.5", "Gradation2_Slopes 0 0 0 0", "Gradation2_MixtureMode Norm",
      "RandomSeed ", "AirDepth abc def", "Stars_OverSampling -3", "Stars_NumberOfStars 0",
      "Stars_SizeOfStars 1.0",
      // Far before Near; the default entry has no Objects_Manual line.
      "Objects_CreateObject Far", "Objects_OpaqueColor 0 0 0 255", "Objects_Filename ",
      "Objects_Scale 1", "Objects_NumberOfObjects 1", "Objects_Shadeing True",
      "Objects_PositionMode Ground", "Objects_MixtureMode Norm", "Objects_Transparency 0",
      "Objects_SoftFocus 0", "Objects_CreateObject Near", "Objects_OpaqueColor 1 2 3 4",
      "Objects_Filename /pics/tree one.bmp", "Objects_Manual 90 -1.5 1E-05", "Objects_Scale 2",
      "Objects_NumberOfObjects 12", "Objects_Shadeing False", "Objects_PositionMode Sky",
      "Objects_MixtureMode Sub", "Objects_Transparency 0.5", "Objects_SoftFocus 3",
      "Ground_TextureFilename g.bmp", "Ground_Scale 1.0", "Ground_Reflection 0.57",
      "Ground_ReflectionWarp 0.0", "Sky_TextureFilename ", "Sky_Scale 1.0", "Sky_MixtureMode Add",
      "Sky_OpaqueColor 255 0 128 255", "Sky_Transparency 1", "Output_Resolution 3072 1536",
      "Output_Format OldDiet",
      // A line end inside a text would start a line of its own: written as blanks.
      "Output_Filename a  Objects_CreateObject Far"};
  EXPECT_EQ(SettingsLines(scene), expected);

  scene.Sky.Count = 0;
  scene.Output.Format = OutputFormat::Old;
  const auto lines = SettingsLines(scene);
  EXPECT_EQ(lines[2], "Gradation1_Colors ");
  EXPECT_EQ(lines[3], "Gradation1_Positions ");
  EXPECT_EQ(lines[lines.size() - 2], "Output_Format Old");
}

TEST(SettingsWrite, NamesCp932CannotHoldAreWrittenAsUtf8) {
  SceneSettings scene;
  scene.Output.Filename = "/bg/𠮷野家.jpg";
  const std::string bytes = EncodeSettings(scene);
  EXPECT_TRUE(bytes.starts_with(kUtf8ByteOrderMark));
  SceneSettings back;
  Read(back, bytes);
  EXPECT_EQ(back.Output.Filename, "/bg/𠮷野家.jpg");
}

TEST(SettingsWrite, FileIsReplacedWholeOrNotAtAll) {
  TempDir dir;
  const std::string path = dir / "scene.hm";
  SceneSettings scene;
  WriteSettings(scene, path);
  EXPECT_EQ(ReadBytes(path), EncodeSettings(scene));

  // A write that fails half-way (the file size limit standing in for a full
  // disk) leaves the previous file as it was.
  for (int i = 0; i < 200; ++i) AppendObjectEntry(scene.Mid, NewObjectEntry());
  const std::string before = ReadBytes(path);
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4096;
  ::setrlimit(RLIMIT_FSIZE, &small);
  EXPECT_THROW(WriteSettings(scene, path), FileError);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_EQ(ReadBytes(path), before);
  // Nothing is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

  EXPECT_THROW(WriteSettings(scene, dir / "no/such/folder.hm"), FileError);
}

// ------------------------------------------------------------------ reading

TEST(SettingsRead, BlanksAroundTheEqualsSign) {
  SceneSettings scene;
  Read(scene, "RandomSeed=123");
  EXPECT_EQ(scene.RandomSeed, "123");
  Read(scene, "RandomSeed = 123");
  EXPECT_EQ(scene.RandomSeed, "");
}

TEST(SettingsRead, CommentsUnknownKeysAndLineEnds) {
  SceneSettings scene;
  Read(scene,
       "#\n# RandomSeed 1\n#RandomSeed 2\nrandomseed 3\n\n=RandomSeed 4\n"
       "AirDepth 5\rStars_NumberOfStars 6\r\nStars_SizeOfStars 7\r\rRandomSeed 8");
  EXPECT_EQ(scene.RandomSeed, "8");
  EXPECT_EQ(scene.AirDepth, "5");
  EXPECT_EQ(scene.Stars.NumberOfStars, "6");
  EXPECT_EQ(scene.Stars.SizeOfStars, "7");
  // NUL and other control characters separate like blanks.
  constexpr char kControls[] = "RandomSeed\0 9\x01x\nAirDepth\t1.5";
  Read(scene, std::string_view(kControls, sizeof kControls - 1));
  EXPECT_EQ(scene.RandomSeed, "9");
  EXPECT_EQ(scene.AirDepth, "1.5");
}

TEST(SettingsRead, SkyGradationStops) {
  SceneSettings scene;
  Read(scene, "Gradation1_Colors 1 2 3 4 5");
  EXPECT_EQ(scene.Sky.Count, 2);
  EXPECT_EQ(scene.Sky.Colors[0], (FloatColour{1, 2, 3, 4}));
  EXPECT_EQ(scene.Sky.Colors[1], (FloatColour{5, 0, 0, 0}));
  // Stops beyond the count keep what they held.
  EXPECT_EQ(scene.Sky.Colors[2], (FloatColour{0, 0, 255, 255}));

  std::string line = "Gradation1_Colors";
  for (int i = 0; i < 17; ++i) line += ' ' + std::to_string(i) + " 0 0 255 ";
  Read(scene, line + "\nGradation1_Colors 0.1 1e300 -1e300 x");
  EXPECT_EQ(scene.Sky.Count, 1);  // the second line replaces the stops and Count
  EXPECT_EQ(scene.Sky.Colors[0], (FloatColour{0.1f, FLT_MAX, -FLT_MAX, 0}));
  Read(scene, line);
  EXPECT_EQ(scene.Sky.Count, 16);
  EXPECT_EQ(scene.Sky.Colors[15].r, 15);
  Read(scene, "Gradation1_Colors");
  EXPECT_EQ(scene.Sky.Count, 0);

  SceneSettings fresh;
  Read(fresh, "Gradation1_Positions 0 1");
  EXPECT_EQ(fresh.Sky.Positions[0], 0);
  EXPECT_EQ(fresh.Sky.Positions[1], 1);
  EXPECT_EQ(fresh.Sky.Positions[2], 1.0L);
  EXPECT_EQ(fresh.Sky.Count, 3);
}

TEST(SettingsRead, WordsColourBytesAndTrackBars) {
  SceneSettings scene;
  Read(scene,
       "Gradation2_MixtureMode Sub\nGradation2_Slopes 1 2\nGradation2_Position 0.25\n"
       "Sky_OpaqueColor 256 -1 0 255\nSky_MixtureMode add\nGround_Reflection 1.7\n"
       "Sky_Transparency 0.125\nStars_OverSampling 4x");
  EXPECT_EQ(scene.Sun.MixtureMode, MixtureMode::Sub);
  EXPECT_EQ(scene.Sun.Slopes, (std::array<long double, 4>{1, 2, 0, 0}));
  EXPECT_EQ(scene.Sun.Position.X, 0.25L);
  EXPECT_EQ(scene.Sun.Position.Y, 0);
  EXPECT_EQ(scene.Ceiling.OpaqueColor, MakePacked(0, 255, 0, 255));
  EXPECT_EQ(scene.Ceiling.MixtureMode, MixtureMode::Norm);  // words compare exactly
  EXPECT_EQ(scene.Ground.Reflection, 100);
  EXPECT_EQ(scene.Ceiling.Transparency, 12);  // 12.5 rounds to even
  EXPECT_EQ(scene.Stars.OverSampling, 0);
  Read(scene, "Ground_Reflection 0.125\nSky_Transparency -3\nGradation2_MixtureMode");
  EXPECT_EQ(scene.Ground.Reflection, 12);
  EXPECT_EQ(scene.Ceiling.Transparency, 0);
  EXPECT_EQ(scene.Sun.MixtureMode, MixtureMode::Norm);
  Read(scene, "Ground_Reflection 1e4000\nSky_Transparency 0.375");
  EXPECT_EQ(scene.Ground.Reflection, 100);
  EXPECT_EQ(scene.Ceiling.Transparency, 38);
}

TEST(SettingsRead, OutputFormatAndEnablingStartCleared) {
  SceneSettings scene;
  scene.Ground.Enabled = scene.Ceiling.Enabled = true;
  scene.Output.Format = OutputFormat::Old;
  Read(scene, "Output_Resolution 800\n");
  EXPECT_FALSE(scene.Ground.Enabled);
  EXPECT_FALSE(scene.Ceiling.Enabled);
  EXPECT_EQ(scene.Output.Format, OutputFormat::Normal);
  EXPECT_EQ(scene.Output.Resolution.Width, "800");
  EXPECT_EQ(scene.Output.Resolution.Height, "");
  const std::pair<const char*, OutputFormat> cases[] = {
      {"Output_Format Old", OutputFormat::Old},
      {"Output_Format OldDiet", OutputFormat::OldDiet},
      {"Output_Format old", OutputFormat::OldDiet},
      {"Output_Format", OutputFormat::OldDiet}};
  for (const auto& [line, format] : cases) {
    Read(scene, line);
    EXPECT_EQ(scene.Output.Format, format) << line;
  }
  // An empty file clears them too.
  scene.Ground.Enabled = true;
  Read(scene, "");
  EXPECT_FALSE(scene.Ground.Enabled);
}

TEST(SettingsRead, TextsComeBackCutAtTheFirstBlank) {
  SceneSettings scene;
  scene.Output.Filename = "/home/me/My Pictures/bg.jpg";
  scene.AirDepth = "1=2";
  const std::string bytes = EncodeSettings(scene);
  EXPECT_NE(DecodeText(bytes).find("Output_Filename /home/me/My Pictures/bg.jpg\r\n"),
            std::string::npos);
  SceneSettings back;
  Read(back, bytes);
  EXPECT_EQ(back.Output.Filename, "/home/me/My");
  EXPECT_EQ(back.AirDepth, "1");

  // The height shares its line with the width, and stays the height.
  const std::pair<const char*, const char*> widths[] = {{"", "0"}, {" 640 x", "640"}, {"a=b", "a"}};
  for (const auto& [width, read] : widths) {
    scene.Output.Resolution = {width, "480"};
    back.Reset();
    Read(back, EncodeSettings(scene));
    EXPECT_EQ(back.Output.Resolution.Width, read);
    EXPECT_EQ(back.Output.Resolution.Height, "480") << width;
  }
}

TEST(SettingsRead, EntryLinesFillTheLatestEntry) {
  SceneSettings scene;
  Read(scene,
       "Objects_Scale 5\nObjects_Shadeing False\n"  // no entry yet: nothing
       "Objects_CreateObject Mid\nObjects_Shadeing true\nObjects_PositionMode ground\n"
       "Objects_CreateObject Far\nObjects_Shadeing True x\nObjects_MixtureMode Add\n"
       "Objects_CreateObject Mid\nObjects_Shadeing=True\nObjects_Manual 10 20\n"
       "Objects_OpaqueColor 300 2 3\nObjects_NumberOfObjects 7\n"
       "Objects_Transparency 0.5\nObjects_SoftFocus 2\nObjects_Scale 3\n");
  ASSERT_EQ(scene.Far.Size(), 1u);
  ASSERT_EQ(scene.Mid.Size(), 2u);
  const ObjectEntry& first = *scene.Mid.First();
  EXPECT_FALSE(first.Shadeing);
  EXPECT_EQ(first.PositionMode, PositionMode::Sky);
  EXPECT_EQ(first.Scale, 1);  // the line before any entry was ignored
  EXPECT_FALSE(scene.Far.First()->Shadeing);
  EXPECT_EQ(scene.Far.First()->MixtureMode, MixtureMode::Add);
  const ObjectEntry& last = *scene.Mid.Last();
  EXPECT_TRUE(last.Shadeing);
  EXPECT_TRUE(last.Manual);
  EXPECT_EQ(last.Placement.Angle, 10);
  EXPECT_EQ(last.Placement.Height, 20);
  EXPECT_EQ(last.Placement.Distance, 0);
  EXPECT_EQ(last.OpaqueColor, MakePacked(44, 2, 3, 0));
  EXPECT_EQ(last.NumberOfObjects, 7);
  EXPECT_EQ(last.Transparency, 0.5L);
  EXPECT_EQ(last.SoftFocus, 2);
  EXPECT_EQ(last.Scale, 3);
}

TEST(SettingsRead, EntryOfNoGroupIsFilledButNeverKept) {
  SceneSettings scene;
  Read(scene,
       "Objects_CreateObject far\nObjects_Scale 2\nObjects_Filename pics\\tree.bmp\n"
       "Objects_Scale 3\n");
  EXPECT_TRUE(scene.Far.Empty() && scene.Mid.Empty() && scene.Near.Empty());
  EXPECT_EQ(scene, SceneSettings{});
}

// The reader reads no picture: every name stays as written, relative or
// absolute, with "\" as it is; entries and layers whose pictures are nowhere
// keep their place and every field, and say nothing (the preparation does).
TEST(SettingsRead, PictureNamesAreKeptAsWrittenAndNothingIsLookedFor) {
  SetProgramDirectory("/program");
  SceneSettings scene;
  const SettingsRead read = ReadSettingsBytes(
      "Ground_TextureFilename tex\\a.bmp\n"
      "Sky_TextureFilename C:\\Data\\sky.bmp\n"
      "Objects_CreateObject Near\nObjects_Filename /abs/tree.bmp\nObjects_Scale 9\n"
      "Objects_CreateObject Near\nObjects_Filename pics\\far.bmp\n"
      "Objects_CreateObject Far\nObjects_Filename D:\\old\\near.bmp\n"
      "Objects_CreateObject Far\nObjects_Filename\n",
      "/nowhere/scene.hm");
  EXPECT_EQ(read.status, ReadStatus::Complete);
  EXPECT_EQ(read.diagnostics, std::vector<Diagnostic>{});
  EXPECT_TRUE(read.scene.Ground.Enabled);
  EXPECT_EQ(read.scene.Ground.TextureFilename, "tex\\a.bmp");
  EXPECT_TRUE(read.scene.Ceiling.Enabled);
  EXPECT_EQ(read.scene.Ceiling.TextureFilename, "C:\\Data\\sky.bmp");
  // Without a Sky_OpaqueColor line the ceiling keeps the default key colour.
  EXPECT_EQ(read.scene.Ceiling.OpaqueColor, MakePacked(0, 0, 0, 255));
  ASSERT_EQ(read.scene.Near.Size(), 2u);
  EXPECT_EQ(read.scene.Near.First()->Filename, "/abs/tree.bmp");
  EXPECT_EQ(read.scene.Near.First()->Scale, 9);
  EXPECT_EQ(read.scene.Near.Last()->Filename, "pics\\far.bmp");
  ASSERT_EQ(read.scene.Far.Size(), 2u);
  EXPECT_EQ(read.scene.Far.First()->Filename, "D:\\old\\near.bmp");
  EXPECT_EQ(read.scene.Far.Last()->Filename, "");
}

TEST(SettingsRead, RunningOutOfEntriesStopsTheReading) {
  SettingsReadLimits limits;
  limits.maxObjectEntries = 2;
  const SettingsRead read = ReadSettingsBytes(
      "RandomSeed 1\nObjects_CreateObject Far\n"
      "Objects_CreateObject Mid\nObjects_CreateObject Near\n"
      "RandomSeed 2\n",
      "s.hm", limits);
  EXPECT_EQ(read.status, ReadStatus::OutOfMemory);
  ASSERT_EQ(read.diagnostics.size(), 1u);
  EXPECT_EQ(read.diagnostics[0].code, DiagnosticCode::ReadingStopped);
  EXPECT_EQ(read.diagnostics[0].line, 4);
  EXPECT_EQ(read.diagnostics[0].text,
            "more than 2 object entries; the reading stops here, the lines after it are not read");
  const SceneSettings& scene = read.scene;
  EXPECT_EQ(scene.RandomSeed, "1");
  EXPECT_EQ(scene.Far.Size() + scene.Mid.Size() + scene.Near.Size(), 2u);

  // Thousands of entries within the bound are fine.
  SceneSettings many;
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "Objects_CreateObject Near\nObjects_Filename x.bmp\n";
  for (int i = 0; i < 5000; ++i) text += "Objects_CreateObject Far\n";
  EXPECT_EQ(Read(many, text), ReadStatus::Complete);
  EXPECT_EQ(many.Far.Size(), 5000u);
  EXPECT_EQ(many.Near.Size(), 5000u);  // their pictures are no reader's business
}

TEST(SettingsRead, HugeLinesAreReadInBoundedTime) {
  SceneSettings scene;
  std::string text = "Gradation1_Positions";
  for (int i = 0; i < 2000000; ++i) text += " 0.5";
  text += "\nRandomSeed " + std::string(1 << 20, '7');
  EXPECT_EQ(Read(scene, text), ReadStatus::Complete);
  EXPECT_EQ(scene.Sky.Positions[15], 0.5L);
  EXPECT_EQ(scene.RandomSeed.size(), 1u << 20);
}

TEST(SettingsRead, FileErrorsNameTheFile) {
  TempDir dir;
  EXPECT_THROW(ReadSettings(dir / "missing.hm"), FileError);
  EXPECT_THROW(ReadSettings(dir.path()), FileError);
  WriteBytes(dir / "long.hm", std::string(2000, '#'));
  SettingsReadLimits limits;
  limits.maxFileBytes = 1000;
  try {
    ReadSettings(dir / "long.hm", limits);
    ADD_FAILURE();
  } catch (const FileError& e) {
    EXPECT_EQ(e.Path(), dir / "long.hm");
  }

  // A picture that exists but is no picture is none of the reader's business.
  WriteBytes(dir / "junk.bmp", "not a picture");
  WriteBytes(dir / "scene.hm",
             "RandomSeed 5\nObjects_CreateObject Far\nObjects_Filename junk.bmp\nRandomSeed 6\n"
             "Ground_TextureFilename junk.bmp\n");
  const SettingsRead read = ReadSettings(dir / "scene.hm");
  EXPECT_EQ(read.status, ReadStatus::Complete);
  EXPECT_EQ(read.scene.RandomSeed, "6");
  ASSERT_EQ(read.scene.Far.Size(), 1u);
  EXPECT_EQ(read.scene.Far.First()->Filename, "junk.bmp");
  EXPECT_EQ(read.scene.Ground.TextureFilename, "junk.bmp");
}

// ------------------------------------------------- round trips and pictures

TEST(SettingsRoundTrip, RestoresValuesAndEnabledLayers) {
  SceneSettings scene;
  scene.RandomSeed = "-42";
  scene.AirDepth = "abc";
  scene.Sky.Count = 4;
  scene.Sky.Colors[3] = FloatColour{0.1f, 1e-7f, FLT_MAX, 254.5f};
  scene.Sky.Positions[3] = 0.123456789012345678L;
  scene.Sky.Positions[5] = 0.7L;  // beyond Count: not written
  scene.Sun = {FloatColour{1, 2, 3, 4},
               FloatColour{5, 6, 7, 8},
               {0.3L, 0.9L},
               {1, 2, 3, 4},
               MixtureMode::Sub};
  scene.Stars = {7, "1000", "2.5"};
  scene.Ground.Enabled = true;
  scene.Ground.TextureFilename = "/nowhere/g.bmp";
  scene.Ground.Scale = "0.25";
  scene.Ground.ReflectionWarp = "3";
  scene.Ceiling.Enabled = false;
  scene.Ceiling.Scale = "9.0";  // a disabled layer is not written
  scene.Output = {{"640", "320"}, OutputFormat::Old, "out.jpg"};

  SceneSettings back;
  for (int t = 0; t <= 100; ++t) {
    scene.Ground.Reflection = t;
    back.Reset();
    Read(back, EncodeSettings(scene));
    ASSERT_EQ(back.Ground.Reflection, t);
  }
  EXPECT_EQ(back.RandomSeed, "-42");
  EXPECT_EQ(back.AirDepth, "abc");
  EXPECT_EQ(back.Sky.Count, 4);
  EXPECT_EQ(back.Sky.Colors, scene.Sky.Colors);
  EXPECT_EQ(back.Sky.Positions[3], 0.123456789012346L);  // 15 digits
  EXPECT_EQ(back.Sky.Positions[5], 0);
  EXPECT_EQ(back.Sun.CenterColor, scene.Sun.CenterColor);
  EXPECT_EQ(back.Sun.OuterColor, scene.Sun.OuterColor);
  EXPECT_EQ(back.Sun.Position.X, 0.3L);
  EXPECT_EQ(back.Sun.Position.Y, 0.9L);
  EXPECT_EQ(back.Sun.Slopes, scene.Sun.Slopes);
  EXPECT_EQ(back.Sun.MixtureMode, MixtureMode::Sub);
  EXPECT_EQ(back.Stars.OverSampling, 7);
  EXPECT_EQ(back.Stars.NumberOfStars, "1000");
  EXPECT_EQ(back.Stars.SizeOfStars, "2.5");
  EXPECT_TRUE(back.Ground.Enabled);
  EXPECT_EQ(back.Ground.TextureFilename, "/nowhere/g.bmp");
  EXPECT_EQ(back.Ground.Scale, "0.25");
  EXPECT_EQ(back.Ground.ReflectionWarp, "3");
  EXPECT_FALSE(back.Ceiling.Enabled);
  EXPECT_EQ(back.Ceiling.Scale, "1.0");
  EXPECT_EQ(back.Output.Resolution.Width, "640");
  EXPECT_EQ(back.Output.Resolution.Height, "320");
  EXPECT_EQ(back.Output.Format, OutputFormat::Old);
  EXPECT_EQ(back.Output.Filename, "out.jpg");

  scene.Ceiling = {true, "/nowhere/c.bmp", "2", MixtureMode::Add, MakePacked(9, 8, 7, 6), 0};
  for (int t = 0; t <= 100; ++t) {
    scene.Ceiling.Transparency = t;
    back.Reset();
    Read(back, EncodeSettings(scene));
    ASSERT_EQ(back.Ceiling.Transparency, t);
  }
  EXPECT_TRUE(back.Ceiling.Enabled);
  EXPECT_EQ(back.Ceiling.TextureFilename, "/nowhere/c.bmp");
  EXPECT_EQ(back.Ceiling.Scale, "2");
  EXPECT_EQ(back.Ceiling.MixtureMode, MixtureMode::Add);
  EXPECT_EQ(back.Ceiling.OpaqueColor, MakePacked(9, 8, 7, 6));
}

// A scene whose pictures are nowhere: every entry and name comes back as
// written, and the file written again is the file read.
TEST(SettingsRoundTrip, EntriesAndNamesOfPicturesFoundNowhere) {
  SceneSettings scene;
  const struct {
    ObjectGroup* group;
    const char* name;
    bool manual;
  } entries[] = {{&scene.Near, "C:\\OldPictures\\rock.bmp", false},
                 {&scene.Far, "D:\\trees\\tree.bmp", true},
                 {&scene.Far, "tree.bmp", false},
                 {&scene.Mid, "", false},
                 {&scene.Mid, "pics/sub/日本.png", false}};
  for (const auto& e : entries) {
    auto entry = NewObjectEntry();
    entry->Filename = e.name;
    entry->Manual = e.manual;
    if (e.manual) entry->Placement = {90, 10, 5};  // written for manual entries only
    entry->OpaqueColor = MakePacked(1, 2, 3, 255);
    e.group->Append(std::move(entry));
  }
  scene.Ground.Enabled = true;
  scene.Ground.TextureFilename = "\\\\server\\share\\ground.bmp";
  scene.Ceiling.Enabled = true;
  scene.Ceiling.TextureFilename = "clouds.png";
  const std::string bytes = EncodeSettings(scene);
  const SettingsRead read = ReadSettingsBytes(bytes);
  EXPECT_EQ(read.diagnostics, std::vector<Diagnostic>{});
  EXPECT_EQ(read.scene, scene);
  EXPECT_EQ(EncodeSettings(read.scene), bytes);
}

// Every example read, written and read again is the scene it was; those the
// writer wrote come back byte for byte (forest-lake.hm was written by hand,
// without the key colours the writer writes).
TEST(SettingsRoundTrip, TheExampleFilesComeBackAsTheyWere) {
  for (const auto& file :
       fs::directory_iterator(std::string(HORIZONMILL_SOURCE_DIR) + "/examples")) {
    if (file.path().extension() != ".hm") continue;
    const std::string bytes = ReadBytes(file.path().string());
    const SceneSettings scene = ReadSettingsBytes(bytes).scene;
    EXPECT_EQ(ReadSettingsBytes(EncodeSettings(scene)).scene, scene) << file.path();
    if (file.path().filename() != "forest-lake.hm") {
      EXPECT_EQ(EncodeSettings(scene), bytes) << file.path();
    }
  }
}

TEST(SettingsRead, AnInterruptStopsTheReading) {
  TempDir dir;
  const std::string text = "RandomSeed 1\nGround_TextureFilename p.bmp\n";
  WriteBytes(dir / "scene.hm", text);
  RequestInterrupt(SIGTERM);
  EXPECT_THROW(ReadSettings(dir / "scene.hm"), Interrupted);
  EXPECT_THROW(ReadSettingsBytes(text), Interrupted);
  RequestInterrupt(0);
}

}  // namespace
}  // namespace horizonmill
