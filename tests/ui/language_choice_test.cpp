// Choosing the window's language: `horizonmill --lang CODE` (either side of
// the scene file), else the program INI's Language, else Japanese; the
// translators it installs, Qt's own included; and オプション → Language / 言語,
// which remembers the choice for the next start.
#include <QAction>
#include <QActionGroup>
#include <QDialogButtonBox>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include "platform/ApplicationSettings.h"
#include "support/TempDir.h"
#include "ui/LaunchArguments.h"
#include "ui/TextChecks.h"
#include "ui/WindowFixture.h"

using namespace horizonmill;
using namespace horizonmill::ui;

namespace {

// A row of theArguments: the arguments, then the language, the scene and a
// part of the problem they give.
void Arguments(const char* name, const QStringList& arguments, const QString& language,
               const QString& scene, const QString& problem) {
  QTest::newRow(name) << arguments << language << scene << problem;
}

QString CancelButtonText() {
  QDialogButtonBox box(QDialogButtonBox::Cancel);
  return box.button(QDialogButtonBox::Cancel)->text();
}

}  // namespace

class LanguageChoiceTest : public QObject {
  Q_OBJECT

 private slots:
  void theArguments_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("scene");
    QTest::addColumn<QString>("problem");
    Arguments("nothing", {}, "", "", "");
    Arguments("a scene", {"a.hm"}, "", "a.hm", "");
    Arguments("language first", {"--lang", "en", "a.hm"}, "en", "a.hm", "");
    Arguments("scene first", {"a.hm", "--lang", "ja"}, "ja", "a.hm", "");
    Arguments("with =", {"--lang=EN", "夕焼け.hm"}, "en", "夕焼け.hm", "");
    Arguments("unknown language", {"--lang", "de", "a.hm"}, "", "a.hm", "unknown language \"de\"");
    Arguments("no code", {"a.hm", "--lang"}, "", "a.hm", "needs a language");
    Arguments("unknown option", {"-x", "a.hm"}, "", "a.hm", "unknown option");
    Arguments("after --", {"--", "--lang"}, "", "--lang", "");
    Arguments("two scenes", {"a.hm", "b.hm"}, "", "a.hm", "b.hm is left");
  }
  void theArguments() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, language);
    QFETCH(QString, scene);
    QFETCH(QString, problem);
    std::vector<std::string> args;
    for (const QString& a : arguments) args.push_back(a.toStdString());
    const LaunchArguments launch = ParseLaunchArguments(args);
    QCOMPARE(QString::fromStdString(launch.language), language);
    QCOMPARE(QString::fromStdString(launch.scene), scene);
    QVERIFY2(problem.isEmpty() ? launch.problem.empty()
                               : QString::fromStdString(launch.problem).contains(problem),
             launch.problem.c_str());
  }

  // The command line wins over the INI; without either, Japanese.
  void theLanguageFromTheCommandLineOrTheIni_data() {
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("language");
    QTest::newRow("neither") << "" << QStringList{} << "ja";
    QTest::newRow("the INI") << "Language=en" << QStringList{"a.hm"} << "en";
    QTest::newRow("the INI in capitals") << "Language=EN" << QStringList{} << "en";
    QTest::newRow("an unknown INI value") << "Language=fr" << QStringList{} << "ja";
    QTest::newRow("the command line") << "" << QStringList{"--lang", "en"} << "en";
    QTest::newRow("over the INI") << "Language=en" << QStringList{"--lang", "ja"} << "ja";
    QTest::newRow("a wrong option leaves the INI's")
        << "Language=en" << QStringList{"--lang", "xx"} << "en";
  }
  void theLanguageFromTheCommandLineOrTheIni() {
    QFETCH(QString, ini);
    QFETCH(QStringList, arguments);
    QFETCH(QString, language);
    QTemporaryDir dir;
    const std::string path = dir.filePath("h.INI").toStdString();
    testing::WriteFile(path, "[Horizonmill]\r\n" + ini.toStdString() + "\r\n");
    std::vector<std::string> args;
    for (const QString& a : arguments) args.push_back(a.toStdString());
    QCOMPARE(ChosenLanguage(ParseLaunchArguments(args), ReadApplicationSettings(path)),
             language.toStdString());
  }

  // What --lang en or the INI chose, installed before the window is built:
  // the window and Qt's own buttons speak it.
  void theChosenLanguageIsWhatTheWindowSpeaks() {
    QVERIFY(InterfaceLanguage::Install("ja"));  // as the program does by default
    QCOMPARE(InterfaceLanguage::Current(), "ja");
    QCOMPARE(CancelButtonText(), "キャンセル");
    {
      QTemporaryDir dir;
      const std::string ini = dir.filePath("h.INI").toStdString();
      testing::WriteFile(ini, "[Horizonmill]\r\nLanguage=en\r\n");
      const SpokenLanguage chosen(
          ChosenLanguage(ParseLaunchArguments({"a.hm"}), ReadApplicationSettings(ini)).c_str());
      QVERIFY(chosen.installed);
      QCOMPARE(InterfaceLanguage::Current(), "en");
      WindowFixture w;
      QCOMPARE(Child<QAction>(*w.window, "Open1")->text(), "&Open settings...");
      QCOMPARE(CancelButtonText(), "Cancel");
      QVERIFY(!InterfaceLanguage::Install("fr"));  // nothing changes
      QCOMPARE(InterfaceLanguage::Current(), "en");
      QCOMPARE(Child<QAction>(*w.window, "Open1")->text(), "&Open settings...");
    }
    // Japanese again.
    QCOMPARE(InterfaceLanguage::Current(), "ja");
    QCOMPARE(CancelButtonText(), "キャンセル");
    WindowFixture w;
    QCOMPARE(Child<QAction>(*w.window, "Open1")->text(), "設定を開く(&O)");
  }

  // The menu names each language in its own tongue and marks the one spoken.
  void theMenuOffersBothLanguages_data() {
    QTest::addColumn<QString>("spoken");
    QTest::newRow("ja") << "ja";
    QTest::newRow("en") << "en";
  }
  void theMenuOffersBothLanguages() {
    QFETCH(QString, spoken);
    const SpokenLanguage language(spoken.toUtf8().constData());
    WindowFixture w;
    auto* menu = Child<QMenu>(*w.window, "Language1");
    QCOMPARE(menu->title(), "Language / 言語");
    QCOMPARE(menu->actions().size(), 2);
    auto* japanese = Child<QAction>(*w.window, "Japanese1");
    auto* english = Child<QAction>(*w.window, "English1");
    QCOMPARE(japanese->text(), "日本語");
    QCOMPARE(english->text(), "English");
    QCOMPARE(japanese->isChecked(), spoken == "ja");
    QCOMPARE(english->isChecked(), spoken == "en");
    QVERIFY(japanese->actionGroup() != nullptr && japanese->actionGroup()->isExclusive());
  }

  // A language chosen is written into the program INI, and comes at the next
  // start, which a message says in both languages. Choosing the one spoken
  // writes it (the command line may have chosen it) and says nothing.
  void theMenuRemembersTheChoice() {
    WindowFixture w;
    Child<QAction>(*w.window, "English1")->trigger();
    QCOMPARE(ReadApplicationSettings(w.Ini()).Language, "en");
    QCOMPARE(w.dialogs.messages.size(), 1);
    QVERIFY(HasJapanese(w.dialogs.messages[0]));
    QVERIFY(w.dialogs.messages[0].contains("The new language takes effect the next time"));
    QVERIFY(Child<QAction>(*w.window, "English1")->isChecked());
    // The window stays as it is until then.
    QCOMPARE(Child<QAction>(*w.window, "Open1")->text(), "設定を開く(&O)");
    // The next start reads it; choosing Japanese again there says nothing.
    QCOMPARE(ChosenLanguage({}, ReadApplicationSettings(w.Ini())), "en");
    Child<QAction>(*w.window, "Japanese1")->trigger();
    QCOMPARE(ReadApplicationSettings(w.Ini()).Language, "ja");
    QCOMPARE(w.dialogs.messages.size(), 1);
    // Only the key a run changed is written.
    QCOMPARE(QString::fromStdString(testing::ReadFile(w.Path("prog.INI"))),
             "[Horizonmill]\r\nLanguage=ja\r\n");
  }
};

QTEST_MAIN(LanguageChoiceTest)
#include "language_choice_test.moc"
