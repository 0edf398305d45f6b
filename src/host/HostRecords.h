// A background as the host's list and the management file hold it, found by
// its contents rather than by its number: the host, or a person editing its
// files, may add, remove or move entries at any time, so a number recorded
// at registration says only where the entry was.
//
// Values are compared as the files give them back when read (blanks trimmed,
// outer quotes taken off), so that what was written and what is read agree.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/Registration.h"
#include "platform/PrivateProfile.h"

namespace horizonmill {

// A record's three fields: alias,c_file.bmp,file.ext.
struct RecordFields {
  std::string Alias, CatalogFile, PictureFile;
  bool operator==(const RecordFields&) const = default;
};
// The first three fields of a value separated by ","; missing ones empty.
RecordFields ParseRecord(std::string_view value);
// alias,c_file.bmp,file.ext
std::string RecordText(const RecordFields& record);
// The host list's value for the record, alias,c_file,file, as its file gives
// it back when read.
std::string HostValueOf(const RecordFields& record);

// The host list's entries: each key "Back<n>" of the section with its value.
using HostEntries = std::map<long long, std::string>;
HostEntries ReadHostEntries(const IniDocument& list, std::string_view section);
// The number of the entry holding exactly `hostValue`: `preferred` when that
// one does, else the smallest; nothing when no entry does.
std::optional<long long> FindHostEntry(const HostEntries& entries, const std::string& hostValue,
                                       std::optional<long long> preferred = std::nullopt);

// The records of the management file: each key "Back<n>" of "BACKMANAGEMENT"
// with a non-empty value, in file order.
struct ManagementRecord {
  std::string Key;
  long long Number;
  RecordFields Fields;
};
std::vector<ManagementRecord> ReadManagementRecords(const IniDocument& management);
// The key of the record with these fields: `preferredKey` when it has them,
// else the first; nothing when there is none.
std::optional<std::string> FindRecordKey(const IniDocument& management, const RecordFields& fields,
                                         std::string_view preferredKey = {});
// Removes every record with these fields.
void RemoveRecords(IniDocument& management, const RecordFields& fields);

// Gives every record the number of the host entry that holds it (its own
// when that one does; else the smallest holding it that no other record
// has). A record whose entry another record with the same fields has taken
// goes. A record that no entry holds (the host or a hand changed the list)
// stays as it is, its pictures with it: only its removal takes it away; when
// its number is wanted by a record that moves, it takes the next number that
// nothing holds. True in `changed` when a key moved or went.
void RenumberRecords(IniDocument& management, const HostEntries& entries, bool& changed);

// Removes a key, and its section when no key is left in it.
void DeleteKeyAndEmptySection(IniDocument& document, std::string_view section,
                              std::string_view key);

// Deletes the record's pictures: BGDir\NAME.bmp or NAME.jpg, BGDir\c_NAME.bmp
// and D3DDir\NAME.jpg, only where the record names them so and NAME is a file
// name a registration accepts (FileNameRules.h), only regular files, and
// never a picture an entry of the host's list still names (another alias on
// the same pictures). A picture that cannot be deleted is told to the host
// (MessageCode::PictureNotDeleted, the path and the reason in the details), and so
// is a name the record holds that is no such picture (left as it is).
// Returns the pictures deleted.
std::vector<std::string> DeleteRecordPictures(const HostFolders& folders,
                                              const RecordFields& record,
                                              const HostEntries& entries, RegistrationHost& host);

}  // namespace horizonmill
