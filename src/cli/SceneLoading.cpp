#include "cli/SceneLoading.h"

#include "platform/FileError.h"
#include "platform/Paths.h"

namespace horizonmill::cli {

std::optional<std::string> SearchDirReaderHost::AskForPicture(PictureKind, const std::string&,
                                                              std::string_view presetName) {
  if (presetName.empty()) return std::nullopt;
  for (const std::string& dir : searchDirs_) {
    std::string path = JoinPath(dir, presetName);
    if (PictureExists(path)) return path;
  }
  return std::nullopt;
}

void SearchDirReaderHost::Warning(const SettingsWarning& warning) {
  warnings_.Warn(sceneName_ + ":" + std::to_string(warning.line), warning.message);
}

void SearchDirReaderHost::PictureRefused(PictureKind kind, std::string_view reason) {
  if (refusal_.empty())
    refusal_ = std::string(reason) + " (the " + std::string(PictureKindName(kind)) + ")";
}

void SearchDirReaderHost::MessageBox(std::string_view text) { warnings_.Warn(sceneName_, text); }

std::optional<std::string> LoadScene(Session& session, const std::string& path,
                                     SearchDirReaderHost& host) {
  try {
    const ReadStatus status = session.Open(path, host);
    if (!host.Refusal().empty()) return host.Refusal() + ", named by " + path;
    if (status == ReadStatus::OutOfMemory) return path + ": reading stopped because memory ran out";
  } catch (const FileError& e) {
    if (e.Path() == path) return e.what();
    return std::string(e.what()) + " (a picture named by " + path + ")";
  }
  return std::nullopt;
}

}  // namespace horizonmill::cli
