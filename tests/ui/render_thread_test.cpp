// The window's renders run beside its event loop: a click returns while the
// render draws, the abort command stops it, and closing the window during a
// render asks first — キャンセル leaves it running to a complete picture, an
// answer stops it and the window goes once it has.
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "image/BmpReader.h"
#include "support/BitmapTesting.h"
#include "ui/PreviewTesting.h"
#include "ui/RenderPanel.h"
#include "ui/RenderRunner.h"
#include "ui/WindowFixture.h"

using namespace horizonmill;
using namespace horizonmill::ui;

namespace {

const char* const kRunningQuestion = "作画中です。作画を中止して終了しますか？";

RenderRunner& Runner(WindowFixture& w) {
  return Child<RenderPanel>(*w.window, "RenderPanel")->Runner();
}

void Enter(WindowFixture& w, const char* name, const QString& text) {
  auto* input = Child<QLineEdit>(*w.window, name);
  input->setText(text);
  QTest::keyClick(input, Qt::Key_Return);
}

bool Locked(WindowFixture& w) {
  return !Child(*w.window, "Seed")->isEnabled() && !Child(*w.window, "Go")->isEnabled() &&
         !Child<QAction>(*w.window, "Open1")->isEnabled();
}

// Whether `picture` is the full-size render of the settings file at `scene`
// drawn at `resolution`, as the command line draws it.
bool CoreRenders(const std::string& scene, const OutputResolution& resolution,
                 const WorkBitmap& picture) {
  Session core;
  core.Open(scene);
  core.Scene().Output.Resolution = resolution;
  return core.RenderOutput() && testing::SamePixels(core.OutputBitmap(), picture);
}

}  // namespace

class RenderThreadTest : public QObject {
  Q_OBJECT

 private slots:
  void aClickReturnsWhileThePreviewDraws() {
    WindowFixture w;
    w.window->Start(Example("lighthouse-coast.hm"));
    Session& session = w.window->session();
    QVERIFY(WaitForRenders(session));
    QTRY_VERIFY(session.PreviewAcceptsClick());
    RenderGate gate(session, Runner(w));
    QTest::mouseClick(Child<PreviewArea>(*w.window, "Preview"), Qt::LeftButton);
    // The click has returned; the render waits at the gate.
    QVERIFY(session.Context().Rendering);
    QVERIFY(Locked(w));
    gate.Open();
    QVERIFY(WaitForRenders(session));
    QVERIFY(!Locked(w));
    QCOMPARE(PreviewPixels(session),
             CorePreview([](Session& core) { core.Open(Example("lighthouse-coast.hm")); }));
  }

  void theAbortCommandStopsARunningRender() {
    WindowFixture w;
    Session& session = w.window->session();
    QVERIFY(WaitForRenders(session));
    QTRY_VERIFY(session.PreviewAcceptsClick());
    RenderGate gate(session, Runner(w));
    QTest::mouseClick(Child<PreviewArea>(*w.window, "Preview"), Qt::LeftButton);
    Child<QPushButton>(*w.window, "RendAbort")->click();
    QVERIFY(WaitForRenders(session));
    QVERIFY(session.Context().AbortRequested);
    QCOMPARE(Child<PreviewArea>(*w.window, "Preview")->Message(), "作画は中止されました。");
    QVERIFY(!Child(*w.window, "RendAbort")->isVisible());
  }

  // Closing during a full render: the question, then either the render goes
  // on to the whole picture, or it stops and the window goes.
  void closingDuringARenderAsksFirst_data() {
    QTest::addColumn<bool>("unsaved");
    QTest::addColumn<bool>("close");
    QTest::newRow("saved, go on drawing") << false << false;
    QTest::newRow("saved, stop and close") << false << true;
    QTest::newRow("unsaved, キャンセル") << true << false;
    QTest::newRow("unsaved, discard and close") << true << true;
  }
  void closingDuringARenderAsksFirst() {
    QFETCH(bool, unsaved);
    QFETCH(bool, close);
    WindowFixture w;
    const std::string scene = Example("lighthouse-coast.hm");
    w.window->Start(scene);
    Session& session = w.window->session();
    Enter(w, "ResX", "96");
    Enter(w, "ResY", "48");
    Enter(w, "OutPutFilen", w.dir.filePath("out.bmp"));
    if (!unsaved) session.SaveAs(w.Path("saved.hm"));
    QCOMPARE(session.HasUnsavedChanges(), unsaved);
    QVERIFY(WaitForRenders(session));
    RenderGate gate(session, Runner(w));
    QTest::mouseClick(Child<QPushButton>(*w.window, "Go"), Qt::LeftButton);
    w.dialogs.answerYes = close;
    w.dialogs.saveChoice = close ? SaveChoice::Discard : SaveChoice::Cancel;
    w.window->close();
    QCOMPARE(w.dialogs.questions.size(), 1);
    if (!unsaved) QCOMPARE(w.dialogs.questions.first(), kRunningQuestion);
    if (close) {
      QVERIFY(!w.window->isVisible());
      QVERIFY(!session.Context().Rendering);
      QVERIFY(!QFile::exists(w.dir.filePath("out.bmp")));
      return;
    }
    QVERIFY(w.window->isVisible());
    QVERIFY(session.Context().Rendering);
    gate.Open();
    QVERIFY(WaitForRenders(session));
    QVERIFY(w.window->isVisible());
    QVERIFY(!session.Context().AbortRequested);
    QVERIFY(CoreRenders(session.SettingsFilename(), session.Scene().Output.Resolution,
                        ReadBmpFile(w.Path("out.bmp"))));
  }
};

QTEST_MAIN(RenderThreadTest)
#include "render_thread_test.moc"
