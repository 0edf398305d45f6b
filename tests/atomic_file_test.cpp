// The one writer that replaces files: unnamed until complete (or a short
// named stand-in), only over regular files, keeping mode and group, stopped
// by an interrupt with nothing left behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "platform/Interrupt.h"
#include "platform/WriteProgress.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// Each test once with unnamed files and once with the named stand-in.
class AtomicFileWays : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { detail::UseUnnamedFiles(GetParam()); }
  void TearDown() override {
    detail::UseUnnamedFiles(true);
    RequestInterrupt(0);
  }
  TempDir dir_;
};

INSTANTIATE_TEST_SUITE_P(Ways, AtomicFileWays, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Unnamed" : "Named"; });

TEST_P(AtomicFileWays, NothingButTheOldOrTheNewFileIsEverThere) {
  // A name of 250 characters: the stand-in's name is short whatever the target's.
  const std::string name = std::string(246, 'x') + ".bmp", target = dir_ / name;
  WriteFile(target, "old");
  WriteFileAtomically(target, [&](ByteSink& out) {
    out.Write(std::string(600 * 1024, 'n'));  // more than one block reaches the disk
    const auto entries = dir_.Entries();
    ASSERT_EQ(entries.size(), GetParam() ? 1u : 2u);
    if (!GetParam()) {
      EXPECT_EQ(entries[0].substr(0, 3) + std::to_string(entries[0].size()), ".hm9");
    }
  });
  EXPECT_EQ(ReadFile(target), std::string(600 * 1024, 'n'));
  EXPECT_THROW(WriteFileAtomically(target,
                                   [](ByteSink& out) {
                                     out.Write("partial");
                                     throw std::runtime_error("the encoder gave up");
                                   }),
               FileError);
  EXPECT_EQ(ReadFile(target).size(), 600u * 1024);
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{name});
}

TEST_P(AtomicFileWays, AnInterruptStopsTheWriteAtItsNextBlock) {
  const std::string target = dir_ / "out.jpg";
  WriteFile(target, "old");
  int blocks = 0;
  const auto writeRows = [&](ByteSink& out) {
    for (; blocks < 100; ++blocks) {
      if (blocks == 10) RequestInterrupt(SIGTERM);
      out.Write("a row of pixels");
    }
  };
  EXPECT_THROW(WriteFileAtomically(target, writeRows), Interrupted);
  EXPECT_EQ(blocks, 10);
  // An encoder that turns the sink's stop into an error of its own still
  // reports the interrupt, not a write error.
  const auto swallowing = [](ByteSink& out) {
    try {
      out.Write("x");
    } catch (...) {
      throw std::runtime_error("output file write error");
    }
  };
  EXPECT_THROW(WriteFileAtomically(target, swallowing), Interrupted);
  EXPECT_EQ(ReadFile(target), "old");
  // Putting back a file that a stopped command changed is not stopped.
  WriteFileAtomically(target, "restored", OnInterrupt::Finish);
  EXPECT_EQ(ReadFile(target), "restored");
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"out.jpg"});
}

TEST_P(AtomicFileWays, ASetGoesInWholeOrNotAtAll) {
  const std::string a = dir_ / "a.jpg", b = dir_ / "b.json";
  WriteFile(a, "old a");
  auto text = [](const std::string& t) { return [t](ByteSink& out) { out.Write(t); }; };
  // The second file fails, or is interrupted, after the first is complete.
  EXPECT_THROW(WriteFilesAtomically(
                   {{a, text("new a")},
                    {b, [](ByteSink&) { throw std::runtime_error("the encoder gave up"); }}}),
               FileError);
  EXPECT_THROW(WriteFilesAtomically({{a, text("new a")},
                                     {b,
                                      [](ByteSink& out) {
                                        RequestInterrupt(SIGINT);
                                        out.Write("x");
                                      }}}),
               Interrupted);
  EXPECT_EQ(ReadFile(a), "old a");
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"a.jpg"});
  // All are written, but none is in place yet: an interrupt still stops them all.
  EXPECT_THROW(WriteFilesAtomically({{a, text("new a")},
                                     {b,
                                      [](ByteSink& out) {
                                        out.Write("b");
                                        RequestInterrupt(SIGINT);
                                      }}}),
               Interrupted);
  EXPECT_EQ(ReadFile(a), "old a");
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"a.jpg"});
  // Every file synced, the last about to be named: an interrupt (SIGTERM
  // during the final sync) still stops them all, the one named already too.
  RequestInterrupt(0);
  detail::SetBeforePutInPlaceHook([&](const std::string& path) {
    if (path == b) RequestInterrupt(SIGTERM);
  });
  EXPECT_THROW(WriteFilesAtomically({{a, text("new a")}, {b, text("b")}}), Interrupted);
  detail::SetBeforePutInPlaceHook(nullptr);
  EXPECT_EQ(ReadFile(a), "old a");
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"a.jpg"});
  RequestInterrupt(0);
  WriteFilesAtomically({{a, text("new a")}, {b, text("b")}});
  EXPECT_EQ(ReadFile(a), "new a");
  EXPECT_EQ(ReadFile(b), "b");
  EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"a.jpg", "b.json"}));
}

// A file that may not be replaced takes its name only where nothing is: one
// that comes there after every check, just before the set is put in place,
// is kept, and no file of the set is put in place.
TEST_P(AtomicFileWays, AFileThatCameToANameNotReplacedIsKeptAndNothingIsPlaced) {
  const std::string image = dir_ / "same.png", sun = dir_ / "sun.json";
  auto text = [](const std::string& t) { return [t](ByteSink& out) { out.Write(t); }; };
  const FileToWrite kept{image, text("new image"), 0, false}, other{sun, text("new sun")};
  const struct {
    const char* name;
    std::vector<FileToWrite> set;
  } cases[] = {{"the image first", {kept, other}}, {"the image last", {other, kept}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(image);
    WriteFile(sun, "old sun");
    // The other run's file comes just before the image is named.
    detail::SetBeforePutInPlaceHook([&](const std::string& path) {
      if (path == image) WriteFile(image, "another run's picture");
    });
    try {
      WriteFilesAtomically(c.set);
      ADD_FAILURE() << "the set was placed over a file that came meanwhile";
    } catch (const FileError& e) {
      EXPECT_EQ(e.Path(), image);
      EXPECT_NE(std::string(e.what()).find("came to this name"), std::string::npos) << e.what();
    }
    detail::SetBeforePutInPlaceHook(nullptr);
    EXPECT_EQ(ReadFile(image), "another run's picture");
    EXPECT_EQ(ReadFile(sun), "old sun");
    EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"same.png", "sun.json"}));
    // With nothing there the set is placed as any other.
    std::filesystem::remove(image);
    WriteFilesAtomically(c.set);
    EXPECT_EQ(ReadFile(image), "new image");
    EXPECT_EQ(ReadFile(sun), "new sun");
    EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"same.png", "sun.json"}));
  }
}

// A writer killed between the namings of a set leaves complete files under
// short names; the next clean-up of that folder removes them, but not the
// one a live writer holds (a lock, as every writer holds on its file until
// it is in place), nor anything not made by a writer.
TEST_P(AtomicFileWays, WhatAKilledWriterLeftIsRemovedWhatALiveOneHoldsIsNot) {
  const std::string a = dir_ / "a.png", b = dir_ / "b.png";
  WriteFile(a, "old a");
  WriteFile(b, "old b");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // a is named beside its target when b is about to be: die there.
    detail::SetBeforePutInPlaceHook([&](const std::string& path) {
      if (path == b) ::raise(SIGKILL);
    });
    WriteFilesAtomically({{a, [](ByteSink& out) { out.Write("new a"); }},
                          {b, [](ByteSink& out) { out.Write("new b"); }}});
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  std::vector<std::string> left;
  for (const std::string& name : dir_.Entries())
    if (name.starts_with(".hm")) left.push_back(name);
  // a complete under its short name; with the named stand-in b's too.
  ASSERT_EQ(left.size(), GetParam() ? 1u : 2u);
  std::vector<std::string> contents, paths;
  for (const std::string& name : left) {
    contents.push_back(ReadFile(dir_ / name));
    paths.push_back(dir_ / name);
  }
  std::sort(contents.begin(), contents.end());
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ(contents.front(), "new a");
  // Names that only look alike, and kinds that are no file of ours, stay.
  const std::vector<std::string> kept{".hm12345", ".hm1234567", ".hm-23456", "x.hm123456"};
  for (const std::string& name : kept) WriteFile(dir_ / name, "someone's");
  std::filesystem::create_symlink(a, dir_ / ".hmLinkTo");
  // One held by a live writer (a lock as every writer holds) stays too.
  WriteFile(dir_ / ".hmLive01", "being written");
  const int live = ::open((dir_ / ".hmLive01").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(live, LOCK_EX), 0);
  std::vector<std::string> removed = RemoveLeftTemporaries(dir_.Path().string());
  std::sort(removed.begin(), removed.end());
  EXPECT_EQ(removed, paths);
  ::close(live);
  for (const std::string& name : kept) EXPECT_EQ(ReadFile(dir_ / name), "someone's") << name;
  EXPECT_TRUE(std::filesystem::is_symlink(dir_ / ".hmLinkTo"));
  EXPECT_EQ(ReadFile(a), "old a");
  // Once its writer is gone it is left over like the other.
  EXPECT_EQ(RemoveLeftTemporaries(dir_.Path().string()),
            std::vector<std::string>{dir_ / ".hmLive01"});
}

// The largest file this process may write, lowered for a scope: a write past
// it fails as on a full disk (EFBIG, SIGXFSZ ignored meanwhile).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &before_);
    rlimit lowered = before_;
    lowered.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &lowered);
    signalBefore_ = std::signal(SIGXFSZ, SIG_IGN);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &before_);
    std::signal(SIGXFSZ, signalBefore_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit before_{};
  void (*signalBefore_)(int) = SIG_DFL;
};

// Small files wait in the writer's buffer until they are completed; a disk
// that fills then must find no file of the set put in place yet, whichever
// file it stops.
TEST_P(AtomicFileWays, ADiskFullForAnyFileOfASetLeavesEveryOldFile) {
  const std::string names[] = {"px.png", "nx.png", "sun.json"};
  for (int big = 0; big < 3; ++big) {
    SCOPED_TRACE("too large: " + std::string(names[big]));
    std::vector<FileToWrite> files;
    for (int i = 0; i < 3; ++i) {
      WriteFile(dir_ / names[i], "old " + std::string(names[i]));
      const std::size_t bytes = i == big ? 20000 : 100;
      files.push_back(
          {dir_ / names[i], [bytes](ByteSink& out) { out.Write(std::string(bytes, 'n')); }});
    }
    {
      const FileSizeLimit limit(10000);
      EXPECT_THROW(WriteFilesAtomically(files), FileError);
    }
    for (const std::string& name : names) EXPECT_EQ(ReadFile(dir_ / name), "old " + name);
    EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"nx.png", "px.png", "sun.json"}));
  }
  // New files too: none of them is left behind.
  TempDir empty;
  std::vector<FileToWrite> files;
  for (int i = 0; i < 3; ++i) {
    const std::size_t bytes = i == 2 ? 20000 : 100;
    files.push_back(
        {empty / names[i], [bytes](ByteSink& out) { out.Write(std::string(bytes, 'n')); }});
  }
  {
    const FileSizeLimit limit(10000);
    EXPECT_THROW(WriteFilesAtomically(files), FileError);
  }
  EXPECT_TRUE(empty.Entries().empty());
}

// An encoder into the sink: `rows` rows of `bytes` bytes, each reported.
std::function<void(ByteSink&)> Rows(int rows, std::size_t bytes, char fill,
                                    const std::function<void(int row)>& before = {}) {
  return [=](ByteSink& out) {
    for (int row = 0; row < rows; ++row) {
      if (before) before(row);
      out.Write(std::string(bytes, fill));
      out.EncodedRows(1);
    }
  };
}

// Asked to stop through its progress, a write stops at its next block or
// report of rows, or before it is put in place, wherever the request comes;
// the old files stay and nothing is left beside them.
TEST_P(AtomicFileWays, ARequestToStopLeavesTheOldFilesAndNothingBeside) {
  const std::string a = dir_ / "a.png", b = dir_ / "b.png";
  struct Case {
    const char* when;
    bool set;                  // a and b together, else a alone
    int stopBeforeRow;         // of a's 40 rows of 64 KiB (-1: none)
    const char* stopAtHookOf;  // set when the file is about to be put in place
    int rowsDone;              // reported by the encoders when the write stops
  };
  const Case cases[] = {
      {"before the first row", false, 0, "", 0},
      {"part way, between rows", false, 17, "", 17},
      {"complete, about to be put in place", false, -1, "a.png", 40},
      {"a set, part way through its first file", true, 17, "", 17},
      {"a set, complete, about to put its first file in place", true, -1, "a.png", 43},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.when);
    WriteFile(a, "old a");
    WriteFile(b, "old b");
    std::atomic<bool> stop{false};
    WriteProgress progress(&stop);
    const std::string hookTarget = c.stopAtHookOf[0] ? dir_ / c.stopAtHookOf : "";
    detail::SetBeforePutInPlaceHook([&](const std::string& path) {
      if (path == hookTarget) stop = true;
    });
    const auto encodeA = Rows(40, 64 * 1024, 'a', [&](int row) {
      if (row == c.stopBeforeRow) stop = true;
    });
    if (c.set) {
      EXPECT_THROW(WriteFilesAtomically({{a, encodeA, 40}, {b, Rows(3, 10, 'b'), 3}}, &progress),
                   WriteCancelled);
      EXPECT_EQ(progress.Planned(), 43);
    } else {
      progress.Plan(40);
      EXPECT_THROW(WriteFileAtomically(a, encodeA, OnInterrupt::Stop, &progress), WriteCancelled);
    }
    detail::SetBeforePutInPlaceHook(nullptr);
    // A request before a row is heard at its first write: it is never counted.
    EXPECT_EQ(progress.Done(), c.rowsDone);
    EXPECT_EQ(ReadFile(a), "old a");
    EXPECT_EQ(ReadFile(b), "old b");
    EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"a.png", "b.png"}));
  }
  // Putting a file back is never stopped.
  std::atomic<bool> stop{true};
  WriteProgress progress(&stop);
  WriteFileAtomically(a, Rows(2, 5, 'r'), OnInterrupt::Finish, &progress);
  EXPECT_EQ(ReadFile(a), "rrrrrrrrrr");
}

// The rows the encoders report are counted against the plan of the set, up
// to the whole; without a request to stop, every file goes in.
TEST_P(AtomicFileWays, ProgressCountsTheRowsOfEveryFileToTheEnd) {
  const std::string a = dir_ / "a.bmp", b = dir_ / "b.jpg", sun = dir_ / "sun.json";
  std::atomic<bool> stop{false};
  WriteProgress progress(&stop);
  std::vector<std::pair<std::int64_t, int>> seen;  // done and percent before each row of b
  WriteFilesAtomically(
      {{a, Rows(30, 1000, 'a'), 30},
       {b,
        Rows(10, 1000, 'b', [&](int) { seen.emplace_back(progress.Done(), progress.Percent()); }),
        10},
       {sun, [](ByteSink& out) { out.Write("{}"); }}},
      &progress);
  EXPECT_EQ(progress.Planned(), 40);
  EXPECT_EQ(progress.Done(), 40);
  EXPECT_EQ(progress.Percent(), 100);
  ASSERT_EQ(seen.size(), 10u);
  EXPECT_EQ(seen.front(), (std::pair<std::int64_t, int>{30, 75}));
  EXPECT_EQ(seen.back(), (std::pair<std::int64_t, int>{39, 97}));  // 39 / 40, toward zero
  EXPECT_EQ(ReadFile(a), std::string(30000, 'a'));
  EXPECT_EQ(ReadFile(b), std::string(10000, 'b'));
  EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"a.bmp", "b.jpg", "sun.json"}));
  // A progress with nothing planned says 0; with no flag, nothing asks to stop.
  const WriteProgress idle;
  EXPECT_EQ(idle.Percent(), 0);
  EXPECT_FALSE(idle.StopAsked());
}

TEST(AtomicFile, OnlyRegularFilesAreReplacedAndLinksAreNotWrittenThrough) {
  TempDir dir;
  const std::string fifo = dir / "fifo", folder = dir / "folder", socket = dir / "socket";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_directory(folder);
  ASSERT_EQ(::mknod(socket.c_str(), S_IFSOCK | 0600, 0), 0);
  for (const auto& [path, kind] :
       {std::pair{fifo, "FIFO"}, {folder, "folder"}, {socket, "socket"}}) {
    EXPECT_EQ(NotReplaceableReason(path), std::string("is a ") + kind + ", not a regular file");
    EXPECT_THROW(WriteFileAtomically(path, "x"), FileError) << kind;
  }
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"fifo", "folder", "socket"}));

  const std::string kept = dir / "kept.txt", link = dir / "link.jpg";
  WriteFile(kept, "what the link points to");
  std::filesystem::create_symlink(kept, link);
  WriteFileAtomically(link, "new picture");
  EXPECT_FALSE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(link), "new picture");
  EXPECT_EQ(ReadFile(kept), "what the link points to");

  // A link to anything but a regular file is left alone: writing "through"
  // /dev/stdout as root must not turn it into a file.
  const struct {
    std::string target;
    std::string reason;
  } links[] = {
      {fifo, "is a symbolic link to a FIFO, not a regular file"},
      {folder, "is a symbolic link to a folder, not a regular file"},
      {"/dev/null", "is a symbolic link into /dev"},
      // Standard output redirected to a file is still no file to replace.
      {"/proc/self/fd/1", "is a symbolic link into /proc"},
      {"/dev/stdout", "is a symbolic link into /dev"},
      {dir / "nowhere", "is a symbolic link that points to nothing"},
  };
  for (const auto& [target, reason] : links) {
    const std::string name = dir / "to-something";
    std::filesystem::remove(name);
    std::filesystem::create_symlink(target, name);
    EXPECT_EQ(NotReplaceableReason(name).substr(0, reason.size()), reason) << target;
    EXPECT_THROW(WriteFileAtomically(name, "x"), FileError) << target;
    EXPECT_TRUE(std::filesystem::is_symlink(name)) << target;
  }
}

TEST(AtomicFile, AReplacedFileKeepsItsModeAndGroupANewOneTheUmasks) {
  TempDir dir;
  const std::string target = dir / "out.bmp";
  struct stat st;
  const mode_t mask = ::umask(027);
  WriteFileAtomically(target, "new");
  ::umask(mask);
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  for (const mode_t mode : {0600, 01644, 06755}) {
    ASSERT_EQ(::chmod(target.c_str(), mode), 0);
    WriteFileAtomically(target, "again");
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode & ~mode_t{06000}) << std::oct << mode;
  }
  // The group, where the writer may set it (root may; so may a member).
  const gid_t other = ::getegid() + 1;
  if (::chown(target.c_str(), static_cast<uid_t>(-1), other) == 0) {
    WriteFileAtomically(target, "grouped");
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_gid, other);
  }
}

// Files that other programs share (INI files) are written through their
// links: what the chain of links ends at is replaced in its own folder, and
// every link stays a link.
TEST(AtomicFile, WritingThroughLinksReplacesTheFileAtTheirEnd) {
  const struct {
    const char* what;
    std::vector<std::pair<std::string, std::string>> links;  // link -> what it holds
    std::string end;  // the file replaced, relative to the test's folder
  } cases[] = {
      {"no link", {}, "a/host.ini"},
      {"absolute link", {{"a/host.ini", "/dot/host.ini"}}, "dot/host.ini"},
      {"relative link", {{"a/host.ini", "../dot/host.ini"}}, "dot/host.ini"},
      {"chain of two links",
       {{"a/host.ini", "b/next.ini"}, {"a/b/next.ini", "../../dot/host.ini"}},
       "dot/host.ini"},
      {"link to a missing file", {{"a/host.ini", "../dot/new.ini"}}, "dot/new.ini"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    for (const char* folder : {"a/b", "dot"}) std::filesystem::create_directories(dir / folder);
    WriteFile(dir / "dot/host.ini", "old");
    if (c.links.empty()) WriteFile(dir / "a/host.ini", "old");
    for (const auto& [link, to] : c.links)
      std::filesystem::create_symlink(to.starts_with('/') ? dir / to.substr(1) : to, dir / link);
    const std::string behind = FileBehindLinks(dir / "a/host.ini");
    WriteFileThroughLinks(dir / "a/host.ini", "new");
    EXPECT_TRUE(std::filesystem::equivalent(behind, dir / c.end)) << behind;
    EXPECT_EQ(ReadFile(dir / c.end), "new");
    EXPECT_EQ(ReadFile(dir / "a/host.ini"), "new");
    for (const auto& [link, to] : c.links) EXPECT_TRUE(std::filesystem::is_symlink(dir / link));
    // Nothing beside the files.
    for (const char* folder : {"a", "a/b", "dot"})
      for (const auto& entry : std::filesystem::directory_iterator(dir / folder))
        EXPECT_NE(entry.path().filename().string().rfind(".hm", 0), 0u) << entry.path();
  }
}

// A file nobody may write, or that this process may not, is refused with
// the reason and left as it is, through a link too; links to what is no
// regular file are refused as WriteFileAtomically refuses them.
TEST(AtomicFile, WritingThroughLinksRefusesReadOnlyFilesAndSpecialTargets) {
  TempDir dir;
  WriteFile(dir / "locked.ini", "old");
  ASSERT_EQ(::chmod((dir / "locked.ini").c_str(), 0444), 0);
  std::filesystem::create_symlink("locked.ini", dir / "to-locked.ini");
  std::filesystem::create_symlink("/dev/null", dir / "to-null.ini");
  std::filesystem::create_directory(dir / "folder");
  std::filesystem::create_symlink("folder", dir / "to-folder.ini");
  const struct {
    std::string path;
    std::string reason;  // a part of the FileError's reason
  } cases[] = {
      {dir / "locked.ini", "is read-only"},
      {dir / "to-locked.ini", "locked.ini (the file its link points to) is read-only"},
      {dir / "to-null.ini", "is a symbolic link into /dev"},
      {dir / "to-folder.ini", "a folder"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    try {
      WriteFileThroughLinks(c.path, "new");
      ADD_FAILURE() << "written";
    } catch (const FileError& e) {
      EXPECT_EQ(e.Path(), c.path);
      EXPECT_NE(e.Reason().find(c.reason), std::string::npos) << e.Reason();
    }
  }
  EXPECT_EQ(ReadOnlyReason(dir / "locked.ini").empty(), false);
  EXPECT_EQ(ReadOnlyReason(dir / "missing.ini"), "");
  EXPECT_EQ(ReadFile(dir / "locked.ini"), "old");
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "to-null.ini"));
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"folder", "locked.ini", "to-folder.ini",
                                                     "to-locked.ini", "to-null.ini"}));
}

}  // namespace
}  // namespace horizonmill
