#include "platform/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <vector>

#include "platform/FileError.h"
#include "platform/Interrupt.h"

namespace horizonmill {
namespace {

std::atomic<bool> g_useUnnamedFiles{true};

std::mutex g_hookMutex;
std::function<void(const std::string&)> g_beforePutInPlace;

void BeforePutInPlace(const std::string& path) {
  std::function<void(const std::string&)> hook;
  {
    const std::lock_guard<std::mutex> lock(g_hookMutex);
    hook = g_beforePutInPlace;
  }
  if (hook) hook(path);
}

constexpr std::size_t kBlockBytes = 256 * 1024;

// "/a/b/c" gives "/a/b" and "c"; a bare name lives in ".".
struct SplitPath {
  std::string folder;
  std::string name;
};
SplitPath Split(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// The file descriptor closed at scope end.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() { Close(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }
  void Reset(int fd) {
    Close();
    fd_ = fd;
  }
  int Close() {
    const int result = fd_ >= 0 ? ::close(fd_) : 0;
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

// A short name no file in the folder has yet: ".hm" and six letters or digits.
std::string RandomName() {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<int> pick(0, sizeof kLetters - 2);
  std::string name = ".hm";
  for (int i = 0; i < 6; ++i) name += kLetters[pick(random)];
  return name;
}

// The new file, written in blocks. Whatever way the writing ends, the
// destructor closes it and removes its name unless it has been put in place.
class NewFile : public ByteSink {
 public:
  NewFile(const std::string& target, OnInterrupt onInterrupt, WriteProgress* progress = nullptr)
      : target_(target), place_(Split(target)), onInterrupt_(onInterrupt), progress_(progress) {
    if (place_.name.empty() || place_.name == "." || place_.name == "..")
      throw FileError(target_, "not a file name");
    folder_.Reset(::open(place_.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder_.Get() < 0) Fail(errno);
    if (const std::string reason = NotReplaceableReason(target_); !reason.empty())
      throw FileError(target_, reason);
    if (g_useUnnamedFiles && ::access("/proc/self/fd", X_OK) == 0) {
      file_.Reset(::openat(folder_.Get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
      // Without unnamed files the call fails in one of these ways; any other
      // failure (no permission, no space) would befall a named file as well.
      if (file_.Get() < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) Fail(errno);
    }
    if (file_.Get() < 0)
      CreateNamed();
    else
      HoldLock();
    buffer_.reserve(kBlockBytes);
  }
  ~NewFile() override {
    if (linkedAtTarget_) UnlinkTargetIfOurs();
    file_.Close();
    if (!tempName_.empty()) ::unlinkat(folder_.Get(), tempName_.c_str(), 0);
  }
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  // Why the sink stopped taking bytes (FileError, Interrupted or
  // WriteCancelled), if it did: an encoder may have turned that into an error
  // of its own.
  std::exception_ptr Failure() const { return failure_; }

  using ByteSink::Write;
  void Write(const void* data, std::size_t size) override {
    Noting([&] {
      StopIfAsked();
      const auto* bytes = static_cast<const char*>(data);
      while (size > 0) {
        const std::size_t n = std::min(size, kBlockBytes - buffer_.size());
        buffer_.insert(buffer_.end(), bytes, bytes + n);
        bytes += n;
        size -= n;
        if (buffer_.size() == kBlockBytes) {
          StopIfAsked();
          WriteBuffer();
        }
      }
    });
  }
  void Flush() override {
    Noting([&] { WriteBuffer(); });
  }
  void EncodedRows(int rows) override {
    Noting([&] {
      if (progress_ != nullptr) progress_->Advance(rows);
      StopIfAsked();
    });
  }

  // From here on neither an interrupt nor a request to stop stops this file.
  void Finish() { onInterrupt_ = OnInterrupt::Finish; }

  // The file takes the target's name only where nothing is (Name).
  void KeepExisting() { keepExisting_ = true; }

  // Makes the complete file ready to be put in place: every byte written,
  // the target's mode and group, on disk. Until Rename nothing is named.
  void Complete() {
    WriteBuffer();
    KeepAttributes();
    if (::fsync(file_.Get()) != 0) Fail(errno);
    // Whatever came to the target meanwhile is looked at again.
    if (const std::string reason = NotReplaceableReason(target_); !reason.empty())
      throw FileError(target_, reason);
  }

  // Gives the complete file a name in its folder, the target's when nothing
  // is there (then it is in place), else a short temporary one that Rename
  // puts over the target. A file named under a temporary name loses it again
  // on every way out short of Rename.
  void Name() {
    BeforePutInPlace(target_);
    // The last moment a request to stop is heard for this file alone.
    StopIfAsked();
    if (keepExisting_)
      NameWhereNothingIs();
    else
      overTarget_ = !tempName_.empty() || NameUnnamedFile();
  }

  // Renames the named file over the target and syncs the folder. A rename
  // within one folder needs no room on the disk.
  void Rename() {
    if (overTarget_) {
      if (::renameat(folder_.Get(), tempName_.c_str(), folder_.Get(), place_.name.c_str()) != 0)
        Fail(errno);
      tempName_.clear();
    }
    linkedAtTarget_ = false;
    if (file_.Close() != 0) Fail(errno);
    // The rename is on disk once the folder is.
    ::fsync(folder_.Get());
  }

  void PutInPlace() {
    Complete();
    Name();
    Rename();
  }

  // The look at an interrupt or a request to stop made for a set of files
  // once all of them are named, just before the first rename.
  void StopIfAskedBeforeRename() const { StopIfAsked(); }

 private:
  [[noreturn]] void Fail(int error) const { throw FileError(target_, ErrnoReason(error)); }

  void StopIfAsked() const {
    if (onInterrupt_ != OnInterrupt::Stop) return;
    StopIfInterrupted();
    if (progress_ != nullptr) progress_->StopIfAsked();
  }

  template <typename F>
  void Noting(F f) {
    try {
      f();
    } catch (...) {
      if (!failure_) failure_ = std::current_exception();
      throw;
    }
  }

  // The lock that tells RemoveLeftTemporaries this file is being written.
  // Taken at once on a new file no one else can have open; false only when
  // someone else holds it (a file system without locks holds none, and its
  // clean-up cannot take one either).
  bool HoldLock() const {
    return ::flock(file_.Get(), LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
  }

  void CreateNamed() {
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string name = RandomName();
      file_.Reset(::openat(folder_.Get(), name.c_str(),
                           O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, 0666));
      if (file_.Get() >= 0) {
        // Between its making and the lock another run's clean-up may have
        // taken the name away: then another name is made.
        if (HoldLock() && StillNamed(name)) {
          tempName_ = std::move(name);
          return;
        }
        UnlinkIfOurs(name);
        continue;
      }
      if (errno != EEXIST) Fail(errno);
    }
    Fail(EEXIST);
  }

  // Whether `name` in the folder is this file.
  bool StillNamed(const std::string& name) const noexcept {
    struct stat ours, there;
    return ::fstat(file_.Get(), &ours) == 0 &&
           ::fstatat(folder_.Get(), name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
           ours.st_dev == there.st_dev && ours.st_ino == there.st_ino;
  }
  void UnlinkIfOurs(const std::string& name) const noexcept {
    if (StillNamed(name)) ::unlinkat(folder_.Get(), name.c_str(), 0);
  }

  // Names the complete file at the target only where nothing is there, in
  // one step that fails when something is (so nothing that came meanwhile
  // is ever replaced); a named file then loses its temporary name.
  void NameWhereNothingIs() {
    int result = 0;
    if (tempName_.empty()) {
      const std::string self = "/proc/self/fd/" + std::to_string(file_.Get());
      result =
          ::linkat(AT_FDCWD, self.c_str(), folder_.Get(), place_.name.c_str(), AT_SYMLINK_FOLLOW);
    } else {
      result = ::renameat2(folder_.Get(), tempName_.c_str(), folder_.Get(), place_.name.c_str(),
                           RENAME_NOREPLACE);
      // A file system without the flag: a second name, where one can be made.
      if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
        result = ::linkat(folder_.Get(), tempName_.c_str(), folder_.Get(), place_.name.c_str(), 0);
        if (result == 0) ::unlinkat(folder_.Get(), tempName_.c_str(), 0);
      }
      if (result == 0) tempName_.clear();
    }
    if (result != 0 && errno == EEXIST)
      throw FileError(target_,
                      "a file came to this name while the picture was made; it is kept, and "
                      "nothing of this run was put in place (-o or --overwrite replaces it)");
    if (result != 0) Fail(errno);
    linkedAtTarget_ = true;
    overTarget_ = false;
  }

  void WriteBuffer() {
    const char* p = buffer_.data();
    std::size_t left = buffer_.size();
    while (left > 0) {
      const ssize_t n = ::write(file_.Get(), p, left);
      if (n < 0) {
        if (errno != EINTR) Fail(errno);
        StopIfAsked();
        continue;
      }
      p += n;
      left -= static_cast<std::size_t>(n);
    }
    buffer_.clear();
  }

  // A replaced regular file lends its mode (less set-user/group-ID) and,
  // where we may set it, its group; a new file keeps what the umask gave.
  void KeepAttributes() {
    struct stat old;
    if (::fstatat(folder_.Get(), place_.name.c_str(), &old, 0) != 0 || !S_ISREG(old.st_mode))
      return;
    if (::fchmod(file_.Get(), old.st_mode & 07777 & ~(S_ISUID | S_ISGID)) != 0) Fail(errno);
    struct stat now;
    if (::fstat(file_.Get(), &now) == 0 && now.st_gid != old.st_gid) {
      // Not a member of the group: the file keeps ours, and that is no
      // failure. (A cast to void does not quiet the fortified declaration's
      // warning about an unused result.)
      const int refused = ::fchown(file_.Get(), static_cast<uid_t>(-1), old.st_gid);
      static_cast<void>(refused);
    }
  }

  // Takes the target's name away when it still names this file.
  void UnlinkTargetIfOurs() const noexcept {
    struct stat ours, there;
    if (::fstat(file_.Get(), &ours) == 0 &&
        ::fstatat(folder_.Get(), place_.name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
        ours.st_dev == there.st_dev && ours.st_ino == there.st_ino)
      ::unlinkat(folder_.Get(), place_.name.c_str(), 0);
  }

  // Links the unnamed file into the folder: under the target's name when
  // nothing is there (false: it is in place), else under a short temporary
  // name to be renamed over the target (true).
  bool NameUnnamedFile() {
    const std::string self = "/proc/self/fd/" + std::to_string(file_.Get());
    auto link = [&](const std::string& name) {
      return ::linkat(AT_FDCWD, self.c_str(), folder_.Get(), name.c_str(), AT_SYMLINK_FOLLOW);
    };
    struct stat st;
    if (::fstatat(folder_.Get(), place_.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 &&
        errno == ENOENT) {
      if (link(place_.name) == 0) {
        linkedAtTarget_ = true;
        return false;
      }
      if (errno != EEXIST) Fail(errno);
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string name = RandomName();
      if (link(name) == 0) {
        tempName_ = std::move(name);
        return true;
      }
      if (errno != EEXIST) Fail(errno);
    }
    Fail(EEXIST);
  }

  const std::string& target_;
  const SplitPath place_;
  OnInterrupt onInterrupt_;
  WriteProgress* progress_;
  Descriptor folder_;
  Descriptor file_;
  std::string tempName_;       // the file's name in the folder until it is in place
  bool overTarget_ = false;    // named under tempName_, to be renamed over the target
  bool keepExisting_ = false;  // never put over a file at the target
  // Named at the target, where nothing was, but not yet renamed with the
  // files of its set: a failure of the set takes the name away again.
  bool linkedAtTarget_ = false;
  std::vector<char> buffer_;
  std::exception_ptr failure_;
};

}  // namespace

namespace {

// The system folder ("/proc" or "/dev") a chain of symbolic links starting at
// `path` passes through; empty when it passes through neither.
std::string LinkIntoSystemFolder(std::string path) {
  for (int hop = 0; hop < 40; ++hop) {
    char buffer[4096];
    const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof buffer) return {};
    std::string target(buffer, static_cast<std::size_t>(n));
    if (!target.starts_with('/')) {
      const auto slash = path.rfind('/');
      target = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + target;
    }
    for (const char* folder : {"/proc", "/dev"})
      if (target == folder || target.starts_with(std::string(folder) + "/")) return folder;
    path = std::move(target);
  }
  return {};
}

}  // namespace

std::string NotReplaceableReason(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return {};
  auto kindOf = [](mode_t mode) -> const char* {
    return S_ISDIR(mode)                    ? "a folder"
           : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
           : S_ISFIFO(mode)                 ? "a FIFO"
           : S_ISSOCK(mode)                 ? "a socket"
           : S_ISREG(mode)                  ? nullptr
                                            : "a special file";
  };
  if (S_ISLNK(st.st_mode)) {
    // The link is replaced by the new file: only when it stands for a file, so
    // that a link to a device or to standard output never becomes a file.
    // /dev/stdout and the like lead through /proc to whatever a process has
    // open, a regular file too when the output is redirected to one: a link
    // into /proc or /dev is never replaced.
    if (const std::string into = LinkIntoSystemFolder(path); !into.empty())
      return "is a symbolic link into " + into +
             " (a device or a process's open file), not to "
             "a regular file";
    struct stat target;
    if (::stat(path.c_str(), &target) != 0)
      return "is a symbolic link that points to nothing (" + ErrnoReason(errno) +
             "), not to a regular file";
    const char* kind = kindOf(target.st_mode);
    return kind == nullptr ? std::string()
                           : std::string("is a symbolic link to ") + kind + ", not a regular file";
  }
  const char* kind = kindOf(st.st_mode);
  return kind == nullptr ? std::string() : std::string("is ") + kind + ", not a regular file";
}

std::string NotWritableReason(const std::string& path) {
  if (path.empty()) return "no file name";
  try {
    const NewFile probe(path, OnInterrupt::Finish);
  } catch (const FileError& e) {
    return e.Reason();
  }
  return {};
}

namespace {

// Runs the writer into the new file; every way it can fail becomes the
// writer's FileError, Interrupted or WriteCancelled, or a FileError naming the
// file.
void Fill(NewFile& file, const std::string& path, const std::function<void(ByteSink&)>& write) {
  try {
    write(file);
  } catch (const Interrupted&) {
    throw;
  } catch (const WriteCancelled&) {
    throw;
  } catch (const FileError&) {
    throw;
  } catch (const std::exception& e) {
    if (file.Failure()) std::rethrow_exception(file.Failure());
    throw FileError(path, e.what());
  }
}

}  // namespace

void WriteFileAtomically(const std::string& path, const std::function<void(ByteSink&)>& write,
                         OnInterrupt onInterrupt, WriteProgress* progress) {
  if (path.empty()) throw FileError(path, "no file name");
  NewFile file(path, onInterrupt, progress);
  Fill(file, path, write);
  file.PutInPlace();
}

void WriteFilesAtomically(const std::vector<FileToWrite>& files, WriteProgress* progress) {
  if (progress != nullptr)
    for (const FileToWrite& f : files) progress->Plan(f.rows);
  std::vector<std::unique_ptr<NewFile>> written;
  for (const FileToWrite& f : files) {
    if (f.path.empty()) throw FileError(f.path, "no file name");
    written.push_back(std::make_unique<NewFile>(f.path, OnInterrupt::Stop, progress));
    if (!f.replace) written.back()->KeepExisting();
    Fill(*written.back(), f.path, f.write);
  }
  // Every byte of every file on disk before any name changes: a small file
  // still in its buffer would otherwise meet a full disk only after the
  // files before it had been put in place.
  for (auto& file : written) file->Complete();
  for (auto& file : written) file->Name();
  // The last look at an interrupt or a request to stop: past it every file
  // is renamed, so that a stop never leaves some in place and some not.
  if (!written.empty()) written.front()->StopIfAskedBeforeRename();
  for (auto& file : written) file->Finish();
  for (auto& file : written) file->Rename();
}

void WriteFileAtomically(const std::string& path, std::string_view bytes, OnInterrupt onInterrupt) {
  WriteFileAtomically(
      path, [bytes](ByteSink& out) { out.Write(bytes); }, onInterrupt);
}

std::string FileBehindLinks(const std::string& path) {
  if (!LinkIntoSystemFolder(path).empty()) return path;
  std::string at = path;
  for (int hop = 0; hop < 40; ++hop) {
    struct stat st;
    if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      if (hop == 0) return path;
      // The folder as the system reaches it ("a/../b" through linked folders
      // too); the name itself stays, whether or not a file is there yet.
      const std::filesystem::path end(at);
      std::error_code ec;
      const std::filesystem::path folder = std::filesystem::weakly_canonical(end.parent_path(), ec);
      return ec ? at : (folder / end.filename()).string();
    }
    char buffer[4096];
    const ssize_t n = ::readlink(at.c_str(), buffer, sizeof buffer);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof buffer) return path;
    std::string target(buffer, static_cast<std::size_t>(n));
    if (!target.starts_with('/')) {
      const auto slash = at.rfind('/');
      target = (slash == std::string::npos ? std::string() : at.substr(0, slash + 1)) + target;
    }
    at = std::move(target);
  }
  return path;
}

std::string ReadOnlyReason(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
  if (::access(path.c_str(), W_OK) != 0)
    return "is read-only for this program (" + ErrnoReason(errno) + "), so it is not replaced";
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
    return "is read-only (nobody may write it), so it is not replaced";
  return {};
}

void WriteFileThroughLinks(const std::string& path, std::string_view bytes,
                           OnInterrupt onInterrupt) {
  const std::string target = FileBehindLinks(path);
  const std::string through = target == path ? std::string() : " (the file its link points to)";
  if (const std::string reason = ReadOnlyReason(target); !reason.empty())
    throw FileError(path, target == path ? reason : target + through + " " + reason);
  try {
    WriteFileAtomically(target, bytes, onInterrupt);
  } catch (const FileError& e) {
    if (target == path) throw;
    throw FileError(path, target + through + ": " + e.Reason());
  }
}

namespace {

// ".hm" and six letters or digits: the names RandomName makes.
bool IsTemporaryName(std::string_view name) {
  if (name.size() != 9 || !name.starts_with(".hm")) return false;
  for (const char c : name.substr(3))
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  return true;
}

}  // namespace

std::vector<std::string> RemoveLeftTemporaries(const std::string& folder) {
  std::vector<std::string> removed;
  const Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Get() < 0) return removed;
  // A second descriptor for the listing, which closedir closes.
  const std::unique_ptr<DIR, int (*)(DIR*)> list(
      ::fdopendir(::openat(dir.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)), ::closedir);
  if (!list) return removed;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(list.get()))
    if (IsTemporaryName(entry->d_name)) names.emplace_back(entry->d_name);
  for (const std::string& name : names) {
    struct stat there;
    if (::fstatat(dir.Get(), name.c_str(), &there, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(there.st_mode) || there.st_uid != ::geteuid())
      continue;
    const Descriptor file(
        ::openat(dir.Get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened;
    // A live writer holds its lock; the name must still be the file looked at.
    if (file.Get() < 0 || ::flock(file.Get(), LOCK_EX | LOCK_NB) != 0 ||
        ::fstat(file.Get(), &opened) != 0 || opened.st_dev != there.st_dev ||
        opened.st_ino != there.st_ino)
      continue;
    if (::unlinkat(dir.Get(), name.c_str(), 0) == 0)
      removed.push_back(folder == "." ? name
                                      : (folder.ends_with('/') ? folder : folder + "/") + name);
  }
  if (!removed.empty()) ::fsync(dir.Get());
  return removed;
}

namespace detail {
void UseUnnamedFiles(bool use) { g_useUnnamedFiles = use; }

void SetBeforePutInPlaceHook(std::function<void(const std::string& path)> hook) {
  const std::lock_guard<std::mutex> lock(g_hookMutex);
  g_beforePutInPlace = std::move(hook);
}
}  // namespace detail

}  // namespace horizonmill
