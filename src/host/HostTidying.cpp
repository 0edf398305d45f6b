#include "host/HostTidying.h"

#include <string>
#include <system_error>
#include <vector>

#include "host/HostFiles.h"
#include "platform/Interrupt.h"

namespace horizonmill {
namespace {

namespace fs = std::filesystem;

std::string Listed(const std::vector<std::string>& pictures, std::string_view none) {
  if (pictures.empty()) return std::string(none);
  std::string text = "deleted ";
  for (std::size_t i = 0; i < pictures.size(); ++i) text += (i ? ", " : "") + pictures[i];
  return text;
}

std::string Quoted(const RecordFields& record) {
  return "\"" + record.Alias + "\" (" + RecordText(record) + ")";
}

}  // namespace

bool FollowHostEntries(IniDocument& management, const HostEntries& entries) {
  bool changed = false;
  RenumberRecords(management, entries, changed);
  return changed;
}

void TidyHost(const HostFolders& folders, const BackgroundList& list, RegistrationHost& host) {
  const std::string path = folders.ManagementFile().string();
  std::error_code ec;
  if (fs::symlink_status(path, ec).type() == fs::file_type::not_found) return;
  IniDocument management = LoadIniFile(path);
  const HostEntries entries = ReadHostEntries(LoadIniFile(list.File), list.Section);
  bool changed = false;
  // Records to make sure of once the others have their numbers.
  std::vector<std::pair<long long, RecordFields>> keep;

  // A note whose entry the list holds: the registration was complete, or the
  // removal had not begun. Otherwise the registration had not been, or the
  // removal had been, and what is left of the background goes.
  const struct {
    std::string_view section;
    MessageCode message;
    std::string_view stopped, nonePhrase;
  } notes[] = {
      {kRegisteringSection, MessageCode::RegistrationTakenBack,
       " was stopped before the host's list held it and has been taken back: ",
       "none of its pictures had been written"},
      {kRemovingSection, MessageCode::RemovalFinished,
       " was stopped after the host's list had let it go and has been finished: ",
       "its pictures had been deleted already"},
  };
  for (const auto& note : notes) {
    for (const std::string& key : management.KeyNames(note.section)) {
      StopIfInterrupted();
      const RecordFields record = ParseRecord(management.ReadString(note.section, key, ""));
      // The note's key is the entry's number as it was to be, or was.
      if (const auto n = FindHostEntry(entries, HostValueOf(record), EntryNumber(key))) {
        keep.emplace_back(*n, record);
      } else {
        const auto deleted = DeleteRecordPictures(folders, record, entries, host);
        RemoveRecords(management, record);
        host.MessageBox(note.message,
                        std::string(note.section == kRegisteringSection ? "the registration of "
                                                                        : "the removal of ") +
                            Quoted(record) + std::string(note.stopped) +
                            Listed(deleted, note.nonePhrase));
      }
      DeleteKeyAndEmptySection(management, note.section, key);
      changed = true;
    }
  }

  changed = FollowHostEntries(management, entries) || changed;

  for (const auto& kept : keep) {
    // Named, not bound: clang before 16 lets no lambda capture a structured binding.
    const auto& number = kept.first;
    const auto& record = kept.second;
    bool recorded = false;
    for (const ManagementRecord& r : ReadManagementRecords(management))
      recorded = recorded || HostValueOf(r.Fields) == HostValueOf(record);
    if (recorded) continue;
    ChangeIniDocument(path, [&] {
      management.WriteString(kManagementSection, EntryKey(number), RecordText(record));
    });
  }

  if (changed) SaveIniFile(path, management);
}

}  // namespace horizonmill
