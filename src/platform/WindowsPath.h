// Names written on Windows (the folders of the host system's INI files) as
// paths on this machine, without changing the current directory.
#pragma once

#include <filesystem>
#include <string_view>

namespace horizonmill {

// The Wine prefix: $WINEPREFIX, or ~/.wine when it is not set.
std::filesystem::path WinePrefix();

// The name as a path here. "\" is read as "/". A name with a drive letter
// ("C:\Program Files\...") is looked up through the Wine prefix's drive link
// ($WINEPREFIX/dosdevices/c:); without such a link the path does not exist. A
// name starting with "/" stays as it is; any other name is joined to `folder`.
// A component that does not exist as spelt is matched ignoring the case of
// ASCII letters, as Windows would.
std::filesystem::path LocalPathOf(std::string_view name, const std::filesystem::path& folder);

// `folder`/`name`, or the entry of `folder` whose name differs from `name`
// only in the case of ASCII letters when there is no exact one.
std::filesystem::path FindEntry(const std::filesystem::path& folder, std::string_view name);

}  // namespace horizonmill
