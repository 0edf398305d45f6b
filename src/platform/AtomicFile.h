// Replacing a file atomically, so that nothing is ever left half written:
// every settings file, INI file and picture the program writes goes through
// here.
//
// The new content goes into an unnamed file in the target's folder (O_TMPFILE),
// which gets a name only when it is complete and on disk: it is linked in
// through /proc/self/fd and renamed over the target, and the folder is synced.
// A process killed at any moment (kill -9 included) leaves the old file or the
// new one and nothing beside them. Where the file system cannot make unnamed
// files, a named temporary file with a short name (".hm" and six characters)
// stands in, and is removed on every way out short of a kill.
//
// Only a regular file (or nothing) is replaced: a folder, device, FIFO or
// socket at the target is an error. A symbolic link at the target is replaced
// by the new file (what it points to stays as it is) only when it points to a
// regular file outside /proc and /dev; a link to anything else (/dev/stdout
// included, whatever standard output is), or to nothing, is an error. A replaced file keeps its
// mode, less the set-user-ID and set-group-ID bits, and its group where the
// writer may set it; a new file gets the mode the umask leaves of 0666.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ByteSink.h"
#include "platform/WriteProgress.h"

namespace horizonmill {

// Why the writer refuses what is at `path`: "is a folder", "is a device", "is a
// FIFO", "is a socket", "is a symbolic link to a device" and so on (each
// followed by ", not a regular file"); empty when nothing is there or it is a
// regular file or a symbolic link to one.
std::string NotReplaceableReason(const std::string& path);

// Why a file cannot be written at `path` now, as the reason of the FileError
// the writer would throw: the writer's first steps (opening the folder, making
// its new file there) are taken and undone, and the target is not touched.
// Empty when they succeed. A check before long work, not a promise: the
// folder may change before the write.
std::string NotWritableReason(const std::string& path);

// What a pending interrupt (platform/Interrupt.h), or a request to stop
// through the write's progress (platform/WriteProgress.h), does to a write.
enum class OnInterrupt {
  Stop,    // the write stops before its next block; nothing is left behind
  Finish,  // the write goes on (putting back a file that a stopped command changed)
};

// Calls `write` with a sink into the new file, then puts the file in place.
// `write` may throw. Throws FileError naming `path` when the target cannot be
// replaced, the file cannot be created, written or put in place, or `write`
// throws (its message the reason); Interrupted when it stopped for an
// interrupt. In every failure the target is unchanged and nothing is left.
// With a progress, the rows the encoder reports (ByteSink::EncodedRows) are
// counted there, and a request to stop is looked at where an interrupt is:
// before every block written, after every report of rows and before the file
// is put in place; the write then stops with WriteCancelled (unless
// OnInterrupt::Finish), leaving nothing.
void WriteFileAtomically(const std::string& path, const std::function<void(ByteSink&)>& write,
                         OnInterrupt onInterrupt = OnInterrupt::Stop,
                         WriteProgress* progress = nullptr);
// The same for content held whole in memory.
void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         OnInterrupt onInterrupt = OnInterrupt::Stop);

// The file that a write through `path` replaces: the end of the chain of
// symbolic links that starts at `path` (a relative link read against the
// folder that holds it), whether or not a file is there yet. `path` itself
// when it is no link, or when the chain leads into /proc or /dev, goes round
// in a circle or is longer than 40 links: the writer then refuses the link
// with its reason (NotReplaceableReason).
std::string FileBehindLinks(const std::string& path);

// Why the file at `path` (through links) may not be replaced: this process
// has no write permission for it, or nobody has (a read-only file, which a
// privileged process could replace but the other programs that share the
// file could not write). Empty when nothing is there or it may be written.
std::string ReadOnlyReason(const std::string& path);

// Replaces the file that `path` stands for, as files that other programs
// share and that people link from elsewhere want: through symbolic links,
// the file at their end (FileBehindLinks) is replaced atomically in its own
// folder and the links stay as they are; a read-only file (ReadOnlyReason)
// is refused and left as it is. Throws FileError naming `path` (and the file
// behind it), Interrupted as WriteFileAtomically does.
void WriteFileThroughLinks(const std::string& path, std::string_view bytes,
                           OnInterrupt onInterrupt = OnInterrupt::Stop);

// One file of a set written together.
struct FileToWrite {
  std::string path;
  std::function<void(ByteSink&)> write;
  std::int64_t rows = 0;  // the rows its encoder reports, for the progress
  // False: the file takes its name only where nothing is. A file that came to
  // the name after every check (another run writing it too) is kept, and the
  // set stops with a FileError saying so, every target as it was.
  bool replace = true;
};

// Writes every file of the set as WriteFileAtomically does, and puts them in
// place only once all of them are complete: every file is written to its end
// and synced (a full disk is met then, by whichever file), then each is named
// beside its target, and only then are they renamed over their targets, in
// order. A failure, an interrupt or a request to stop (through `progress`,
// whose plan gets every file's rows first) up to the first rename leaves every
// target as it was and nothing beside it; SIGTERM during the final sync is
// heard there. From the first rename on nothing stops them: renames within a
// folder need no room on the disk.
void WriteFilesAtomically(const std::vector<FileToWrite>& files, WriteProgress* progress = nullptr);

// The short named files (".hm" and six letters or digits) that writers
// killed in their midst left in `folder`, removed: only regular files of this
// user, and only those that no live writer holds (every writer holds a lock
// (flock) on its new file from before that file has our name until it is in
// place). Returns the paths removed; a folder that cannot be read
// gives none.
std::vector<std::string> RemoveLeftTemporaries(const std::string& folder);

namespace detail {
// False makes the writer use the named temporary file, as on a file system
// without unnamed files (tests of that way).
void UseUnnamedFiles(bool use);
// Called with the target's path when a complete file is about to be put in
// place, before anything is named in the folder (and before the last look at
// an interrupt or a request to stop); an empty function removes it. What it
// throws is thrown by the write, which leaves nothing behind. A test stops
// the process there to see what each step of a sequence leaves, or holds a
// write there while it asks it to stop.
void SetBeforePutInPlaceHook(std::function<void(const std::string& path)> hook);
}  // namespace detail

}  // namespace horizonmill
