#include "cli/SceneLoading.h"

#include "platform/FileError.h"

namespace horizonmill::cli {

std::optional<std::string> OpenScene(Session& session, const std::string& path,
                                     WarningLog& warnings) {
  try {
    const OpenResult opened = session.Open(path);
    for (const Diagnostic& d : opened.diagnostics) warnings.Warn(DiagnosticWhere(d), d.text);
    if (opened.status == ReadStatus::OutOfMemory)
      return path + ": reading stopped because memory ran out";
  } catch (const FileError& e) {
    return e.what();
  }
  return std::nullopt;
}

std::optional<std::string> CheckPictures(Session& session, const std::string& scene,
                                         WarningLog& warnings) {
  const Preparation preparation = session.Prepare();
  for (const Diagnostic& d : preparation.diagnostics) {
    PictureKind kind = PictureKind::Object;
    IsAboutPicture(d, &kind);
    switch (d.code) {
      case DiagnosticCode::UnreadablePicture:
        // Left out (a thumbnail's preparation): a warning, as a missing one is.
        if (session.Missing() == MissingPictures::LeaveOut) {
          warnings.Warn(DiagnosticWhere(d, scene), d.text);
          break;
        }
        return d.text + " (a picture named by " + scene + ")";
      case DiagnosticCode::PictureRefused:
        return d.text + " (the " + std::string(PictureKindName(kind)) + "), named by " + scene;
      default:
        warnings.Warn(DiagnosticWhere(d, scene), d.text);
        break;
    }
  }
  return std::nullopt;
}

}  // namespace horizonmill::cli
