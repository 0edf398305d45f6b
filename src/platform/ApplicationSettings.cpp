#include "platform/ApplicationSettings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <iterator>
#include <system_error>

#include "platform/FileError.h"
#include "platform/Paths.h"
#include "platform/PrivateProfile.h"
#include "platform/WholeFile.h"

namespace horizonmill {
namespace {

// The quality dialog's value read as the number it wrote: a whole integer; a
// missing key, a negative value or text that is no integer leaves 90. Above
// 100 is the JPEG library's best, 100.
int JpegQualityOf(const IniDocument& ini) {
  const auto text = ini.Find(kApplicationSection, kJpegQualityKey);
  if (!text) return 90;
  int value = -1;
  const char* first = text->data() + (text->starts_with('+') ? 1 : 0);
  const auto r = std::from_chars(first, text->data() + text->size(), value);
  if (r.ec != std::errc() || r.ptr != text->data() + text->size() || value < 0) return 90;
  return value > 100 ? 100 : value;
}

IniDocument LoadOrEmpty(const std::filesystem::path& ini) {
  try {
    return LoadIniFile(ini.string());
  } catch (const FileError&) {
    return IniDocument();
  }
}

void Update(const std::filesystem::path& ini, const std::function<void(IniDocument&)>& change) {
  // Our own file: a name CP932 cannot hold turns it into UTF-8 rather than being lost.
  PendingIniFile file(ini.string(), Cp932Overflow::SwitchToUtf8, true);
  file.Change(change);
  file.Save();
}

}  // namespace

std::string IniNameForProgram(std::string_view programFileName) {
  return StripExtension(programFileName) + ".INI";
}

std::filesystem::path ApplicationIniPath(const std::filesystem::path& programFile) {
  if (const char* named = std::getenv("HORIZONMILL_INI"); named && *named) return named;
  std::filesystem::path config;
  // A relative XDG_CONFIG_HOME is to be ignored.
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
    config = xdg;
  else
    config = HomeDirectory() / ".config";
  return config / "horizonmill" / IniNameForProgram(programFile.filename().string());
}

std::string ApplicationIniProblem(const std::filesystem::path& ini) {
  std::error_code ec;
  if (std::filesystem::symlink_status(ini, ec).type() == std::filesystem::file_type::not_found)
    return {};
  try {
    const InputFile file(ini.string(), true);
  } catch (const FileError& e) {
    return e.what();
  }
  return {};
}

ApplicationSettings ReadApplicationSettings(const std::filesystem::path& ini) {
  const IniDocument doc = LoadOrEmpty(ini);
  auto read = [&](std::string_view key) { return doc.ReadString(kApplicationSection, key, ""); };
  ApplicationSettings s;
  s.OutputDir = read(kOutputDirKey);
  s.TenjoDir = read(kTenjoDirKey);
  s.JimenDir = read(kJimenDirKey);
  s.SettingOpenDir = read(kSettingOpenDirKey);
  s.SettingSaveDir = read(kSettingSaveDirKey);
  s.ObjectDir = read(kObjectDirKey);
  s.QoraLTarget = read(kQoraLTargetKey);
  s.JPEGQuality = JpegQualityOf(doc);
  for (int i = 0; i < kMaxRecentFiles; ++i)
    if (std::string file = read(RecentFileKey(i)); !file.empty())
      s.RecentFiles.push_back(std::move(file));
  s.AutoPreview = read(kAutoPreviewKey) != "0";
  s.Language = KnownLanguage(read(kLanguageKey)).value_or(std::string(kDefaultLanguage));
  return s;
}

std::optional<std::string> KnownLanguage(std::string_view code) {
  std::string lower(code);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (std::string_view known : kLanguages)
    if (lower == known) return lower;
  return std::nullopt;
}

std::string RecentFileKey(int index) { return "RecentFile" + std::to_string(index + 1); }

void UpdateApplicationSettings(
    const std::filesystem::path& ini,
    const std::vector<std::pair<std::string, std::optional<std::string>>>& changes) {
  const bool writes = std::any_of(changes.begin(), changes.end(),
                                  [](const auto& change) { return change.second.has_value(); });
  std::error_code ec;
  if (!writes && !std::filesystem::exists(ini, ec)) return;
  Update(ini, [&](IniDocument& doc) {
    for (const auto& [key, value] : changes) {
      if (value)
        doc.WriteString(kApplicationSection, key, *value);
      else
        doc.DeleteKey(kApplicationSection, key);
    }
  });
}

}  // namespace horizonmill
