// File names: the program directory, resolving names written here or on
// Windows, and small name helpers.
//
// A name is absolute when it starts with "/" or its second character is ":".
// The last component of a name is what follows its last "/" or "\". A relative
// name is joined to the program directory with its "\" read as "/".
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace horizonmill {

// The directory of the running executable, ending in "/".
const std::string& ProgramDirectory();
// Replaces the program directory (start-up of tests and tools); "/" is appended
// when missing.
void SetProgramDirectory(std::string directory);

// Names of at most one character and absolute names are returned unchanged;
// every other name is put behind the program directory (JoinPath), its "\"
// read as "/".
std::string ResolvePath(std::string_view name);
std::string ResolvePath(std::string_view name, std::string_view directory);

// The name behind the directory with one "/" between them (none is added when
// the directory ends in "/"); an empty directory gives the name as it is.
std::string JoinPath(std::string_view directory, std::string_view name);

// The directory part of a path, up to and with its last "/"; "./" for a name
// without one.
std::string DirectoryOf(std::string_view path);

// What follows the last "/" or "\" (the whole name when there is none).
std::string_view LastPathComponent(std::string_view name);

// If one of the last four characters is ".", the name up to the last such dot
// (an extension of up to three letters goes); otherwise the name unchanged.
// Dots before the last "/" or "\" do not count.
std::string StripExtension(std::string_view name);

// True when a file (not a directory) exists under the name.
bool FileExists(const std::string& path);

// The user's home directory: $HOME, else the password database's entry.
std::filesystem::path HomeDirectory();

}  // namespace horizonmill
