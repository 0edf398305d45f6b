// The program's own INI file as a run sees it: read once at start, changed by
// the run key by key, and saved by writing only the keys the run changed into
// the file as it is at that moment (platform/ApplicationSettings.h reads and
// merges). The window and the command-line renderer share the file, so a host
// INI chosen on the command line while the window is open is not put back by
// the window when it closes.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ApplicationSettings.h"

namespace horizonmill {

// The program INI of the installed programs: named after the window's program
// file, which lies beside the running one (ApplicationIniPath).
std::filesystem::path DefaultProgramIni();

// The file dialogs whose folders the file remembers.
enum class DialogFolder { Output, CeilingTexture, GroundTexture, SettingOpen, SettingSave, Object };

class ProgramSettings {
 public:
  // No file: the defaults, and saving writes nothing (a session of tests).
  ProgramSettings() = default;
  // Reads `ini` (a missing or unreadable file gives the defaults).
  explicit ProgramSettings(std::filesystem::path ini);

  const std::filesystem::path& Path() const { return ini_; }
  // What the file held at start, with this run's changes over it.
  const ApplicationSettings& Values() const { return values_; }

  // Each setter changes a key only when the value differs from the one the run
  // holds, so a value set again after another program changed the file does
  // not put the old one back.
  // A dialog's folder (ending with its separator); empty changes nothing.
  void SetFolder(DialogFolder dialog, const std::string& folder);
  void SetJpegQuality(int quality);
  // Whether the window's preview follows every change of the scene.
  void SetAutoPreview(bool on);
  // The window's language at its next start (a code of kLanguages).
  void SetLanguage(const std::string& code);
  // The host INI of the registration (a full path); empty forgets it, so
  // that the next registration asks again.
  void SetHostTarget(const std::string& hostIni);

  // A scene opened or saved: first in the recent files (once), at most
  // kMaxRecentFiles kept.
  void NoteRecentFile(const std::string& path);
  // A recent file that is gone.
  void ForgetRecentFile(const std::string& path);

  // Whether keys changed since the last Save.
  bool HasChanges() const { return !changes_.empty(); }
  // Writes the changed keys into the file as it is now. Throws FileError
  // naming the file; the changes then stay to be saved again.
  void Save();

 private:
  void Change(std::string_view key, std::optional<std::string> value);
  void SetRecentFiles(std::vector<std::string> files);

  std::filesystem::path ini_;
  ApplicationSettings values_;
  std::map<std::string, std::optional<std::string>, std::less<>> changes_;
};

}  // namespace horizonmill
