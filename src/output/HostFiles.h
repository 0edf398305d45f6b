// What registration and removal share about the host's files: their names,
// sections and keys, and the messages about them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "output/Registration.h"
#include "platform/PrivateProfile.h"

namespace horizonmill {

inline constexpr std::string_view kHostMenuSection = "Menu";
inline constexpr std::string_view kBGMaxKey = "BGMax";
inline constexpr std::string_view kBackgroundListFileName = "bg.ini";
inline constexpr std::string_view kBackgroundListSection = "BG.jpn";
inline constexpr std::string_view kManagementFileName = "Horizonmill_mng.ini";
inline constexpr std::string_view kManagementSection = "BACKMANAGEMENT";
inline constexpr std::string_view kCatalogPrefix = "c_";

// "Back" and the entry number in decimal, without leading zeros.
std::string EntryKey(long long number);
// The fields of a list value joined by ",".
std::string JoinFields(std::string_view a, std::string_view b, std::string_view c);
// D3DDir\<the picture's base name>.jpg: the texture is always a JPEG.
std::filesystem::path TexturePath(const HostFolders& folders, std::string_view pictureFile);

// Beeps and shows kNotInstalledMessage with the reason.
void TellNotInstalled(RegistrationHost& host, const std::string& reason);
// The reason when FindBackgroundList finds no list.
std::string NoBackgroundListReason(const HostFolders& folders);

}  // namespace horizonmill
