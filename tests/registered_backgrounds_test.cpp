// Listing and removing registered backgrounds in a host installation built in
// a temporary folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <functional>
#include <map>

#include "host/HostRecords.h"
#include "host/RegisteredBackgrounds.h"
#include "platform/FileError.h"
#include "platform/Interrupt.h"
#include "platform/PrivateProfile.h"
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

TEST(RegisteredBackgrounds, EveryRecordIsListedInTheOrderOfItsNumber) {
  ThreeRegistered t;
  RecordingRegistrationHost ui;
  EXPECT_EQ(Keys(ReadRegisteredBackgrounds(t.folders, ui)),
            (std::vector<std::string>{"Back21=a,c_a.bmp,a.bmp", "Back22=b,c_b.bmp,b.jpg",
                                      "Back23=c,c_c.bmp,c.bmp"}));
  EXPECT_EQ(CatalogPicturePath(t.folders, ReadRegisteredBackgrounds(t.folders, ui).at(1)),
            fs::path(t.Bg("c_b.bmp")));

  // Keys in any order and case; empty values and "Back07" (no "Back%d" key)
  // do not count; Back25 after a gap is listed all the same.
  t.WriteHostIni(
      "[Menu]\r\nBGMax=25\r\nBack11=a,c_a,a\r\nBack12=b,c_b,b\r\nBack13=only alias,,\r\n"
      "Back25=e,c_e,e\r\n");
  WriteFile(t.Bg("Horizonmill_mng.ini"),
            "[BACKMANAGEMENT]\nBack0=\nBack07=x,c_x.bmp,x.bmp\nBack25=e,c_e.bmp,e.bmp\n"
            "back12=b,c_b.bmp,b.bmp\nBACK11=a,c_a.bmp,a.bmp\nBack13=only alias\n");
  const std::string management = ReadFile(t.Bg("Horizonmill_mng.ini"));
  EXPECT_EQ(Keys(ReadRegisteredBackgrounds(t.folders, ui)),
            (std::vector<std::string>{"Back11=a,c_a.bmp,a.bmp", "Back12=b,c_b.bmp,b.bmp",
                                      "Back13=only alias,,", "Back25=e,c_e.bmp,e.bmp"}));
  EXPECT_TRUE(ui.events.empty());
  EXPECT_EQ(ReadFile(t.Bg("Horizonmill_mng.ini")), management);  // nothing to tidy

  // No management file: told, its path in the details; no records.
  fs::remove(t.Bg("Horizonmill_mng.ini"));
  EXPECT_TRUE(ReadRegisteredBackgrounds(t.folders, ui).empty());
  EXPECT_EQ(ui.events,
            std::vector<std::string>{std::string(EnglishText(MessageCode::NoManagementFile))});
  EXPECT_EQ(ui.details.back().rfind(t.Bg("Horizonmill_mng.ini") + ": ", 0), 0u);

  // A FIFO in its place is refused at once, naming it.
  ASSERT_EQ(::mkfifo(t.Bg("Horizonmill_mng.ini").c_str(), 0600), 0);
  try {
    ReadRegisteredBackgrounds(t.folders, ui);
    ADD_FAILURE() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.Path(), t.Bg("Horizonmill_mng.ini"));
    EXPECT_EQ(e.Reason(), "not a regular file");
  }
}

TEST(RegisteredBackgrounds, DeletingBack22MovesBack23UpEverywhere) {
  ThreeRegistered t;
  RecordingRegistrationHost ui;
  auto records = ReadRegisteredBackgrounds(t.folders, ui);
  EXPECT_EQ(DeleteRegisteredBackground(t.folders, records, 1, ui), RemovalResult::Removed);
  EXPECT_EQ(ui.events, std::vector<std::string>{"? Remove the background \"b\"?"});
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

TEST(RegisteredBackgrounds, ARecordAfterAGapIsListedAndFollowsItsEntry) {
  ThreeRegistered t;
  // Back21 and Back23 with a gap: both are listed. Removing Back21 moves the
  // host's later entries up, and Back23's record follows its entry to Back22.
  WriteFile(t.Bg("Horizonmill_mng.ini"),
            "[BACKMANAGEMENT]\r\nBack21=a,c_a.bmp,a.bmp\r\nBack23=c,c_c.bmp,c.bmp\r\n");
  RecordingRegistrationHost ui;
  auto records = ReadRegisteredBackgrounds(t.folders, ui);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(DeleteRegisteredBackground(t.folders, records, 0, ui), RemovalResult::Removed);
  EXPECT_EQ(Keys(records), std::vector<std::string>{"Back22=c,c_c.bmp,c.bmp"});
  EXPECT_EQ(ReadFile(t.Bg("Horizonmill_mng.ini")),
            "[BACKMANAGEMENT]\r\nBack22=c,c_c.bmp,c.bmp\r\n");
  EXPECT_NE(ReadFile(t.hostIni).find(
                "BGMax=22\r\nBack20=host,c_host,host\r\nBack21=b,c_b,b\r\nBack22=c,c_c,c\r\n\r\n"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(t.Bg("a.bmp")));
  EXPECT_TRUE(fs::exists(t.Bg("c.bmp")));
}

// The host's list as "BGMax=n" and "Back<n>=value" by number; the
// management records as "Back<n>=value" by number.
std::vector<std::string> MenuOf(const TestHost& t) {
  const IniDocument ini = LoadIniFile(t.hostIni);
  std::vector<std::string> lines{"BGMax=" + ini.ReadString("Menu", "BGMax", "")};
  std::map<long long, std::string> entries;
  for (const std::string& key : ini.KeyNames("Menu"))
    if (key != "BGMax")
      entries[std::stoll(key.substr(4))] = key + "=" + ini.ReadString("Menu", key, "");
  for (const auto& [n, line] : entries) lines.push_back(line);
  return lines;
}
std::vector<std::string> RecordsOf(const TestHost& t) {
  const IniDocument ini = LoadIniFile(t.Bg("Horizonmill_mng.ini"));
  std::map<long long, std::string> records;
  for (const std::string& key : ini.KeyNames("BACKMANAGEMENT"))
    records[std::stoll(key.substr(4))] = key + "=" + ini.ReadString("BACKMANAGEMENT", key, "");
  std::vector<std::string> lines;
  lines.reserve(records.size());
  for (const auto& [n, line] : records) lines.push_back(line);
  EXPECT_TRUE(ini.SectionNames().size() <= 1u) << "a note was left behind";
  return lines;
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  while (from <= text.size()) {
    const auto bar = text.find('|', from);
    parts.push_back(text.substr(from, bar - from));
    if (bar == std::string::npos) break;
    from = bar + 1;
  }
  return parts;
}

TEST(RegisteredBackgrounds, RemovalFindsItsEntryByContentsWhateverTheHostChanged) {
  // The listing was shown with Back21 a, Back22 b, Back23 c; then the host's
  // list changed, and one of them is removed.
  const struct {
    const char* change;
    const char* menu;  // the host's list after the change, "|" between lines
    std::size_t remove;
    const char* menuAfter;
    const char* recordsAfter;
    bool picturesGo;  // false: the host's list still names them
    bool toldNotListed;
  } cases[] = {
      {"an entry inserted before ours",
       "BGMax=24|Back20=host,c_host,host|Back21=new,c_new,new|Back22=a,c_a,a|Back23=b,c_b,b|"
       "Back24=c,c_c,c",
       0, "BGMax=23|Back20=host,c_host,host|Back21=new,c_new,new|Back22=b,c_b,b|Back23=c,c_c,c",
       "Back22=b,c_b.bmp,b.jpg|Back23=c,c_c.bmp,c.bmp", true, false},
      {"an entry added after ours",
       "BGMax=24|Back20=host,c_host,host|Back21=a,c_a,a|Back22=b,c_b,b|Back23=c,c_c,c|"
       "Back24=new,c_new,new",
       1, "BGMax=23|Back20=host,c_host,host|Back21=a,c_a,a|Back22=c,c_c,c|Back23=new,c_new,new",
       "Back21=a,c_a.bmp,a.bmp|Back22=c,c_c.bmp,c.bmp", true, false},
      {"ours in another order",
       "BGMax=23|Back20=host,c_host,host|Back21=c,c_c,c|Back22=b,c_b,b|Back23=a,c_a,a", 0,
       "BGMax=22|Back20=host,c_host,host|Back21=c,c_c,c|Back22=b,c_b,b",
       "Back21=c,c_c.bmp,c.bmp|Back22=b,c_b.bmp,b.jpg", true, false},
      {"ours gone", "BGMax=22|Back20=host,c_host,host|Back21=b,c_b,b|Back22=c,c_c,c", 0,
       "BGMax=22|Back20=host,c_host,host|Back21=b,c_b,b|Back22=c,c_c,c",
       "Back21=b,c_b.bmp,b.jpg|Back22=c,c_c.bmp,c.bmp", true, true},
      {"another background in ours' place",
       "BGMax=23|Back20=host,c_host,host|Back21=x,c_x,x|Back22=b,c_b,b|Back23=c,c_c,c", 0,
       "BGMax=23|Back20=host,c_host,host|Back21=x,c_x,x|Back22=b,c_b,b|Back23=c,c_c,c",
       "Back22=b,c_b.bmp,b.jpg|Back23=c,c_c.bmp,c.bmp", true, true},
      {"ours renamed by hand",
       "BGMax=23|Back20=host,c_host,host|Back21=renamed,c_a,a|Back22=b,c_b,b|Back23=c,c_c,c", 0,
       "BGMax=23|Back20=host,c_host,host|Back21=renamed,c_a,a|Back22=b,c_b,b|Back23=c,c_c,c",
       "Back22=b,c_b.bmp,b.jpg|Back23=c,c_c.bmp,c.bmp", false, true},
      {"ours listed twice",
       "BGMax=24|Back20=host,c_host,host|Back21=a,c_a,a|Back22=b,c_b,b|Back23=c,c_c,c|"
       "Back24=a,c_a,a",
       0, "BGMax=23|Back20=host,c_host,host|Back21=b,c_b,b|Back22=c,c_c,c|Back23=a,c_a,a",
       "Back21=b,c_b.bmp,b.jpg|Back22=c,c_c.bmp,c.bmp", false, false},
      {"an entry after a gap",
       "BGMax=25|Back20=host,c_host,host|Back21=a,c_a,a|Back22=b,c_b,b|Back23=c,c_c,c|"
       "Back25=far,c_far,far",
       0, "BGMax=24|Back20=host,c_host,host|Back21=b,c_b,b|Back22=c,c_c,c|Back24=far,c_far,far",
       "Back21=b,c_b.bmp,b.jpg|Back22=c,c_c.bmp,c.bmp", true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.change);
    ThreeRegistered t;
    RecordingRegistrationHost ui;
    auto records = ReadRegisteredBackgrounds(t.folders, ui);
    ASSERT_EQ(records.size(), 3u);
    std::string menu = "[Menu]\r\n";
    for (const std::string& line : Split(c.menu)) menu += line + "\r\n";
    t.WriteHostIni(menu + "\r\n[Other]\r\nx=1\r\n");
    const std::string alias = records[c.remove].Alias;

    EXPECT_EQ(DeleteRegisteredBackground(t.folders, records, c.remove, ui), RemovalResult::Removed);
    EXPECT_EQ(MenuOf(t), Split(c.menuAfter));
    EXPECT_EQ(RecordsOf(t), Split(c.recordsAfter));
    EXPECT_EQ(Keys(records).size(), 2u);
    const std::string ext = alias == "b" ? ".jpg" : ".bmp";
    for (const std::string& picture :
         {t.Bg(alias + ext), t.Bg("c_" + alias + ".bmp"), t.D3d(alias + ".jpg")})
      EXPECT_EQ(fs::exists(picture), !c.picturesGo) << picture;
    for (const std::string other : {"a", "b", "c"}) {
      EXPECT_TRUE(other == alias || fs::exists(t.Bg("c_" + other + ".bmp"))) << other;
    }
    std::vector<std::string> told{"? Remove the background \"" + alias + "\"?"};
    if (c.toldNotListed)
      told.push_back(Message(c.picturesGo ? MessageCode::BackgroundNotListed
                                          : MessageCode::BackgroundNotListedPicturesKept,
                             {alias})
                         .English());
    EXPECT_EQ(ui.events, told);
    EXPECT_NE(ReadFile(t.hostIni).find("\r\n[Other]\r\nx=1\r\n"), std::string::npos);
  }
}

// A listing follows the host's numbers but takes nothing away: a record whose
// entry the host dropped stays listed, with its pictures, until it is removed.
TEST(RegisteredBackgrounds, AListingKeepsWhatTheHostsListNoLongerHolds) {
  ThreeRegistered t;
  // The host dropped a and moved c up into a's number.
  t.WriteHostIni(
      "[Menu]\r\nBGMax=22\r\nBack20=host,c_host,host\r\nBack21=c,c_c,c\r\n"
      "Back22=b,c_b,b\r\n");
  RecordingRegistrationHost ui;
  EXPECT_EQ(Keys(ReadRegisteredBackgrounds(t.folders, ui)),
            (std::vector<std::string>{"Back21=c,c_c.bmp,c.bmp", "Back22=b,c_b.bmp,b.jpg",
                                      "Back23=a,c_a.bmp,a.bmp"}));
  EXPECT_TRUE(ui.events.empty());
  for (const std::string& picture : {t.Bg("a.bmp"), t.Bg("c_a.bmp"), t.D3d("a.jpg")})
    EXPECT_TRUE(fs::exists(picture)) << picture;
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
  EXPECT_EQ(ui.events.back(), EnglishText(MessageCode::HostNotInstalled));
  EXPECT_EQ(ui.events.at(1), "beep");
  EXPECT_EQ(Snapshot(t.dir.Path()), before);
}

TEST(RegisteredBackgrounds, FileNamesFromTheManagementFileNeverReachOutsideThePictures) {
  // Records no registration writes: their removal deletes none of their
  // "pictures", whether the host's list holds them or not.
  const char* const records[] = {
      "a,..\\..\\precious.bmp,",       "x,bg.ini,QoraL2.ini",
      "x,c_x.bmp,Horizonmill_mng.ini", "x,c_../precious.bmp,../precious.bmp",
      "x,c_con.bmp,con.bmp",           "x,c_x.png,x.",
  };
  for (const char* record : records) {
    for (const bool listed : {true, false}) {
      SCOPED_TRACE(std::string(record) + (listed ? " listed" : " not listed"));
      ThreeRegistered t;
      WriteFile(t.dir / "qoral2/precious.bmp", "keep");
      WriteFile(t.Bg("bg.ini"), "keep");
      WriteFile(t.Bg("x.png"), "keep");
      WriteFile(t.Bg("con.bmp"), "keep");
      WriteFile(t.Bg("c_con.bmp"), "keep");
      WriteFile(t.D3d("con.jpg"), "keep");
      WriteFile(t.Bg("Horizonmill_mng.ini"),
                "[BACKMANAGEMENT]\r\nBack21=" + std::string(record) + "\r\n");
      const RecordFields fields = ParseRecord(record);
      if (listed) t.WriteHostIni("[Menu]\r\nBGMax=21\r\nBack21=" + HostValueOf(fields) + "\r\n");
      RecordingRegistrationHost ui;
      auto listing = ReadRegisteredBackgrounds(t.folders, ui);
      ASSERT_EQ(listing.size(), 1u);
      EXPECT_EQ(DeleteRegisteredBackground(t.folders, listing, 0, ui), RemovalResult::Removed);
      if (listed) {
        EXPECT_EQ(MenuOf(t), std::vector<std::string>{"BGMax=20"});
      }
      EXPECT_EQ(RecordsOf(t), std::vector<std::string>{});
      EXPECT_TRUE(fs::exists(t.hostIni));
      EXPECT_TRUE(fs::exists(t.Bg("Horizonmill_mng.ini")));
      for (const std::string& kept : {t.dir / "qoral2/precious.bmp", t.Bg("bg.ini"), t.Bg("x.png"),
                                      t.Bg("con.bmp"), t.Bg("c_con.bmp"), t.D3d("con.jpg")})
        EXPECT_EQ(ReadFile(kept), "keep") << kept;
    }
  }
}

}  // namespace
}  // namespace horizonmill

namespace horizonmill {
namespace {

// What a record names beyond a registration's pictures stays, and the user
// hears which name was left and why.
TEST(RegisteredBackgrounds, ANameThatIsNoPictureOfOursIsLeftAndTold) {
  const struct {
    const char* record;
    std::vector<std::string> told;  // the names said to be left
  } cases[] = {
      {"x,bg.ini,QoraL2.ini", {"QoraL2.ini", "bg.ini"}},
      {"x,c_x.bmp,Horizonmill_mng.ini", {"Horizonmill_mng.ini"}},
      {"x,c_../precious.bmp,x.jpg", {"c_../precious.bmp"}},
      {"x,c_con.bmp,con.bmp", {"con.bmp", "c_con.bmp"}},
      {"x,c_x.bmp,x.bmp", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.record);
    ThreeRegistered t;
    WriteFile(t.Bg("Horizonmill_mng.ini"),
              "[BACKMANAGEMENT]\r\nBack21=" + std::string(c.record) + "\r\n");
    t.WriteHostIni("[Menu]\r\nBGMax=21\r\nBack21=" + HostValueOf(ParseRecord(c.record)) + "\r\n");
    WriteFile(t.Bg("x.bmp"), "picture");
    RecordingRegistrationHost ui;
    auto listing = ReadRegisteredBackgrounds(t.folders, ui);
    ASSERT_EQ(listing.size(), 1u);
    ui.events.clear();
    ui.details.clear();
    EXPECT_EQ(DeleteRegisteredBackground(t.folders, listing, 0, ui), RemovalResult::Removed);
    std::vector<std::string> told;
    for (std::size_t i = 0; i < ui.details.size(); ++i) {
      EXPECT_EQ(ui.events.at(i + 1), EnglishText(MessageCode::PictureNotDeleted));
      const auto open = ui.details[i].find("names \"") + 7;
      told.push_back(ui.details[i].substr(open, ui.details[i].find('"', open) - open));
      EXPECT_NE(ui.details[i].find("so it was not deleted"), std::string::npos) << ui.details[i];
    }
    EXPECT_EQ(told, c.told);
    EXPECT_TRUE(fs::exists(t.hostIni));
    EXPECT_EQ(fs::exists(t.Bg("x.bmp")), std::string(c.record) != "x,c_x.bmp,x.bmp");
  }
}

// Entries after the one removed move up a number as the host's file holds
// them: a value in quotes keeps its quotes, so it still reads the same.
TEST(RegisteredBackgrounds, EntriesMoveUpAsTheFileHoldsThem) {
  ThreeRegistered t;
  t.WriteHostIni(
      "[Menu]\r\nBGMax=24\r\nBack20=host,c_host,host\r\nBack21=a,c_a,a\r\n"
      "Back22=\"  quoted  \"\r\nBack23= 'single' \r\nBack24=\"\"\r\n");
  RecordingRegistrationHost ui;
  auto records = ReadRegisteredBackgrounds(t.folders, ui);
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(DeleteRegisteredBackground(t.folders, records, 0, ui), RemovalResult::Removed);
  EXPECT_NE(ReadFile(t.hostIni).find("\r\nBGMax=23\r\nBack20=host,c_host,host\r\n"
                                     "Back21=\"  quoted  \"\r\nBack22='single'\r\nBack23=\"\"\r\n"),
            std::string::npos)
      << ReadFile(t.hostIni);
  const IniDocument ini = LoadIniFile(t.hostIni);
  EXPECT_EQ(ini.ReadString("Menu", "Back21", ""), "  quoted  ");
  EXPECT_EQ(ini.ReadString("Menu", "Back22", ""), "single");
}

}  // namespace
}  // namespace horizonmill

namespace horizonmill {
namespace {

// Whether another holder could take the lock on `path` (a lock file or a
// folder) now: a lock file not made yet is nobody's.
bool LockFree(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  return free;
}

// The ordinary flow when the host adds backgrounds of its own: ours are
// registered around the host's entry, and both stay listed and removable.
TEST(RegisteredBackgrounds, TheHostsOwnEntryBetweenOursHidesNeither) {
  TestHost t;
  t.WriteHostIni("");
  WriteFile(t.Bg("bg.ini"), "[BG.jpn]\r\nBGMax=1\r\nBack1=host,c_host,host\r\n");
  RecordingRegistrationHost ui;
  const HostInstallation host = FindHost(t.hostIni, ui).value();
  const WorkBitmap picture(4, 4);
  ASSERT_TRUE(RegisterBackground(host, {"A", "a", PictureFormat::Bmp}, picture, 90, ui));
  // The host adds Back3 of its own.
  WriteFile(t.Bg("bg.ini"), ReadFile(t.Bg("bg.ini")) + "Back3=own,c_own,own\r\n");
  IniDocument list = LoadIniFile(t.Bg("bg.ini"));
  list.WriteString("BG.jpn", "BGMax", "3");
  SaveIniFile(t.Bg("bg.ini"), list);
  ASSERT_TRUE(RegisterBackground(host, {"B", "b", PictureFormat::Jpeg}, picture, 90, ui));

  auto records = ReadRegisteredBackgrounds(host.Folders, ui);
  EXPECT_EQ(Keys(records),
            (std::vector<std::string>{"Back2=A,c_a.bmp,a.bmp", "Back4=B,c_b.bmp,b.jpg"}));
  EXPECT_EQ(DeleteRegisteredBackground(host.Folders, records, 1, ui), RemovalResult::Removed);
  EXPECT_EQ(ReadFile(t.Bg("bg.ini")),
            "[BG.jpn]\r\nBGMax=3\r\nBack1=host,c_host,host\r\nBack2=A,c_a,a\r\n"
            "Back3=own,c_own,own\r\n");
  EXPECT_EQ(Keys(records), std::vector<std::string>{"Back2=A,c_a.bmp,a.bmp"});
  EXPECT_FALSE(fs::exists(t.Bg("b.jpg")));
  EXPECT_TRUE(fs::exists(t.Bg("a.bmp")));
  EXPECT_TRUE(ui.events.size() == 1u && ui.events[0] == "? Remove the background \"B\"?");
}

// Entry numbers are visited as the files hold them: an entry numbered near
// 2^31 moves up one number without every number below it being counted.
TEST(RegisteredBackgrounds, AnEntryNumberedNear2To31MovesUpWithoutCountingUpToIt) {
  ThreeRegistered t;
  t.WriteHostIni(
      "[Menu]\r\nBGMax=2147483647\r\nBack1=host,c_host,host\r\nBack2=a,c_a,a\r\n"
      "Back3=next,c_n,n\r\nBack2147483647=far,c_far,far\r\n");
  WriteFile(
      t.Bg("Horizonmill_mng.ini"),
      "[BACKMANAGEMENT]\r\nBack2=a,c_a.bmp,a.bmp\r\nBack2147483647=far,c_far.bmp,far.bmp\r\n");
  RecordingRegistrationHost ui;
  auto records = ReadRegisteredBackgrounds(t.folders, ui);
  ASSERT_EQ(Keys(records), (std::vector<std::string>{"Back2=a,c_a.bmp,a.bmp",
                                                     "Back2147483647=far,c_far.bmp,far.bmp"}));
  EXPECT_EQ(DeleteRegisteredBackground(t.folders, records, 0, ui), RemovalResult::Removed);
  EXPECT_EQ(MenuOf(t), Split("BGMax=2147483646|Back1=host,c_host,host|Back2=next,c_n,n|"
                             "Back2147483646=far,c_far,far"));
  EXPECT_EQ(RecordsOf(t), std::vector<std::string>{"Back2147483646=far,c_far.bmp,far.bmp"});
}

// A pending SIGINT or SIGTERM stops listing, registration and removal as soon
// as the host's locks are theirs: nothing changed, both locks let go.
TEST(RegisteredBackgrounds, AnInterruptStopsEveryOneOfThemAndLetsTheLocksGo) {
  const struct {
    const char* what;
    std::function<void(ThreeRegistered&, RegistrationHost&)> run;
  } cases[] = {
      {"listing",
       [](ThreeRegistered& t, RegistrationHost& ui) { ReadRegisteredBackgrounds(t.folders, ui); }},
      {"removal",
       [](ThreeRegistered& t, RegistrationHost& ui) {
         std::vector<RegisteredBackground> records{{"Back22", "b", "b.jpg", "c_b.bmp"}};
         DeleteRegisteredBackground(t.folders, records, 0, ui);
       }},
      {"registration",
       [](ThreeRegistered& t, RegistrationHost& ui) {
         const HostInstallation host{t.folders, {t.hostIni, "Menu"}};
         RegisterBackground(host, {"d", "d", PictureFormat::Bmp}, WorkBitmap(4, 4), 90, ui);
       }},
  };
  for (const int signal : {SIGINT, SIGTERM}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.what) + " " + std::to_string(signal));
      ThreeRegistered t;
      // A note of a stopped registration that a tidying would take back.
      WriteFile(t.Bg("Horizonmill_mng.ini"), ReadFile(t.Bg("Horizonmill_mng.ini")) +
                                                 "[REGISTERING]\r\nBack24=z,c_z.bmp,z.bmp\r\n");
      const auto before = Snapshot(t.dir.Path());
      RecordingRegistrationHost ui;
      RequestInterrupt(signal);
      try {
        c.run(t, ui);
        ADD_FAILURE() << "not stopped";
      } catch (const Interrupted& e) {
        EXPECT_EQ(e.Signal(), signal);
      }
      RequestInterrupt(0);
      auto after = Snapshot(t.dir.Path());
      after.erase("qoral2/QoraL2.ini.lock");
      EXPECT_EQ(after, before);
      EXPECT_TRUE(LockFree(t.lockFile));
      EXPECT_TRUE(LockFree(t.dir / "qoral2/bg"));
    }
  }
}

}  // namespace
}  // namespace horizonmill
