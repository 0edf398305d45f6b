#include "host/RegisteredBackgrounds.h"

#include <algorithm>
#include <cassert>
#include <optional>
#include <set>
#include <system_error>

#include "host/HostFiles.h"
#include "host/HostRecords.h"
#include "host/HostTidying.h"
#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "platform/Interrupt.h"
#include "platform/PrivateProfile.h"

namespace horizonmill {
namespace {

namespace fs = std::filesystem;

bool Missing(const fs::path& path) {
  std::error_code ec;
  return fs::symlink_status(path, ec).type() == fs::file_type::not_found;
}

std::vector<RegisteredBackground> Listing(const IniDocument& ini) {
  // Every record, in the order of its entry number: a gap, a key that is no
  // record or a record of the host's own between them ends nothing.
  std::vector<ManagementRecord> found = ReadManagementRecords(ini);
  std::stable_sort(
      found.begin(), found.end(),
      [](const ManagementRecord& a, const ManagementRecord& b) { return a.Number < b.Number; });
  std::vector<RegisteredBackground> records;
  records.reserve(found.size());
  for (const ManagementRecord& r : found)
    records.push_back(
        {EntryKey(r.Number), r.Fields.Alias, r.Fields.PictureFile, r.Fields.CatalogFile});
  return records;
}

// Takes entry `number` out of the list: every later one moves up a number,
// gaps moving with them, and the last key goes. Only the keys the section
// holds are visited, however high their numbers.
void TakeOutEntry(IniDocument& list, std::string_view section, long long number) {
  const int bgMax = list.ReadInteger(section, kBGMaxKey, section == kHostMenuSection ? -1 : 0);
  const IniDocument before = list;
  std::set<long long> later;
  for (const auto& [n, value] : ReadHostEntries(before, section))
    if (n > number) later.insert(n);
  std::set<long long> written;
  for (const long long n : later) {
    StopIfInterrupted();
    // The line's own text: a value in quotes keeps them, and so reads the same.
    list.WriteString(section, EntryKey(n - 1), *before.FindRaw(section, EntryKey(n)));
    written.insert(n - 1);
  }
  // The removed entry's key, and every key whose entry moved down and that no
  // entry moved into.
  if (!written.contains(number)) list.DeleteKey(section, EntryKey(number));
  for (const long long n : later)
    if (!written.contains(n)) list.DeleteKey(section, EntryKey(n));
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
  const HostLock lock(folders);
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
  const HostLock lock(folders);
  // The list is looked for before anything is deleted, so that the host never
  // lists a background whose pictures are gone.
  const auto list = FindBackgroundList(folders);
  if (!list) {
    TellNotInstalled(held, NoBackgroundListReason(folders));
    return RemovalResult::NotInstalled;
  }
  const std::string managementFile = folders.ManagementFile().string();
  for (const std::string& file : {list->File, managementFile}) {
    if (const std::string reason = HostFileReadOnlyReason(file); !reason.empty()) {
      held.Beep();
      held.MessageBox(MessageCode::HostFileReadOnly, reason);
      return RemovalResult::Refused;
    }
  }
  TidyHost(folders, *list, held);

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
                         ", so no entry of it was touched; its record " + *key + " went";
    for (const std::string& picture : deleted) detail += "; deleted " + picture;
    // When the host renamed the entry, the list still names the pictures: they
    // stay, and the message must not say they went.
    if (deleted.empty()) detail += "; no picture was deleted";
    held.MessageBox(Message(deleted.empty() ? MessageCode::BackgroundNotListedPicturesKept
                                            : MessageCode::BackgroundNotListed,
                            {removed.Alias}),
                    detail);
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
      WriteFileThroughLinks(managementFile, managementBefore, OnInterrupt::Finish);
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
