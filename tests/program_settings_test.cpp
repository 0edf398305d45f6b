// The program INI as a run sees it: read at start, saved by merging only the
// keys the run changed into the file as it then is.
#include <gtest/gtest.h>

#include "app/ProgramSettings.h"
#include "platform/FileError.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

TEST(ProgramSettings, ARunWritesOnlyWhatItChangedIntoTheFileAsItIsThen) {
  TempDir dir;
  const std::string ini = dir / "h.INI";
  WriteFile(ini,
            "; kept\r\n[Horizonmill]\r\nOutputDir=/a/\r\nQoraL_Target=/old/QoraL2.ini\r\n"
            "JPEGQuality=70\r\n");
  ProgramSettings run(ini);
  EXPECT_EQ(run.Values().QoraLTarget, "/old/QoraL2.ini");
  EXPECT_EQ(run.Values().JPEGQuality, 70);
  run.SetFolder(DialogFolder::Output, "/a/");  // as the file holds it: no change
  run.SetJpegQuality(70);
  EXPECT_FALSE(run.HasChanges());
  run.SetFolder(DialogFolder::GroundTexture, "/ground/");
  run.SetFolder(DialogFolder::Object, "");  // nothing chosen: nothing changes
  EXPECT_TRUE(run.HasChanges());

  // Another program (the command line) chooses a host and a folder meanwhile.
  UpdateApplicationSettings(ini, {{"QoraL_Target", "/new/QoraL2.ini"}, {"TenjoDir", "/sky/"}});
  run.Save();
  EXPECT_FALSE(run.HasChanges());
  EXPECT_EQ(ReadFile(ini),
            "; kept\r\n[Horizonmill]\r\nOutputDir=/a/\r\nQoraL_Target=/new/QoraL2.ini\r\n"
            "JPEGQuality=70\r\nTenjoDir=/sky/\r\nJimenDir=/ground/\r\n");

  // Saved once, a key is not written again unless the run changes it again.
  UpdateApplicationSettings(ini, {{"JimenDir", "/elsewhere/"}});
  run.SetFolder(DialogFolder::GroundTexture, "/ground/");
  run.Save();
  EXPECT_EQ(ReadApplicationSettings(ini).JimenDir, "/elsewhere/");

  // Forgetting the host removes its key.
  run.SetHostTarget("/new/QoraL2.ini");
  run.SetHostTarget("");
  run.Save();
  EXPECT_EQ(ReadApplicationSettings(ini).QoraLTarget, "");
  EXPECT_EQ(ReadFile(ini).find("QoraL_Target"), std::string::npos);
}

TEST(ProgramSettings, TheAutomaticPreviewIsWrittenWhenItChanges) {
  TempDir dir;
  const std::string ini = dir / "h.INI";
  ProgramSettings run(ini);
  EXPECT_TRUE(run.Values().AutoPreview);
  run.SetAutoPreview(true);  // as it is: nothing to write
  EXPECT_FALSE(run.HasChanges());
  run.SetAutoPreview(false);
  run.Save();
  EXPECT_EQ(ReadFile(ini), "[Horizonmill]\r\nAutoPreview=0\r\n");
  EXPECT_FALSE(ProgramSettings(ini).Values().AutoPreview);
  run.SetAutoPreview(true);
  run.Save();
  EXPECT_TRUE(ReadApplicationSettings(ini).AutoPreview);
  EXPECT_EQ(ReadFile(ini), "[Horizonmill]\r\nAutoPreview=1\r\n");
}

TEST(ProgramSettings, TheLanguageIsWrittenWhenItChanges) {
  TempDir dir;
  const std::string ini = dir / "h.INI";
  WriteFile(ini, "[Horizonmill]\r\nJPEGQuality=70\r\n");
  ProgramSettings run(ini);
  EXPECT_EQ(run.Values().Language, "ja");
  run.SetLanguage("ja");  // as it is: nothing to write
  EXPECT_FALSE(run.HasChanges());
  run.SetLanguage("en");
  run.Save();
  EXPECT_EQ(ReadFile(ini), "[Horizonmill]\r\nJPEGQuality=70\r\nLanguage=en\r\n");
  EXPECT_EQ(ProgramSettings(ini).Values().Language, "en");
  run.SetLanguage("ja");
  run.Save();
  EXPECT_EQ(ReadApplicationSettings(ini).Language, "ja");
}

TEST(ProgramSettings, AFailedSaveKeepsTheChangesForTheNextOne) {
  TempDir dir;
  WriteFile(dir / "config", "a file where the folder should be");
  const std::string ini = dir / "config/horizonmill/h.INI";
  ProgramSettings run(ini);
  EXPECT_EQ(run.Values().JPEGQuality, 90);
  run.SetJpegQuality(12);
  try {
    run.Save();
    ADD_FAILURE() << "saved into a file";
  } catch (const FileError& e) {
    EXPECT_EQ(e.Path(), ini);
  }
  EXPECT_TRUE(run.HasChanges());
  std::filesystem::remove(dir / "config");
  run.Save();  // the folder is made
  EXPECT_EQ(ReadApplicationSettings(ini).JPEGQuality, 12);

  // Without a file nothing is read or written.
  ProgramSettings none;
  none.SetHostTarget("/h.ini");
  none.Save();
  EXPECT_FALSE(none.HasChanges());
  EXPECT_EQ(none.Values().QoraLTarget, "/h.ini");
}

}  // namespace
}  // namespace horizonmill
