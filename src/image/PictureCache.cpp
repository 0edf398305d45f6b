#include "image/PictureCache.h"

#include <sys/stat.h>

#include <utility>

#include "image/BmpReader.h"
#include "image/PictureReader.h"
#include "platform/FileError.h"

namespace horizonmill {

std::optional<FileIdentity> FileIdentityOf(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  FileIdentity file;
  file.device = static_cast<std::uint64_t>(st.st_dev);
  file.inode = static_cast<std::uint64_t>(st.st_ino);
  file.size = static_cast<std::int64_t>(st.st_size);
  file.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
  return file;
}

PictureCache::PictureCache(std::int64_t capacity) : capacity_(capacity) {}

CachedPicture PictureCache::Picture(const std::string& path, const PictureBudget* budget) {
  const std::optional<FileIdentity> file = FileIdentityOf(path);
  if (!file) {
    // The reader says why (no such file, a folder, a device); whatever it
    // would read there has no identity to be kept under.
    (void)ReadPictureFile(path, budget);
    throw FileError(path, "is no regular file");
  }
  NoteIdentity(path, *file);
  SharedPicture image = Find(
      Key{*file, ""},
      [&]() -> SharedPicture {
        PixelImagePtr decoded = LoadPictureFile(path, budget);
        if (!decoded) throw BmpFileTooLarge(path, "not enough memory for the picture");
        return SharedPicture(std::move(decoded));
      },
      decodes_);
  return CachedPicture{*file, std::move(image)};
}

SharedPicture PictureCache::Derived(const CachedPicture& source, std::string_view form,
                                    const std::function<PixelImagePtr()>& make) {
  return Find(
      Key{source.file, std::string(form)}, [&] { return SharedPicture(make()); }, derivations_);
}

SharedPicture PictureCache::Find(const Key& key, const std::function<SharedPicture()>& make,
                                 std::int64_t& counter) {
  for (;;) {
    std::unique_lock lock(mutex_);
    if (const auto it = entries_.find(key); it != entries_.end()) {
      Entry& entry = it->second;
      if (entry.ready) {
        uses_.splice(uses_.begin(), uses_, entry.use);
        return entry.picture.get();
      }
      // Being made by another thread: its result is ours. When it failed the
      // entry is gone, and the next round makes the picture here (with this
      // caller's budget), so each caller hears its own failure.
      const std::shared_future<SharedPicture> pending = entry.picture;
      lock.unlock();
      try {
        return pending.get();
      } catch (...) {
        continue;
      }
    }
    std::promise<SharedPicture> promise;
    Entry making;
    making.picture = promise.get_future().share();
    entries_.emplace(key, std::move(making));
    lock.unlock();

    SharedPicture picture;
    try {
      picture = make();
    } catch (...) {
      lock.lock();
      entries_.erase(key);
      lock.unlock();
      promise.set_exception(std::current_exception());
      throw;
    }
    lock.lock();
    const auto it = entries_.find(key);
    if (picture) ++counter;
    if (!picture) {
      if (it != entries_.end() && !it->second.ready) entries_.erase(it);
    } else if (it != entries_.end() && !it->second.ready) {
      // (Gone when the file changed or the cache was cleared meanwhile: then
      // the picture is only the caller's.)
      Entry& entry = it->second;
      entry.ready = true;
      entry.bytes = ::horizonmill::HeldBytes(picture.get());
      held_ += entry.bytes;
      uses_.push_front(key);
      entry.use = uses_.begin();
      EvictBeyondCapacity();
    }
    lock.unlock();
    promise.set_value(picture);
    return picture;
  }
}

void PictureCache::NoteIdentity(const std::string& path, const FileIdentity& file) {
  const std::lock_guard lock(mutex_);
  const auto [seen, added] = lastSeen_.try_emplace(path, file);
  if (added || seen->second == file) return;
  // The file at this name changed: what was kept of the old one is stale.
  const FileIdentity old = std::exchange(seen->second, file);
  auto it = entries_.lower_bound(Key{old, ""});
  while (it != entries_.end() && it->first.file == old) {
    if (it->second.ready) {
      held_ -= it->second.bytes;
      uses_.erase(it->second.use);
    }
    it = entries_.erase(it);
  }
}

void PictureCache::EvictBeyondCapacity() {
  // The picture used last stays whatever its size.
  while (held_ > capacity_ && uses_.size() > 1) {
    const auto it = entries_.find(uses_.back());
    held_ -= it->second.bytes;
    entries_.erase(it);
    uses_.pop_back();
  }
}

std::int64_t PictureCache::Decodes() const {
  const std::lock_guard lock(mutex_);
  return decodes_;
}

std::int64_t PictureCache::Derivations() const {
  const std::lock_guard lock(mutex_);
  return derivations_;
}

std::int64_t PictureCache::HeldBytes() const {
  const std::lock_guard lock(mutex_);
  return held_;
}

std::int64_t PictureCache::Capacity() const {
  const std::lock_guard lock(mutex_);
  return capacity_;
}

void PictureCache::SetCapacity(std::int64_t capacity) {
  const std::lock_guard lock(mutex_);
  capacity_ = capacity;
  EvictBeyondCapacity();
}

void PictureCache::Clear() {
  const std::lock_guard lock(mutex_);
  // Entries being made stay, so their makers find them; the rest go.
  for (auto it = entries_.begin(); it != entries_.end();)
    it = it->second.ready ? entries_.erase(it) : std::next(it);
  uses_.clear();
  held_ = 0;
}

}  // namespace horizonmill
