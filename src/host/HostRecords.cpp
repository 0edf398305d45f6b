#include "host/HostRecords.h"

#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <system_error>

#include "host/FileNameRules.h"
#include "host/HostFiles.h"
#include "platform/Interrupt.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"

namespace horizonmill {
namespace {

namespace fs = std::filesystem;

// What the file gives back for `value` once written: a value written and read
// again loses its outer blanks and one pair of outer quotes.
std::string AsStored(std::string_view value) {
  IniDocument scratch;
  scratch.SetCp932Overflow(Cp932Overflow::SwitchToUtf8);
  try {
    scratch.WriteString("s", "k", value);
  } catch (const IniTextError&) {
    return std::string(value);
  }
  return scratch.ReadString("s", "k", "");
}

// A name this program could have written into the folder: never a path.
bool IsPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("/\\:") == std::string_view::npos;
}

// NAME of "NAME<suffix>" after `prefix`, when NAME is a registration's file name.
std::optional<std::string> NameBetween(std::string_view file, std::string_view prefix,
                                       std::string_view suffix) {
  if (!IsPlainFileName(file) || file.size() < prefix.size() + suffix.size() ||
      !file.starts_with(prefix) || !file.ends_with(suffix))
    return std::nullopt;
  const std::string_view name =
      file.substr(prefix.size(), file.size() - prefix.size() - suffix.size());
  if (FileNameProblem(name)) return std::nullopt;
  return std::string(name);
}

}  // namespace

RecordFields ParseRecord(std::string_view value) {
  std::string fields[3];
  for (std::string& field : fields) {
    const auto comma = value.find(',');
    field = value.substr(0, comma);
    value = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
  }
  return {fields[0], fields[1], fields[2]};
}

std::string RecordText(const RecordFields& record) {
  return JoinFields(record.Alias, record.CatalogFile, record.PictureFile);
}

std::string HostValueOf(const RecordFields& record) {
  return AsStored(JoinFields(record.Alias, StripExtension(record.CatalogFile),
                             StripExtension(record.PictureFile)));
}

HostEntries ReadHostEntries(const IniDocument& list, std::string_view section) {
  HostEntries entries;
  for (const std::string& key : list.KeyNames(section))
    if (const auto n = EntryNumber(key)) entries[*n] = list.ReadString(section, key, "");
  return entries;
}

std::optional<long long> FindHostEntry(const HostEntries& entries, const std::string& hostValue,
                                       std::optional<long long> preferred) {
  if (preferred) {
    const auto it = entries.find(*preferred);
    if (it != entries.end() && it->second == hostValue) return *preferred;
  }
  for (const auto& [number, value] : entries)
    if (value == hostValue) return number;
  return std::nullopt;
}

std::vector<ManagementRecord> ReadManagementRecords(const IniDocument& management) {
  std::vector<ManagementRecord> records;
  for (const std::string& key : management.KeyNames(kManagementSection)) {
    const auto n = EntryNumber(key);
    const std::string value = management.ReadString(kManagementSection, key, "");
    if (n && !value.empty()) records.push_back({key, *n, ParseRecord(value)});
  }
  return records;
}

std::optional<std::string> FindRecordKey(const IniDocument& management, const RecordFields& fields,
                                         std::string_view preferredKey) {
  std::optional<std::string> found;
  for (const ManagementRecord& r : ReadManagementRecords(management)) {
    if (r.Fields != fields) continue;
    if (EqualIgnoringAsciiCase(r.Key, preferredKey)) return r.Key;
    if (!found) found = r.Key;
  }
  return found;
}

void RemoveRecords(IniDocument& management, const RecordFields& fields) {
  for (const ManagementRecord& r : ReadManagementRecords(management))
    if (r.Fields == fields) management.DeleteKey(kManagementSection, r.Key);
}

void RenumberRecords(IniDocument& management, const HostEntries& entries, bool& changed) {
  const std::vector<ManagementRecord> records = ReadManagementRecords(management);
  std::vector<std::optional<long long>> target(records.size());
  std::set<long long> taken;
  // Records already at their entry keep it; the others take the first free
  // entry that holds them.
  for (std::size_t i = 0; i < records.size(); ++i) {
    const auto it = entries.find(records[i].Number);
    if (it != entries.end() && it->second == HostValueOf(records[i].Fields) &&
        taken.insert(records[i].Number).second)
      target[i] = records[i].Number;
  }
  std::vector<std::size_t> unheld, gone;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (target[i]) continue;
    // A list of many thousand entries: a stop is heard between records.
    StopIfInterrupted();
    const std::string value = HostValueOf(records[i].Fields);
    bool held = false;
    for (const auto& [number, entry] : entries) {
      if (entry != value) continue;
      held = true;
      if (taken.insert(number).second) {
        target[i] = number;
        break;
      }
    }
    if (!target[i]) (held ? gone : unheld).push_back(i);  // gone: recorded twice
  }
  // A record no entry holds keeps its number unless a held one takes it; then
  // it takes the first free number past the host's entries, where no entry
  // of the host will claim it back at once.
  long long next = 1;
  for (const auto& [number, entry] : entries) next = std::max(next, number + 1);
  for (std::size_t i : unheld) {
    if (taken.insert(records[i].Number).second) {
      target[i] = records[i].Number;
    } else {
      while (!taken.insert(next).second) ++next;
      target[i] = next;
    }
  }
  // Every moving key goes before any is written, so that two records can
  // swap their numbers.
  std::vector<std::size_t> moved;
  for (std::size_t i = 0; i < records.size(); ++i)
    if (target[i] && *target[i] != records[i].Number) moved.push_back(i);
  for (std::size_t i : moved) management.DeleteKey(kManagementSection, records[i].Key);
  for (std::size_t i : gone) management.DeleteKey(kManagementSection, records[i].Key);
  for (std::size_t i : moved)
    management.WriteString(kManagementSection, EntryKey(*target[i]), RecordText(records[i].Fields));
  changed = changed || !moved.empty() || !gone.empty();
}

void DeleteKeyAndEmptySection(IniDocument& document, std::string_view section,
                              std::string_view key) {
  document.DeleteKey(section, key);
  if (document.KeyNames(section).empty()) document.EraseSection(section);
}

std::vector<std::string> DeleteRecordPictures(const HostFolders& folders,
                                              const RecordFields& record,
                                              const HostEntries& entries, RegistrationHost& host) {
  // What the host's list still names: its catalog and picture fields.
  std::set<std::string> catalogsNamed, picturesNamed;
  for (const auto& [number, value] : entries) {
    const RecordFields entry = ParseRecord(value);
    catalogsNamed.insert(entry.CatalogFile);
    picturesNamed.insert(entry.PictureFile);
  }
  std::vector<fs::path> pictures;
  const fs::path bg = folders.BackgroundFolder();
  auto picture = NameBetween(record.PictureFile, "", ".bmp");
  if (!picture) picture = NameBetween(record.PictureFile, "", ".jpg");
  if (picture && !picturesNamed.contains(*picture)) {
    pictures.push_back(bg / record.PictureFile);
    if (!folders.D3DDir.empty()) pictures.push_back(folders.Direct3DFolder() / (*picture + ".jpg"));
  }
  const auto catalog = NameBetween(record.CatalogFile, kCatalogPrefix, ".bmp");
  if (catalog && !catalogsNamed.contains(std::string(kCatalogPrefix) + *catalog))
    pictures.push_back(bg / record.CatalogFile);
  // What the record names otherwise is no picture of ours, whatever it is:
  // it stays, and the host hears why.
  const std::pair<std::string_view, bool> refused[] = {{record.PictureFile, !picture.has_value()},
                                                       {record.CatalogFile, !catalog.has_value()}};
  for (const auto& [file, notOurs] : refused)
    if (notOurs)
      host.MessageBox(MessageCode::PictureNotDeleted,
                      "the record of \"" + record.Alias + "\" names \"" + std::string(file) +
                          "\", which is not a picture a registration writes (NAME.bmp, "
                          "NAME.jpg, c_NAME.bmp with a file name a registration accepts), so "
                          "it was not deleted");

  std::vector<std::string> deleted;
  for (const fs::path& path : pictures) {
    struct stat status;
    if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) continue;
    std::error_code ec;
    if (fs::remove(path, ec))
      deleted.push_back(path.string());
    else if (ec)
      host.MessageBox(MessageCode::PictureNotDeleted,
                      path.string() + ": the picture could not be deleted: " + ec.message());
  }
  return deleted;
}

}  // namespace horizonmill
