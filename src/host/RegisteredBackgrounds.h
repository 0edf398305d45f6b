// The backgrounds this program registered with the host, as its management
// file lists them, and their removal.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "host/Registration.h"

namespace horizonmill {

struct RegisteredBackground {
  std::string Key;          // the management key, "Back" and the entry number
  std::string Alias;        // the value's first field
  std::string PictureFile;  // its third field ("sunset.jpg")
  std::string CatalogFile;  // its second field ("c_sunset.bmp")
};

// The records of section "BACKMANAGEMENT" of the management file: every key
// "Back<n>" with a non-empty value, in the order of the numbers; gaps and
// other keys between them are passed over (the host adds entries of its own
// between ours), and the numbers are never counted through. A missing
// management file is told to the host (MessageCode::NoManagementFile, its path in
// the details) and gives no records. Otherwise the host's locks (HostLock) are held while the
// host is tidied (HostTidying.h, when its list is found; what it did is told) and the records are
// read. Throws FileError naming the file when a file exists but is no regular file or cannot be
// read or written.
std::vector<RegisteredBackground> ReadRegisteredBackgrounds(const HostFolders& folders,
                                                            RegistrationHost& host);

// BGDir\<catalog file> of the record: what the removal dialog shows.
std::filesystem::path CatalogPicturePath(const HostFolders& folders,
                                         const RegisteredBackground& record);

enum class RemovalResult {
  Removed,
  Cancelled,     // No in the confirmation: nothing changed
  NotInstalled,  // the host's list is missing: beeped and told, nothing changed
  Refused,       // the host's list or the management file is read-only: beeped
                 // and told (MessageCode::HostFileReadOnly), nothing changed
};

// Removes records[index] after asking (MessageCode::ConfirmRemoval, the alias).
// The host's locks (HostLock) are held from then on; a read-only list or
// management file is refused (RemovalResult::Refused); the host is tidied first. The record
// is found in the management file by its fields, and its entry in the host's
// list by its value alias,c_file,file: the entry of the record's number when
// it holds that, else any entry that does. When no entry holds it, its
// pictures and its record go, no entry is touched, and the host is told that
// the list no longer held the background. Otherwise, each file replaced
// atomically:
//   1. the management file: the record moves into section "REMOVING";
//   2. the host's list: the entry goes, every later entry moves up one
//      number, and "BGMax" drops by one (not below 0) when the entry was
//      within it; no other entry is touched;
//   3. the pictures are deleted (HostRecords.h: only what the record names
//      as a registration would, never what the list still names); one that
//      cannot be deleted is told to the host;
//   4. the management file: the note goes, and every record takes the number
//      of the entry holding it now.
// Stopped part way, the next tidying puts the record back (before 2) or
// finishes the removal (after). `records` becomes the listing as it is now.
// Throws FileError when a file cannot be read or written: before 3 the files
// are as they were; later the next tidying finishes what is left.
RemovalResult DeleteRegisteredBackground(const HostFolders& folders,
                                         std::vector<RegisteredBackground>& records,
                                         std::size_t index, RegistrationHost& host);

}  // namespace horizonmill
