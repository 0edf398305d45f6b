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

// A w x h picture file whose first pixel is red and the others blue.
void WritePicture(const std::string& path, int w, int h) {
  WorkBitmap bitmap(w, h);
  FillWorkBitmap(bitmap, BgrPixel{255, 0, 0});
  bitmap.Row(0)[0] = BgrPixel{0, 0, 255};
  SaveAsBmp(bitmap, path);
}

// The headers of a 24-bit picture of w x h pixels, without its pixels.
std::string PictureHeader(std::int32_t w, std::int32_t h) {
  std::string b = "BM";
  auto put = [&](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b += static_cast<char>(v >> (8 * i));
  };
  put(54, 4), put(0, 4), put(54, 4);                        // file size, reserved, bits offset
  put(40, 4), put(w, 4), put(h, 4), put(1, 2), put(24, 2);  // info header
  for (int i = 0; i < 6; ++i) put(0, 4);
  return b;
}

struct Question {
  PictureKind kind;
  std::string message, preset;
};

// Answers the picture questions from a list (nothing left: cancel); files exist
// on disk, or only those in `existing` when that is set.
class FakeHost : public SettingsReaderHost {
 public:
  std::optional<std::string> AskForPicture(PictureKind kind, const std::string& message,
                                           std::string_view preset) override {
    questions.push_back({kind, message, std::string(preset)});
    if (answers.empty()) return std::nullopt;
    std::string answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  bool PictureExists(const std::string& path) override {
    looked_at.push_back(path);
    return existing ? existing->count(path) > 0 : SettingsReaderHost::PictureExists(path);
  }
  void Beep() override { ++beeps; }
  void MessageBox(std::string_view text) override { messages.emplace_back(text); }
  void GroupsChanged() override { ++group_changes; }
  void PictureRefused(PictureKind, std::string_view reason) override {
    refusals.emplace_back(reason);
  }
  void Warning(const SettingsWarning& warning) override { warnings.push_back(warning); }

  std::vector<std::string> answers;
  std::optional<std::set<std::string>> existing;
  std::vector<Question> questions;
  std::vector<std::string> looked_at, messages, refusals;
  std::vector<SettingsWarning> warnings;
  int beeps = 0, group_changes = 0;
};

// Reads text with no files anywhere and every question cancelled.
ReadStatus Read(SceneSettings& scene, std::string_view text) {
  FakeHost host;
  host.existing.emplace();
  return ReadSettingsBytes(scene, text, "", host);
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
  FakeHost host;
  host.existing = std::set<std::string>{};
  ReadSettingsBytes(scene,
                    "Objects_Scale 5\nObjects_Shadeing False\n"  // no entry yet: nothing
                    "Objects_CreateObject Mid\nObjects_Shadeing true\nObjects_PositionMode ground\n"
                    "Objects_CreateObject Far\nObjects_Shadeing True x\nObjects_MixtureMode Add\n"
                    "Objects_CreateObject Mid\nObjects_Shadeing=True\nObjects_Manual 10 20\n"
                    "Objects_OpaqueColor 300 2 3\nObjects_NumberOfObjects 7\n"
                    "Objects_Transparency 0.5\nObjects_SoftFocus 2\nObjects_Scale 3\n",
                    "", host);
  ASSERT_EQ(scene.Far.Size(), 1u);
  ASSERT_EQ(scene.Mid.Size(), 2u);
  EXPECT_EQ(host.group_changes, 3);
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
  FakeHost host;
  host.existing = std::set<std::string>{};
  SetProgramDirectory("/program");
  ReadSettingsBytes(scene,
                    "Objects_CreateObject far\nObjects_Scale 2\nObjects_Filename pics\\tree.bmp\n"
                    "Objects_Scale 3\n",
                    "", host);
  EXPECT_TRUE(scene.Far.Empty() && scene.Mid.Empty() && scene.Near.Empty());
  // Its picture is still looked for, and asked about.
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0].kind, PictureKind::Object);
  EXPECT_EQ(host.questions[0].message,
            "オブジェクトファイル tree.bmp がありません。代わりを指定してください");
  EXPECT_EQ(host.questions[0].preset, "tree.bmp");
  EXPECT_EQ(host.looked_at, std::vector<std::string>{"/program/pics/tree.bmp"});
  EXPECT_EQ(host.group_changes, 0);
}

TEST(SettingsRead, PicturesAreLookedForBesideTheFileThenInTheProgramFolderThenAsked) {
  SetProgramDirectory("/program");
  TempDir dir;
  fs::create_directory(dir / "pics");
  WritePicture(dir / "pics/far.bmp", 2, 1);
  WritePicture(dir / "near.bmp", 2, 1);
  const std::string& beside = dir.path();
  SceneSettings scene;
  FakeHost host;
  host.answers = {"/chosen/g.bmp"};
  ReadSettingsBytes(scene,
                    "Ground_TextureFilename tex\\a.bmp\n"
                    "Sky_TextureFilename C:\\Data\\sky.bmp\n"
                    "Objects_CreateObject Near\nObjects_Filename /abs/tree.bmp\nObjects_Scale 9\n"
                    "Objects_CreateObject Near\nObjects_Filename pics\\far.bmp\n"
                    "Objects_CreateObject Far\nObjects_Filename D:\\old\\near.bmp\n",
                    beside, host);
  const std::vector<std::string> looked_at = {
      // Beside the file (the whole relative name), in the program folder, the
      // last component beside the file; then the question, answered from /chosen.
      beside + "/tex/a.bmp", "/program/tex/a.bmp", beside + "/a.bmp",
      "/chosen/g.bmp",  // not there after all: not loaded
      // A drive-letter name is no relative name; the folder of the user's
      // choice comes after the file's own.
      "C:\\Data\\sky.bmp", beside + "/sky.bmp", "/chosen/sky.bmp",  // then asked, cancelled
      "C:\\Data\\sky.bmp",                                          // the unresolved path is kept
      "/abs/tree.bmp", beside + "/tree.bmp", "/chosen/tree.bmp",    // asked, cancelled
      beside + "/pics/far.bmp",                                     // found in a sub-folder
      // The user's folder does not replace the file's own.
      "D:\\old\\near.bmp", beside + "/near.bmp"};
  EXPECT_EQ(host.looked_at, looked_at);
  ASSERT_EQ(host.questions.size(), 3u);
  EXPECT_EQ(host.questions[0].kind, PictureKind::GroundTexture);
  EXPECT_EQ(host.questions[0].message,
            "地面テクスチャファイル a.bmp がありません。代わりを指定してください");
  EXPECT_EQ(host.questions[1].message,
            "天井テクスチャファイル sky.bmp がありません。代わりを指定してください");
  EXPECT_EQ(host.questions[2].preset, "tree.bmp");
  EXPECT_TRUE(scene.Ground.Enabled);
  EXPECT_EQ(scene.Ground.TextureFilename, "/chosen/g.bmp");
  // A cancelled texture still enables its layer and keeps the unresolved
  // path, which then renders as the "無" tile.
  EXPECT_TRUE(scene.Ceiling.Enabled);
  EXPECT_EQ(scene.Ceiling.TextureFilename, "C:\\Data\\sky.bmp");
  EXPECT_FALSE(scene.Ceiling.Texture);
  ASSERT_TRUE(CheckLayerTexture(scene.Ceiling.TextureFilename, scene.Ceiling.Texture));
  EXPECT_EQ(scene.Ceiling.Texture->width, 16);
  // A cancelled object picture removes its entry, and entry lines are ignored
  // until the next entry.
  ASSERT_EQ(scene.Near.Size(), 1u);
  EXPECT_EQ(scene.Near.First()->Filename, beside + "/pics/far.bmp");
  ASSERT_EQ(scene.Far.Size(), 1u);
  EXPECT_EQ(scene.Far.First()->Filename, beside + "/near.bmp");
  // Each picture found nowhere is a warning, after the host's answer.
  ASSERT_EQ(host.warnings.size(), 2u);
  EXPECT_EQ(host.warnings[0].line, 2);
  EXPECT_EQ(host.warnings[0].kind, SettingsWarningKind::MissingPicture);
  EXPECT_EQ(host.warnings[0].message,
            "ceiling texture \"C:\\Data\\sky.bmp\" not found; the layer shows the missing-picture "
            "tile \"無\"");
  EXPECT_EQ(host.warnings[1].line, 4);
  EXPECT_EQ(host.warnings[1].message,
            "object picture \"/abs/tree.bmp\" not found; the object is left out");
}

TEST(SettingsRead, RunningOutOfEntriesStopsTheReading) {
  SceneSettings scene;
  FakeHost host;
  SettingsReadLimits limits;
  limits.maxObjectEntries = 2;
  const auto status = ReadSettingsBytes(scene,
                                        "RandomSeed 1\nObjects_CreateObject Far\n"
                                        "Objects_CreateObject Mid\nObjects_CreateObject Near\n"
                                        "RandomSeed 2\n",
                                        "", host, limits);
  EXPECT_EQ(status, ReadStatus::OutOfMemory);
  EXPECT_EQ(host.beeps, 1);
  EXPECT_EQ(host.messages, std::vector<std::string>{"メモリーが尽きました。"});
  EXPECT_EQ(scene.RandomSeed, "1");
  EXPECT_EQ(scene.Far.Size() + scene.Mid.Size() + scene.Near.Size(), 2u);

  // Thousands of entries within the bound are fine.
  SceneSettings many;
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "Objects_CreateObject Near\nObjects_Filename x.bmp\n";
  for (int i = 0; i < 5000; ++i) text += "Objects_CreateObject Far\n";
  EXPECT_EQ(Read(many, text), ReadStatus::Complete);
  EXPECT_EQ(many.Far.Size(), 5000u);
  EXPECT_TRUE(many.Near.Empty());
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

TEST(SettingsRead, FileErrorsNameTheFileAndKeepWhatWasRead) {
  TempDir dir;
  SceneSettings scene;
  scene.Ground.Enabled = true;
  FakeHost host;
  EXPECT_THROW(ReadSettings(scene, dir / "missing.hm", host), FileError);
  EXPECT_THROW(ReadSettings(scene, dir.path(), host), FileError);
  WriteBytes(dir / "long.hm", std::string(2000, '#'));
  SettingsReadLimits limits;
  limits.maxFileBytes = 1000;
  try {
    ReadSettings(scene, dir / "long.hm", host, limits);
    ADD_FAILURE();
  } catch (const FileError& e) {
    EXPECT_EQ(e.Path(), dir / "long.hm");
  }
  EXPECT_TRUE(scene.Ground.Enabled);  // nothing was applied

  // A picture that exists but is no picture ends the reading there.
  WriteBytes(dir / "junk.bmp", "not a picture");
  WriteBytes(dir / "scene.hm",
             "RandomSeed 5\nObjects_CreateObject Far\nObjects_Filename junk.bmp\nRandomSeed 6\n");
  try {
    ReadSettings(scene, dir / "scene.hm", host);
    ADD_FAILURE();
  } catch (const FileError& e) {
    EXPECT_EQ(e.Path(), dir / "junk.bmp");
  }
  EXPECT_EQ(scene.RandomSeed, "5");
  ASSERT_EQ(scene.Far.Size(), 1u);
  EXPECT_EQ(scene.Far.First()->Filename, dir / "junk.bmp");
  EXPECT_FALSE(scene.Far.First()->Image);
  EXPECT_TRUE(host.questions.empty());

  SceneSettings textured;
  WriteBytes(dir / "scene.hm", "Ground_TextureFilename junk.bmp\nRandomSeed 6\n");
  EXPECT_THROW(ReadSettings(textured, dir / "scene.hm", host), FileError);
  EXPECT_TRUE(textured.Ground.Enabled);
  EXPECT_EQ(textured.Ground.TextureFilename, dir / "junk.bmp");
  EXPECT_EQ(textured.RandomSeed, "65536");
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

  scene.Ceiling = {true, "/nowhere/c.bmp", "2", MixtureMode::Add, MakePacked(9, 8, 7, 6),
                   0,    nullptr};
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

// Pictures beside the settings file are found wherever the file names them.
TEST(SettingsRoundTrip, ObjectsWithTheirPicturesAndTextures) {
  TempDir dir;
  WritePicture(dir / "tree.bmp", 3, 2);
  WritePicture(dir / "rock.bmp", 1, 1);
  WritePicture(dir / "ground.bmp", 4, 4);
  WriteBytes(dir / "scene.hm",
             "Objects_CreateObject Near\nObjects_Filename C:\\OldPictures\\rock.bmp\n"
             "Objects_CreateObject Far\nObjects_Filename D:\\trees\\tree.bmp\n"
             "Objects_Manual 90 10 5\nObjects_PositionMode Sky\nObjects_OpaqueColor 1 2 3 255\n"
             "Objects_CreateObject Far\nObjects_Filename tree.bmp\nObjects_Scale 0.5\n"
             "Ground_TextureFilename \\\\server\\share\\ground.bmp\n");
  SceneSettings scene;
  FakeHost host;
  ASSERT_EQ(ReadSettings(scene, dir / "scene.hm", host), ReadStatus::Complete);
  EXPECT_TRUE(host.questions.empty());
  ASSERT_EQ(scene.Far.Size(), 2u);
  ASSERT_EQ(scene.Near.Size(), 1u);
  const ObjectEntry& tree = *scene.Far.First();
  EXPECT_EQ(tree.Filename, dir / "tree.bmp");
  ASSERT_TRUE(tree.Image);
  EXPECT_EQ(tree.Image->width, 3);
  EXPECT_EQ(tree.Image->height, 2);
  EXPECT_EQ(tree.Image->Row(0)[0], MakePacked(255, 0, 0, 255));
  ASSERT_TRUE(scene.Ground.Texture);
  EXPECT_EQ(scene.Ground.Texture->width, 4);
  EXPECT_EQ(scene.Ground.TextureFilename, dir / "ground.bmp");

  SceneSettings back;
  ASSERT_EQ(ReadSettingsBytes(back, EncodeSettings(scene), "", host), ReadStatus::Complete);
  EXPECT_EQ(EncodeSettings(back), EncodeSettings(scene));
  ASSERT_EQ(back.Far.Size(), 2u);
  const ObjectEntry& manual = *back.Far.First();
  EXPECT_TRUE(manual.Manual);
  EXPECT_EQ(manual.Placement.Angle, 90);
  EXPECT_EQ(manual.PositionMode, PositionMode::Sky);
  EXPECT_EQ(manual.OpaqueColor, MakePacked(1, 2, 3, 255));
  EXPECT_EQ(back.Far.Last()->Scale, 0.5L);
  EXPECT_TRUE(back.Far.Last()->Image);
}

// Three 10 x 10 pictures under a budget that holds two and not the third: each
// needs 720 bytes while it loads (ten 32-byte rows of 24 bits, 400 bytes of
// PixelImage) and holds 400 once loaded.
TEST(SettingsRead, ThePictureBudgetRefusesThePictureThatCrossesIt) {
  TempDir dir;
  WritePicture(dir / "p.bmp", 10, 10);
  SettingsReadLimits limits;
  limits.pictureBudget = 400 + 400 + 720 - 1;
  const std::string ground = "Ground_TextureFilename p.bmp\n",
                    ceiling = "Sky_TextureFilename p.bmp\n",
                    object = "Objects_CreateObject Mid\nObjects_Filename p.bmp\n";
  const struct {
    std::string lines;
    ReadStatus status;
    std::vector<std::string> messages;
  } cases[] = {
      // A texture crosses it: reported, and the reading goes on.
      {ground + object + ceiling,
       ReadStatus::Complete,
       {"天井テクスチャ用のメモリーが確保できませんでした。"}},
      // An object crosses it: its entry goes and the reading stops.
      {ground + ceiling + object, ReadStatus::OutOfMemory, {"メモリーがないいい！"}},
      // A picture replaced or dropped gives its part back.
      {ground + ground + ground + object + "Objects_Filename gone.bmp\n" + ceiling,
       ReadStatus::Complete,
       {}},
  };
  for (const auto& c : cases) {
    WriteBytes(dir / "scene.hm", c.lines + "RandomSeed 1\n");
    SceneSettings scene;
    FakeHost host;
    EXPECT_EQ(ReadSettings(scene, dir / "scene.hm", host, limits), c.status) << c.lines;
    EXPECT_EQ(host.messages, c.messages) << c.lines;
    EXPECT_EQ(scene.RandomSeed, c.status == ReadStatus::Complete ? "1" : "65536");
    if (c.status == ReadStatus::OutOfMemory) {
      EXPECT_EQ(host.refusals,
                std::vector<std::string>{
                    dir / "p.bmp" +
                    ": the pictures' memory budget of 1.5 KiB does not admit this picture of 10 "
                    "x 10 pixels: it needs 720 bytes while it is loaded, and the scene's pictures "
                    "before it hold 800 bytes"});
    }
  }
}

TEST(SettingsRead, AnInterruptStopsTheReading) {
  TempDir dir;
  const std::string text = "RandomSeed 1\nGround_TextureFilename p.bmp\n";
  WriteBytes(dir / "scene.hm", text);
  RequestInterrupt(SIGTERM);
  SceneSettings scene;
  FakeHost host;
  EXPECT_THROW(ReadSettings(scene, dir / "scene.hm", host), Interrupted);
  EXPECT_THROW(ReadSettingsBytes(scene, text, "", host), Interrupted);
  RequestInterrupt(0);
  EXPECT_EQ(scene.RandomSeed, "65536");
  EXPECT_FALSE(scene.Ground.Enabled);
}

TEST(SettingsRead, PicturesTooLargeForMemory) {
  TempDir dir;
  WriteBytes(dir / "wide.bmp", PictureHeader(70000, 1));  // a side above 65535
  WriteBytes(dir / "scene.hm",
             "Ground_TextureFilename wide.bmp\nSky_TextureFilename wide.bmp\nRandomSeed 1\n"
             "Objects_CreateObject Far\nObjects_Filename wide.bmp\nRandomSeed 2\n");
  SceneSettings scene;
  FakeHost host;
  EXPECT_EQ(ReadSettings(scene, dir / "scene.hm", host), ReadStatus::OutOfMemory);
  // The textures are reported and the reading goes on; the object stops it.
  EXPECT_EQ(host.messages,
            (std::vector<std::string>{"地面テクスチャ用のメモリーが確保できませんでした。",
                                      "天井テクスチャ用のメモリーが確保できませんでした。",
                                      "メモリーがないいい！"}));
  EXPECT_EQ(host.beeps, 3);
  EXPECT_TRUE(scene.Ground.Enabled);
  EXPECT_EQ(scene.RandomSeed, "1");
  EXPECT_TRUE(scene.Far.Empty());
}

}  // namespace
}  // namespace horizonmill

namespace horizonmill {
namespace {

// Finds every picture where it is named, and counts the lookups.
class PlainHost : public SettingsReaderHost {
 public:
  std::function<void(const std::string&)> onLookup;
  std::optional<std::string> AskForPicture(PictureKind, const std::string&,
                                           std::string_view) override {
    return std::nullopt;
  }
  bool PictureExists(const std::string& path) override {
    if (onLookup) onLookup(path);
    return SettingsReaderHost::PictureExists(path);
  }
};

// A picture that many entries name is read from its file once: the file
// spoilt after the first entry has read it reaches none of the others, and
// each entry still holds a picture of its own, holes and all.
TEST(SettingsFile, APictureManyEntriesNameIsDecodedOnce) {
  const struct {
    int entries;
    bool dropBetween;  // an entry whose picture is missing comes between them
    bool cutOut;       // a PNG with a transparent pixel instead of a BMP
  } cases[] = {{2, false, false}, {30, false, false}, {3, true, false}, {3, false, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entries);
    TempDir dir;
    const std::string name = c.cutOut ? "tree.png" : "tree.bmp";
    if (c.cutOut) {
      testing::RgbaPicture tree{3, 2, std::vector<PackedColour>(6, MakePacked(10, 90, 20, 255))};
      tree.At(1, 0) = MakePacked(0, 0, 0, 0);
      WriteBytes(dir / name, testing::EncodePngLayout(tree, {PNG_COLOR_TYPE_RGBA, 8}));
    } else {
      WritePicture(dir / name, 3, 2);
    }
    std::string text;
    for (int i = 0; i < c.entries; ++i) {
      text += "Objects_CreateObject Far\r\nObjects_Filename " + name + "\r\n";
      if (c.dropBetween && i == 0)
        text += "Objects_CreateObject Far\r\nObjects_Filename gone.bmp\r\n";
    }
    WriteBytes(dir / "scene.hm", text);
    PlainHost host;
    int lookups = 0;
    host.onLookup = [&](const std::string& path) {
      if (path.ends_with(name) && ++lookups == 2) WriteBytes(path, "no picture at all");
    };
    SceneSettings scene;
    ASSERT_EQ(ReadSettings(scene, dir / "scene.hm", host), ReadStatus::Complete);
    ASSERT_EQ(scene.Far.Size(), static_cast<std::size_t>(c.entries));
    const PixelImage* first = nullptr;
    for (const ObjectEntry& entry : scene.Far) {
      ASSERT_TRUE(entry.Image);
      EXPECT_EQ(entry.Image->width, 3);
      EXPECT_EQ(entry.Image->height, 2);
      EXPECT_NE(entry.Image.get(), first);
      EXPECT_EQ(entry.Image->holes != nullptr, c.cutOut);
      if (c.cutOut) {
        for (int y = 0; y < 2; ++y)
          for (int x = 0; x < 3; ++x) EXPECT_EQ(entry.Image->IsHole(x, y), x == 1 && y == 0);
      }
      if (first) {
        EXPECT_TRUE(std::equal(first->pixels, first->pixels + 6, entry.Image->pixels));
      }
      first = entry.Image.get();
    }
  }
}

}  // namespace
}  // namespace horizonmill
