// horizonmill: the desktop program. `horizonmill [SCENE.hm]` opens the window,
// reading the settings file when one is named.
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include "platform/ApplicationSettings.h"
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
  // The standard dialogs and buttons speak the program's language.
  QTranslator qtbase;
  if (qtbase.load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtbase);

  horizonmill::ui::QtUserDialogs dialogs;
  horizonmill::ui::THorizonmill_MainForm window(
      dialogs, horizonmill::ApplicationIniPath(QApplication::applicationFilePath().toStdString()));
  window.show();
  // The name exactly as given (Qt's own options are gone from argv by now).
  window.Start(argc > 1 ? argv[1] : "");
  return QApplication::exec();
}
