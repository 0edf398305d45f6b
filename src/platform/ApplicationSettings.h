// The program's own INI file: what it remembers between runs, in section
// "Horizonmill". The GUI and the command-line renderer share the file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace horizonmill {

inline constexpr std::string_view kApplicationSection = "Horizonmill";

// The languages of the window, by their codes; Japanese is the default.
inline constexpr std::string_view kDefaultLanguage = "ja";
inline constexpr std::string_view kLanguages[] = {"ja", "en"};
// The code of a known language written in any case ("EN" -> "en"); nothing
// for any other text.
std::optional<std::string> KnownLanguage(std::string_view code);

// What the program remembers between runs (section "Horizonmill").
struct ApplicationSettings {
  // Folders of the five file dialogs, as stored (a folder path ending with a
  // separator); empty when the key is missing.
  std::string OutputDir, TenjoDir, JimenDir, SettingOpenDir, SettingSaveDir;
  std::string ObjectDir;    // the object group editor's picture dialog
  std::string QoraLTarget;  // key "QoraL_Target": the host INI's full path
  int JPEGQuality = 90;     // missing, negative or not a number -> 90
  // Keys "RecentFile1".."RecentFile8": the scenes last opened or saved, the
  // newest first (empty keys skipped).
  std::vector<std::string> RecentFiles;
  bool AutoPreview = true;  // "0" off, "1" on; missing or anything else -> on
  // The window's language: "ja" or "en" (the key in any case, trimmed); missing
  // or anything else -> "ja".
  std::string Language = std::string(kDefaultLanguage);
};

// How many scenes the file menu remembers.
inline constexpr int kMaxRecentFiles = 8;
// "RecentFile1" .. "RecentFile8".
std::string RecentFileKey(int index);

// The INI file's path: $HORIZONMILL_INI when set; otherwise
// $XDG_CONFIG_HOME/horizonmill/ (default ~/.config/horizonmill/) + the file
// name the path rule gives for the program file's name ("horizonmill" ->
// "horizonmill.INI", "prog.exe.bak" -> "prog.exe.INI").
std::filesystem::path ApplicationIniPath(const std::filesystem::path& programFile);
// The path rule itself, on a name (exposed for tests).
std::string IniNameForProgram(std::string_view programFileName);

// Why the program INI at `ini` cannot be read, naming it: it exists but is no
// regular file (a FIFO, a folder, a device: looked at without waiting on it)
// or cannot be opened. Empty when it is missing or readable.
std::string ApplicationIniProblem(const std::filesystem::path& ini);

// A missing or unreadable file gives the defaults; never throws.
ApplicationSettings ReadApplicationSettings(const std::filesystem::path& ini);

// Writes the keys of section "Horizonmill" in `changes` into the file as it is
// now (a value, or nothing to delete the key), leaving every other key as it
// is: two programs sharing the file lose nothing of each other's. Creates the
// file (and its folder) when missing and there is something to write. Throws
// FileError naming the INI file; the file is then as it was.
void UpdateApplicationSettings(
    const std::filesystem::path& ini,
    const std::vector<std::pair<std::string, std::optional<std::string>>>& changes);

// The keys of section "Horizonmill".
inline constexpr std::string_view kOutputDirKey = "OutputDir";
inline constexpr std::string_view kTenjoDirKey = "TenjoDir";
inline constexpr std::string_view kJimenDirKey = "JimenDir";
inline constexpr std::string_view kSettingOpenDirKey = "SettingOpenDir";
inline constexpr std::string_view kSettingSaveDirKey = "SettingSaveDir";
inline constexpr std::string_view kObjectDirKey = "ObjectDir";
inline constexpr std::string_view kJpegQualityKey = "JPEGQuality";
inline constexpr std::string_view kQoraLTargetKey = "QoraL_Target";
inline constexpr std::string_view kAutoPreviewKey = "AutoPreview";
inline constexpr std::string_view kLanguageKey = "Language";

}  // namespace horizonmill
