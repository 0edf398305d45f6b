// Filling a file that another program made empty for us to write into.
#pragma once

#include <string>
#include <string_view>

namespace horizonmill {

// Writes `bytes` into `path` in place, and syncs it, when `path` is an
// existing empty regular file (reached without following a symbolic link):
// the name a file manager's thumbnail service makes and then reads back
// through the file it opened, which a file put in its place would not reach.
// An empty file holds nothing that a failed write could lose. Returns false,
// having written nothing, when `path` is anything else (missing, not empty, a
// link, a FIFO, a device); throws FileError naming `path` when the write
// fails, the file then empty as it was (room for the bytes is reserved
// before the first is written, so a full disk is mostly met before that).
bool FillEmptyFile(const std::string& path, std::string_view bytes);

}  // namespace horizonmill
