#include "cli/SceneLoading.h"

#include "platform/FileError.h"
#include "platform/Paths.h"

namespace horizonmill::cli {
namespace {

const char* KindName(PictureKind kind) {
  switch (kind) {
    case PictureKind::Object:
      return "object picture";
    case PictureKind::GroundTexture:
      return "ground texture";
    case PictureKind::CeilingTexture:
      return "ceiling texture";
  }
  return "picture";
}

const char* Consequence(PictureKind kind) {
  return kind == PictureKind::Object ? "the object is left out"
                                     : "the layer shows the missing-picture tile";
}

}  // namespace

std::optional<std::string> SearchDirReaderHost::AskForPicture(PictureKind kind,
                                                              const std::string& message,
                                                              std::string_view presetName) {
  if (!presetName.empty()) {
    for (const std::string& dir : searchDirs_) {
      std::string path = JoinPath(dir, presetName);
      if (PictureExists(path)) return path;
    }
  }
  std::fprintf(warnings_,
               "horizonmill-render: warning: %s \"%.*s\" not found beside the scene file%s; %s\n",
               KindName(kind), static_cast<int>(presetName.size()), presetName.data(),
               searchDirs_.empty() ? "" : " or in any --search-dir", Consequence(kind));
  return std::nullopt;
}

void SearchDirReaderHost::PictureRefused(PictureKind kind, std::string_view reason) {
  if (refusal_.empty()) refusal_ = std::string(reason) + " (the " + KindName(kind) + ")";
}

void SearchDirReaderHost::MessageBox(std::string_view text) {
  std::fprintf(warnings_, "horizonmill-render: warning: %.*s\n", static_cast<int>(text.size()),
               text.data());
}

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
