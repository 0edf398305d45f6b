// The backgrounds this program registered with the host, as its management
// file lists them, and their removal.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "output/Registration.h"

namespace horizonmill {

struct RegisteredBackground {
  std::string Key;          // the management key, "Back" and the entry number
  std::string Alias;        // the value's first field
  std::string PictureFile;  // its third field ("sunset.jpg")
  std::string CatalogFile;  // its second field ("c_sunset.bmp")
};

// The records of section "BACKMANAGEMENT" of the management file: from the
// smallest entry number with a non-empty value upward, up to the first
// number without one (entries after a gap are not listed). A missing
// management file is told to the host (the message is its path) and gives no
// records. Throws FileError when the file exists but cannot be read.
std::vector<RegisteredBackground> ReadRegisteredBackgrounds(const HostFolders& folders,
                                                            RegistrationHost& host);

// BGDir\<catalog file> of the record: what the removal dialog shows.
std::filesystem::path CatalogPicturePath(const HostFolders& folders,
                                         const RegisteredBackground& record);

enum class RemovalResult {
  Removed,
  Cancelled,     // No in the confirmation: nothing changed
  NotInstalled,  // the host's list is missing: beeped and told, nothing changed
};

// Removes records[index] after asking "背景「alias」を削除します。よろしいですか？":
// the entry leaves the host's list (later entries move up one number, the last
// key goes, "BGMax" drops by one), the management section is written anew from
// the records that remain (keys above the removed number renumbered down by
// one, in `records` too), and then its three pictures are deleted; pictures
// already gone are passed over, one that cannot be deleted is told to the host.
// Throws FileError when a list cannot be read or written; then both lists are
// as they were and no picture has been deleted.
RemovalResult DeleteRegisteredBackground(const HostFolders& folders,
                                         std::vector<RegisteredBackground>& records,
                                         std::size_t index, RegistrationHost& host);

}  // namespace horizonmill
