#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/Paths.h"
#include "scene/Diagnostic.h"
#include "scene/PictureSearch.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

// A scene folder with a picture beside it and in a sub-folder, a program
// folder, and two further folders: every rule of the search has a file to
// find, and a place where it must not look.
class PictureSearchTest : public ::testing::Test {
 protected:
  PictureSearchTest() {
    for (const char* folder : {"scene/tex", "program/tex", "first", "second"})
      fs::create_directories(dir_.Path() / folder);
    for (const char* file : {"scene/beside.bmp", "scene/tex/sub.bmp", "program/tex/prog.bmp",
                             "program/both.bmp", "scene/both.bmp", "first/far.bmp",
                             "second/far.bmp", "second/last.bmp", "scene/lonely.bmp"})
      testing::WriteFile(dir_ / file, "x");
    ::mkfifo((dir_ / "first/pipe.bmp").c_str(), 0600);
    fs::create_directories(dir_.Path() / "first/folder.bmp");
    saved_ = ProgramDirectory();
    SetProgramDirectory(dir_ / "program");
  }
  ~PictureSearchTest() override { SetProgramDirectory(saved_); }

  TempDir dir_;
  std::string saved_;
};

TEST_F(PictureSearchTest, NamesAreFoundInTheOrderOfTheRule) {
  const PictureSearch search(dir_ / "scene", {dir_ / "first", dir_ / "second"});
  const struct {
    std::string name;
    std::string found;  // empty: nowhere
  } cases[] = {
      {"beside.bmp", dir_ / "scene/beside.bmp"},
      {"tex\\sub.bmp", dir_ / "scene/tex/sub.bmp"},  // "\" read as "/"
      {"tex/prog.bmp", dir_ / "program/tex/prog.bmp"},
      {"both.bmp", dir_ / "scene/both.bmp"},  // beside the scene before the program
      {dir_ / "program/both.bmp", dir_ / "program/both.bmp"},  // absolute: as it is
      {"C:\\Windows\\lonely.bmp", dir_ / "scene/lonely.bmp"},  // its last component
      {"elsewhere/far.bmp", dir_ / "first/far.bmp"},           // the first folder first
      {"D:\\last.bmp", dir_ / "second/last.bmp"},
      {"pipe.bmp", ""},    // no regular file
      {"folder.bmp", ""},  // nor a folder
      {"nowhere.bmp", ""},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(search.Find(c.name).value_or(""), c.found) << "\"" << c.name << "\"";

  // Without the scene's folder only the program's and the further folders count.
  const PictureSearch noScene("", {dir_ / "second"});
  EXPECT_EQ(noScene.Find("beside.bmp"), std::nullopt);
  EXPECT_EQ(noScene.Find("tex/prog.bmp").value_or(""), dir_ / "program/tex/prog.bmp");
  EXPECT_EQ(noScene.Find("far.bmp").value_or(""), dir_ / "second/far.bmp");
}

TEST_F(PictureSearchTest, TheSettingsFolderIsAbsolute) {
  const fs::path saved = fs::current_path();
  fs::current_path(dir_.Path());
  EXPECT_EQ(SettingsFolder("scene/a.hm"), (dir_.Path() / "scene").string());
  fs::current_path(saved);
  EXPECT_EQ(SettingsFolder(dir_ / "scene/a.hm"), dir_ / "scene");
}

TEST(Diagnostic, WhereAndHowTheCommandLinePrintsIt) {
  Diagnostic line;
  line.file = "scene.hm";
  line.line = 12;
  line.text = "unknown key \"Foo\"; the line is skipped";
  EXPECT_EQ(FormatDiagnostic(line, "other.hm"),
            "scene.hm:12: warning: unknown key \"Foo\"; the line is skipped");

  const Diagnostic entry =
      EntryDiagnostic(DiagnosticCode::MissingPicture, GroupId::Mid, 1, "trees.bmp", "not found");
  EXPECT_EQ(FormatDiagnostic(entry, "scene.hm"), "scene.hm: middle object 2: warning: not found");
  EXPECT_EQ(DiagnosticWhere(entry), "middle object 2");

  const Diagnostic ground = TextureDiagnostic(DiagnosticCode::MissingPicture,
                                              PictureKind::GroundTexture, "water.bmp", "gone");
  EXPECT_EQ(FormatDiagnostic(ground, "s.hm"), "s.hm: ground texture: warning: gone");
  const Diagnostic ceiling =
      TextureDiagnostic(DiagnosticCode::PictureRefused, PictureKind::CeilingTexture, "c", "big");
  EXPECT_EQ(DiagnosticWhere(ceiling), "ceiling texture");

  Diagnostic none;
  none.text = "nothing";
  EXPECT_EQ(FormatDiagnostic(none), "warning: nothing");
  EXPECT_EQ(FormatDiagnostic(none, "s.hm"), "s.hm: warning: nothing");  // the render's
  none.file = "a.bmp";
  EXPECT_EQ(FormatDiagnostic(none), "a.bmp: warning: nothing");

  PictureKind kind{};
  EXPECT_TRUE(IsAboutPicture(entry, &kind));
  EXPECT_EQ(kind, PictureKind::Object);
  EXPECT_TRUE(IsAboutPicture(ceiling, &kind));
  EXPECT_EQ(kind, PictureKind::CeilingTexture);
  EXPECT_FALSE(IsAboutPicture(line));
}

}  // namespace
}  // namespace horizonmill
