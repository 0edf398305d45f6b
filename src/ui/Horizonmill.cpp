// horizonmill: the desktop program. `horizonmill [--lang ja|en] [SCENE.hm]`
// opens the window in the language given (else the program INI's, else
// Japanese), reading the settings file when one is named.
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <iostream>

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

}  // namespace

int main(int argc, char** argv) {
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
