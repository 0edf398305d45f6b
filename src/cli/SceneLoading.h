// Reading the scene file of horizonmill-render, without asking anybody: a
// picture the file names but which is neither beside the scene file, nor in
// the program's folder, nor where it says, is looked for in each --search-dir
// in turn; if none has it, the reader goes on as after a cancelled dialog (an
// object is left out, a texture is drawn as the "無" tile) and warns. Every
// warning of the reader goes to standard error with the file name and the
// line. A picture refused for memory (too large, or beyond the picture budget)
// makes the scene unrenderable as it stands: the loading fails with the reason.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/Session.h"
#include "cli/Warnings.h"
#include "scene/SettingsFile.h"

namespace horizonmill::cli {

class SearchDirReaderHost : public SettingsReaderHost {
 public:
  SearchDirReaderHost(std::vector<std::string> searchDirs, std::string sceneName,
                      WarningLog& warnings)
      : searchDirs_(std::move(searchDirs)), sceneName_(std::move(sceneName)), warnings_(warnings) {}

  std::optional<std::string> AskForPicture(PictureKind kind, const std::string& message,
                                           std::string_view presetName) override;
  void MessageBox(std::string_view text) override;
  void PictureRefused(PictureKind kind, std::string_view reason) override;
  void Warning(const SettingsWarning& warning) override;
  // The search directories are searched in their order for every picture.
  bool RemembersChosenFolder() const override { return false; }

  // Why the first picture refused for memory was refused; empty when none was.
  const std::string& Refusal() const { return refusal_; }

 private:
  std::vector<std::string> searchDirs_;
  std::string sceneName_;
  WarningLog& warnings_;
  std::string refusal_;
};

// Opens `path` in the session, as the window does (so the old output format
// holds the resolution at 3072 x 1536). Returns nothing on success, otherwise
// the one-line reason why the scene cannot be rendered, naming the file: the
// settings file cannot be read or is no settings file, a picture cannot be
// decoded or was refused for memory, or memory ran out. Throws Interrupted
// when an interrupt stops it.
std::optional<std::string> LoadScene(Session& session, const std::string& path,
                                     SearchDirReaderHost& host);

}  // namespace horizonmill::cli
