// Where the pictures a scene names are found. A scene keeps each picture's
// name exactly as it was written (relative or absolute, "\" or "/"); the
// search turns a name into a file only when the scene is prepared, and never
// asks anybody: a name found nowhere is the caller's to report.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace horizonmill {

// Turns a picture name of a scene into a file.
class PictureSource {
 public:
  virtual ~PictureSource() = default;
  // The file the name stands for; nothing when it is found nowhere.
  virtual std::optional<std::string> Find(std::string_view name) const = 0;
  // For a name found nowhere: what stands at the name instead of a file (a
  // folder, a FIFO, a device), as "PATH is a FIFO, not a regular file"; empty
  // when nothing does.
  virtual std::string WhatIsThere(std::string_view name) const { return {}; }
};

// The search of the settings file's pictures, in this order:
//   1. a relative name joined to the settings file's folder, its "\" read as
//      "/", so that a scene folder copied anywhere, with its pictures in
//      sub-folders, opens as it is;
//   2. the name through ResolvePath (platform/Paths.h): a relative name in the
//      program directory, an absolute one as it is;
//   3. the name's last component in the settings file's folder, then in each
//      further folder in turn (those the command line's --search-dir names,
//      those the user pointed at).
// Only regular files count (links followed), so a device or a pipe named in a
// file is never opened.
class PictureSearch : public PictureSource {
 public:
  PictureSearch() = default;
  PictureSearch(std::string sceneFolder, std::vector<std::string> folders)
      : sceneFolder(std::move(sceneFolder)), folders(std::move(folders)) {}

  std::optional<std::string> Find(std::string_view name) const override;
  // Looks where the first two steps look.
  std::string WhatIsThere(std::string_view name) const override;

  // The settings file's folder; empty for a scene that is no file's.
  std::string sceneFolder;
  std::vector<std::string> folders;

  friend bool operator==(const PictureSearch& a, const PictureSearch& b) {
    return a.sceneFolder == b.sceneFolder && a.folders == b.folders;
  }
};

// Whether a regular file is at `path` (links followed).
bool PictureFileExists(const std::string& path);

// The folder the pictures of the settings file at `path` are looked for
// first: its own, made absolute.
std::string SettingsFolder(const std::string& path);

}  // namespace horizonmill
