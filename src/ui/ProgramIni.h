// The program INI as the window sees it: the store of
// platform/ApplicationSettings.h (read at start-up, written on close and after
// the commands that change a remembered folder, "JPEGQuality" on the quality
// dialog's OK).
//
// PENDING MERGE: the store is built with the host registration work. Until it
// is on this branch the fallback below stands in for its interface: the window
// starts with the defaults and remembers nothing. It goes once the store is
// merged; nothing else in ui/ changes then.
#pragma once

#if __has_include("platform/ApplicationSettings.h")
#include "platform/ApplicationSettings.h"
#define HORIZONMILL_PROGRAM_INI 1
#else
#include <filesystem>
#include <string>

namespace horizonmill {
struct ApplicationSettings {
  std::string OutputDir, TenjoDir, JimenDir, SettingOpenDir, SettingSaveDir;
  std::string ObjectDir;
  std::string QoraLTarget;
  int JPEGQuality = 90;
};
inline std::filesystem::path ApplicationIniPath(const std::filesystem::path&) { return {}; }
inline ApplicationSettings ReadApplicationSettings(const std::filesystem::path&) { return {}; }
inline void WriteApplicationSettings(const std::filesystem::path&, const ApplicationSettings&) {}
inline void WriteJpegQualitySetting(const std::filesystem::path&, int) {}
}  // namespace horizonmill
#endif
