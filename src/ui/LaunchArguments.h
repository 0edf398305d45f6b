// The desktop program's command line: `horizonmill [--lang CODE] [SCENE.hm]`,
// the option and the settings file in either order, and the language the
// window speaks from it and the program INI.
#pragma once

#include <string>
#include <vector>

namespace horizonmill {
struct ApplicationSettings;
}

namespace horizonmill::ui {

struct LaunchArguments {
  std::string language;  // --lang CODE or --lang=CODE (a code of kLanguages); empty: none
  std::string scene;     // the settings file, exactly as given; empty: none
  std::string problem;   // what could not be understood (English); empty: nothing
};

// Reads the arguments after the program's name (Qt's own options already
// taken out). "--" ends the options; the first other argument is the scene; a
// language that is none of kLanguages, a missing code, an unknown option or a
// second scene is a problem and otherwise left aside.
LaunchArguments ParseLaunchArguments(const std::vector<std::string>& arguments);

// The window's language: the one given on the command line, otherwise the
// program INI's.
std::string ChosenLanguage(const LaunchArguments& launch, const ApplicationSettings& settings);

}  // namespace horizonmill::ui
