#include "ui/LaunchArguments.h"

#include "platform/ApplicationSettings.h"

namespace horizonmill::ui {
namespace {

constexpr std::string_view kLanguageOption = "--lang";

void Note(LaunchArguments& launch, const std::string& problem) {
  if (!launch.problem.empty()) launch.problem += "; ";
  launch.problem += problem;
}

void TakeLanguage(LaunchArguments& launch, const std::string& code) {
  if (const auto known = KnownLanguage(code))
    launch.language = *known;
  else
    Note(launch, "unknown language \"" + code + "\" (ja or en)");
}

}  // namespace

LaunchArguments ParseLaunchArguments(const std::vector<std::string>& arguments) {
  LaunchArguments launch;
  bool options = true;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (options && a == "--") {
      options = false;
    } else if (options && a == kLanguageOption) {
      if (i + 1 < arguments.size())
        TakeLanguage(launch, arguments[++i]);
      else
        Note(launch, "--lang needs a language (ja or en)");
    } else if (options && a.starts_with(std::string(kLanguageOption) + "=")) {
      TakeLanguage(launch, a.substr(kLanguageOption.size() + 1));
    } else if (options && a.size() > 1 && a.starts_with("-")) {
      Note(launch, "unknown option " + a);
    } else if (launch.scene.empty()) {
      launch.scene = a;
    } else {
      Note(launch, "one settings file only: " + a + " is left aside");
    }
  }
  return launch;
}

std::string ChosenLanguage(const LaunchArguments& launch, const ApplicationSettings& settings) {
  return launch.language.empty() ? settings.Language : launch.language;
}

}  // namespace horizonmill::ui
