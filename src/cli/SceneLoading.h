// Reading the scene file of horizonmill-render, without asking anybody: a
// picture the file names but which is not where it says (nor beside the scene
// file) is looked for in each --search-dir in turn; if none has it, a warning
// goes to standard error and the reader goes on as after a cancelled dialog
// (an object is left out, a texture is drawn as the "無" tile).
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "output/Session.h"
#include "scene/SettingsFile.h"

namespace horizonmill::cli {

class SearchDirReaderHost : public SettingsReaderHost {
 public:
  SearchDirReaderHost(std::vector<std::string> searchDirs, std::FILE* warnings)
      : searchDirs_(std::move(searchDirs)), warnings_(warnings) {}

  std::optional<std::string> AskForPicture(PictureKind kind, const std::string& message,
                                           std::string_view presetName) override;
  void MessageBox(std::string_view text) override;

 private:
  std::vector<std::string> searchDirs_;
  std::FILE* warnings_;
};

// Opens `path` in the session, as the window does (so the old output format
// holds the resolution at 3072 x 1536). Returns nothing on success, otherwise
// the one-line reason why the scene cannot be rendered, naming the file: the
// settings file cannot be read, a picture cannot be decoded, or memory ran out.
std::optional<std::string> LoadScene(Session& session, const std::string& path,
                                     SearchDirReaderHost& host);

}  // namespace horizonmill::cli
