// Registration and removal stopped at every write, failing at every write, and
// racing each other: the host always ends with the whole of a background or
// none of it, once the next registration, listing or removal has tidied.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <set>
#include <thread>

#include "host/RegisteredBackgrounds.h"
#include "host/Registration.h"
#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "platform/PrivateProfile.h"
#include "support/TestHost.h"

namespace horizonmill {
namespace {

namespace fs = std::filesystem;
using testing::HostFilesOf;
using testing::RecordingRegistrationHost;
using testing::TestHost;

constexpr int kStopped = 86;
const std::string kTakenBack(EnglishText(MessageCode::RegistrationTakenBack));
const std::string kFinished(EnglishText(MessageCode::RemovalFinished));

const BackgroundNames kOld{"古", "old", PictureFormat::Bmp};
const BackgroundNames kNew{"夕焼け", "sunset", PictureFormat::Jpeg};

WorkBitmap Picture() {
  WorkBitmap picture(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      picture.Row(y)[x] = BgrPixel{static_cast<std::uint8_t>(x * 30), 90, 200};
  return picture;
}

// The host's own Back20 and, registered by us, "old" at Back21.
struct Host : TestHost {
  Host() {
    WriteHostIni("[Menu]\r\nBGMax=20\r\nBack20=host,c_host,host\r\n");
    RecordingRegistrationHost ui;
    installation = FindHost(hostIni, ui).value();
    EXPECT_TRUE(RegisterBackground(installation, kOld, Picture(), 90, ui));
  }
  bool Register(const BackgroundNames& names, RegistrationHost& ui) const {
    return RegisterBackground(installation, names, Picture(), 90, ui);
  }
  std::vector<RegisteredBackground> List(RegistrationHost& ui) const {
    return ReadRegisteredBackgrounds(installation.Folders, ui);
  }
  RemovalResult Remove(const BackgroundNames& names) const {
    RecordingRegistrationHost ui;
    auto records = List(ui);
    for (std::size_t i = 0; i < records.size(); ++i)
      if (records[i].Alias == names.Alias)
        return DeleteRegisteredBackground(installation.Folders, records, i, ui);
    ADD_FAILURE() << names.Alias << " is not listed";
    return RemovalResult::Cancelled;
  }
  HostInstallation installation;
};

// What the host holds of a background: the key of its entry in the host's
// list and of its record (empty when missing), and which of its pictures exist.
struct Holding {
  std::string entry, record;
  bool picture, catalog, texture;
};
Holding HoldingOf(const Host& t, const BackgroundNames& names) {
  const BackgroundFiles files = FilesOf(t.installation.Folders, names);
  auto keyOf = [](const IniDocument& ini, std::string_view section, const std::string& value) {
    for (const std::string& key : ini.KeyNames(section))
      if (ini.ReadString(section, key, "") == value) return key;
    return std::string();
  };
  const std::string c = "c_" + names.FileName;
  const std::string ext = names.Format == PictureFormat::Bmp ? ".bmp" : ".jpg";
  return {keyOf(LoadIniFile(t.hostIni), "Menu", names.Alias + "," + c + "," + names.FileName),
          keyOf(LoadIniFile(t.Bg("Horizonmill_mng.ini")), "BACKMANAGEMENT",
                names.Alias + "," + c + ".bmp," + names.FileName + ext),
          fs::exists(files.Picture), fs::exists(files.Catalog), fs::exists(files.Texture)};
}

// The whole background (true) or none of it (false); anything between fails.
bool WholeOrNone(const Host& t, const BackgroundNames& names) {
  const Holding h = HoldingOf(t, names);
  const bool whole = !h.entry.empty();
  EXPECT_EQ(h.record, h.entry) << names.FileName;
  EXPECT_EQ(h.picture, whole) << names.FileName;
  EXPECT_EQ(h.catalog, whole) << names.FileName;
  EXPECT_EQ(h.texture, whole) << names.FileName;
  return whole;
}

// No note left in the management file and no stray file in the folders.
void ExpectTidy(const Host& t) {
  EXPECT_EQ(LoadIniFile(t.Bg("Horizonmill_mng.ini")).SectionNames(),
            std::vector<std::string>{"BACKMANAGEMENT"});
  for (const char* folder : {"qoral2", "qoral2/bg", "qoral2/d3d"})
    for (const auto& entry : fs::directory_iterator(t.dir / folder))
      EXPECT_FALSE(entry.path().filename().string().starts_with(".hm")) << entry.path();
}

// The files `act` puts in place, in order.
std::vector<std::string> WritesOf(const std::function<void()>& act) {
  std::vector<std::string> paths;
  detail::SetBeforePutInPlaceHook([&](const std::string& path) { paths.push_back(path); });
  act();
  detail::SetBeforePutInPlaceHook(nullptr);
  return paths;
}

// Runs `act` in a child process that dies just before its `step`-th write
// (from 1) is put in place, as a kill -9 there would leave it.
void StopBefore(int step, const std::function<void()>& act) {
  EXPECT_EXIT(
      {
        int seen = 0;
        detail::SetBeforePutInPlaceHook([&](const std::string&) {
          if (++seen == step) ::_exit(kStopped);
        });
        act();
        ::_exit(0);
      },
      ::testing::ExitedWithCode(kStopped), "")
      << "step " << step;
}

// Records what it is told, and whether the host's lock was free then: a
// message box must not keep other registrations waiting.
class LockWatchingHost : public RecordingRegistrationHost {
 public:
  explicit LockWatchingHost(std::string lockFile) : lockFile_(std::move(lockFile)) {}
  void MessageBox(const Message& message, std::string_view detail) override {
    RecordingRegistrationHost::MessageBox(message, detail);
    const int fd = ::open(lockFile_.c_str(), O_RDWR | O_CLOEXEC);
    toldWhileLocked = toldWhileLocked || fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
  }
  bool toldWhileLocked = false;

 private:
  std::string lockFile_;
};

// Makes the `step`-th write fail, as a full disk would.
class FailingWrite {
 public:
  explicit FailingWrite(int step) {
    detail::SetBeforePutInPlaceHook([this, step](const std::string& path) {
      if (++seen_ == step) throw FileError(path, "no space left on device");
    });
  }
  ~FailingWrite() { detail::SetBeforePutInPlaceHook(nullptr); }

 private:
  int seen_ = 0;
};

TEST(RegistrationRecovery, StoppedAtAnyWriteTheNextListingOrRegistrationLeavesAllOrNothing) {
  std::vector<std::string> writes;
  {
    Host t;
    RecordingRegistrationHost ui;
    writes = WritesOf([&] { EXPECT_TRUE(t.Register(kNew, ui)); });
    const std::string mng = t.Bg("Horizonmill_mng.ini");
    EXPECT_EQ(writes, (std::vector<std::string>{mng, t.Bg("sunset.jpg"), t.Bg("c_sunset.bmp"),
                                                t.D3d("sunset.jpg"), t.hostIni, mng}));
  }
  const BackgroundNames other{"別", "other", PictureFormat::Bmp};
  for (int step = 1; step <= static_cast<int>(writes.size()); ++step) {
    for (const bool byRegistration : {false, true}) {
      SCOPED_TRACE("stopped before write " + std::to_string(step) +
                   (byRegistration ? ", tidied by a registration" : ", tidied by a listing"));
      Host t;
      StopBefore(step, [&] {
        RecordingRegistrationHost ui;
        t.Register(kNew, ui);
      });
      LockWatchingHost ui(t.lockFile);
      if (byRegistration)
        EXPECT_TRUE(t.Register(other, ui));
      else
        t.List(ui);
      EXPECT_FALSE(ui.toldWhileLocked);

      // Complete once the host's list holds the entry (the last write but one).
      const bool whole = step == static_cast<int>(writes.size());
      EXPECT_EQ(WholeOrNone(t, kNew), whole);
      EXPECT_TRUE(WholeOrNone(t, kOld));
      EXPECT_EQ(HoldingOf(t, kOld).entry, "Back21");
      ExpectTidy(t);
      // Pictures written before the stop are named in what the host is told.
      const bool takenBack = step > 1 && !whole;
      EXPECT_EQ(ui.events,
                takenBack ? std::vector<std::string>{kTakenBack} : std::vector<std::string>{});
      const std::string pictures[] = {t.Bg("sunset.jpg"), t.Bg("c_sunset.bmp"),
                                      t.D3d("sunset.jpg")};  // writes 2, 3 and 4
      for (int w = 2; takenBack && w <= 4; ++w)
        EXPECT_EQ(ui.details.at(0).find(pictures[w - 2]) != std::string::npos, w < step)
            << pictures[w - 2];
      if (step == 2) {
        EXPECT_NE(ui.details.at(0).find("none of its pictures"), std::string::npos);
      }
      // Nothing left over stands in the way of registering the name again.
      RecordingRegistrationHost again;
      EXPECT_EQ(t.Register(kNew, again), !whole);
    }
  }
}

TEST(RegistrationRecovery, RemovalStoppedAtAnyWriteLeavesAllOrNothing) {
  auto prepare = [](Host& t) {
    RecordingRegistrationHost ui;
    EXPECT_TRUE(t.Register(kNew, ui));
    // The host adds an entry of its own after ours.
    IniDocument ini = LoadIniFile(t.hostIni);
    ini.WriteString("Menu", "BGMax", "23");
    ini.WriteString("Menu", "Back23", "late,c_late,late");
    SaveIniFile(t.hostIni, ini);
  };
  std::vector<std::string> writes;
  {
    Host t;
    prepare(t);
    writes = WritesOf([&] { EXPECT_EQ(t.Remove(kNew), RemovalResult::Removed); });
    const std::string mng = t.Bg("Horizonmill_mng.ini");
    EXPECT_EQ(writes, (std::vector<std::string>{mng, t.hostIni, mng}));
  }
  for (int step = 1; step <= static_cast<int>(writes.size()); ++step) {
    SCOPED_TRACE("stopped before write " + std::to_string(step));
    Host t;
    prepare(t);
    StopBefore(step, [&] { t.Remove(kNew); });
    RecordingRegistrationHost ui;
    t.List(ui);
    // Done once the host's list has let the entry go (the second write).
    const bool removed = step > 2;
    EXPECT_EQ(WholeOrNone(t, kNew), !removed);
    EXPECT_EQ(HoldingOf(t, kOld).entry, "Back21");
    const IniDocument list = LoadIniFile(t.hostIni);
    EXPECT_EQ(list.ReadString("Menu", removed ? "Back22" : "Back23", ""), "late,c_late,late");
    EXPECT_EQ(list.ReadString("Menu", "BGMax", ""), removed ? "22" : "23");
    ExpectTidy(t);
    EXPECT_EQ(ui.events,
              removed ? std::vector<std::string>{kFinished} : std::vector<std::string>{});
  }
}

TEST(RegistrationRecovery, AFailedWriteAtAnyStepLeavesTheHostAsItWas) {
  for (int step = 1; step <= 6; ++step) {
    SCOPED_TRACE("registration, write " + std::to_string(step) + " failing");
    Host t;
    const auto before = HostFilesOf(t);
    RecordingRegistrationHost ui;
    {
      const FailingWrite failing(step);
      EXPECT_THROW(t.Register(kNew, ui), FileError);
    }
    EXPECT_EQ(HostFilesOf(t), before);
    EXPECT_TRUE(ui.events.empty());
  }
  for (int step = 1; step <= 3; ++step) {
    SCOPED_TRACE("removal, write " + std::to_string(step) + " failing");
    Host t;
    RecordingRegistrationHost ui;
    ASSERT_TRUE(t.Register(kNew, ui));
    const auto before = HostFilesOf(t);
    {
      const FailingWrite failing(step);
      EXPECT_THROW(t.Remove(kNew), FileError);
    }
    if (step < 3) {
      EXPECT_EQ(HostFilesOf(t), before);
      continue;
    }
    // The last write only notes that the removal is over: the pictures are
    // gone, and the next listing finishes the record.
    t.List(ui);
    EXPECT_FALSE(WholeOrNone(t, kNew));
    EXPECT_EQ(ui.events, std::vector<std::string>{kFinished});
    ExpectTidy(t);
  }
}

TEST(RegistrationRecovery, RegistrationsRacingIntoOneHostBothStay) {
  const BackgroundNames a{"あ", "a", PictureFormat::Bmp}, b{"い", "b", PictureFormat::Jpeg};
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    Host t;
    std::atomic<int> ready{0};
    bool registered[2] = {false, false};
    auto run = [&](int i, const BackgroundNames& names) {
      RecordingRegistrationHost ui;
      ++ready;
      while (ready < 2) std::this_thread::yield();
      registered[i] = t.Register(names, ui);
    };
    std::thread first(run, 0, std::cref(a)), second(run, 1, std::cref(b));
    first.join();
    second.join();
    EXPECT_TRUE(registered[0]);
    EXPECT_TRUE(registered[1]);
    EXPECT_TRUE(WholeOrNone(t, a));
    EXPECT_TRUE(WholeOrNone(t, b));
    EXPECT_TRUE(WholeOrNone(t, kOld));
    const std::vector<std::string> keys{HoldingOf(t, a).entry, HoldingOf(t, b).entry};
    EXPECT_TRUE(keys == (std::vector<std::string>{"Back22", "Back23"}) ||
                keys == (std::vector<std::string>{"Back23", "Back22"}));
    EXPECT_EQ(LoadIniFile(t.hostIni).ReadString("Menu", "BGMax", ""), "23");
  }
}

// Two installs of the host (or a copy of its INI) name one background folder,
// and two processes register through them at once: bg.ini and the management
// file in the folder are shared, so the folder's lock, not the host INI's,
// keeps each read-change-write whole.
TEST(RegistrationRecovery, TwoHostInisNamingOneFolderRegisterAtOnceAndLoseNothing) {
  TestHost t;
  t.WriteHostIni("");
  const std::string copy = t.dir / "copy/QoraL2.ini";
  fs::create_directories(t.dir.Path() / "copy");
  testing::WriteFile(copy, "[QORA-L2]\r\nBGDir=../qoral2/bg\r\n[Direct3D]\r\nBGDir=" +
                               (t.dir / "qoral2/d3d") + "\r\n");
  testing::WriteFile(t.Bg("bg.ini"), "[BG.jpn]\r\nBGMax=1\r\nBack1=host,c_host,host\r\n");
  constexpr int kEach = 6;
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = ::fork();
    ASSERT_GE(children[c], 0);
    if (children[c] != 0) continue;
    int status = 0;
    try {
      RecordingRegistrationHost ui;
      const auto host = FindHost(c == 0 ? t.hostIni : copy, ui);
      for (int i = 0; i < kEach && status == 0; ++i) {
        const std::string name = std::string(1, static_cast<char>('a' + c)) + std::to_string(i);
        if (!host ||
            !RegisterBackground(*host, {name, name, PictureFormat::Bmp}, Picture(), 90, ui))
          status = 1;
      }
    } catch (...) {
      status = 2;
    }
    ::_exit(status);
  }
  for (const pid_t child : children) {
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }

  // Every entry in the list, each once, and the records matching it number
  // for number.
  const IniDocument list = LoadIniFile(t.Bg("bg.ini"));
  const IniDocument records = LoadIniFile(t.Bg("Horizonmill_mng.ini"));
  EXPECT_EQ(list.ReadString("BG.jpn", "BGMax", ""), std::to_string(1 + 2 * kEach));
  std::set<std::string> names;
  for (int n = 2; n <= 1 + 2 * kEach; ++n) {
    const std::string key = "Back" + std::to_string(n);
    const std::string name = list.ReadString("BG.jpn", key, "").substr(0, 2);
    EXPECT_EQ(list.ReadString("BG.jpn", key, ""), name + ",c_" + name + "," + name);
    EXPECT_EQ(records.ReadString("BACKMANAGEMENT", key, ""),
              name + ",c_" + name + ".bmp," + name + ".bmp");
    names.insert(name);
  }
  EXPECT_EQ(names.size(), std::size_t{2 * kEach});
  // The listing through either host INI tidies, and deletes nothing listed.
  auto before = HostFilesOf(t);
  before.erase("copy/QoraL2.ini.lock");
  for (const std::string& hostIni : {t.hostIni, copy}) {
    RecordingRegistrationHost ui;
    EXPECT_EQ(ReadRegisteredBackgrounds(FindHost(hostIni, ui).value().Folders, ui).size(),
              std::size_t{2 * kEach});
    EXPECT_TRUE(ui.events.empty());
  }
  auto after = HostFilesOf(t);
  after.erase("copy/QoraL2.ini.lock");
  EXPECT_EQ(after, before);
  for (const std::string& name : names)
    EXPECT_TRUE(fs::exists(t.Bg(name + ".bmp")) && fs::exists(t.Bg("c_" + name + ".bmp")) &&
                fs::exists(t.D3d(name + ".jpg")))
        << name;
}

}  // namespace
}  // namespace horizonmill
