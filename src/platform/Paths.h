// File names: the program directory, resolving names written here or on
// Windows, and small name helpers.
//
// A name is absolute when it starts with "/" or its second character is ":".
// The last component of a name is what follows its last "/" or "\". A relative
// name is joined to the program directory with its "\" read as "/".
#pragma once

#include <string>
#include <string_view>

namespace horizonmill {

// The directory of the running executable, ending in "/".
const std::string& ProgramDirectory();
// Replaces the program directory (start-up of tests and tools); "/" is appended
// when missing.
void SetProgramDirectory(std::string directory);

// Names of at most one character and absolute names are returned unchanged;
// every other name is put behind the program directory.
std::string ResolvePath(std::string_view name);
std::string ResolvePath(std::string_view name, std::string_view directory);

// What follows the last "/" or "\" (the whole name when there is none).
std::string_view LastPathComponent(std::string_view name);

// If one of the last four characters is ".", the name up to the last such dot
// (an extension of up to three letters goes); otherwise the name unchanged.
// Dots before the last "/" or "\" do not count.
std::string StripExtension(std::string_view name);

// True when a file (not a directory) exists under the name.
bool FileExists(const std::string& path);

}  // namespace horizonmill
