// The preview that follows the scene (表示 → 自動プレビュー): a completed edit
// renders it, edits during a preview restart it, commands that change the
// pictures or start a render wait for it, and the switch is remembered in the
// program INI.
#include <QAction>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>
#include <optional>
#include <utility>

#include "platform/ApplicationSettings.h"
#include "ui/ColorGrid.h"
#include "ui/PreviewTesting.h"
#include "ui/WindowFixture.h"

using namespace horizonmill;
using namespace horizonmill::ui;

namespace {

constexpr const char* kAborted = "作画は中止されました。";

QLineEdit* Input(WindowFixture& w, const char* name) { return Child<QLineEdit>(*w.window, name); }
void Enter(WindowFixture& w, const char* name, const QString& text) {
  Input(w, name)->setText(text);
  QTest::keyClick(Input(w, name), Qt::Key_Return);
}
// A button; a check box or radio button on its mark, which may lie far from
// the middle of a wide one.
void Click(WindowFixture& w, const char* name) {
  auto* button = Child<QAbstractButton>(*w.window, name);
  const QPoint at = button->isCheckable() ? QPoint(6, button->height() / 2) : QPoint();
  QTest::mouseClick(button, Qt::LeftButton, {}, at);
}
PreviewArea* Preview(WindowFixture& w) { return Child<PreviewArea>(*w.window, "Preview"); }
Session& SessionOf(WindowFixture& w) { return w.window->session(); }

// Runs events until no more renders come of them.
void Settle(const RenderWatch& watch) {
  int seen = -1;
  while (seen != watch.begun) {
    seen = watch.begun;
    RunPendingEvents();
    QVERIFY(WaitForRenders(watch.session()));
    RunPendingEvents();
  }
}

// A text field of a scene (a string moved in: assigning the literal itself
// draws a false -Wrestrict from GCC 12 at -O3).
void Put(std::string& field, std::string text) { field = std::move(text); }

// Stars, so that the seed shows.
void WithStars(WindowFixture& w) { Enter(w, "Stars", "4000"); }
void CoreStars(Session& s) { Put(s.Scene().Stars.NumberOfStars, "4000"); }

// One completed edit of each kind: what makes it, and the scene it leaves
// made in a session of the core.
struct Edit {
  const char* name;
  void (*prepare)(WindowFixture&);
  void (*edit)(WindowFixture&);
  void (*core)(WindowFixture&, Session&);
};

const Edit kEdits[] = {
    {"Enter in a text", WithStars, [](WindowFixture& w) { Enter(w, "Seed", "7"); },
     [](WindowFixture&, Session& s) {
       CoreStars(s);
       Put(s.Scene().RandomSeed, "7");
     }},
    {"moving on from a text", WithStars,
     [](WindowFixture& w) {
       Input(w, "Seed")->setText("8");
       QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
       QApplication::sendEvent(Input(w, "Seed"), &leave);
     },
     [](WindowFixture&, Session& s) {
       CoreStars(s);
       Put(s.Scene().RandomSeed, "8");
     }},
    {"a check box", [](WindowFixture&) {}, [](WindowFixture& w) { Click(w, "TenjoNeeded"); },
     [](WindowFixture&, Session& s) { s.Scene().Ceiling.Enabled = true; }},
    {"a slider", [](WindowFixture& w) { Click(w, "TenjoNeeded"); },
     [](WindowFixture& w) { Child<QSlider>(*w.window, "TenjoOpacity")->setValue(60); },
     [](WindowFixture&, Session& s) {
       s.Scene().Ceiling.Enabled = true;
       s.Scene().Ceiling.Transparency = 60;
     }},
    {"a radio button", [](WindowFixture& w) { Click(w, "TenjoNeeded"); },
     [](WindowFixture& w) { Click(w, "TenjoSub"); },
     [](WindowFixture&, Session& s) {
       s.Scene().Ceiling.Enabled = true;
       s.Scene().Ceiling.MixtureMode = MixtureMode::Sub;
     }},
    {"the sky editor's OK", [](WindowFixture&) {},
     [](WindowFixture& w) {
       w.Open("SetGrad1", [](QDialog& d) {
         auto* grid = Child<ColorGrid>(d, "Gra1ColorGrid");
         QTest::mouseClick(grid, Qt::LeftButton, {}, grid->CellRect(9).center());  // red
         QTest::mouseClick(Child(d, "Gra1Preview"), Qt::LeftButton, {}, QPoint(100, 52));
         Press(d, "Okey");
       });
     },
     [](WindowFixture& w, Session& s) {
       QCOMPARE(w.Scene().Sky.Count, 4);  // the stop was placed
       s.Scene().Sky = w.Scene().Sky;
     }},
    {"a texture browsed", [](WindowFixture& w) { Click(w, "ZimenNeeded"); },
     [](WindowFixture& w) {
       w.dialogs.answers = {QString::fromStdString(Example("water.bmp"))};
       Click(w, "GroundTextureRefer");
     },
     [](WindowFixture&, Session& s) {
       s.SetTexture(TextureLayer::Ground, Example("water.bmp"), true);
     }},
    {"a file opened", [](WindowFixture&) {},
     [](WindowFixture& w) {
       w.dialogs.answers = {QString::fromStdString(Example("dusk.hm"))};
       Child<QAction>(*w.window, "Open1")->trigger();
     },
     [](WindowFixture&, Session& s) { s.Open(Example("dusk.hm")); }},
    {"a new scene", WithStars,
     [](WindowFixture& w) {
       w.dialogs.saveChoice = SaveChoice::Discard;
       Child<QAction>(*w.window, "New1")->trigger();
     },
     [](WindowFixture&, Session&) {}},
};

}  // namespace

class LivePreviewTest : public QObject {
  Q_OBJECT

 private slots:
  void aCompletedEditRendersThePreviewOnce_data() {
    QTest::addColumn<int>("edit");
    for (int i = 0; i < int(std::size(kEdits)); ++i) QTest::newRow(kEdits[i].name) << i;
  }
  void aCompletedEditRendersThePreviewOnce() {
    QFETCH(int, edit);
    const Edit& e = kEdits[edit];
    WindowFixture w;
    RenderWatch watch(SessionOf(w));
    Settle(watch);
    QCOMPARE(watch.ended, 1);  // the new scene of the start
    e.prepare(w);
    Settle(watch);
    const int begun = watch.begun;
    const QImage before = PreviewPixels(SessionOf(w));

    e.edit(w);
    QCOMPARE(watch.begun, begun);  // not before the events pending have run
    Settle(watch);
    QCOMPARE(watch.begun, begun + 1);
    QCOMPARE(watch.ended, watch.begun);
    const QImage shown = PreviewPixels(SessionOf(w));
    QVERIFY(shown != before);
    QCOMPARE(shown, CorePreview([&](Session& s) { e.core(w, s); }));
    // What the screen shows is what was rendered.
    QVERIFY(Preview(w)->Message().isEmpty() && !Preview(w)->Cleared());
  }

  void typingRendersNothingUntilTheTextIsCommitted() {
    WindowFixture w;
    RenderWatch watch(SessionOf(w));
    WithStars(w);
    Settle(watch);
    const int begun = watch.begun;
    Input(w, "Seed")->selectAll();
    QTest::keyClicks(Input(w, "Seed"), "123");
    Settle(watch);
    QCOMPARE(watch.begun, begun);
    QTest::keyClick(Input(w, "Seed"), Qt::Key_Return);
    Settle(watch);
    QCOMPARE(watch.begun, begun + 1);
    QCOMPARE(PreviewPixels(SessionOf(w)), CorePreview([](Session& s) {
               CoreStars(s);
               Put(s.Scene().RandomSeed, "123");
             }));
  }

  // The inputs stay usable while a preview draws; what is committed then
  // stops it, and one preview of the last scene follows, drawn over the
  // stopped one without its abort message.
  void aBurstOfCommitsDuringAPreviewEndsInOnePreviewOfTheLastScene() {
    WindowFixture w;
    RenderWatch watch(SessionOf(w));
    Settle(watch);
    const int begun = watch.begun;
    QStringList shownAtBegin;
    watch.atBegin = [&] {
      shownAtBegin << (Preview(w)->Cleared() ? "cleared" : Preview(w)->Message());
    };
    bool usable = false;
    watch.duringRender = [&] {
      usable = Input(w, "Seed")->isEnabled() && Input(w, "Stars")->isEnabled() &&
               Child(*w.window, "TenjoNeeded")->isEnabled() &&
               !Child(*w.window, "RendAbort")->isVisible() &&
               Child<QAction>(*w.window, "Undo1")->isEnabled();
      for (const char* seed : {"1", "2", "3"}) Enter(w, "Seed", seed);
      Click(w, "TenjoNeeded");
    };
    WithStars(w);
    Settle(watch);
    QVERIFY(usable);
    QCOMPARE(watch.begun, begun + 2);  // the one stopped, the one of the last scene
    QCOMPARE(watch.ended, watch.begun);
    QVERIFY(!shownAtBegin.contains(kAborted) && !shownAtBegin.contains("cleared"));
    QVERIFY(Preview(w)->Message().isEmpty() && !Preview(w)->Cleared());
    QCOMPARE(PreviewPixels(SessionOf(w)), CorePreview([](Session& s) {
               CoreStars(s);
               Put(s.Scene().RandomSeed, "3");
               s.Scene().Ceiling.Enabled = true;
             }));
  }

  // A texture browsed, an undo, a full render asked for while a preview draws
  // wait for it to stop, then run in turn; a preview of the scene they leave
  // follows (the full render's own picture needs none).
  void commandsThatChangePicturesOrRenderWaitForThePreview() {
    WindowFixture w;
    RenderWatch watch(SessionOf(w));
    Click(w, "ZimenNeeded");
    Settle(watch);
    const std::string water = Example("water.bmp");
    w.dialogs.answers = {QString::fromStdString(water)};
    bool waited = false;
    watch.duringRender = [&] {
      Click(w, "GroundTextureRefer");
      waited = w.dialogs.asked.empty() && w.Scene().Ground.TextureFilename.empty();
    };
    int begun = watch.begun;
    Enter(w, "Seed", "5");
    Settle(watch);
    QVERIFY(waited);
    QCOMPARE(watch.begun, begun + 2);
    QCOMPARE(w.Scene().Ground.TextureFilename, water);
    QCOMPARE(PreviewPixels(SessionOf(w)), CorePreview([&](Session& s) {
               Put(s.Scene().RandomSeed, "5");
               s.SetTexture(TextureLayer::Ground, water, true);
             }));

    // An undo waits too.
    watch.duringRender = [&] {
      Child<QAction>(*w.window, "Undo1")->trigger();
      waited = w.Scene().AirDepth == "3";
    };
    waited = false;
    Enter(w, "AirDepth", "3");
    Settle(watch);
    QVERIFY(waited);
    QCOMPARE(w.Scene().AirDepth, "0.0");
    QCOMPARE(Input(w, "AirDepth")->text(), "0.0");

    // The output: locked while it renders, as ever.
    Enter(w, "ResX", "64");
    Enter(w, "ResY", "32");
    Enter(w, "OutPutFilen", w.dir.filePath("out.bmp"));
    Settle(watch);
    bool lockedWhileGoRenders = false;
    bool goBegun = false;
    watch.duringRender = [&] {
      Click(w, "Go");
      waited = !QFile::exists(w.dir.filePath("out.bmp"));
      // What the stopped preview still reports may come first: the look is
      // taken once the full render has begun.
      watch.atBegin = [&] {
        if (std::exchange(goBegun, true)) return;
        watch.duringRender = [&] {
          lockedWhileGoRenders = !Input(w, "Seed")->isEnabled() &&
                                 !Child<QAction>(*w.window, "Undo1")->isEnabled() &&
                                 Child(*w.window, "RendAbort")->isVisible();
        };
      };
    };
    begun = watch.begun;
    Enter(w, "Seed", "6");
    Settle(watch);
    QVERIFY(waited && lockedWhileGoRenders);
    QVERIFY(QFile::exists(w.dir.filePath("out.bmp")));
    QCOMPARE(watch.begun, begun + 2);  // the preview stopped, the full render
    QVERIFY(w.dialogs.questions.isEmpty() && w.dialogs.errors.isEmpty());
    QVERIFY(Input(w, "Seed")->isEnabled());
  }

  void withTheAutomaticPreviewOffOnlyAClickRenders() {
    WindowFixture w;
    std::optional<RenderWatch> watch(std::in_place, SessionOf(w));
    Settle(*watch);
    auto* automatic = Child<QAction>(*w.window, "AutoPreview1");
    QVERIFY(automatic->isCheckable() && automatic->isChecked());
    automatic->trigger();
    QVERIFY(!automatic->isChecked());
    QVERIFY(!ReadApplicationSettings(w.Ini()).AutoPreview);

    const int begun = watch->begun;
    WithStars(w);
    Enter(w, "Seed", "9");
    Click(w, "TenjoNeeded");
    Settle(*watch);
    QCOMPARE(watch->begun, begun);
    QTRY_VERIFY(SessionOf(w).PreviewAcceptsClick());
    QTest::mouseClick(Preview(w), Qt::LeftButton);
    Settle(*watch);
    QCOMPARE(watch->begun, begun + 1);
    QCOMPARE(PreviewPixels(SessionOf(w)), CorePreview([](Session& s) {
               CoreStars(s);
               Put(s.Scene().RandomSeed, "9");
               s.Scene().Ceiling.Enabled = true;
             }));

    // The next run starts with it off: nothing renders by itself.
    watch.reset();
    w.Restart();
    watch.emplace(SessionOf(w));
    automatic = Child<QAction>(*w.window, "AutoPreview1");
    QVERIFY(!automatic->isChecked());
    Settle(*watch);
    QCOMPARE(watch->begun, 0);
    // Switched on, it renders the scene as it stands, and is remembered so.
    automatic->trigger();
    Settle(*watch);
    QCOMPARE(watch->begun, 1);
    QVERIFY(ReadApplicationSettings(w.Ini()).AutoPreview);
    watch.reset();
    w.Restart();
    QVERIFY(Child<QAction>(*w.window, "AutoPreview1")->isChecked());
  }

  // Closing while an automatic preview draws stops it and closes; nothing
  // that waited runs afterwards.
  void closingDuringAnAutomaticPreviewClosesOnceItStops() {
    WindowFixture w;
    RenderWatch watch(SessionOf(w));
    Settle(watch);
    watch.duringRender = [&] {
      Click(w, "SetGrad1");  // waits for the preview
      w.window->close();
    };
    w.dialogs.saveChoice = SaveChoice::Discard;
    bool editorShown = false;
    w.dialogs.onModal = [&](QDialog& d) {
      editorShown = true;
      d.reject();
    };
    WithStars(w);
    Settle(watch);
    QVERIFY(!w.window->isVisible());
    QVERIFY(!editorShown);
    QCOMPARE(watch.ended, watch.begun);
  }
};

QTEST_MAIN(LivePreviewTest)
#include "live_preview_test.moc"
