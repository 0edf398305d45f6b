// The one writer that replaces files: unnamed until complete (or a short
// named stand-in), only over regular files, keeping mode and group, stopped
// by an interrupt with nothing left behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

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
  auto text = [](std::string t) { return [t](ByteSink& out) { out.Write(t); }; };
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
  // Once all are written, a pending interrupt no longer stops any of them.
  RequestInterrupt(0);
  WriteFilesAtomically({{a, text("new a")}, {b, [](ByteSink& out) {
                                               out.Write("b");
                                               RequestInterrupt(SIGINT);
                                             }}});
  EXPECT_EQ(ReadFile(a), "new a");
  EXPECT_EQ(ReadFile(b), "b");
  EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"a.jpg", "b.json"}));
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

}  // namespace
}  // namespace horizonmill
