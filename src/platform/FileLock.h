// An advisory lock on a file (flock), for sequences that must not run at the
// same time as each other: two registrations into one host, a registration
// and a removal. Every holder opens the lock file itself, so two threads of
// one process exclude each other as two processes do. The lock goes with its
// holder, also when the process is killed; the lock file stays.
#pragma once

#include <string>

namespace horizonmill {

// What a FileLock locks.
enum class LockOn {
  File,    // a lock file of its own, made when missing
  Folder,  // the folder itself: nothing is made in it, and every path that
           // reaches the folder (through links too) meets the same lock
};

class FileLock {
 public:
  // Opens the lock file (creating it, never through a symbolic link), or the
  // folder, and waits until the lock is ours. Throws FileError naming the
  // path when it cannot be opened, is no regular file (no folder) or cannot
  // be locked; Interrupted when an interrupt (platform/Interrupt.h) arrives
  // while it waits.
  explicit FileLock(const std::string& path, LockOn on = LockOn::File);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_;
};

}  // namespace horizonmill
