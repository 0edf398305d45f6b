// Registering a background with a host installation built in a temporary folder.
#include "host/Registration.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include "codecs/JpegWriter.h"
#include "host/RegisteredBackgrounds.h"
#include "platform/FileError.h"
#include "platform/WriteProgress.h"
#include "support/BmpBytes.h"
#include "support/TestHost.h"

namespace horizonmill {
namespace {

namespace fs = std::filesystem;
using testing::BmpView;
using testing::HostFilesOf;
using testing::JpegSize;
using testing::ReadFile;
using testing::RecordingRegistrationHost;
using testing::Snapshot;
using testing::TestHost;
using testing::WriteFile;

const std::string kSunsetCp932 = "\x97\x5B\x8F\xC4\x82\xAF";  // 夕焼け

// Pixel (x, y) tells its coordinates: blue x, green y.
WorkBitmap CoordinatePicture(int width, int height) {
  WorkBitmap picture(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.Row(y)[x] = BgrPixel{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7};
  return picture;
}

HostInstallation Found(const TestHost& t) {
  RecordingRegistrationHost ui;
  const auto found = FindHost(t.hostIni, ui);
  EXPECT_TRUE(found.has_value()) << (ui.details.empty() ? "" : ui.details.front());
  return found.value_or(HostInstallation{});
}

TEST(Registration, ListInMenuWithBGMax20GetsBack21AndKeepsEveryOtherByte) {
  TestHost t;
  t.WriteHostIni(
      "; the host's own\r\n[Menu]\r\nBGMax=20\r\nBack20=old,c_old,old\r\n\r\n[Other]\r\nx=1\r\n");
  WriteFile(t.Bg("bg.ini"), "[BG.jpn]\r\nBGMax=3\r\n");
  const HostInstallation host = Found(t);
  EXPECT_EQ(host.List.File, t.hostIni);

  RecordingRegistrationHost ui;
  const WorkBitmap picture = CoordinatePicture(64, 32);
  WriteProgress progress;
  ASSERT_TRUE(RegisterBackground(host, {"夕焼け", "sunset", PictureFormat::Bmp}, picture, 90, ui,
                                 &progress));
  EXPECT_TRUE(ui.events.empty());
  // Every row planned was counted, the texture's (encoded on a thread of its own) too.
  EXPECT_EQ(progress.Done(), progress.Planned());
  EXPECT_EQ(progress.Planned(), 32 + kCatalogHeight + kTextureSide);
  EXPECT_EQ(ReadFile(t.hostIni),
            "[QORA-L2]\r\nBGDir=bg\r\n[Direct3D]\r\nBGDir=d3d\r\n; the host's own\r\n[Menu]\r\n"
            "BGMax=21\r\nBack20=old,c_old,old\r\nBack21=" +
                kSunsetCp932 + ",c_sunset,sunset\r\n\r\n[Other]\r\nx=1\r\n");
  EXPECT_EQ(ReadFile(t.Bg("bg.ini")), "[BG.jpn]\r\nBGMax=3\r\n");
  EXPECT_EQ(ReadFile(t.Bg("Horizonmill_mng.ini")),
            "[BACKMANAGEMENT]\r\nBack21=" + kSunsetCp932 + ",c_sunset.bmp,sunset.bmp\r\n");
  // The program's own INI is not the registration's business.
  EXPECT_FALSE(fs::exists(t.programIni));

  const std::string full = ReadFile(t.Bg("sunset.bmp"));
  EXPECT_EQ(BmpView(full).Width(), 64);
  EXPECT_EQ(BmpView(full).At(63, 31), (BgrPixel{63, 31, 7}));
  const std::string catalog = ReadFile(t.Bg("c_sunset.bmp"));
  EXPECT_EQ(BmpView(catalog).Width(), 104);
  EXPECT_EQ(BmpView(catalog).Height(), 80);
  EXPECT_EQ(JpegSize(ReadFile(t.D3d("sunset.jpg"))), std::make_pair(1024, 1024));
  MemorySink texture;
  EncodeJpeg(MakeDirect3DTexture(picture), {.quality = 90}, texture);
  EXPECT_EQ(ReadFile(t.D3d("sunset.jpg")), texture.Bytes());
  EXPECT_EQ(Snapshot(t.dir.Path() / "qoral2/bg").size(), 4u);  // bg.ini, mng, 2 pictures
}

TEST(Registration, FirstEntryOfABgIniWithoutBGMax) {
  TestHost t;
  t.WriteHostIni("[Menu]\r\nOther=1\r\n");
  WriteFile(t.Bg("bg.ini"), "[BG.jpn]\n");
  const std::string hostBefore = ReadFile(t.hostIni);
  RecordingRegistrationHost ui;
  ASSERT_TRUE(RegisterBackground(Found(t), {"a", "f", PictureFormat::Bmp}, CoordinatePicture(4, 4),
                                 90, ui));
  EXPECT_EQ(ReadFile(t.Bg("bg.ini")), "[BG.jpn]\nBGMax=1\nBack1=a,c_f,f\n");
  EXPECT_EQ(ReadFile(t.hostIni), hostBefore);
  EXPECT_EQ(ReadFile(t.Bg("Horizonmill_mng.ini")), "[BACKMANAGEMENT]\r\nBack1=a,c_f.bmp,f.bmp\r\n");
}

TEST(Registration, FoldersAsTheHostNamesThemAndJpegChosen) {
  TestHost t;
  // QORA-L2's BGDir is empty: QORA-L1's, relative with "\" and in another
  // letter case than on disk; the Direct3D folder absolute.
  fs::create_directories(t.dir.Path() / "qoral2/data/bg");
  const std::string d3d = t.dir / "qoral2/d3d";
  WriteFile(t.hostIni,
            "[QORA-L2]\r\nBGDir=\r\n[QORA-L1]\r\nBGDir=Data\\BG\r\n[Direct3D]\r\nBGDir=" + d3d +
                "\r\n[Menu]\r\nBGMax=0\r\n");
  const fs::path cwd = fs::current_path();
  const HostInstallation host = Found(t);
  EXPECT_EQ(host.Folders.BGDir, "Data\\BG");
  EXPECT_EQ(host.Folders.BackgroundFolder(), t.dir.Path() / "qoral2/data/bg");

  RecordingRegistrationHost ui;
  ASSERT_TRUE(
      RegisterBackground(host, {"a", "f", PictureFormat::Jpeg}, CoordinatePicture(8, 8), 50, ui));
  EXPECT_EQ(fs::current_path(), cwd);
  const std::string bg = t.dir / "qoral2/data/bg/";
  EXPECT_EQ(JpegSize(ReadFile(bg + "f.jpg")), std::make_pair(8, 8));
  EXPECT_EQ(BmpView(ReadFile(bg + "c_f.bmp")).Width(), 104);
  EXPECT_EQ(JpegSize(ReadFile(d3d + "/f.jpg")), std::make_pair(1024, 1024));
  EXPECT_EQ(ReadFile(bg + "Horizonmill_mng.ini"), "[BACKMANAGEMENT]\r\nBack1=a,c_f.bmp,f.jpg\r\n");
  EXPECT_NE(ReadFile(t.hostIni).find("\r\nBGMax=1\r\nBack1=a,c_f,f\r\n"), std::string::npos);
}

TEST(Registration, DriveLettersThroughTheWinePrefix) {
  TestHost t;
  const fs::path prefix = t.dir.Path() / "wine";
  fs::create_directories(prefix / "drive_c/Games/QoraL2/BG");
  fs::create_directories(prefix / "drive_c/Games/QoraL2/D3D");
  fs::create_directories(prefix / "dosdevices");
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
  ::setenv("WINEPREFIX", prefix.c_str(), 1);
  WriteFile(
      t.hostIni,
      "[QORA-L2]\r\nBGDir=C:\\Games\\QoraL2\\BG\r\n[Direct3D]\r\nBGDir=c:\\games\\qoral2\\d3d\r\n"
      "[Menu]\r\nBGMax=3\r\n");
  const HostInstallation host = Found(t);
  EXPECT_EQ(host.Folders.BackgroundFolder(), prefix / "dosdevices/c:/Games/QoraL2/BG");
  EXPECT_EQ(host.Folders.Direct3DFolder(), prefix / "dosdevices/c:/Games/QoraL2/D3D");

  // A drive without a link is not there.
  WriteFile(t.hostIni,
            "[QORA-L2]\r\nBGDir=D:\\BG\r\n[Direct3D]\r\nBGDir=C:\\\r\n[Menu]\r\nBGMax=3\r\n");
  RecordingRegistrationHost ui;
  EXPECT_FALSE(FindHost(t.hostIni, ui));
  EXPECT_EQ(ui.events, (std::vector<std::string>{
                           "beep", std::string(EnglishText(MessageCode::HostNotInstalled))}));
  EXPECT_NE(ui.details.at(0).find("D:\\BG"), std::string::npos);
  ::unsetenv("WINEPREFIX");
}

TEST(Registration, HostNotInstalledIsToldWithABeepAndNothingIsWritten) {
  const struct {
    const char* hostIni;  // nullptr: no host INI file
    bool bgIni;
    const char* detail;  // a part of the English reason
  } cases[] = {
      {nullptr, false, "does not exist"},
      {"[Menu]\r\nBGMax=1\r\n[Direct3D]\r\nBGDir=d3d\r\n", true, "names no background folder"},
      {"[QORA-L2]\r\nBGDir=nowhere\r\n[Direct3D]\r\nBGDir=d3d\r\n", true, "nowhere"},
      {"[QORA-L2]\r\nBGDir=QoraL2.ini\r\n[Direct3D]\r\nBGDir=d3d\r\n", true, "is no folder"},
      {"[QORA-L2]\r\nBGDir=bg\r\n[Menu]\r\nBGMax=1\r\n", true, "names no Direct3D folder"},
      {"[QORA-L2]\r\nBGDir=bg\r\n[Direct3D]\r\nBGDir=d3dx\r\n", true, "d3dx"},
      {"[QORA-L2]\r\nBGDir=bg\r\n[Direct3D]\r\nBGDir=d3d\r\n[Menu]\r\nBGMax=\r\n", false, "bg.ini"},
  };
  for (const auto& c : cases) {
    TestHost t;
    if (c.hostIni) WriteFile(t.hostIni, c.hostIni);
    if (c.bgIni) WriteFile(t.Bg("bg.ini"), "[BG.jpn]\r\n");
    const auto before = Snapshot(t.dir.Path());
    RecordingRegistrationHost ui;
    EXPECT_FALSE(FindHost(t.hostIni, ui)) << c.detail;
    EXPECT_EQ(ui.events, (std::vector<std::string>{
                             "beep", std::string(EnglishText(MessageCode::HostNotInstalled))}));
    EXPECT_NE(ui.details.at(0).find(c.detail), std::string::npos) << ui.details.at(0);
    EXPECT_EQ(Snapshot(t.dir.Path()), before);
  }
}

TEST(Registration, NamesAreCheckedBeforeAnythingIsWritten) {
  const std::string longAlias(33, 'a');
  std::string fullWidth16, fullWidth17;
  for (int i = 0; i < 16; ++i) fullWidth16 += "あ";
  fullWidth17 = fullWidth16 + "あ";
  const struct {
    std::string alias, file;
    bool accepted;
  } cases[] = {
      {fullWidth16, std::string(32, 'f'), true},  // 32 bytes, 32 characters
      {"ok", "", true},                           // an empty file name is allowed
      {"ok", "表あ.v2", true},
      {longAlias, "f", false},
      {fullWidth17, "f", false},
      {"a,b", "f", false},
      {"a\nb", "f", false},
      {"😀", "f", false},
      {"ok", std::string(33, 'f'), false},
      {"ok", "a/b", false},
      {"ok", "..\\x", false},
      {"ok", "c:x", false},
      {"ok", ".", false},
      {"ok", "..", false},
      {"ok", "a,b", false},
      {"ok", "a\tb", false},
      {"ok", "a?b", false},
      {"ok", "x ", false},
      {"ok", "𠮷", false},
  };
  for (const auto& c : cases) {
    TestHost t;
    t.WriteHostIni("[Menu]\r\nBGMax=0\r\n");
    const HostInstallation host = Found(t);
    const auto before = Snapshot(t.dir.Path());
    RecordingRegistrationHost ui;
    EXPECT_EQ(CheckRegistration(host, {c.alias, c.file, PictureFormat::Bmp}, ui), c.accepted)
        << c.alias << " " << c.file;
    EXPECT_EQ(ui.events.size(), c.accepted ? 0u : 1u);
    if (c.accepted) continue;
    EXPECT_FALSE(RegisterBackground(host, {c.alias, c.file, PictureFormat::Bmp},
                                    CoordinatePicture(2, 2), 90, ui));
    EXPECT_EQ(Snapshot(t.dir.Path()), before) << c.alias << " " << c.file;
  }
}

TEST(Registration, FileNamesWindowsWouldNotKeepAreRefused) {
  const struct {
    const char* file;
    const char* reason;  // a part of the English reason; nullptr: accepted
  } cases[] = {
      {"x.", "may not end in a blank or \".\""},
      {"x..", "may not end in a blank or \".\""},
      {"x ", "may not end in a blank or \".\""},
      {"CON", "is a device in Windows"},
      {"con.txt", "is a device in Windows"},
      {"nul .txt", "is a device in Windows"},
      {"Aux.tar.gz", "is a device in Windows"},
      {"prn", "is a device in Windows"},
      {"LPT9", "is a device in Windows"},
      {"COM1.bmp", "is a device in Windows"},
      {"a\x01b", "control characters"},
      {"a\x7F", "control characters"},
      {"CONSOLE", nullptr},
      {"xcon", nullptr},
      {"a.b", nullptr},
      {"COM10", nullptr},
      {"LPT0", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    TestHost t;
    t.WriteHostIni("[Menu]\r\nBGMax=0\r\n");
    const HostInstallation host = Found(t);
    const auto before = Snapshot(t.dir.Path());
    RecordingRegistrationHost ui;
    const BackgroundNames names{"a", c.file, PictureFormat::Bmp};
    EXPECT_EQ(CheckRegistration(host, names, ui), c.reason == nullptr);
    EXPECT_EQ(RegisterBackground(host, names, CoordinatePicture(2, 2), 90, ui),
              c.reason == nullptr);
    if (c.reason == nullptr) {
      EXPECT_TRUE(ui.events.empty());
      EXPECT_TRUE(fs::exists(t.Bg(std::string(c.file) + ".bmp")));
      continue;
    }
    EXPECT_EQ(ui.events,
              std::vector<std::string>(2, std::string(EnglishText(MessageCode::BadFileName))));
    EXPECT_NE(ui.details.at(0).find(c.reason), std::string::npos) << ui.details.at(0);
    EXPECT_EQ(Snapshot(t.dir.Path()), before);
  }
}

TEST(Registration, EmptyFileNameGivesThePicturesNoName) {
  TestHost t;
  t.WriteHostIni("[Menu]\r\nBGMax=0\r\n");
  RecordingRegistrationHost ui;
  ASSERT_TRUE(
      RegisterBackground(Found(t), {"a", "", PictureFormat::Bmp}, CoordinatePicture(2, 2), 90, ui));
  EXPECT_TRUE(fs::exists(t.Bg(".bmp")));
  EXPECT_TRUE(fs::exists(t.Bg("c_.bmp")));
  EXPECT_TRUE(fs::exists(t.D3d(".jpg")));
  EXPECT_NE(ReadFile(t.hostIni).find("Back1=a,c_,\r\n"), std::string::npos);
}

TEST(Registration, AnyOfTheFourFilesAlreadyThereStopsIt) {
  for (const char* existing :
       {"bg/sunset.bmp", "bg/sunset.jpg", "bg/c_sunset.bmp", "d3d/sunset.jpg"}) {
    TestHost t;
    t.WriteHostIni("[Menu]\r\nBGMax=0\r\n");
    WriteFile(t.dir / (std::string("qoral2/") + existing), "x");
    const auto before = Snapshot(t.dir.Path());
    RecordingRegistrationHost ui;
    EXPECT_FALSE(RegisterBackground(Found(t), {"a", "sunset", PictureFormat::Jpeg},
                                    CoordinatePicture(2, 2), 90, ui));
    EXPECT_EQ(ui.events,
              std::vector<std::string>{std::string(EnglishText(MessageCode::AlreadyRegistered))})
        << existing;
    EXPECT_EQ(Snapshot(t.dir.Path()), before) << existing;
  }
}

TEST(Registration, CatalogIsTheMiddleHalfRoundedHalfToEven) {
  // 52 x 40: qw = 13, qh = 10, steps 0.25 exactly, so halves occur.
  const WorkBitmap catalog = MakeCatalogPicture(CoordinatePicture(52, 40));
  const std::pair<int, int> columns[] = {{0, 13}, {1, 13}, {2, 14}, {6, 14}, {10, 16}, {103, 39}};
  for (const auto& [x, column] : columns) EXPECT_EQ(catalog.Row(0)[x].b, column) << x;
  const std::pair<int, int> rows[] = {{0, 10}, {2, 10}, {6, 12}, {79, 30}};
  for (const auto& [y, row] : rows) EXPECT_EQ(catalog.Row(y)[0].g, row) << y;

  // A 1 x 1 render: the catalog and the texture are that one pixel.
  WorkBitmap one(1, 1);
  one.Row(0)[0] = BgrPixel{1, 2, 3};
  for (const WorkBitmap& made : {MakeCatalogPicture(one), MakeDirect3DTexture(one)})
    for (int y = 0; y < made.Height(); ++y)
      for (int x = 0; x < made.Width(); ++x) ASSERT_EQ(made.Row(y)[x], (BgrPixel{1, 2, 3}));
}

TEST(Registration, AFailedWriteLeavesTheHostAsItWas) {
  // The Direct3D folder went away after the check: the texture cannot be
  // written, and the two pictures before it go again.
  TestHost t;
  t.WriteHostIni("[Menu]\r\nBGMax=0\r\n");
  const HostInstallation host = Found(t);
  fs::remove(t.dir.Path() / "qoral2/d3d");
  const auto before = Snapshot(t.dir.Path());
  RecordingRegistrationHost ui;
  try {
    RegisterBackground(host, {"a", "f", PictureFormat::Bmp}, CoordinatePicture(2, 2), 90, ui);
    ADD_FAILURE() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.Path(), t.D3d("f.jpg"));
  }
  EXPECT_EQ(HostFilesOf(t), before);
  EXPECT_TRUE(fs::exists(t.lockFile));
}

TEST(Registration, WhatIsNoRegularFileIsRefusedAtOnceNamingIt) {
  // A FIFO would block whoever opens it until a writer comes; a device or a
  // folder is no INI file either.
  const struct {
    const char* where;  // the host INI, bg.ini or the management file
    const char* what;
  } cases[] = {
      {"qoral2/QoraL2.ini", "fifo"},
      {"qoral2/QoraL2.ini", "folder"},
      {"qoral2/bg/bg.ini", "fifo"},
      {"qoral2/bg/bg.ini", "folder"},
      {"qoral2/bg/Horizonmill_mng.ini", "fifo"},
      {"qoral2/bg/Horizonmill_mng.ini", "device"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.where) + " " + c.what);
    TestHost t;
    const bool listInBgIni = std::string(c.where).ends_with("bg.ini");
    t.WriteHostIni(listInBgIni ? "" : "[Menu]\r\nBGMax=0\r\n");
    WriteFile(t.Bg("bg.ini"), "[BG.jpn]\r\n");
    const std::string path = t.dir / c.where;
    const HostInstallation installation = Found(t);  // before the bad file comes
    fs::remove(path);
    if (std::string(c.what) == "fifo")
      ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    else if (std::string(c.what) == "folder")
      fs::create_directory(path);
    else
      fs::create_symlink("/dev/zero", path);
    const auto before = Snapshot(t.dir.Path());

    RecordingRegistrationHost ui;
    const bool managementFile = std::string(c.where).ends_with("mng.ini");
    if (!managementFile) {
      // FindHost: not installed, the reason naming the file.
      EXPECT_FALSE(FindHost(t.hostIni, ui));
      ASSERT_EQ(ui.details.size(), 1u);
      EXPECT_NE(ui.details[0].find(path + ": not a regular file"), std::string::npos)
          << ui.details[0];
    }
    if (std::string(c.where).ends_with("QoraL2.ini")) continue;
    try {
      RegisterBackground(installation, {"a", "f", PictureFormat::Bmp}, CoordinatePicture(2, 2), 90,
                         ui);
      ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
      EXPECT_EQ(e.Path(), path);
      EXPECT_EQ(e.Reason(), "not a regular file");
    }
    EXPECT_EQ(HostFilesOf(t), before);
  }
}

}  // namespace
}  // namespace horizonmill

namespace horizonmill {
namespace {

// The host's list says where the next entry goes; it is believed only when
// that is a number the host can reach and nothing is there yet.
TEST(Registration, TheNextEntryNumberIsTakenOnlyWhereTheListLeavesRoomForIt) {
  const struct {
    const char* list;  // [Menu] of the host INI, or the whole of bg.ini
    bool inBgIni;
    const char* key;     // the entry written; nullptr: refused
    const char* reason;  // a part of the English reason when refused
  } cases[] = {
      {"BGMax=20\r\nBack20=own,c_own,own\r\n", false, "Back21", nullptr},
      {"BGMax=0\r\n", false, "Back1", nullptr},
      {"BGMax= 7 \r\n", false, "Back8", nullptr},
      {"BGMax=9998\r\n", false, "Back9999", nullptr},
      {"[BG.jpn]\r\nBack0=own,c_own,own\r\n", true, "Back1", nullptr},
      {"BGMax=junk\r\nBack1=own,c_own,own\r\n", false, nullptr, "\"junk\" is no entry count"},
      {"BGMax=3x\r\n", false, nullptr, "\"3x\" is no entry count"},
      {"BGMax=+3\r\n", false, nullptr, "\"+3\" is no entry count"},
      {"BGMax=0\r\nBack1=own,c_own,own\r\n", false, nullptr, "Back1 holds already"},
      {"BGMax=1\r\nBack1=own,c_own,own\r\nback2=theirs,c_t,t\r\n", false, nullptr,
       "Back2 holds already"},
      {"BGMax=-5\r\n", false, nullptr, "\"-5\" is no entry count"},
      // -1 is a count like -5, not a missing one: bg.ini (there, empty) stays untouched.
      {"BGMax=-1\r\n", false, nullptr, "\"-1\" is no entry count"},
      {"BGMax= -1 \r\nBack1=own,c_own,own\r\n", false, nullptr, "\"-1\" is no entry count"},
      {"BGMax=9999\r\n", false, nullptr, "past the last entry the host can list"},
      {"BGMax=2147483647\r\n", false, nullptr, "past the last entry the host can list"},
      {"BGMax=99999999999\r\n", false, nullptr, "past the last entry the host can list"},
      {"[BG.jpn]\r\nBGMax=-1\r\n", true, nullptr, "\"-1\" is no entry count"},
      {"[BG.jpn]\r\nBGMax=\r\nBack1=own,c_own,own\r\n", true, nullptr, "Back1 holds already"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    TestHost t;
    if (c.inBgIni) {
      t.WriteHostIni("");
      WriteFile(t.Bg("bg.ini"), c.list);
    } else {
      t.WriteHostIni(std::string("[Menu]\r\n") + c.list);
      WriteFile(t.Bg("bg.ini"), "[BG.jpn]\r\n");
    }
    const HostInstallation host = Found(t);
    const auto before = HostFilesOf(t);
    RecordingRegistrationHost ui;
    const BackgroundNames names{"a", "f", PictureFormat::Bmp};
    EXPECT_EQ(CheckRegistration(host, names, ui), c.key != nullptr);
    EXPECT_EQ(RegisterBackground(host, names, CoordinatePicture(2, 2), 90, ui), c.key != nullptr);
    const std::string list = ReadFile(c.inBgIni ? t.Bg("bg.ini") : t.hostIni);
    if (c.key != nullptr) {
      EXPECT_TRUE(ui.events.empty());
      EXPECT_NE(list.find(std::string(c.key) + "=a,c_f,f\r\n"), std::string::npos) << list;
      continue;
    }
    EXPECT_EQ(ui.events, (std::vector<std::string>{
                             "beep", std::string(EnglishText(MessageCode::HostNotInstalled)),
                             "beep", std::string(EnglishText(MessageCode::HostNotInstalled))}));
    EXPECT_NE(ui.details.at(0).find(c.reason), std::string::npos) << ui.details.at(0);
    EXPECT_EQ(HostFilesOf(t), before);
  }
}

// The host runs its files through Windows' rules: a name differing only in
// the case of its letters is the same file there.
TEST(Registration, APictureThereInAnotherLetterCaseStopsIt) {
  for (const char* existing :
       {"bg/SUNSET.BMP", "bg/Sunset.jpg", "bg/C_sunset.bmp", "d3d/sunSET.JPG", "bg/c_SUNSET.Bmp"}) {
    SCOPED_TRACE(existing);
    TestHost t;
    t.WriteHostIni("[Menu]\r\nBGMax=0\r\n");
    WriteFile(t.dir / (std::string("qoral2/") + existing), "x");
    const auto before = Snapshot(t.dir.Path());
    RecordingRegistrationHost ui;
    EXPECT_FALSE(RegisterBackground(Found(t), {"a", "sunset", PictureFormat::Bmp},
                                    CoordinatePicture(2, 2), 90, ui));
    EXPECT_EQ(ui.events,
              std::vector<std::string>{std::string(EnglishText(MessageCode::AlreadyRegistered))});
    EXPECT_NE(ui.details.at(0).find(existing + 3), std::string::npos) << ui.details.at(0);
    EXPECT_EQ(Snapshot(t.dir.Path()), before);
  }
}

// An alias is read back from the host's list with its outer blanks and one
// pair of outer quotes taken off; one that would not read back as written
// could never be found again to be removed.
TEST(Registration, AnAliasThatWouldNotReadBackAsWrittenIsRefused) {
  const struct {
    const char* alias;
    bool accepted;
  } cases[] = {
      {"a b", true},  {"it's", true}, {"a\"", true},    {"\xE3\x80\x80x", true},
      {" a", false},  {"a ", false},  {"\"a\"", false}, {"'a'", false},
      {"\"a", false}, {"'a", false},  {" ", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.alias);
    TestHost t;
    t.WriteHostIni("[Menu]\r\nBGMax=0\r\n");
    const HostInstallation host = Found(t);
    RecordingRegistrationHost ui;
    EXPECT_EQ(CheckRegistration(host, {c.alias, "f", PictureFormat::Bmp}, ui), c.accepted);
    if (c.accepted) continue;
    EXPECT_EQ(ui.events.at(0), EnglishText(MessageCode::BadAlias));
    EXPECT_NE(ui.details.at(0).find("may not begin or end with a blank nor begin with a quote"),
              std::string::npos)
        << ui.details.at(0);
  }
}

// INI files reached through symbolic links (dotfile managers link them):
// each is written through its link, the file it points to replaced in its
// own folder, the link kept.
TEST(Registration, LinkedIniFilesAreWrittenThroughTheirLinks) {
  const struct {
    const char* linked;   // the file that is a link, relative to the host's folder
    bool menuList;        // the list in the host INI's [Menu] rather than bg.ini
    const char* entryIn;  // the linked file holds after the registration
  } cases[] = {
      {"QoraL2.ini", true, "Back4=a,c_f,f"},
      {"bg/bg.ini", false, "Back4=a,c_f,f"},
      {"bg/Horizonmill_mng.ini", false, "Back4=a,c_f.bmp,f.bmp"},
      {"bg/Horizonmill_mng.ini", true, "Back4=a,c_f.bmp,f.bmp"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.linked) + (c.menuList ? " [Menu]" : " bg.ini"));
    TestHost t;
    t.WriteHostIni(c.menuList ? "[Menu]\r\nBGMax=3\r\n" : "");
    WriteFile(t.Bg("bg.ini"), "[BG.jpn]\r\nBGMax=3\r\n");
    WriteFile(t.Bg("Horizonmill_mng.ini"), "[BACKMANAGEMENT]\r\n");
    // The file moves to a dotfile folder and a relative link takes its place.
    const fs::path place = t.dir.Path() / "qoral2" / c.linked;
    const fs::path dotfiles = t.dir.Path() / "dotfiles";
    fs::create_directories(dotfiles);
    const fs::path target = dotfiles / place.filename();
    fs::rename(place, target);
    fs::create_symlink(fs::relative(target, place.parent_path()), place);

    RecordingRegistrationHost ui;
    ASSERT_TRUE(RegisterBackground(Found(t), {"a", "f", PictureFormat::Bmp},
                                   CoordinatePicture(4, 4), 90, ui));
    EXPECT_TRUE(fs::is_symlink(place));
    EXPECT_NE(ReadFile(target.string()).find(std::string(c.entryIn) + "\r\n"), std::string::npos)
        << ReadFile(target.string());
    // No temporary file left in either folder.
    for (const fs::path& folder : {dotfiles, place.parent_path()})
      for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_NE(entry.path().filename().string().rfind(".hm", 0), 0u) << entry.path();
  }
}

// Files the registration cannot use are told for what they are, before
// anything is written.
TEST(Registration, AUtf16OrReadOnlyHostFileIsToldForWhatItIs) {
  const std::string ini = "[QORA-L2]\r\nBGDir=bg\r\n[Direct3D]\r\nBGDir=d3d\r\n";
  std::string utf16le = "\xFF\xFE", utf16be = "\xFE\xFF", utf16bare;
  for (const char ch : ini) {
    utf16le += std::string{ch, '\0'};
    utf16be += std::string{'\0', ch};
    utf16bare += std::string{ch, '\0'};
  }
  const struct {
    const char* what;
    std::string hostIni;   // empty: the usual one, list in bg.ini
    const char* readOnly;  // relative to the host's folder, or nullptr
    bool found;            // FindHost finds the installation
    MessageCode told;
    const char* detail;  // a part of the English details
  } cases[] = {
      {"UTF-16 LE", utf16le, nullptr, false, MessageCode::HostIniUtf16, "is UTF-16 text"},
      {"UTF-16 BE", utf16be, nullptr, false, MessageCode::HostIniUtf16, "is UTF-16 text"},
      {"UTF-16 without a mark", utf16bare, nullptr, false, MessageCode::HostIniUtf16,
       "is UTF-16 text"},
      {"read-only host INI", ini + "[Menu]\r\nBGMax=0\r\n", "QoraL2.ini", true,
       MessageCode::HostFileReadOnly, "QoraL2.ini is read-only"},
      {"read-only bg.ini", "", "bg/bg.ini", true, MessageCode::HostFileReadOnly,
       "bg.ini is read-only"},
      {"read-only management file", "", "bg/Horizonmill_mng.ini", true,
       MessageCode::HostFileReadOnly, "Horizonmill_mng.ini is read-only"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestHost t;
    WriteFile(t.hostIni, c.hostIni.empty() ? ini : c.hostIni);
    WriteFile(t.Bg("bg.ini"), "[BG.jpn]\r\n");
    WriteFile(t.Bg("Horizonmill_mng.ini"), "[BACKMANAGEMENT]\r\n");
    if (c.readOnly) {
      ASSERT_EQ(::chmod((t.dir / "qoral2/" + c.readOnly).c_str(), 0444), 0);
    }
    const auto before = Snapshot(t.dir.Path());
    RecordingRegistrationHost ui;
    const auto host = FindHost(t.hostIni, ui);
    ASSERT_EQ(host.has_value(), c.found);
    const std::vector<std::string> told{"beep", std::string(EnglishText(c.told))};
    if (host) {
      EXPECT_TRUE(ui.events.empty());
      EXPECT_FALSE(RegisterBackground(*host, {"a", "f", PictureFormat::Bmp},
                                      CoordinatePicture(4, 4), 90, ui));
      // The removal of a background there refuses the same file the same way.
      RecordingRegistrationHost removal;
      std::vector<RegisteredBackground> records{{"Back1", "x", "x.bmp", "c_x.bmp"}};
      EXPECT_EQ(DeleteRegisteredBackground(host->Folders, records, 0, removal),
                RemovalResult::Refused);
      EXPECT_EQ(removal.events,
                (std::vector<std::string>{"? Remove the background \"x\"?", told[0], told[1]}));
      EXPECT_NE(removal.details.at(0).find(c.detail), std::string::npos);
    }
    EXPECT_EQ(ui.events, told);
    EXPECT_NE(ui.details.at(0).find(c.detail), std::string::npos) << ui.details.at(0);
    auto after = Snapshot(t.dir.Path());
    after.erase("qoral2/QoraL2.ini.lock");
    EXPECT_EQ(after, before);
  }
}

}  // namespace
}  // namespace horizonmill
