#include "scene/PictureSearch.h"

#include <filesystem>
#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/Paths.h"

namespace horizonmill {

bool PictureFileExists(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

std::string SettingsFolder(const std::string& path) {
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::absolute(path, ec).parent_path();
  if (ec) folder = std::filesystem::path(path).parent_path();
  return folder.string();
}

std::optional<std::string> PictureSearch::Find(std::string_view name) const {
  if (!sceneFolder.empty()) {
    std::string beside = ResolvePath(name, sceneFolder);
    if (beside != name && PictureFileExists(beside)) return beside;
  }
  if (std::string resolved = ResolvePath(name); PictureFileExists(resolved)) return resolved;
  const std::string_view last = LastPathComponent(name);
  if (last.empty()) return std::nullopt;
  if (!sceneFolder.empty())
    if (std::string path = JoinPath(sceneFolder, last); PictureFileExists(path)) return path;
  for (const std::string& folder : folders)
    if (!folder.empty())
      if (std::string path = JoinPath(folder, last); PictureFileExists(path)) return path;
  return std::nullopt;
}

std::string PictureSearch::WhatIsThere(std::string_view name) const {
  std::vector<std::string> places;
  if (!sceneFolder.empty()) places.push_back(ResolvePath(name, sceneFolder));
  places.push_back(ResolvePath(name));
  for (const std::string& path : places)
    if (const std::string reason = NotReplaceableReason(path); !path.empty() && !reason.empty())
      return path + " " + reason;
  return {};
}

}  // namespace horizonmill
