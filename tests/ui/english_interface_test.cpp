// With English chosen, the main window and each of its dialogs show no
// Japanese: every caption, hint, menu text, title and message over a preview
// is translated (scene data excepted: file names, the alias, the install
// folder, and the language menu, which names each language in its own
// tongue), and every caption fits its control.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QtTest>

#include "codecs/ImageOutput.h"
#include "platform/ApplicationSettings.h"
#include "support/TestHost.h"
#include "ui/LookAroundView.h"
#include "ui/PreviewArea.h"
#include "ui/TextChecks.h"
#include "ui/WindowFixture.h"

using namespace horizonmill;
using namespace horizonmill::ui;

namespace {

bool InLanguageMenu(const QObject* o) {
  for (; o != nullptr; o = o->parent())
    if (o->objectName() == "Language1") return true;
  return false;
}

// What of `root` and its children still speaks Japanese, or is cut off: one
// line each, naming the widget and the text. `data` are texts of the scene,
// shown as they are.
QStringList Offenders(QWidget& root, const QStringList& data = {}) {
  QStringList found;
  auto check = [&](const QObject* where, const char* what, QString text) {
    for (const QString& d : data) text.remove(d);
    if (HasJapanese(text))
      found << QString("%1 (%2) %3: %4")
                   .arg(where->objectName(), where->metaObject()->className(), what, text);
  };
  auto checkActions = [&](const QWidget* w) {
    for (const QAction* a : w->actions()) {
      if (InLanguageMenu(a) || InLanguageMenu(a->menu())) continue;
      check(a, "text", a->text());
      check(a, "tool tip", a->toolTip());
    }
  };
  QList<QWidget*> widgets = root.findChildren<QWidget*>();
  widgets.prepend(&root);
  for (QWidget* w : widgets) {
    if (InLanguageMenu(w)) continue;
    check(w, "tool tip", w->toolTip());
    check(w, "status tip", w->statusTip());
    if (w->isWindow()) check(w, "title", w->windowTitle());
    if (auto* label = qobject_cast<QLabel*>(w); label && label->objectName() != "SaveDir")
      check(w, "text", label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(w)) check(w, "text", button->text());
    if (auto* group = qobject_cast<QGroupBox*>(w)) check(w, "title", group->title());
    if (auto* menu = qobject_cast<QMenu*>(w)) check(w, "title", menu->title());
    if (auto* area = qobject_cast<PreviewArea*>(w)) check(w, "message", area->Message());
    checkActions(w);
    // A caption narrower than its text is cut off.
    const bool wraps = qobject_cast<QLabel*>(w) && qobject_cast<QLabel*>(w)->wordWrap();
    if (w->isVisible() && !wraps &&
        (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w)) &&
        w->width() < w->sizeHint().width())
      found << QString("%1: %2 wide, needs %3")
                   .arg(w->objectName())
                   .arg(w->width())
                   .arg(w->sizeHint().width());
  }
  return found;
}

void Enter(WindowFixture& w, const char* input, const QString& text) {
  auto* edit = Child<QLineEdit>(*w.window, input);
  edit->setText(text);
  QTest::keyClick(edit, Qt::Key_Return);
}

void Trigger(WindowFixture& w, const char* action) { Child<QAction>(*w.window, action)->trigger(); }

// The scene's new name is data: the title shows it as it is.
QStringList SceneNames(WindowFixture& w) {
  return {QString::fromStdString(w.window->session().SettingsFilename())};
}

}  // namespace

class EnglishInterfaceTest : public QObject {
  Q_OBJECT

  std::unique_ptr<SpokenLanguage> english_;

 private slots:
  void initTestCase() {
    english_ = std::make_unique<SpokenLanguage>("en");
    QVERIFY(english_->installed);
    QCOMPARE(InterfaceLanguage::Current(), "en");
  }
  void cleanupTestCase() { english_.reset(); }

  // The walk reaches every kind of text: in Japanese it finds them all.
  void inJapaneseTheWalkFindsEachKindOfText() {
    english_.reset();
    WindowFixture w;
    const QString found = Offenders(*w.window, SceneNames(w)).join('\n');
    english_ = std::make_unique<SpokenLanguage>("en");
    const char* title =
        "Horizonmill_MainForm (horizonmill::ui::THorizonmill_MainForm) "
        "title: Horizonmill . Horizonmillらいと - [*]";
    for (const char* text :
         {"Go (QPushButton) text: レンダリングを実行し",
          "Go (QPushButton) tool tip: 完成画像を作画し", "(QMenu) title: ファイル(&F)",
          "New1 (QAction) text: 設定の新規作成", "CubeMap1 (QAction) tool tip: 完成画像を作画し",
          "RecentFiles1 (QMenu) title: 最近使ったファイル", title, "(QLabel) text: 出力解像度",
          "ZimenNeeded (QCheckBox) text: 地面"})
      QVERIFY2(found.contains(QString::fromUtf8(text)), text);
    QVERIFY(!found.contains("日本語"));  // the language menu names each language its own way
  }

  void theMainWindow() {
    WindowFixture w;
    QCOMPARE(Offenders(*w.window, SceneNames(w)), QStringList());
    QCOMPARE(w.window->windowTitle(), "Horizonmill . Horizonmill Lite - Untitled.hm[*]");
    QCOMPARE(Child<QPushButton>(*w.window, "Go")->text(),
             "Render and save the final image to the file");
    // The menus as they are filled: the recent files, the steps to undo.
    emit Child<QMenu>(*w.window, "RecentFiles1")->aboutToShow();
    Enter(w, "Seed", "7");
    QCOMPARE(Child<QAction>(*w.window, "Undo1")->text(), "Undo: Random seed");
    QCOMPARE(Offenders(*w.window, SceneNames(w)), QStringList());
  }

  void theMessagesOverThePreview() {
    WindowFixture w;
    Child<QCheckBox>(*w.window, "ZimenNeeded")->setChecked(true);
    Enter(w, "GroundTextureName", "no-such.bmp");
    QCOMPARE(Child<PreviewArea>(*w.window, "Preview")->Message(), "There is no ground texture.");
    QVERIFY(w.dialogs.messages.last().startsWith("This picture cannot be used:\n"));
    QCOMPARE(Offenders(*w.window, SceneNames(w)), QStringList());
  }

  void theSkyAndSunEditors() {
    WindowFixture w;
    int opened = 0;
    w.Open("SetGrad1", [&](QDialog& d) {
      ++opened;
      QCOMPARE(d.windowTitle(), "Sky gradation");
      QCOMPARE(Offenders(d), QStringList());
    });
    w.Open("SetGrad2", [&](QDialog& d) {
      ++opened;
      QCOMPARE(Offenders(d), QStringList());
      Child<QSlider>(d, "Grad2RedTl")->setValue(30);  // the preview asks for a redraw
      QCOMPARE(Child<PreviewArea>(d, "Gra2Preview")->Message(), "Redraw needed");
      QCOMPARE(Offenders(d), QStringList());
    });
    QCOMPARE(opened, 2);
  }

  void theObjectEditorOfEachGroup_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("title");
    QTest::newRow("far") << "SetFarObject"
                         << "Far objects";
    QTest::newRow("middle") << "SetMiddleObject"
                            << "Middle objects";
    QTest::newRow("near") << "SetNearObject"
                          << "Near objects";
  }
  void theObjectEditorOfEachGroup() {
    QFETCH(QString, button);
    QFETCH(QString, title);
    WindowFixture w;
    w.dialogs.answers = {QString::fromStdString(Example("trees.bmp"))};
    bool opened = false;
    w.Open(button.toUtf8().constData(), [&](QDialog& d) {
      opened = true;
      QCOMPARE(d.windowTitle(), title);
      QCOMPARE(Offenders(d), QStringList());
      Press(d, "AddObject");  // an entry selected: its settings shown
      QCOMPARE(Child<QListWidget>(d, "ObjectList")->count(), 1);
      QCOMPARE(Offenders(d, {"trees.bmp"}), QStringList());
    });
    QVERIFY(opened);
  }

  void theTransparentColourPicker() {
    WindowFixture w;
    WorkBitmap picture(8, 8);
    SaveAsBmp(picture, w.Path("ceiling.bmp"));
    Child<QCheckBox>(*w.window, "TenjoNeeded")->setChecked(true);
    Enter(w, "TenjoTextureName", QString::fromStdString(w.Path("ceiling.bmp")));
    bool opened = false;
    w.Open("ChTenjoTra", [&](QDialog& d) {
      opened = true;
      QCOMPARE(Offenders(d), QStringList());
    });
    QVERIFY(opened);
    QCOMPARE(Offenders(*w.window, SceneNames(w)), QStringList());
  }

  void theRegistrationAndTheRemoval() {
    testing::TestHost host;
    host.WriteHostIni("[Menu]\r\nBGMax=20\r\n");
    WindowFixture w;
    w.dialogs.answers = {QString::fromStdString(host.hostIni)};
    bool named = false;
    w.Open("RegistToQoraL", [&](QDialog& d) {
      named = true;
      QCOMPARE(Offenders(d), QStringList());
    });
    QVERIFY(named);
    UpdateApplicationSettings(w.Ini(), {{"QoraL_Target", host.hostIni}});
    w.Restart();
    bool removal = false;
    w.dialogs.onModal = [&](QDialog& d) {
      removal = true;
      QCOMPARE(Offenders(d), QStringList());
    };
    Trigger(w, "QoraL_Delete");
    QVERIFY(removal);
  }

  void theJpegQualityDialog() {
    WindowFixture w;
    bool opened = false;
    w.dialogs.onModal = [&](QDialog& d) {
      opened = true;
      QCOMPARE(Offenders(d), QStringList());
    };
    Trigger(w, "JPEG1");
    QVERIFY(opened);
  }

  void theCubeMapOptions() {
    WindowFixture w;
    bool opened = false;
    w.dialogs.onModal = [&](QDialog& d) {
      opened = d.objectName() == "CubeMapForm";
      QCOMPARE(Offenders(d), QStringList());
      d.reject();
    };
    Trigger(w, "CubeMap1");
    QVERIFY(opened);
  }

  void theLookAroundWindow() {
    WindowFixture w;
    Trigger(w, "LookAround1");
    auto* view = Child<LookAroundView>(*w.window, "LookAroundView");
    QCOMPARE(Offenders(*view), QStringList());
    QTRY_VERIFY(w.window->session().PreviewAcceptsClick());
    QTest::mouseClick(Child<PreviewArea>(*w.window, "Preview"), Qt::LeftButton);
    QVERIFY(view->Panorama() != nullptr);
    QVERIFY2(!HasJapanese(view->Caption()), qPrintable(view->Caption()));
    QVERIFY(view->Caption().startsWith("Preview 409 × 307"));
  }
};

QTEST_MAIN(EnglishInterfaceTest)
#include "english_interface_test.moc"
