// Undo and redo (編集 → 元に戻す, やり直し) over every kind of change to the
// scene: the scene, the controls, the pictures, the title's mark and the
// preview go back and forth with them.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>
#include <vector>

#include "codecs/ImageOutput.h"
#include "scene/SettingsFile.h"
#include "ui/ColorGrid.h"
#include "ui/PreviewTesting.h"
#include "ui/WindowFixture.h"

using namespace horizonmill;
using namespace horizonmill::ui;

namespace {

QLineEdit* Input(WindowFixture& w, const char* name) { return Child<QLineEdit>(*w.window, name); }
void Enter(WindowFixture& w, const char* name, const QString& text) {
  Input(w, name)->setText(text);
  QTest::keyClick(Input(w, name), Qt::Key_Return);
}
// A button; a check box or radio button on its mark.
void Click(QWidget& root, const char* name) {
  auto* button = Child<QAbstractButton>(root, name);
  const QPoint at = button->isCheckable() ? QPoint(6, button->height() / 2) : QPoint();
  QTest::mouseClick(button, Qt::LeftButton, {}, at);
}
QAction* Action(WindowFixture& w, const char* name) { return Child<QAction>(*w.window, name); }
bool Checked(WindowFixture& w, const char* name) {
  return Child<QAbstractButton>(*w.window, name)->isChecked();
}

void Settle(const RenderWatch& watch) {
  int seen = -1;
  while (seen != watch.begun) {
    seen = watch.begun;
    RunPendingEvents();
    QVERIFY(WaitForRenders(watch.session()));
    RunPendingEvents();
  }
}

// An object picture, red with a black corner (the key colour, transparent).
QString WritePicture(WindowFixture& w) {
  WorkBitmap picture(64, 64);
  FillWorkBitmap(picture, BgrPixel{0, 0, 255});
  picture.Row(0)[0] = BgrPixel{0, 0, 0};
  SaveAsBmp(picture, w.Path("object.bmp"));
  return QString::fromStdString(w.Path("object.bmp"));
}

void AddObject(WindowFixture& w) {
  w.dialogs.answers = {WritePicture(w)};
  w.Open("SetNearObject", [](QDialog& d) {
    Press(d, "AddObject");
    Press(d, "Close");
  });
}

// The object editor on Near, its first entry selected.
void EditFirstObject(WindowFixture& w, std::function<void(QDialog&)> edit) {
  w.Open("SetNearObject", [edit = std::move(edit)](QDialog& d) {
    Child<QListWidget>(d, "ObjectList")->setCurrentRow(0);
    edit(d);
    Press(d, "Close");
  });
}

// The pictures the scene's preparation holds that came from files, and those
// of the object entries: the session's cache hands out the same ones again,
// undone or not (undo puts back copies of the entries, not the entries).
std::vector<const void*> Pictures(Session& session) {
  const std::shared_ptr<const PreparedScene> prepared = session.Prepared();
  std::vector<const void*> held = {prepared->GroundTexture.Picture.get(),
                                   prepared->CeilingTexture.Picture.get()};
  const SceneSettings& scene = session.Scene();
  for (const ObjectGroup* group : {&scene.Far, &scene.Mid, &scene.Near})
    for (const ObjectEntry& e : *group) {
      held.push_back(session.ObjectPicture(e).get());
    }
  return held;
}

// One kind of change: what comes before it, the change as the user makes it,
// and what the window's controls show of it.
struct Change {
  const char* name;
  void (*prepare)(WindowFixture&);
  void (*change)(WindowFixture&);
  QString (*shown)(WindowFixture&);
};

void Nothing(WindowFixture&) {}
void CeilingOn(WindowFixture& w) { Click(*w.window, "TenjoNeeded"); }
void GroundOn(WindowFixture& w) { Click(*w.window, "ZimenNeeded"); }
QString Nothing2(WindowFixture&) { return {}; }

const Change kChanges[] = {
    {"a text typed and entered", [](WindowFixture& w) { Enter(w, "Stars", "4000"); },
     [](WindowFixture& w) {
       Input(w, "Seed")->selectAll();
       QTest::keyClicks(Input(w, "Seed"), "777");  // one step, not three
       QTest::keyClick(Input(w, "Seed"), Qt::Key_Return);
     },
     [](WindowFixture& w) { return Input(w, "Seed")->text(); }},
    {"a check box", Nothing, CeilingOn,
     [](WindowFixture& w) {
       return QString("%1 %2")
           .arg(Checked(w, "TenjoNeeded"))
           .arg(Input(w, "TenjoScale")->isEnabled());
     }},
    {"a slider dragged", CeilingOn,
     [](WindowFixture& w) {
       auto* slider = Child<QSlider>(*w.window, "TenjoOpacity");
       slider->setSliderDown(true);
       for (int value : {10, 30, 70}) slider->setValue(value);
       slider->setSliderDown(false);
     },
     [](WindowFixture& w) {
       return QString::number(Child<QSlider>(*w.window, "TenjoOpacity")->value());
     }},
    {"a radio button", CeilingOn, [](WindowFixture& w) { Click(*w.window, "TenjoSub"); },
     [](WindowFixture& w) {
       return QString("%1 %2").arg(Checked(w, "TenjoSub")).arg(Checked(w, "TenjoNorm"));
     }},
    {"the sky editor's OK", Nothing,
     [](WindowFixture& w) {
       w.Open("SetGrad1", [](QDialog& d) {
         auto* grid = Child<ColorGrid>(d, "Gra1ColorGrid");
         QTest::mouseClick(grid, Qt::LeftButton, {}, grid->CellRect(9).center());  // red
         QTest::mouseClick(Child(d, "Gra1Preview"), Qt::LeftButton, {}, QPoint(100, 52));
         Press(d, "Okey");
       });
     },
     Nothing2},
    {"the sun editor's OK", Nothing,
     [](WindowFixture& w) {
       w.Open("SetGrad2", [](QDialog& d) {
         Press(d, "Gra2ModeNorm");  // the black sun shows over the sky
         QTest::mouseClick(Child(d, "Gra2Preview"), Qt::LeftButton, {}, QPoint(20, 30));
         Press(d, "Okey");
       });
     },
     Nothing2},
    {"an object added", Nothing, AddObject, Nothing2},
    {"an object deleted", AddObject,
     [](WindowFixture& w) { EditFirstObject(w, [](QDialog& d) { Press(d, "DeleteObject"); }); },
     Nothing2},
    {"an object's field", AddObject,
     [](WindowFixture& w) {
       EditFirstObject(w, [](QDialog& d) {
         QLineEdit* count = Child<QLineEdit>(d, "numofobj");
         count->setText("3");
         QTest::keyClick(count, Qt::Key_Return);
       });
     },
     Nothing2},
    {"a texture browsed", GroundOn,
     [](WindowFixture& w) {
       w.dialogs.answers = {QString::fromStdString(Example("water.bmp"))};
       Click(*w.window, "GroundTextureRefer");
     },
     [](WindowFixture& w) { return Input(w, "GroundTextureName")->text(); }},
    {"a texture entered", CeilingOn,
     [](WindowFixture& w) {
       Enter(w, "TenjoTextureName", QString::fromStdString(Example("clouds.bmp")));
     },
     [](WindowFixture& w) {
       return QString("%1 %2")
           .arg(Input(w, "TenjoTextureName")->text())
           .arg(Child(*w.window, "ChTenjoTra")->isEnabled());
     }},
};

// What a change is seen as: the settings file of the scene, the pictures,
// the preview, the controls, the title's mark.
struct Seen {
  std::string settings;
  std::vector<const void*> pictures;
  QImage preview;
  QString controls;
  bool modified;
};
Seen See(WindowFixture& w, const Change& c) {
  return {EncodeSettings(w.Scene()), Pictures(w.window->session()),
          PreviewPixels(w.window->session()), c.shown(w), w.window->isWindowModified()};
}
void Compare(const Seen& actual, const Seen& expected) {
  QVERIFY(actual.settings == expected.settings);
  QVERIFY(actual.pictures == expected.pictures);
  QVERIFY(actual.preview == expected.preview);
  QCOMPARE(actual.controls, expected.controls);
  QCOMPARE(actual.modified, expected.modified);
}

}  // namespace

class EditHistoryTest : public QObject {
  Q_OBJECT

 private slots:
  void undoTakesAChangeBackAndRedoBringsItAgain_data() {
    QTest::addColumn<int>("change");
    for (int i = 0; i < int(std::size(kChanges)); ++i) QTest::newRow(kChanges[i].name) << i;
  }
  void undoTakesAChangeBackAndRedoBringsItAgain() {
    QFETCH(int, change);
    const Change& c = kChanges[change];
    WindowFixture w;
    RenderWatch watch(w.window->session());
    c.prepare(w);
    Settle(watch);
    const Seen before = See(w, c);
    QVERIFY(!Action(w, "Redo1")->isEnabled());

    c.change(w);
    Settle(watch);
    const Seen after = See(w, c);
    QVERIFY(after.settings != before.settings || after.pictures != before.pictures);
    QVERIFY(after.preview != before.preview);  // the change shows
    QVERIFY(Action(w, "Undo1")->isEnabled());

    for (int round = 0; round < 2; ++round) {
      Action(w, "Undo1")->trigger();
      Settle(watch);
      Compare(See(w, c), before);
      QVERIFY(Action(w, "Redo1")->isEnabled());
      Action(w, "Redo1")->trigger();
      Settle(watch);
      Compare(See(w, c), after);
      QVERIFY(!Action(w, "Redo1")->isEnabled());
    }
  }

  // The commands say what they take back; typing not yet committed is taken
  // back too. Ctrl+Z in an input is the window's undo, not the input's.
  void theCommandsNameTheStepAndTheKeysReachThemFromAnInput() {
    WindowFixture w;
    w.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    QCOMPARE(Action(w, "Undo1")->text(), "元に戻す");
    QVERIFY(!Action(w, "Undo1")->isEnabled());
    QLineEdit* seed = Input(w, "Seed");
    seed->setFocus();
    seed->selectAll();
    QTest::keyClicks(seed, "12");
    QCOMPARE(Action(w, "Undo1")->text(), "元に戻す: 乱数のシード");
    QVERIFY(Action(w, "Undo1")->isEnabled());
    QTest::keyClick(seed, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(WaitForRenders(w.window->session()));
    QCOMPARE(seed->text(), "65536");
    QCOMPARE(w.Scene().RandomSeed, "65536");
    QVERIFY(!w.window->isWindowModified());
    QCOMPARE(Action(w, "Redo1")->text(), "やり直し: 乱数のシード");
    QTest::keyClick(seed, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(seed->text(), "12");
    QTest::keyClick(seed, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(seed, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w.Scene().RandomSeed, "12");
    // Nothing more to undo: the keys leave the text as it is.
    QTest::keyClick(seed, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(seed, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(WaitForRenders(w.window->session()));
    QCOMPARE(seed->text(), "65536");
    QVERIFY(!Action(w, "Undo1")->isEnabled());

    // The object editor's steps, one for each change, named so.
    AddObject(w);
    EditFirstObject(w, [](QDialog& d) {
      for (const char* input : {"Scale", "numofobj"}) {
        QLineEdit* edit = Child<QLineEdit>(d, input);
        edit->setText("4");
        QTest::keyClick(edit, Qt::Key_Return);
      }
      Press(d, "isShading");
    });
    QCOMPARE(Action(w, "Undo1")->text(), "元に戻す: オブジェクトの設定");
    // Each step puts a whole document back: the entry is read anew each time.
    auto entry = [&w]() -> const ObjectEntry& { return *w.Scene().Near.First(); };
    Action(w, "Undo1")->trigger();  // the shading
    QVERIFY(entry().Shadeing);
    QCOMPARE(entry().NumberOfObjects, 4);
    Action(w, "Undo1")->trigger();  // the number
    QCOMPARE(entry().NumberOfObjects, 1);
    QCOMPARE(entry().Scale, 4);
    Action(w, "Undo1")->trigger();  // the scale
    QCOMPARE(entry().Scale, 1);
    QCOMPARE(Action(w, "Undo1")->text(), "元に戻す: オブジェクトの追加");
    Action(w, "Undo1")->trigger();
    QVERIFY(w.Scene().Near.Empty());
  }

  // Steps of every kind in a row, on a scene with objects in each group: undoing
  // them all gives back the very document opened, redoing them all the last one.
  void everyStepUndoneGivesBackTheDocumentOpened() {
    WindowFixture w;
    w.Restart(Example("lighthouse-coast.hm"));
    RenderWatch watch(w.window->session());
    Settle(watch);
    const SceneSettings opened = w.Scene();
    QVERIFY(!opened.Far.Empty() || !opened.Mid.Empty() || !opened.Near.Empty());

    Enter(w, "Seed", "31");
    w.Open(opened.Near.Empty() ? "SetFarObject" : "SetNearObject", [](QDialog& d) {
      Child<QListWidget>(d, "ObjectList")->setCurrentRow(0);
      Press(d, "isShading");
      Press(d, "DeleteObject");
      Press(d, "Close");
    });
    AddObject(w);
    Click(*w.window, "ZimenNeeded");
    Enter(w, "Stars", "123");
    Settle(watch);
    const SceneSettings last = w.Scene();
    QVERIFY(last != opened);
    // Every picture of both documents has been decoded by now: the steps and
    // their previews decode none again.
    const auto decodes = w.window->session().Pictures().Decodes();

    int steps = 0;
    for (; Action(w, "Undo1")->isEnabled(); ++steps) Action(w, "Undo1")->trigger();
    QCOMPARE(steps, 6);
    QVERIFY(w.Scene() == opened);
    QVERIFY(!w.window->isWindowModified());
    Settle(watch);
    while (Action(w, "Redo1")->isEnabled()) Action(w, "Redo1")->trigger();
    QVERIFY(w.Scene() == last);
    Settle(watch);
    QCOMPARE(w.window->session().Pictures().Decodes(), decodes);
  }

  void aNewSceneOrAFileOpenedClearsTheHistoryAFailedOpenDoesNot() {
    WindowFixture w;
    RenderWatch watch(w.window->session());
    Enter(w, "Seed", "1");
    Enter(w, "Seed", "2");
    Action(w, "Undo1")->trigger();
    QVERIFY(Action(w, "Undo1")->isEnabled() && Action(w, "Redo1")->isEnabled());

    // A settings file that is no settings file changes nothing.
    QFile::copy(QString::fromStdString(Example("rocks.bmp")), w.dir.filePath("picture.hm"));
    w.dialogs.saveChoice = SaveChoice::Discard;
    w.dialogs.answers = {w.dir.filePath("picture.hm")};
    Action(w, "Open1")->trigger();
    QCOMPARE(w.dialogs.errors.size(), 1);
    QVERIFY(Action(w, "Undo1")->isEnabled() && Action(w, "Redo1")->isEnabled());

    w.dialogs.answers = {QString::fromStdString(Example("dusk.hm"))};
    Action(w, "Open1")->trigger();
    QVERIFY(!Action(w, "Undo1")->isEnabled() && !Action(w, "Redo1")->isEnabled());
    Action(w, "Undo1")->trigger();  // disabled: nothing happens
    QCOMPARE(w.Scene().RandomSeed, "2024");

    Enter(w, "Seed", "3");
    Action(w, "New1")->trigger();
    QVERIFY(!Action(w, "Undo1")->isEnabled() && !Action(w, "Redo1")->isEnabled());
    QCOMPARE(Action(w, "Undo1")->text(), "元に戻す");
    Settle(watch);
    QCOMPARE(Input(w, "Seed")->text(), "65536");
  }
};

QTEST_MAIN(EditHistoryTest)
#include "edit_history_test.moc"
