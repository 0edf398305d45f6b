// Listing and removing registered backgrounds in a host installation built in
// a temporary folder.
#include <gtest/gtest.h>

#include "output/RegisteredBackgrounds.h"
#include "support/TestHost.h"

namespace horizonmill {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::RecordingRegistrationHost;
using testing::Snapshot;
using testing::TestHost;
using testing::WriteFile;

// The host's own Back20, and ours Back21 (BMP), Back22 (JPEG), Back23 (BMP)
// with their pictures.
struct ThreeRegistered : TestHost {
  ThreeRegistered() {
    WriteHostIni(
        "[Menu]\r\nBGMax=23\r\nBack20=host,c_host,host\r\nBack21=a,c_a,a\r\nBack22=b,c_b,b\r\n"
        "Back23=c,c_c,c\r\n\r\n[Other]\r\nx=1\r\n");
    WriteFile(Bg("Horizonmill_mng.ini"),
              "[BACKMANAGEMENT]\r\nBack21=a,c_a.bmp,a.bmp\r\nBack22=b,c_b.bmp,b.jpg\r\n"
              "Back23=c,c_c.bmp,c.bmp\r\n");
    for (const char* name : {"a", "b", "c"}) {
      WriteFile(Bg(std::string("c_") + name + ".bmp"), "catalog");
      WriteFile(Bg(std::string(name) + (name == std::string("b") ? ".jpg" : ".bmp")), "picture");
      WriteFile(D3d(std::string(name) + ".jpg"), "texture");
    }
    folders = HostFolders{hostIni, "bg", "d3d"};
  }
  HostFolders folders;
};

std::vector<std::string> Keys(const std::vector<RegisteredBackground>& records) {
  std::vector<std::string> keys;
  keys.reserve(records.size());
  for (const auto& r : records)
    keys.push_back(r.Key + "=" + r.Alias + "," + r.CatalogFile + "," + r.PictureFile);
  return keys;
}

TEST(RegisteredBackgrounds, ListedFromTheSmallestEntryUpToTheFirstGap) {
  ThreeRegistered t;
  RecordingRegistrationHost ui;
  EXPECT_EQ(Keys(ReadRegisteredBackgrounds(t.folders, ui)),
            (std::vector<std::string>{"Back21=a,c_a.bmp,a.bmp", "Back22=b,c_b.bmp,b.jpg",
                                      "Back23=c,c_c.bmp,c.bmp"}));
  EXPECT_EQ(CatalogPicturePath(t.folders, ReadRegisteredBackgrounds(t.folders, ui).at(1)),
            fs::path(t.Bg("c_b.bmp")));

  // Keys in any order and case; empty values and "Back07" (no "Back%d" key)
  // do not count; Back25 lies after a gap.
  WriteFile(t.Bg("Horizonmill_mng.ini"),
            "[BACKMANAGEMENT]\nBack0=\nBack07=x,c_x.bmp,x.bmp\nBack25=e,c_e.bmp,e.bmp\n"
            "back12=b,c_b.bmp,b.bmp\nBACK11=a,c_a.bmp,a.bmp\nBack13=only alias\n");
  EXPECT_EQ(Keys(ReadRegisteredBackgrounds(t.folders, ui)),
            (std::vector<std::string>{"Back11=a,c_a.bmp,a.bmp", "Back12=b,c_b.bmp,b.bmp",
                                      "Back13=only alias,,"}));
  EXPECT_TRUE(ui.events.empty());

  // No management file: its path is the message; no records.
  fs::remove(t.Bg("Horizonmill_mng.ini"));
  EXPECT_TRUE(ReadRegisteredBackgrounds(t.folders, ui).empty());
  EXPECT_EQ(ui.events, std::vector<std::string>{t.Bg("Horizonmill_mng.ini")});
}

TEST(RegisteredBackgrounds, DeletingBack22MovesBack23UpEverywhere) {
  ThreeRegistered t;
  RecordingRegistrationHost ui;
  auto records = ReadRegisteredBackgrounds(t.folders, ui);
  EXPECT_EQ(DeleteRegisteredBackground(t.folders, records, 1, ui), RemovalResult::Removed);
  EXPECT_EQ(ui.events, std::vector<std::string>{"? 背景「b」を削除します。よろしいですか？"});
  EXPECT_EQ(
      ReadFile(t.hostIni),
      "[QORA-L2]\r\nBGDir=bg\r\n[Direct3D]\r\nBGDir=d3d\r\n[Menu]\r\nBGMax=22\r\n"
      "Back20=host,c_host,host\r\nBack21=a,c_a,a\r\nBack22=c,c_c,c\r\n\r\n[Other]\r\nx=1\r\n");
  EXPECT_EQ(ReadFile(t.Bg("Horizonmill_mng.ini")),
            "[BACKMANAGEMENT]\r\nBack21=a,c_a.bmp,a.bmp\r\nBack22=c,c_c.bmp,c.bmp\r\n");
  EXPECT_EQ(Keys(records),
            (std::vector<std::string>{"Back21=a,c_a.bmp,a.bmp", "Back22=c,c_c.bmp,c.bmp"}));
  for (const char* gone : {"bg/b.jpg", "bg/c_b.bmp", "d3d/b.jpg"})
    EXPECT_FALSE(fs::exists(t.dir / (std::string("qoral2/") + gone))) << gone;
  EXPECT_EQ(Snapshot(t.dir.Path() / "qoral2/bg").size(), 5u);  // a and c, mng

  // A second deletion in the same showing uses the renumbered key: the last one.
  EXPECT_EQ(DeleteRegisteredBackground(t.folders, records, 1, ui), RemovalResult::Removed);
  EXPECT_NE(ReadFile(t.hostIni).find(
                "[Menu]\r\nBGMax=21\r\nBack20=host,c_host,host\r\nBack21=a,c_a,a\r\n\r\n"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(t.D3d("c.jpg")));
}

TEST(RegisteredBackgrounds, DeletingTheOnlyOneLeavesNoManagementEntry) {
  ThreeRegistered t;
  // Back21 and Back23 with a gap: only Back21 is listed, and the section is
  // written from the list, so Back23 is no longer recorded.
  WriteFile(t.Bg("Horizonmill_mng.ini"),
            "[BACKMANAGEMENT]\r\nBack21=a,c_a.bmp,a.bmp\r\nBack23=c,c_c.bmp,c.bmp\r\n");
  RecordingRegistrationHost ui;
  auto records = ReadRegisteredBackgrounds(t.folders, ui);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(DeleteRegisteredBackground(t.folders, records, 0, ui), RemovalResult::Removed);
  EXPECT_TRUE(records.empty());
  EXPECT_EQ(ReadFile(t.Bg("Horizonmill_mng.ini")), "");
  EXPECT_NE(ReadFile(t.hostIni).find(
                "BGMax=22\r\nBack20=host,c_host,host\r\nBack21=b,c_b,b\r\nBack22=c,c_c,c\r\n\r\n"),
            std::string::npos);
  EXPECT_TRUE(fs::exists(t.Bg("c.bmp")));
}

TEST(RegisteredBackgrounds, NoInTheConfirmationChangesNothing) {
  ThreeRegistered t;
  RecordingRegistrationHost ui;
  ui.answer = false;
  auto records = ReadRegisteredBackgrounds(t.folders, ui);
  const auto before = Snapshot(t.dir.Path());
  EXPECT_EQ(DeleteRegisteredBackground(t.folders, records, 0, ui), RemovalResult::Cancelled);
  EXPECT_EQ(Snapshot(t.dir.Path()), before);
  EXPECT_EQ(records.size(), 3u);
}

TEST(RegisteredBackgrounds, PicturesAlreadyGoneStillFixTheLists) {
  ThreeRegistered t;
  for (const char* name : {"c_c.bmp", "c.bmp"}) fs::remove(t.Bg(name));
  fs::remove(t.D3d("c.jpg"));
  RecordingRegistrationHost ui;
  auto records = ReadRegisteredBackgrounds(t.folders, ui);
  EXPECT_EQ(DeleteRegisteredBackground(t.folders, records, 2, ui), RemovalResult::Removed);
  EXPECT_EQ(ui.events.size(), 1u);  // the question only
  EXPECT_NE(ReadFile(t.hostIni).find(
                "BGMax=22\r\nBack20=host,c_host,host\r\nBack21=a,c_a,a\r\nBack22=b,c_b,b\r\n\r\n"),
            std::string::npos);
}

TEST(RegisteredBackgrounds, AMissingHostListDeletesNothing) {
  ThreeRegistered t;
  t.WriteHostIni("");  // no BGMax in Menu and no bg.ini
  RecordingRegistrationHost ui;
  auto records = ReadRegisteredBackgrounds(t.folders, ui);
  const auto before = Snapshot(t.dir.Path());
  EXPECT_EQ(DeleteRegisteredBackground(t.folders, records, 0, ui), RemovalResult::NotInstalled);
  EXPECT_EQ(ui.events.back(), kNotInstalledMessage);
  EXPECT_EQ(ui.events.at(1), "beep");
  EXPECT_EQ(Snapshot(t.dir.Path()), before);
}

TEST(RegisteredBackgrounds, FileNamesFromTheManagementFileNeverReachOutsideTheFolders) {
  ThreeRegistered t;
  WriteFile(t.dir / "precious.bmp", "keep");
  WriteFile(t.Bg("Horizonmill_mng.ini"), "[BACKMANAGEMENT]\r\nBack21=a,..\\..\\precious.bmp,\r\n");
  RecordingRegistrationHost ui;
  auto records = ReadRegisteredBackgrounds(t.folders, ui);
  EXPECT_EQ(DeleteRegisteredBackground(t.folders, records, 0, ui), RemovalResult::Removed);
  EXPECT_TRUE(fs::exists(t.dir / "precious.bmp"));
  EXPECT_TRUE(fs::is_directory(t.dir / "qoral2/bg"));
}

}  // namespace
}  // namespace horizonmill
