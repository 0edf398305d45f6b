// The files of a full render are written beside the window: while they are,
// the window's events run (timers fire, menus open, the version box shows),
// "書き込み中.." and the gauge are over the preview, every scene command is
// locked, and 作画中止 or closing the window stops the writing with the old
// file as it was. The write is held just before its file would be put in
// place (the file layer's test hook), while the window is looked at.
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <functional>
#include <semaphore>

#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "support/TempDir.h"
#include "ui/PreviewArea.h"
#include "ui/PreviewTesting.h"
#include "ui/ProgressPie.h"
#include "ui/WindowFixture.h"

using namespace horizonmill;
using namespace horizonmill::ui;

namespace {

// Holds the write of `target` on its own thread, just before the file would
// be put in place, until the window's thread has run `look` (from a timer, so
// only if the window's events run meanwhile). A write that held the window's
// thread instead is let go after a while, `look` unrun.
class HeldWrite {
 public:
  HeldWrite(const std::string& target, std::function<void()> look) : look_(std::move(look)) {
    detail::SetBeforePutInPlaceHook([this, target](const std::string& path) {
      if (path != target) return;
      held_ = true;
      (void)released_.try_acquire_for(std::chrono::seconds(20));
      if (fail_) throw FileError(path, "the disk is full");
    });
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (!held_ || looked_) return;
      looked_ = true;
      look_();
      released_.release();
    });
    timer_.start();
  }
  ~HeldWrite() { detail::SetBeforePutInPlaceHook(nullptr); }
  // Once let go, the write fails as a full disk would make it.
  void FailWhenLetGo() { fail_ = true; }
  bool Looked() const { return looked_; }

 private:
  std::function<void()> look_;
  QTimer timer_;
  std::atomic<bool> held_{false}, fail_{false};
  bool looked_ = false;
  std::binary_semaphore released_{0};
};

// What the window shows while the write is held.
struct Seen {
  QString message;
  bool gauge = false, abortCommand = false, writing = false;
  bool sceneLocked = false, fileMenuLocked = false;
  bool versionEnabled = false, versionShown = false, menuOpens = false;
};

}  // namespace

class BackgroundWriteTest : public QObject {
  Q_OBJECT

  std::unique_ptr<WindowFixture> w_;

  template <typename T = QWidget>
  T* Find(const char* name) const {
    return Child<T>(*w_->window, name);
  }
  void Enter(const char* name, const QString& text) {
    Find<QLineEdit>(name)->setText(text);
    QTest::keyClick(Find<QLineEdit>(name), Qt::Key_Return);
  }
  // A picture of the size that goes to `name` when Go is clicked.
  std::string Output(const char* name, const char* width = "256", const char* height = "128") {
    Enter("ResX", width);
    Enter("ResY", height);
    std::string path = w_->Path(name);
    Enter("OutPutFilen", QString::fromStdString(path));
    return path;
  }
  PreviewArea* Preview() const { return Find<PreviewArea>("Preview"); }
  QMenu* VersionMenu() const {
    for (QAction* a : w_->window->menuBar()->actions())
      if (a->text().startsWith("バージョン情報")) return a->menu();
    qFatal("no version menu");
  }
  // The window as the held write finds it; the gauge is waited for (the
  // progress timer shows it within 100 ms), everything else is looked at once.
  Seen Look() {
    Seen s;
    s.message = Preview()->Message();
    s.abortCommand = Find("RendAbort")->isVisible();
    s.writing = w_->window->session().Context().Writing;
    s.sceneLocked =
        !Find("Seed")->isEnabled() && !Find("ResX")->isEnabled() && !Find("Go")->isEnabled();
    s.fileMenuLocked = !Find<QAction>("Open1")->isEnabled() &&
                       !Find<QAction>("New1")->isEnabled() &&
                       !Find<QAction>("CubeMap1")->isEnabled();
    QAction* author = Find<QAction>("Author");
    s.versionEnabled = author->isEnabled();
    author->trigger();  // the box does not wait
    s.versionShown = w_->dialogs.informed.size() == 1;
    QMenu* menu = VersionMenu();
    menu->popup(w_->window->mapToGlobal(QPoint(10, 10)));
    s.menuOpens = menu->isVisible();
    menu->close();
    auto* gauge = Find<ProgressPie>("ProgressDisp");
    s.gauge = QTest::qWaitFor([&] { return gauge->isVisible() && gauge->Value() == 100; }, 2000);
    return s;
  }
  // After the write: the window as it was before it, with `message` on the preview.
  void ExpectUnlocked(const QString& message) {
    QVERIFY(!w_->window->session().Context().Writing);
    QVERIFY(!w_->window->session().Context().Rendering);
    QVERIFY(Find("Seed")->isEnabled() && Find("Go")->isEnabled());
    QVERIFY(Find<QAction>("Open1")->isEnabled());
    QVERIFY(!Find("RendAbort")->isVisible());
    QVERIFY(!Find("ProgressDisp")->isVisible());
    QCOMPARE(Preview()->Message(), message);
  }
  static void ExpectWhileWriting(const Seen& s) {
    QCOMPARE(s.message, "書き込み中..");
    QVERIFY(s.gauge);
    QVERIFY(s.abortCommand);
    QVERIFY(s.writing);
    QVERIFY(s.sceneLocked);
    QVERIFY(s.fileMenuLocked);
    QVERIFY(s.versionEnabled);
    QVERIFY(s.versionShown);
    QVERIFY(s.menuOpens);
  }

 private slots:
  void init() { w_ = std::make_unique<WindowFixture>(); }
  void cleanup() {
    for (QWidget* box : QApplication::topLevelWidgets())
      if (box != w_->window.get() && box->isVisible()) box->close();
    w_.reset();
  }

  void theWindowStaysResponsiveWhileTheFileIsWritten() {
    const std::string out = Output("out.png");
    Seen seen;
    HeldWrite held(out, [&] { seen = Look(); });
    QTest::mouseClick(Find<QPushButton>("Go"), Qt::LeftButton);
    QVERIFY(WaitForRenders(w_->window->session()));
    QVERIFY(held.Looked());
    ExpectWhileWriting(seen);
    ExpectUnlocked("");
    QVERIFY(w_->dialogs.errors.isEmpty());
    QCOMPARE(testing::ReadFile(out).substr(0, 4), std::string("\x89PNG"));
  }

  void abortWhileWritingLeavesTheOldFile() {
    const std::string out = Output("out.png");
    testing::WriteFile(out, "the last good picture");
    const auto before = QDir(w_->dir.path()).entryList(QDir::Files | QDir::Hidden);
    {
      Seen seen;
      HeldWrite held(out, [&] {
        seen = Look();
        QTest::mouseClick(Find<QPushButton>("RendAbort"), Qt::LeftButton);
      });
      QTest::mouseClick(Find<QPushButton>("Go"), Qt::LeftButton);
      QVERIFY(WaitForRenders(w_->window->session()));
      QVERIFY(held.Looked());
      ExpectWhileWriting(seen);
    }
    // Not written, and no error either: the preview says the work was stopped.
    QVERIFY(w_->dialogs.errors.isEmpty());
    ExpectUnlocked("作画は中止されました。");
    QCOMPARE(testing::ReadFile(out), std::string("the last good picture"));
    QCOMPARE(QDir(w_->dir.path()).entryList(QDir::Files | QDir::Hidden), before);
    // The next Go writes it.
    QTest::mouseClick(Find<QPushButton>("Go"), Qt::LeftButton);
    QVERIFY(WaitForRenders(w_->window->session()));
    QCOMPARE(testing::ReadFile(out).substr(0, 4), std::string("\x89PNG"));
  }

  void closingWhileWritingStopsTheWriteThenCloses() {
    const std::string out = Output("out.bmp");
    testing::WriteFile(out, "BM the last good picture");
    w_->dialogs.saveChoice = SaveChoice::Discard;  // the changed size is not kept
    HeldWrite held(out, [&] { w_->window->close(); });
    QTest::mouseClick(Find<QPushButton>("Go"), Qt::LeftButton);
    QVERIFY(WaitForRenders(w_->window->session()));
    QVERIFY(held.Looked());
    QVERIFY(!w_->window->isVisible());
    // Nothing asked about the write: only whether to keep the changed scene.
    QCOMPARE(w_->dialogs.questions.size(), 1);
    QCOMPARE(testing::ReadFile(out), std::string("BM the last good picture"));
  }

  // What the writing thread throws is told by the window's thread, as any
  // failed write is; the window is unlocked again.
  void aWriteThatFailsIsToldByTheWindow() {
    const std::string out = Output("out.jpg");
    HeldWrite held(out, [] {});
    held.FailWhenLetGo();
    QTest::mouseClick(Find<QPushButton>("Go"), Qt::LeftButton);
    QVERIFY(WaitForRenders(w_->window->session()));
    QVERIFY(held.Looked());
    QCOMPARE(w_->dialogs.errors, QStringList{"画像ファイルを書き込めませんでした。"});
    QVERIFY(w_->dialogs.errorDetails[0].contains("the disk is full"));
    QVERIFY(w_->dialogs.errorDetails[0].contains("out.jpg"));
    ExpectUnlocked("");
    QVERIFY(!QFile::exists(QString::fromStdString(out)));
  }
};

QTEST_MAIN(BackgroundWriteTest)
#include "background_write_test.moc"
