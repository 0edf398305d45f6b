// Replacing a file atomically: the new content is written to a temporary file
// beside the target, flushed to disk, and renamed over the target. A failure at
// any point removes the temporary file and leaves an existing target untouched.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/ByteSink.h"

namespace horizonmill {

// Calls `write` with a sink into the new file, then puts the file in place.
// `write` may throw. Throws FileError naming `path` when the file cannot be
// created, written or renamed, or when `write` throws (its message the reason).
void WriteFileAtomically(const std::string& path, const std::function<void(ByteSink&)>& write);
// The same for content held whole in memory.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace horizonmill
