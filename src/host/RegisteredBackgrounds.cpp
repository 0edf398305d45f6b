#include "host/RegisteredBackgrounds.h"

#include <algorithm>
#include <cassert>
#include <limits>
#include <optional>
#include <system_error>

#include "host/HostFiles.h"
#include "host/HostRecords.h"
#include "host/HostTidying.h"
#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "platform/FileLock.h"
#include "platform/PrivateProfile.h"

namespace horizonmill {
namespace {

namespace fs = std::filesystem;

bool Missing(const fs::path& path) {
  std::error_code ec;
  return fs::symlink_status(path, ec).type() == fs::file_type::not_found;
}

std::vector<RegisteredBackground> Listing(const IniDocument& ini) {
  std::vector<RegisteredBackground> records;
  // The smallest number with an entry: looking among the keys there are
  // bounds the search however high the numbers go.
  std::optional<int> first;
  for (const std::string& key : ini.KeyNames(kManagementSection)) {
    const auto n = EntryNumber(key);
    if (n && (!first || *n < *first) && !ini.ReadString(kManagementSection, key, "").empty())
      first = n;
  }
  if (!first) return records;
  for (long long n = *first; n <= std::numeric_limits<int>::max(); ++n) {
    const std::string key = EntryKey(n);
    const std::string value = ini.ReadString(kManagementSection, key, "");
    if (value.empty()) break;
    const RecordFields fields = ParseRecord(value);
    records.push_back({key, fields.Alias, fields.PictureFile, fields.CatalogFile});
  }
  return records;
}

// Takes entry `number` out of the list: every later one moves up a number,
// gaps moving with them, and the last key goes.
void TakeOutEntry(IniDocument& list, std::string_view section, long long number) {
  const int bgMax = list.ReadInteger(section, kBGMaxKey, section == kHostMenuSection ? -1 : 0);
  long long last = number;
  for (const auto& [n, value] : ReadHostEntries(list, section)) last = std::max(last, n);
  for (long long i = number; i < last; ++i) {
    // The line's own text: a value in quotes keeps them, and so reads the same.
    const auto next = list.FindRaw(section, EntryKey(i + 1));
    if (next)
      list.WriteString(section, EntryKey(i), *next);
    else
      list.DeleteKey(section, EntryKey(i));
  }
  list.DeleteKey(section, EntryKey(last));
  // Not below 0: -1 would send the next registration to another list.
  if (number <= bgMax)
    list.WriteString(section, kBGMaxKey, std::to_string(std::max(bgMax - 1LL, 0LL)));
}

}  // namespace

std::vector<RegisteredBackground> ReadRegisteredBackgrounds(const HostFolders& folders,
                                                            RegistrationHost& host) {
  const fs::path path = folders.ManagementFile();
  if (Missing(path)) {
    host.MessageBox(
        MessageCode::NoManagementFile,
        path.string() + ": the management file of registered backgrounds does not exist");
    return {};
  }
  HeldMessages held(host);  // told once the lock has gone
  const FileLock lock(HostLockPath(folders));
  if (const auto list = FindBackgroundList(folders)) TidyHost(folders, *list, held);
  return Listing(LoadIniFile(path.string()));
}

fs::path CatalogPicturePath(const HostFolders& folders, const RegisteredBackground& record) {
  return folders.BackgroundFolder() / record.CatalogFile;
}

RemovalResult DeleteRegisteredBackground(const HostFolders& folders,
                                         std::vector<RegisteredBackground>& records,
                                         std::size_t index, RegistrationHost& host) {
  assert(index < records.size());
  const RegisteredBackground removed = records[index];
  if (!host.Confirm(Message(MessageCode::ConfirmRemoval, {removed.Alias})))
    return RemovalResult::Cancelled;

  HeldMessages held(host);  // told once the lock has gone
  const FileLock lock(HostLockPath(folders));
  // The list is looked for before anything is deleted, so that the host never
  // lists a background whose pictures are gone.
  const auto list = FindBackgroundList(folders);
  if (!list) {
    TellNotInstalled(held, NoBackgroundListReason(folders));
    return RemovalResult::NotInstalled;
  }
  TidyHost(folders, *list, held);

  const std::string managementFile = folders.ManagementFile().string();
  IniDocument management = LoadIniFile(managementFile);
  const RecordFields fields{removed.Alias, removed.CatalogFile, removed.PictureFile};
  const auto key = FindRecordKey(management, fields, removed.Key);
  IniDocument hostList = LoadIniFile(list->File);
  const auto entry = key ? FindHostEntry(ReadHostEntries(hostList, list->Section),
                                         HostValueOf(fields), EntryNumber(*key))
                         : std::nullopt;
  if (!key) {
    // Gone meanwhile: removed by another, or by the tidying (which told why).
    records = Listing(management);
    return RemovalResult::Removed;
  }
  if (!entry) {
    // The host's list no longer holds it (the host, or a hand, took it out):
    // its pictures and its record go; no entry of the list is touched. The
    // pictures go first, so that a stop in between leaves the record to be
    // removed again.
    const auto deleted =
        DeleteRecordPictures(folders, fields, ReadHostEntries(hostList, list->Section), held);
    ChangeIniDocument(managementFile, [&] { management.DeleteKey(kManagementSection, *key); });
    SaveIniFile(managementFile, management);
    std::string detail = "the host's background list (" + list->File + ", section [" +
                         std::string(list->Section) + "]) no longer holds " + HostValueOf(fields) +
                         ", so only its record " + *key + " and its pictures went";
    for (const std::string& picture : deleted) detail += "; deleted " + picture;
    held.MessageBox(Message(MessageCode::BackgroundNotListed, {removed.Alias}), detail);
    records = Listing(management);
    return RemovalResult::Removed;
  }

  const std::string managementBefore = management.Serialize();
  ChangeIniDocument(managementFile, [&] {
    management.DeleteKey(kManagementSection, *key);
    management.WriteString(kRemovingSection, *key, RecordText(fields));
  });
  SaveIniFile(managementFile, management);
  try {
    ChangeIniDocument(list->File, [&] { TakeOutEntry(hostList, list->Section, *entry); });
    SaveIniFile(list->File, hostList);
  } catch (...) {
    try {
      WriteFileAtomically(managementFile, managementBefore, OnInterrupt::Finish);
    } catch (...) {
      // The note stays: the list still holds the entry, so the next tidying
      // puts the record back.
    }
    throw;
  }

  const HostEntries entries = ReadHostEntries(hostList, list->Section);
  DeleteRecordPictures(folders, fields, entries, held);
  DeleteKeyAndEmptySection(management, kRemovingSection, *key);
  FollowHostEntries(management, entries);
  SaveIniFile(managementFile, management);
  records = Listing(management);
  return RemovalResult::Removed;
}

}  // namespace horizonmill
