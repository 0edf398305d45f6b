#include "output/RegisteredBackgrounds.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <limits>
#include <optional>
#include <system_error>

#include "output/HostFiles.h"
#include "platform/FileError.h"
#include "platform/Paths.h"
#include "platform/PrivateProfile.h"
#include "platform/TextCodec.h"

namespace horizonmill {
namespace {

namespace fs = std::filesystem;

// The number of a key "Back<n>" as "Back%d" writes it (any letter case, no
// leading zeros); nothing for any other key.
std::optional<int> EntryNumber(std::string_view key) {
  if (key.size() < 5 || !EqualIgnoringAsciiCase(key.substr(0, 4), "Back")) return std::nullopt;
  const std::string_view digits = key.substr(4);
  if (digits.size() > 1 && digits[0] == '0') return std::nullopt;
  int n = 0;
  const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  if (r.ec != std::errc() || r.ptr != digits.data() + digits.size() || n < 0) return std::nullopt;
  return n;
}

RegisteredBackground RecordOf(const std::string& key, std::string_view value) {
  std::string fields[3];
  for (std::string& field : fields) {
    const auto comma = value.find(',');
    field = value.substr(0, comma);
    value = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
  }
  return {key, fields[0], fields[2], fields[1]};
}

// A name this program could have written into the folder: never a path.
bool IsPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("/\\:") == std::string_view::npos;
}

}  // namespace

std::vector<RegisteredBackground> ReadRegisteredBackgrounds(const HostFolders& folders,
                                                            RegistrationHost& host) {
  std::vector<RegisteredBackground> records;
  const fs::path path = folders.ManagementFile();
  if (!FileExists(path.string())) {
    host.MessageBox(path.string(), "the management file of registered backgrounds does not exist");
    return records;
  }
  const IniDocument ini = LoadIniFile(path.string());
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
    records.push_back(RecordOf(key, value));
  }
  return records;
}

fs::path CatalogPicturePath(const HostFolders& folders, const RegisteredBackground& record) {
  return folders.BackgroundFolder() / record.CatalogFile;
}

RemovalResult DeleteRegisteredBackground(const HostFolders& folders,
                                         std::vector<RegisteredBackground>& records,
                                         std::size_t index, RegistrationHost& host) {
  assert(index < records.size());
  const RegisteredBackground removed = records[index];
  if (!host.Confirm("背景「" + removed.Alias + "」を削除します。よろしいですか？"))
    return RemovalResult::Cancelled;

  // The list is looked for before anything is deleted, so that the host never
  // lists a background whose pictures are gone.
  const auto list = FindBackgroundList(folders);
  if (!list) {
    TellNotInstalled(host, NoBackgroundListReason(folders));
    return RemovalResult::NotInstalled;
  }
  PendingIniFile hostList(list->File, Cp932Overflow::Refuse);
  PendingIniFile management(folders.ManagementFile().string(), Cp932Overflow::Refuse);
  const long long k = EntryNumber(removed.Key).value_or(0);

  hostList.Change([&](IniDocument& ini) {
    const int bgMax =
        ini.ReadInteger(list->Section, kBGMaxKey, list->Section == kHostMenuSection ? -1 : 0);
    // Not below 0: -1 would send the next registration to another list.
    ini.WriteString(list->Section, kBGMaxKey, std::to_string(std::max(bgMax - 1LL, 0LL)));
    // Every later entry moves down one number; the last key goes.
    for (long long i = k;; ++i) {
      const std::string next = i < std::numeric_limits<int>::max()
                                   ? ini.ReadString(list->Section, EntryKey(i + 1), "")
                                   : "";
      if (next.empty()) {
        ini.DeleteKey(list->Section, EntryKey(i));
        break;
      }
      ini.WriteString(list->Section, EntryKey(i), next);
    }
  });

  std::vector<RegisteredBackground> remaining = records;
  remaining.erase(remaining.begin() + static_cast<std::ptrdiff_t>(index));
  for (RegisteredBackground& r : remaining) {
    const long long m = EntryNumber(r.Key).value_or(0);
    if (m > k) r.Key = EntryKey(m - 1);
  }
  management.Change([&](IniDocument& ini) {
    ini.EraseSection(kManagementSection);
    for (const RegisteredBackground& r : remaining)
      ini.WriteString(kManagementSection, r.Key, JoinFields(r.Alias, r.CatalogFile, r.PictureFile));
  });
  SaveTogether({&hostList, &management});
  records = std::move(remaining);

  const fs::path bg = folders.BackgroundFolder();
  std::vector<fs::path> pictures;
  if (IsPlainFileName(removed.CatalogFile)) pictures.push_back(bg / removed.CatalogFile);
  if (IsPlainFileName(removed.PictureFile)) {
    pictures.push_back(bg / removed.PictureFile);
    if (!folders.D3DDir.empty()) pictures.push_back(TexturePath(folders, removed.PictureFile));
  }
  for (const fs::path& picture : pictures) {
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(picture, ec))) continue;
    if (!fs::remove(picture, ec) && ec)
      host.MessageBox(picture.string() + ": " + ec.message(), "the picture could not be deleted");
  }
  return RemovalResult::Removed;
}

}  // namespace horizonmill
