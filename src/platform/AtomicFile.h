// Replacing a file atomically: the new content is written to a temporary file
// beside the target, flushed to disk, and renamed over the target. A failure at
// any point removes the temporary file and leaves an existing target untouched.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace horizonmill {

// Calls `write` with a stream open for writing, then puts the result in place.
// `write` may throw; a stream error is detected after it returns. Throws
// FileError naming `path` when the file cannot be created, written or renamed.
void WriteFileAtomically(const std::string& path, const std::function<void(std::FILE*)>& write);

}  // namespace horizonmill
