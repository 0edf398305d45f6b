// PictureCache: picture files decoded once and kept, so that preparing a scene
// again (the next preview, an undo, a redo) decodes nothing, while a file
// changed on disk is read anew.
//
// A file is known by its identity: device, inode, size and modification time.
// A name whose file is still the one decoded before gets that picture; a name
// whose file was replaced, rewritten or touched is decoded again (and what was
// kept of the old file goes). Pictures made from a decoded one (its alpha as a
// layer draws it, its texels made opaque) are kept beside it under a form name
// of the caller's, so an edit that comes back to earlier values derives nothing
// either.
//
// What is kept is bounded: beyond the capacity (bytes as HeldBytes counts
// them), the pictures used least recently go. A picture still held elsewhere
// (a prepared scene holds shared pointers) lives on there; the cache only
// forgets it.
//
// Thread-safe: a worker may prepare a scene while the window's thread prepares
// another. Two threads asking for the same file while it is decoded share the
// one decode.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <future>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "image/PictureBudget.h"
#include "image/PixelImage.h"

namespace horizonmill {

// What tells one file from another, and a file from itself once it changed.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modified = 0;  // nanoseconds since the epoch
  friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of the regular file at `path` (links followed); nothing when
// no regular file is there.
std::optional<FileIdentity> FileIdentityOf(const std::string& path);

// A picture shared by the cache and whoever uses it; never changed once made.
using SharedPicture = std::shared_ptr<const PixelImage>;

// A decoded picture file: every pixel opaque, the file's transparent pixels in
// the hole mask (image/PictureReader.h).
struct CachedPicture {
  FileIdentity file;
  SharedPicture image;
};

class PictureCache {
 public:
  // Keeps up to `capacity` bytes of pictures (at least the one used last).
  explicit PictureCache(std::int64_t capacity = DefaultPictureBudget());
  PictureCache(const PictureCache&) = delete;
  PictureCache& operator=(const PictureCache&) = delete;

  // The picture of the file at `path`: the one decoded before while the file
  // is the same, else decoded now. A decode must be admitted by `budget`
  // (when given) beside what the budget holds. Throws FileError naming the
  // file when it is no regular file or no loadable picture (BmpFileTooLarge
  // when it is too large for memory or memory runs out for it,
  // PictureOverBudget when the budget refuses it); Interrupted when an
  // interrupt is pending while the file is read. A failure is not kept: the
  // next call tries again.
  CachedPicture Picture(const std::string& path, const PictureBudget* budget = nullptr);

  // A picture made from `source` (a result of Picture): the one made before
  // from the same file in the same `form`, else make() now. make() returns
  // nullptr when memory runs out; then nothing is kept and nullptr returned.
  SharedPicture Derived(const CachedPicture& source, std::string_view form,
                        const std::function<PixelImagePtr()>& make);

  // How many files were decoded, and how many pictures derived, since the
  // cache was made (a decode or derivation that failed counts for nothing).
  std::int64_t Decodes() const;
  std::int64_t Derivations() const;
  // The bytes of the pictures kept now.
  std::int64_t HeldBytes() const;
  std::int64_t Capacity() const;
  void SetCapacity(std::int64_t capacity);
  // Forgets every picture (those in use elsewhere live on there).
  void Clear();

 private:
  struct Key {
    FileIdentity file;
    std::string form;  // empty: the picture as decoded
    friend auto operator<=>(const Key&, const Key&) = default;
  };
  struct Entry {
    std::shared_future<SharedPicture> picture;
    bool ready = false;
    std::int64_t bytes = 0;
    std::list<Key>::iterator use;  // its place in uses_ once ready
  };
  // The picture under `key`, made by `make` when it is not there yet (outside
  // the lock, the others asking for it waiting on its future).
  SharedPicture Find(const Key& key, const std::function<SharedPicture()>& make,
                     std::int64_t& counter);
  // Forgets what was kept of an earlier file at `path`.
  void NoteIdentity(const std::string& path, const FileIdentity& file);
  void EvictBeyondCapacity();  // with mutex_ held

  mutable std::mutex mutex_;
  std::map<Key, Entry> entries_;
  std::list<Key> uses_;  // ready entries, the most recently used first
  std::unordered_map<std::string, FileIdentity> lastSeen_;
  std::int64_t capacity_;
  std::int64_t held_ = 0;
  std::int64_t decodes_ = 0;
  std::int64_t derivations_ = 0;
};

}  // namespace horizonmill
