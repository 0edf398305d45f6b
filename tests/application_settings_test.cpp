// The program's INI file: its keys, its name and where it lives.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "platform/ApplicationSettings.h"
#include "platform/FileError.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

TEST(ApplicationSettings, IniNameCutsAnExtensionAmongTheLastFourCharacters) {
  const std::pair<const char*, const char*> cases[] = {
      {"horizonmill", "horizonmill.INI"}, {"prog.exe", "prog.INI"},
      {"prog.exe.bak", "prog.exe.INI"},   {"a.b", "a.INI"},
      {"prog.long", "prog.long.INI"},     {"x.", "x.INI"},
  };
  for (const auto& [name, ini] : cases) EXPECT_EQ(IniNameForProgram(name), ini) << name;
}

TEST(ApplicationSettings, PathFromTheEnvironment) {
  ::setenv("HORIZONMILL_INI", "/portable/my.ini", 1);
  EXPECT_EQ(ApplicationIniPath("/usr/bin/horizonmill"), "/portable/my.ini");
  ::unsetenv("HORIZONMILL_INI");
  ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(ApplicationIniPath("/usr/bin/prog.exe.bak"), "/cfg/horizonmill/prog.exe.INI");
  ::setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
  ::setenv("HOME", "/home/u", 1);
  EXPECT_EQ(ApplicationIniPath("/usr/bin/horizonmill"),
            "/home/u/.config/horizonmill/horizonmill.INI");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(ApplicationIniPath("horizonmill"), "/home/u/.config/horizonmill/horizonmill.INI");
}

TEST(ApplicationSettings, MissingFileGivesTheDefaults) {
  TempDir dir;
  const ApplicationSettings s = ReadApplicationSettings(dir / "none.INI");
  EXPECT_EQ(s.OutputDir, "");
  EXPECT_EQ(s.QoraLTarget, "");
  EXPECT_EQ(s.JPEGQuality, 90);
  EXPECT_TRUE(s.AutoPreview);
  EXPECT_EQ(s.Language, "ja");
  EXPECT_EQ(ReadApplicationSettings(dir.Path()).JPEGQuality, 90);  // a folder: unreadable
}

// A known language in any case; anything else is Japanese, the default.
TEST(ApplicationSettings, LanguageRule) {
  TempDir dir;
  const std::pair<const char*, const char*> cases[] = {
      {"en", "en"}, {"EN", "en"}, {" En ", "en"},    {"ja", "ja"},   {"JA", "ja"},
      {"", "ja"},   {"de", "ja"}, {"english", "ja"}, {"en_US", "ja"}};
  for (const auto& [value, language] : cases) {
    WriteFile(dir / "h.INI", std::string("[Horizonmill]\r\nLanguage=") + value + "\r\n");
    EXPECT_EQ(ReadApplicationSettings(dir / "h.INI").Language, language) << value;
  }
  EXPECT_EQ(KnownLanguage("En"), "en");
  EXPECT_EQ(KnownLanguage("fr"), std::nullopt);
}

// Only "0" turns the automatic preview off; what the key holds otherwise
// leaves it on, as it is by default.
TEST(ApplicationSettings, AutoPreviewRule) {
  TempDir dir;
  const std::pair<const char*, bool> cases[] = {{"0", false}, {" 0 ", false}, {"1", true},
                                                {"", true},   {"off", true},  {"00", true}};
  for (const auto& [value, on] : cases) {
    WriteFile(dir / "h.INI", std::string("[Horizonmill]\r\nAutoPreview=") + value + "\r\n");
    EXPECT_EQ(ReadApplicationSettings(dir / "h.INI").AutoPreview, on) << value;
  }
}

TEST(ApplicationSettings, JpegQualityRule) {
  TempDir dir;
  const std::pair<const char*, int> cases[] = {
      {"0", 0}, {"55", 55}, {"-5", 90},   {"text", 90},        {"42A", 90},
      {"", 90}, {"+7", 7},  {"250", 100}, {"99999999999", 90},
  };
  for (const auto& [value, quality] : cases) {
    WriteFile(dir / "h.INI", std::string("[Horizonmill]\r\nJPEGQuality=") + value + "\r\n");
    EXPECT_EQ(ReadApplicationSettings(dir / "h.INI").JPEGQuality, quality) << value;
  }
}

TEST(ApplicationSettings, AnUpdateWritesOnlyItsKeysAndKeepsTheRest) {
  TempDir dir;
  const std::string ini = dir / "cfg/horizonmill/horizonmill.INI";  // folder created
  UpdateApplicationSettings(ini, {});  // nothing to write: no file, no folder
  UpdateApplicationSettings(ini, {{"QoraL_Target", std::nullopt}});  // nothing to delete
  EXPECT_FALSE(std::filesystem::exists(dir / "cfg"));
  UpdateApplicationSettings(ini, {{"OutputDir", "/out/"}});
  EXPECT_EQ(ReadFile(ini), "[Horizonmill]\r\nOutputDir=/out/\r\n");

  WriteFile(ini,
            "; mine\r\n[Horizonmill]\r\nTenjoDir=C:\\tex\\\r\nOutputDir=/old/\r\nJPEGQuality=70\r\n"
            "QoraL_Target=/host/QoraL2.ini\r\n[Other]\r\nx=1\r\n");
  UpdateApplicationSettings(ini, {{"OutputDir", "/new/"},
                                  {"SettingSaveDir", "/save/"},
                                  {"JPEGQuality", "0"},
                                  {"QoraL_Target", std::nullopt}});
  EXPECT_EQ(ReadFile(ini),
            "; mine\r\n[Horizonmill]\r\nTenjoDir=C:\\tex\\\r\nOutputDir=/new/\r\nJPEGQuality=0\r\n"
            "SettingSaveDir=/save/\r\n[Other]\r\nx=1\r\n");
  const ApplicationSettings back = ReadApplicationSettings(ini);
  EXPECT_EQ(back.TenjoDir, "C:\\tex\\");
  EXPECT_EQ(back.SettingSaveDir, "/save/");
  EXPECT_EQ(back.QoraLTarget, "");
  EXPECT_EQ(back.JPEGQuality, 0);
}

TEST(ApplicationSettings, NamesCp932CannotHoldTurnTheFileUtf8AndFailuresNameTheFile) {
  TempDir dir;
  const std::string ini = dir / "h.INI";
  WriteFile(ini, "[Horizonmill]\r\nOutputDir=/\x95\x5C/\r\n");
  UpdateApplicationSettings(ini, {{"ObjectDir", "/𠮷/"}});
  EXPECT_EQ(ReadFile(ini), "\xEF\xBB\xBF[Horizonmill]\r\nOutputDir=/表/\r\nObjectDir=/𠮷/\r\n");
  EXPECT_EQ(ReadApplicationSettings(ini).ObjectDir, "/𠮷/");

  WriteFile(dir / "file", "");
  try {
    UpdateApplicationSettings(dir / "file/h.INI", {{"JPEGQuality", "5"}});  // its folder is a file
    ADD_FAILURE() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.Path(), dir / "file/h.INI");
  }
}

// A program INI that a dotfile manager links from elsewhere stays a link:
// the file it points to gets the keys.
TEST(ApplicationSettings, AnUpdateWritesThroughALink) {
  TempDir dir;
  std::filesystem::create_directories(dir / "dotfiles");
  std::filesystem::create_directories(dir / "cfg");
  WriteFile(dir / "dotfiles/horizonmill.INI", "[Horizonmill]\r\nOutputDir=/old/\r\n");
  const std::string ini = dir / "cfg/horizonmill.INI";
  std::filesystem::create_symlink("../dotfiles/horizonmill.INI", ini);
  UpdateApplicationSettings(ini, {{"OutputDir", "/new/"}});
  EXPECT_TRUE(std::filesystem::is_symlink(ini));
  EXPECT_EQ(ReadFile(dir / "dotfiles/horizonmill.INI"), "[Horizonmill]\r\nOutputDir=/new/\r\n");
}

}  // namespace
}  // namespace horizonmill
