// Opening a file and refusing it for what its status says, without leaking
// the descriptor on the way out.
#pragma once

#include <functional>
#include <string>

struct stat;

namespace horizonmill {

// Opens `path` with `flags` (::open's; `mode` for a file it creates) and
// passes the open descriptor and its status to `check`, which throws (any
// exception) to refuse the file: the descriptor is closed then. Returns the
// descriptor `check` accepted. Throws FileError naming the file when it cannot
// be opened or its status read.
int OpenChecked(const std::string& path, int flags, unsigned mode,
                const std::function<void(int fd, const struct stat& status)>& check);

}  // namespace horizonmill
