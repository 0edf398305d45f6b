#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <utility>

#include "platform/FileError.h"

namespace horizonmill {
namespace {

// A new file takes the target's permissions, or those the umask gives.
mode_t NewFileMode(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The temporary file beside the target. Whatever way the writing ends, the
// destructor closes the file and removes it unless it has been put in place.
class TempFile : public ByteSink {
 public:
  explicit TempFile(const std::string& target) : target_(target), path_(target + ".tmp-XXXXXX") {
    fd_ = ::mkstemp(path_.data());
    if (fd_ < 0) throw FileError(target_, ErrnoReason(errno));
    created_ = true;
    stream_ = ::fdopen(fd_, "wb");
    if (stream_ == nullptr) {
      const int error = errno;
      Discard();
      throw FileError(target_, ErrnoReason(error));
    }
  }
  ~TempFile() override { Discard(); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  using ByteSink::Write;
  void Write(const void* data, std::size_t size) override {
    if (size > 0 && std::fwrite(data, 1, size, stream_) != size)
      throw std::runtime_error(std::strerror(errno));
  }
  void Flush() override {
    if (std::fflush(stream_) != 0) throw std::runtime_error(std::strerror(errno));
  }

  // Flushes the file to disk with the target's permissions and renames it over the target.
  void PutInPlace() {
    if (std::fflush(stream_) != 0 || std::ferror(stream_)) Fail(errno ? errno : EIO);
    if (::fchmod(fd_, NewFileMode(target_)) != 0) Fail(errno);
    if (::fsync(fd_) != 0) Fail(errno);
    fd_ = -1;
    // fclose releases the stream even when it fails.
    if (std::fclose(std::exchange(stream_, nullptr)) != 0) Fail(errno);
    if (::rename(path_.c_str(), target_.c_str()) != 0) Fail(errno);
    created_ = false;
  }

 private:
  [[noreturn]] void Fail(int error) { throw FileError(target_, ErrnoReason(error)); }

  void Discard() {
    if (stream_ != nullptr)
      std::fclose(std::exchange(stream_, nullptr));
    else if (fd_ >= 0)
      ::close(fd_);
    fd_ = -1;
    if (std::exchange(created_, false)) ::unlink(path_.c_str());
  }

  const std::string& target_;
  std::string path_;
  int fd_ = -1;
  std::FILE* stream_ = nullptr;
  bool created_ = false;  // the temporary file exists and is ours to remove
};

}  // namespace

void WriteFileAtomically(const std::string& path, const std::function<void(ByteSink&)>& write) {
  if (path.empty()) throw FileError(path, "no file name");
  TempFile file(path);
  try {
    write(file);
  } catch (const FileError&) {
    throw;
  } catch (const std::exception& e) {
    throw FileError(path, e.what());
  }
  file.PutInPlace();
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  WriteFileAtomically(path, [bytes](ByteSink& out) { out.Write(bytes); });
}

}  // namespace horizonmill
