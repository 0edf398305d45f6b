// The one writer that replaces files: unnamed until complete (or a short
// named stand-in), only over regular files, keeping mode and group, stopped
// by an interrupt with nothing left behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "platform/Interrupt.h"
#include "support/TempDir.h"

namespace horizonmill {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// Runs the test body once with unnamed files and once with the named stand-in.
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
  const std::string target = dir_ / "picture.bmp";
  WriteFile(target, "old");
  WriteFileAtomically(target, [&](ByteSink& out) {
    out.Write(std::string(600 * 1024, 'n'));  // more than one block reaches the disk
    const auto entries = dir_.Entries();
    if (GetParam()) {
      EXPECT_EQ(entries, std::vector<std::string>{"picture.bmp"});
    } else {
      // The stand-in's name is short whatever the target's length.
      ASSERT_EQ(entries.size(), 2u);
      EXPECT_EQ(entries[0].substr(0, 3), ".hm");
      EXPECT_EQ(entries[0].size(), 9u);
    }
  });
  EXPECT_EQ(ReadFile(target), std::string(600 * 1024, 'n'));
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"picture.bmp"});

  // A name of 250 characters, as new file and replaced.
  const std::string longName = std::string(246, 'x') + ".bmp";
  WriteFileAtomically(dir_ / longName, "first");
  WriteFileAtomically(dir_ / longName, "second");
  EXPECT_EQ(ReadFile(dir_ / longName), "second");
  EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"picture.bmp", longName}));
}

TEST_P(AtomicFileWays, AnInterruptStopsTheWriteAtItsNextBlock) {
  const std::string target = dir_ / "out.jpg";
  WriteFile(target, "old");
  int blocks = 0;
  const auto writeRows = [&](ByteSink& out) {
    for (int row = 0; row < 100; ++row) {
      out.Write("a row of pixels");
      ++blocks;
      if (row == 10) RequestInterrupt(SIGTERM);
    }
  };
  try {
    WriteFileAtomically(target, writeRows);
    FAIL() << "not stopped";
  } catch (const Interrupted& e) {
    EXPECT_EQ(e.Signal(), SIGTERM);
    EXPECT_EQ(e.ExitStatus(), 143);
  }
  EXPECT_EQ(blocks, 11);
  EXPECT_EQ(ReadFile(target), "old");
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"out.jpg"});

  // An encoder that turns the sink's stop into an error of its own still
  // reports the interrupt, not a write error.
  RequestInterrupt(SIGINT);
  EXPECT_THROW(WriteFileAtomically(target,
                                   [](ByteSink& out) {
                                     try {
                                       out.Write("x");
                                     } catch (...) {
                                       throw std::runtime_error("output file write error");
                                     }
                                   }),
               Interrupted);
  EXPECT_THROW(WriteFileAtomically(target, "new"), Interrupted);
  EXPECT_EQ(ReadFile(target), "old");

  // Putting back a file that a stopped command changed is not stopped.
  WriteFileAtomically(target, "restored", OnInterrupt::Finish);
  EXPECT_EQ(ReadFile(target), "restored");
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"out.jpg"});
}

TEST_P(AtomicFileWays, AFailedWriteSaysWhyAndLeavesNothing) {
  const std::string target = dir_ / "settings.hm";
  WriteFile(target, "old");
  try {
    WriteFileAtomically(target, [](ByteSink& out) {
      out.Write("partial");
      throw std::runtime_error("the encoder gave up");
    });
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.Path(), target);
    EXPECT_EQ(e.Reason(), "the encoder gave up");
  }
  EXPECT_EQ(ReadFile(target), "old");
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"settings.hm"});
}

TEST(AtomicFile, OnlyRegularFilesAreReplacedAndLinksAreNotWrittenThrough) {
  TempDir dir;
  const std::string fifo = dir / "fifo", folder = dir / "folder", socket = dir / "socket";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_directory(folder);
  const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socket.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const struct {
    std::string path, reason;
  } cases[] = {{fifo, "is a FIFO, not a regular file"},
               {folder, "is a folder, not a regular file"},
               {socket, "is a socket, not a regular file"}};
  for (const auto& c : cases) {
    EXPECT_EQ(NotReplaceableReason(c.path), c.reason);
    try {
      WriteFileAtomically(c.path, "x");
      FAIL() << c.path << " replaced";
    } catch (const FileError& e) {
      EXPECT_EQ(e.Reason(), c.reason);
    }
  }
  ::close(s);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"fifo", "folder", "socket"}));

  const std::string kept = dir / "kept.txt", link = dir / "link.jpg";
  WriteFile(kept, "what the link points to");
  std::filesystem::create_symlink(kept, link);
  EXPECT_EQ(NotReplaceableReason(link), "");
  WriteFileAtomically(link, "new picture");
  EXPECT_FALSE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(link), "new picture");
  EXPECT_EQ(ReadFile(kept), "what the link points to");
}

TEST(AtomicFile, AReplacedFileKeepsItsModeAndGroupANewOneTheUmasks) {
  TempDir dir;
  const std::string target = dir / "out.bmp";
  const auto modeOf = [&] {
    struct stat st;
    EXPECT_EQ(::stat(target.c_str(), &st), 0);
    return st.st_mode & 07777;
  };
  const mode_t mask = ::umask(027);
  WriteFileAtomically(target, "new");
  EXPECT_EQ(modeOf(), 0640u);
  ::umask(mask);
  for (const mode_t mode : {0600, 0664, 01644, 06755}) {
    ASSERT_EQ(::chmod(target.c_str(), mode), 0);
    WriteFileAtomically(target, "again");
    EXPECT_EQ(modeOf(), mode & ~mode_t{06000}) << std::oct << mode;
  }
  // The group, where the writer may set it (root may; so may a member).
  const gid_t other = ::getegid() + 1;
  if (::chown(target.c_str(), static_cast<uid_t>(-1), other) == 0) {
    WriteFileAtomically(target, "grouped");
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_gid, other);
  }
}

}  // namespace
}  // namespace horizonmill
