// horizonmill: the desktop program. `horizonmill [--lang ja|en] [SCENE.hm]`
// opens the window in the language given (else the program INI's, else
// Japanese), reading the settings file when one is named; `--version` and
// `--help` answer without opening it (and without a display).
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "Version.h"
#include "platform/ApplicationSettings.h"
#include "ui/InterfaceLanguage.h"
#include "ui/LaunchArguments.h"
#include "ui/Main.h"
#include "ui/UserDialogs.h"

namespace {

// Japanese text in a Japanese font: the first one installed of these comes
// right after the default family, so kana and kanji take their Japanese forms
// whatever the locale.
void PreferJapaneseFont(QApplication& app) {
  const QStringList installed = QFontDatabase::families();
  for (const char* family : {"Noto Sans CJK JP", "Noto Sans JP", "IPAexGothic", "IPAGothic",
                             "TakaoPGothic", "VL PGothic"}) {
    if (!installed.contains(family)) continue;
    QFont font = app.font();
    font.setFamilies({font.family(), family});
    app.setFont(font);
    return;
  }
}

const char* const kUsage =
    R"(Usage: horizonmill [--lang ja|en] [SCENE.hm]
       horizonmill --version | --help

Opens the Horizonmill window, which makes full-turn panorama backgrounds for 3D
CG animation (2:1, 3072 x 1536 by default) from a scene of sky, sun, stars,
clouds, ground and picture objects, and reads the settings file SCENE.hm into it
when one is named. The window renders a preview of the scene and writes the
full image as PNG, BMP, JPEG, OpenEXR or Radiance HDR, a cube map, or registers
it with a Qora-L host system; horizonmill-render does the same without a window.

Options:
  --lang ja|en         the window's language (remembered; Japanese by default)
  --version            the program's version
  -h, --help           this text
Qt's own options (such as -platform and -style) are taken too.

The program's settings (dialog folders, the JPEG quality, the language, the
host's INI file) are kept in $HORIZONMILL_INI, or
$XDG_CONFIG_HOME/horizonmill/horizonmill.INI (~/.config/horizonmill/ by
default), which horizonmill-render shares.
)";

// The answer to --help or --version, before Qt needs a display; false when
// neither is asked for.
bool AnswerInformationOptions(int argc, char** argv) {
  bool version = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) break;
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return true;
    }
    version = version || std::strcmp(argv[i], "--version") == 0;
  }
  if (version) std::printf("horizonmill %s\n", horizonmill::kVersion);
  return version;
}

}  // namespace

int main(int argc, char** argv) {
  if (AnswerInformationOptions(argc, argv)) return 0;
  QApplication app(argc, argv);
  QApplication::setApplicationName("horizonmill");
  QApplication::setDesktopFileName("horizonmill");
  QApplication::setWindowIcon(QIcon(":/horizonmill.png"));
  PreferJapaneseFont(app);
  // The names exactly as given (Qt's own options are gone from argv by now).
  const horizonmill::ui::LaunchArguments launch =
      horizonmill::ui::ParseLaunchArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (!launch.problem.empty()) std::cerr << "horizonmill: " << launch.problem << "\n";
  const std::filesystem::path ini =
      horizonmill::ApplicationIniPath(QApplication::applicationFilePath().toStdString());
  // The window and the standard dialogs and buttons speak the chosen language.
  const std::string language =
      horizonmill::ui::ChosenLanguage(launch, horizonmill::ReadApplicationSettings(ini));
  if (!horizonmill::ui::InterfaceLanguage::Install(language))
    std::cerr << "horizonmill: the translation " << language << " could not be loaded\n";

  horizonmill::ui::QtUserDialogs dialogs;
  horizonmill::ui::THorizonmill_MainForm window(dialogs, ini);
  window.show();
  window.Start(launch.scene);
  return QApplication::exec();
}
