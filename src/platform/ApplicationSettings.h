// The program's own INI file: what it remembers between runs, in section
// "Horizonmill". The GUI and the command-line renderer share the file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace horizonmill {

inline constexpr std::string_view kApplicationSection = "Horizonmill";

// What the program remembers between runs (section "Horizonmill").
struct ApplicationSettings {
  // Folders of the five file dialogs, as stored (a folder path ending with a
  // separator); empty when the key is missing.
  std::string OutputDir, TenjoDir, JimenDir, SettingOpenDir, SettingSaveDir;
  std::string ObjectDir;    // the object group editor's picture dialog
  std::string QoraLTarget;  // key "QoraL_Target": the host INI's full path
  int JPEGQuality = 90;     // missing, negative or not a number -> 90
};

// The INI file's path: $HORIZONMILL_INI when set; otherwise
// $XDG_CONFIG_HOME/horizonmill/ (default ~/.config/horizonmill/) + the file
// name the path rule gives for the program file's name ("horizonmill" ->
// "horizonmill.INI", "prog.exe.bak" -> "prog.exe.INI").
std::filesystem::path ApplicationIniPath(const std::filesystem::path& programFile);
// The path rule itself, on a name (exposed for tests).
std::string IniNameForProgram(std::string_view programFileName);

// A missing or unreadable file gives the defaults; never throws.
ApplicationSettings ReadApplicationSettings(const std::filesystem::path& ini);

// The INI write: for each of OutputDir, TenjoDir, JimenDir, SettingOpenDir,
// SettingSaveDir in that order, writes it when not empty; then QoraLTarget
// when not empty. Keys not written keep their values. Creates the file (and
// its folder) when missing and there is something to write. Throws FileError naming the INI file
// when it cannot be written; values already written stay.
void WriteApplicationSettings(const std::filesystem::path& ini, const ApplicationSettings& s);
// Single keys written at their own moments: "JPEGQuality" on the quality
// dialog's OK, "ObjectDir" after the object editor added an entry.
void WriteJpegQualitySetting(const std::filesystem::path& ini, int quality);
void WriteObjectDirSetting(const std::filesystem::path& ini, const std::string& folder);
// "QoraL_Target" after a registration: the host INI's absolute path (a
// relative `hostIni` is made absolute against the current directory). Throws
// FileError naming the INI file.
void WriteHostTargetSetting(const std::filesystem::path& ini, const std::string& hostIni);
// Removes "QoraL_Target" (when it is there), so that the next registration asks
// for the host's INI file again: the window does so when the host turned out
// not to be installed. Throws FileError naming the INI file.
void ForgetHostTarget(const std::filesystem::path& ini);

// The host's folders as the last registration stored them ("QoraL_BGDir",
// "QoraL_D3DDir": the host INI's values, relative ones still relative); empty
// when missing. The removal dialog reads them. A missing or unreadable file
// gives empty values.
struct HostFolderSettings {
  std::string BGDir, D3DDir;
};
HostFolderSettings ReadHostFolderSettings(const std::filesystem::path& ini);

// The keys of the host: "QoraL_Target" written after a registration; the
// folders only read, as earlier versions wrote them.
inline constexpr std::string_view kQoraLTargetKey = "QoraL_Target";
inline constexpr std::string_view kQoraLBGDirKey = "QoraL_BGDir";
inline constexpr std::string_view kQoraLD3DDirKey = "QoraL_D3DDir";

}  // namespace horizonmill
