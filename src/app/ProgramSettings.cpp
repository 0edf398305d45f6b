#include "app/ProgramSettings.h"

#include <utility>
#include <vector>

#include "platform/Paths.h"

namespace horizonmill {

std::filesystem::path DefaultProgramIni() {
  return ApplicationIniPath(std::filesystem::path(ProgramDirectory()) / "horizonmill");
}

ProgramSettings::ProgramSettings(std::filesystem::path ini) : ini_(std::move(ini)) {
  values_ = ReadApplicationSettings(ini_);
}

void ProgramSettings::SetFolder(DialogFolder dialog, const std::string& folder) {
  if (folder.empty()) return;
  const std::pair<std::string_view, std::string*> keys[] = {
      {kOutputDirKey, &values_.OutputDir},
      {kTenjoDirKey, &values_.TenjoDir},
      {kJimenDirKey, &values_.JimenDir},
      {kSettingOpenDirKey, &values_.SettingOpenDir},
      {kSettingSaveDirKey, &values_.SettingSaveDir},
      {kObjectDirKey, &values_.ObjectDir}};
  const auto& [key, value] = keys[static_cast<int>(dialog)];
  if (*value == folder) return;
  *value = folder;
  Change(key, folder);
}

void ProgramSettings::SetJpegQuality(int quality) {
  if (values_.JPEGQuality == quality) return;
  values_.JPEGQuality = quality;
  Change(kJpegQualityKey, std::to_string(quality));
}

void ProgramSettings::SetAutoPreview(bool on) {
  if (values_.AutoPreview == on) return;
  values_.AutoPreview = on;
  Change(kAutoPreviewKey, on ? "1" : "0");
}

void ProgramSettings::SetLanguage(const std::string& code) {
  if (values_.Language == code) return;
  values_.Language = code;
  Change(kLanguageKey, code);
}

void ProgramSettings::SetHostTarget(const std::string& hostIni) {
  if (values_.QoraLTarget == hostIni) return;
  values_.QoraLTarget = hostIni;
  Change(kQoraLTargetKey, hostIni.empty() ? std::nullopt : std::optional(hostIni));
}

void ProgramSettings::NoteRecentFile(const std::string& path) {
  std::vector<std::string> files{path};
  for (const std::string& file : values_.RecentFiles)
    if (file != path && files.size() < kMaxRecentFiles) files.push_back(file);
  SetRecentFiles(std::move(files));
}

void ProgramSettings::ForgetRecentFile(const std::string& path) {
  std::vector<std::string> files = values_.RecentFiles;
  std::erase(files, path);
  SetRecentFiles(std::move(files));
}

void ProgramSettings::SetRecentFiles(std::vector<std::string> files) {
  if (files == values_.RecentFiles) return;
  values_.RecentFiles = std::move(files);
  // The list is written whole: each key holds its place.
  for (int i = 0; i < kMaxRecentFiles; ++i)
    Change(RecentFileKey(i), i < static_cast<int>(values_.RecentFiles.size())
                                 ? std::optional(values_.RecentFiles[i])
                                 : std::nullopt);
}

void ProgramSettings::Change(std::string_view key, std::optional<std::string> value) {
  changes_.insert_or_assign(std::string(key), std::move(value));
}

void ProgramSettings::Save() {
  if (ini_.empty()) {
    changes_.clear();
    return;
  }
  const std::vector<std::pair<std::string, std::optional<std::string>>> changes(changes_.begin(),
                                                                                changes_.end());
  UpdateApplicationSettings(ini_, changes);
  changes_.clear();
}

}  // namespace horizonmill
