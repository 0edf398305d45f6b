// What the window takes from the user besides commands: number fields that
// take numbers only, an output size checked when it is left, the recent
// files, files dropped on the window, the folders the file dialogs open in,
// and where the look-around window opens.
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <QtTest>

#include "support/TempDir.h"
#include "ui/LookAroundView.h"
#include "ui/TextInput.h"
#include "ui/WindowFixture.h"

using namespace horizonmill;
using namespace horizonmill::ui;

namespace {

QLineEdit* Input(WindowFixture& w, const char* name) { return Child<QLineEdit>(*w.window, name); }

// Selects the input's text and types over it, key by key, as a person would.
void TypeOver(QLineEdit* input, const QString& keys) {
  input->setFocus();
  input->selectAll();
  QTest::keyClicks(input, keys);
}

// The scene's text behind a number field.
std::string SceneText(WindowFixture& w, const QString& field) {
  const SceneSettings& s = w.Scene();
  if (field == "Seed") return s.RandomSeed;
  if (field == "AirDepth") return s.AirDepth;
  if (field == "Stars") return s.Stars.NumberOfStars;
  if (field == "ResX") return s.Output.Resolution.Width;
  if (field == "ResY") return s.Output.Resolution.Height;
  qFatal("no scene text for %s", qPrintable(field));
}

void Drop(QWidget* target, const QString& file) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(file)});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &drop);
}

}  // namespace

class WindowFieldsTest : public QObject {
  Q_OBJECT

 private slots:
  void numberFieldsTakeNumbersOnly_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("seed: letters refused") << "Seed"
                                           << "1a2b"
                                           << "12";
    QTest::newRow("seed: a sign") << "Seed"
                                  << "-42"
                                  << "-42";
    QTest::newRow("stars: no sign") << "Stars"
                                    << "-300"
                                    << "300";
    QTest::newRow("air depth: a real") << "AirDepth"
                                       << "1.5e"
                                       << "1.5e";
    QTest::newRow("air depth: one point") << "AirDepth"
                                          << "1..5"
                                          << "1.5";
    QTest::newRow("width: five digits") << "ResX"
                                        << "163840"
                                        << "16384";
    QTest::newRow("height: letters refused") << "ResY"
                                             << "8k192"
                                             << "8192";
    QTest::newRow("output name: anything") << "OutPutFilen"
                                           << "a b.png"
                                           << "a b.png";
  }
  void numberFieldsTakeNumbersOnly() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    WindowFixture w;
    TypeOver(Input(w, field.toUtf8()), typed);
    QCOMPARE(Input(w, field.toUtf8())->text(), shown);
  }

  // What an edit leaves once Enter is pressed: a number of the field's kind in
  // its range, or the last good value and a message saying what the field
  // takes. Typed key by key, or pasted over the whole text.
  void refusedEditsKeepTheLastGoodValue_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message");
    const QString side = "1 から 65535 までの整数を入力してください。";
    QTest::newRow("seed: a letter over all") << "Seed"
                                             << "x" << false << "65536"
                                             << "";
    QTest::newRow("width: a letter over all") << "ResX"
                                              << "q" << false << "3072"
                                              << "";
    QTest::newRow("height: a minus over all") << "ResY"
                                              << "-" << false << "1536"
                                              << "";
    QTest::newRow("width: zero") << "ResX"
                                 << "0" << false << "3072" << side;
    QTest::newRow("width: 65535 fits") << "ResX"
                                       << "65535" << false << "65535"
                                       << "";
    QTest::newRow("width: beyond, refused at the key") << "ResX"
                                                       << "70000" << false << "7000" << side;
    QTest::newRow("seed: emptied") << "Seed"
                                   << "" << false << "65536"
                                   << "整数を入力してください。";
    QTest::newRow("seed: a sign alone") << "Seed"
                                        << "-" << false << "65536"
                                        << "整数を入力してください。";
    QTest::newRow("air depth: unfinished") << "AirDepth"
                                           << "2E" << false << "0.0"
                                           << "数値を入力してください。";
    QTest::newRow("air depth: a real") << "AirDepth"
                                       << "2E-3" << false << "2E-3"
                                       << "";
    QTest::newRow("stars: a letter pasted") << "Stars"
                                            << "x" << true << "0"
                                            << "";
    QTest::newRow("stars: a number pasted") << "Stars"
                                            << "250" << true << "250"
                                            << "";
    QTest::newRow("height: beyond, pasted") << "ResY"
                                            << "99999" << true << "1536" << side;
  }
  void refusedEditsKeepTheLastGoodValue() {
    QFETCH(QString, field);
    QFETCH(QString, edit);
    QFETCH(bool, pasted);
    QFETCH(QString, shown);
    QFETCH(QString, message);
    WindowFixture w;
    QLineEdit* input = Input(w, field.toUtf8());
    input->setFocus();
    input->selectAll();
    if (pasted)
      input->insert(edit);
    else if (edit.isEmpty())
      QTest::keyClick(input, Qt::Key_Backspace);
    else
      QTest::keyClicks(input, edit);
    QTest::keyClick(input, Qt::Key_Return);
    QCOMPARE(input->text(), shown);
    QCOMPARE(SceneText(w, field), shown.toStdString());
    QCOMPARE(w.dialogs.messages, message.isEmpty() ? QStringList() : QStringList{message});
    // Saved as shown (the width stands before the height on its line).
    w.window->session().SaveAs(w.Path("s.hm"));
    const QString end = field == "ResX" ? " " : "\r\n";
    QVERIFY(QString::fromStdString(testing::ReadFile(w.Path("s.hm"))).contains(" " + shown + end));
  }

  // Moving on from an unfinished number is refused as Enter is.
  void leavingAnUnfinishedNumberBringsTheLastGoodValueBack() {
    WindowFixture w;
    w.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    TypeOver(Input(w, "ResY"), "0");
    Input(w, "Seed")->setFocus();
    QCOMPARE(Input(w, "ResY")->text(), "1536");
    QCOMPARE(w.Scene().Output.Resolution.Height, "1536");
    QCOMPARE(w.dialogs.messages, QStringList{"1 から 65535 までの整数を入力してください。"});
  }

  // Text a settings file put there is shown as it is and may be shortened.
  void aFileMayHoldWhatTypingCannot() {
    WindowFixture w;
    testing::WriteFile(w.Path("a.hm"), "AirDepth abc\r\n");
    w.Restart(w.Path("a.hm"));
    QLineEdit* airDepth = Input(w, "AirDepth");
    QCOMPARE(airDepth->text(), "abc");
    airDepth->setFocus();
    airDepth->end(false);
    QTest::keyClick(airDepth, Qt::Key_Backspace);
    QCOMPARE(airDepth->text(), "ab");
    QTest::keyClicks(airDepth, "x");
    QCOMPARE(airDepth->text(), "ab");
  }

  void anOutputSizeBeyondTheLimitsIsSaidWhenLeft() {
    WindowFixture w;
    w.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    TypeOver(Input(w, "ResX"), "65535");
    TypeOver(Input(w, "ResY"), "65535");  // leaving ResX: 65535 x 1536 fits
    QVERIFY(w.dialogs.messages.isEmpty());
    Input(w, "Seed")->setFocus();
    QCOMPARE(w.dialogs.messages, QStringList{"この出力解像度では作画できません。"});
    QVERIFY(w.dialogs.details.last().contains("beyond the 2048 MiB an image may take"));
    QCOMPARE(w.dialogs.beeps, 1);
  }

  void recentFilesOpenTheLastScenesNewestFirst() {
    WindowFixture w;
    for (const char* name : {"a.hm", "b.hm", "c.hm"})
      testing::WriteFile(w.Path(name), std::string("RandomSeed ") + name[0] + "\r\n");
    w.dialogs.answers = {QString::fromStdString(w.Path("a.hm")),
                         QString::fromStdString(w.Path("b.hm"))};
    Child<QAction>(*w.window, "Open1")->trigger();
    Child<QAction>(*w.window, "Open1")->trigger();
    w.window->session().SaveAs(w.Path("c.hm"));  // not through the menu: not noted
    auto* menu = Child<QMenu>(*w.window, "RecentFiles1");
    emit menu->aboutToShow();
    QCOMPARE(menu->actions().size(), 2);
    QCOMPARE(menu->actions().at(0)->toolTip(), QString::fromStdString(w.Path("b.hm")));
    QCOMPARE(menu->actions().at(1)->toolTip(), QString::fromStdString(w.Path("a.hm")));
    menu->actions().at(1)->trigger();
    QCOMPARE(w.window->session().SettingsFilename(), w.Path("a.hm"));
    emit menu->aboutToShow();
    QCOMPARE(menu->actions().at(0)->toolTip(), QString::fromStdString(w.Path("a.hm")));

    // The next run has them; a scene that is gone is told and leaves the list.
    w.Restart();
    std::filesystem::remove(w.Path("b.hm"));
    menu = Child<QMenu>(*w.window, "RecentFiles1");
    emit menu->aboutToShow();
    menu->actions().at(1)->trigger();
    QCOMPARE(w.dialogs.messages.last(),
             "設定ファイル「" + QString::fromStdString(w.Path("b.hm")) + "」がありません。");
    emit menu->aboutToShow();
    QCOMPARE(menu->actions().size(), 1);
  }

  void filesDroppedOnTheWindowAndOnATextureName() {
    WindowFixture w;
    testing::WriteFile(w.Path("dropped.hm"), "RandomSeed 7\r\n");
    Input(w, "Seed")->setText("3");  // an unsaved change: asked about, kept
    w.dialogs.saveChoice = SaveChoice::Cancel;
    Drop(w.window.get(), QString::fromStdString(w.Path("dropped.hm")));
    QCOMPARE(w.dialogs.questions.size(), 1);
    QCOMPARE(Input(w, "Seed")->text(), "3");
    w.dialogs.saveChoice = SaveChoice::Discard;
    Drop(w.window.get(), QString::fromStdString(w.Path("dropped.hm")));
    QCOMPARE(Input(w, "Seed")->text(), "7");

    Child<QWidget>(*w.window, "ZimenNeeded")->setProperty("checked", true);
    Drop(Input(w, "GroundTextureName"), QString::fromStdString(Example("water.bmp")));
    QCOMPARE(Input(w, "GroundTextureName")->text(), QString::fromStdString(Example("water.bmp")));
    QCOMPARE(w.window->session().Prepared()->GroundTexture.Source, TextureSource::Picture);
  }

  void fileDialogsOpenInTheScenesFolderUnlessOneIsRemembered() {
    WindowFixture w;
    QVERIFY(QDir().mkpath(QString::fromStdString(w.Path("scenes"))));
    testing::WriteFile(w.Path("scenes/a.hm"), "RandomSeed 1\r\n");
    w.Restart(w.Path("scenes/a.hm"));
    Child<QAction>(*w.window, "SaveAs1")->trigger();  // cancelled
    QCOMPARE(w.dialogs.asked.back().directory, QString::fromStdString(w.Path("scenes")));
    UpdateApplicationSettings(w.Ini(), {{"SettingSaveDir", w.Path("saved/")}});
    w.Restart(w.Path("scenes/a.hm"));
    Child<QAction>(*w.window, "SaveAs1")->trigger();
    QCOMPARE(w.dialogs.asked.back().directory, QString::fromStdString(w.Path("saved/")));
  }

  void theLookAroundWindowOpensInsideTheScreen_data() {
    QTest::addColumn<QRect>("parent");
    QTest::addColumn<QRect>("placed");
    // On a screen of 1024 x 768.
    QTest::newRow("centred") << QRect(100, 100, 824, 568) << QRect(112, 84, 800, 600);
    QTest::newRow("parent past the right")
        << QRect(900, 100, 800, 600) << QRect(224, 100, 800, 600);
    QTest::newRow("parent above the top") << QRect(0, -500, 800, 600) << QRect(0, 0, 800, 600);
  }
  void theLookAroundWindowOpensInsideTheScreen() {
    QFETCH(QRect, parent);
    QFETCH(QRect, placed);
    QCOMPARE(LookAroundPlacement({800, 600}, parent, QRect(0, 0, 1024, 768)), placed);
    // A screen smaller than the window: nine tenths of it.
    QCOMPARE(LookAroundPlacement({800, 600}, parent, QRect(0, 0, 640, 480)).size(),
             QSize(576, 432));
  }
};

QTEST_MAIN(WindowFieldsTest)
#include "window_fields_test.moc"
