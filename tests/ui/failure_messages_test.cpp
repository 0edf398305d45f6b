// The window's message boxes for what fails: a text in the window's language
// that says what failed in the user's terms, and the English reason, naming
// the file, under the box's details. The same failures in Japanese (the
// default) and in English.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "host/RegisteredBackgrounds.h"
#include "platform/ApplicationSettings.h"
#include "support/TestHost.h"
#include "ui/TextChecks.h"
#include "ui/WindowFixture.h"

using namespace horizonmill;
using namespace horizonmill::ui;

namespace {

QString At(WindowFixture& w, const char* name) { return QString::fromStdString(w.Path(name)); }

void Enter(WindowFixture& w, const char* input, const QString& text) {
  auto* edit = Child<QLineEdit>(*w.window, input);
  edit->setText(text);
  QTest::keyClick(edit, Qt::Key_Return);
}

void Trigger(WindowFixture& w, const char* action) { Child<QAction>(*w.window, action)->trigger(); }

void Junk(WindowFixture& w) { testing::WriteFile(w.Path("junk.bmp"), "no picture at all"); }

void SmallOutput(WindowFixture& w) {
  Enter(w, "ResX", "8");
  Enter(w, "ResY", "4");
}

// A failure the window tells: how to cause it, the box (an error box or a
// message box), its text in each language, and what its English details hold.
struct Failure {
  const char* name;
  std::function<void(WindowFixture&)> cause;
  bool errorBox;
  const char* japanese;
  const char* english;
  const char* file;    // the file or folder the details name, in the test's folder (if any)
  const char* reason;  // a part of the English reason
};

const Failure kFailures[] = {
    {"an output in a folder that does not exist",
     [](WindowFixture& w) {
       SmallOutput(w);
       Enter(w, "OutPutFilen", At(w, "missing/out.bmp"));
       QTest::mouseClick(Child<QPushButton>(*w.window, "Go"), Qt::LeftButton);
     },
     true, "画像ファイルを出力できません。", "The image cannot be written to this file.",
     "missing/out.bmp", "does not exist"},
    {"a cube map into a file",
     [](WindowFixture& w) {
       testing::WriteFile(w.Path("plain"), "a file");
       SmallOutput(w);
       w.AcceptCubeMapOptions();
       w.dialogs.folders = {At(w, "plain/faces")};
       Trigger(w, "CubeMap1");
     },
     true, "キューブマップを出力できません。", "The cube map cannot be written to this folder.",
     "plain", "is not a folder"},
    {"cube faces beyond the image limits",
     [](WindowFixture& w) {
       testing::WriteFile(w.Path("wide.hm"), "Output_Resolution 120000 60000\r\n");
       w.Restart(w.Path("wide.hm"));
       w.AcceptCubeMapOptions();
       w.dialogs.folders = {QString::fromStdString(w.dir.path().toStdString())};
       Trigger(w, "CubeMap1");
     },
     true, "メモリー枯渇！", "Out of memory!", nullptr,
     "cube faces: 30000 x 30000 pixels take 2574 MiB"},
    {"a file that cannot be read as settings",
     [](WindowFixture& w) {
       QFile::copy(QString::fromStdString(Example("rocks.bmp")), At(w, "picture.hm"));
       w.dialogs.answers = {At(w, "picture.hm")};
       Trigger(w, "Open1");
     },
     true, "設定ファイルを読み込めませんでした。", "The settings file could not be read.",
     "picture.hm", ""},
    {"settings saved into a folder that does not exist",
     [](WindowFixture& w) {
       w.dialogs.answers = {At(w, "missing/a.hm")};
       Trigger(w, "SaveAs1");
     },
     true, "設定ファイルを保存できませんでした。", "The settings file could not be saved.",
     "missing/a.hm", ""},
    {"a ground texture that cannot be decoded",
     [](WindowFixture& w) {
       Junk(w);
       Child<QCheckBox>(*w.window, "ZimenNeeded")->setChecked(true);
       Enter(w, "GroundTextureName", At(w, "junk.bmp"));
     },
     true, "画像を読み込めませんでした。", "The picture could not be read.", "junk.bmp", ""},
    {"an object picture that cannot be decoded",
     [](WindowFixture& w) {
       Junk(w);
       w.dialogs.answers = {At(w, "junk.bmp")};
       w.Open("SetNearObject", [](QDialog& d) { Press(d, "AddObject"); });
     },
     true, "画像を読み込めませんでした。", "The picture could not be read.", "junk.bmp", ""},
    {"a program INI that cannot be written",
     [](WindowFixture& w) {
       QVERIFY(QDir(w.dir.path()).mkdir("prog.INI"));  // a folder where the file goes
       Trigger(w, "AutoPreview1");
     },
     true, "プログラムの設定を保存できませんでした。", "The program's settings could not be saved.",
     "prog.INI", ""},
    {"a recent file that is gone",
     [](WindowFixture& w) {
       UpdateApplicationSettings(w.Ini(), {{"RecentFile1", w.Path("gone.hm")}});
       w.Restart();
       auto* menu = Child<QMenu>(*w.window, "RecentFiles1");
       emit menu->aboutToShow();
       menu->actions().at(0)->trigger();
     },
     false, "設定ファイル「%1」がありません。", "The settings file \"%1\" no longer exists.",
     "gone.hm", "the file is gone"},
};

}  // namespace

class FailureMessagesTest : public QObject {
  Q_OBJECT

  // Causes the failure in a fresh window and checks the one box it shows.
  void Check(bool english) {
    QFETCH(int, index);
    const Failure& f = kFailures[index];
    WindowFixture w;
    w.dialogs.messages.clear();
    f.cause(w);
    const QStringList& texts = f.errorBox ? w.dialogs.errors : w.dialogs.messages;
    const QStringList& details = f.errorBox ? w.dialogs.errorDetails : w.dialogs.details;
    QString expected = english ? f.english : f.japanese;
    if (expected.contains("%1")) expected = expected.arg(At(w, "gone.hm"));
    QCOMPARE(texts, QStringList{expected});
    QCOMPARE(f.errorBox ? w.dialogs.messages.size() : w.dialogs.errors.size(), 0);
    QCOMPARE(HasJapanese(texts[0]), !english);
    // The details: English, naming the file and why.
    if (f.file != nullptr)
      QVERIFY2(details[0].contains(At(w, f.file) + ": "), qPrintable(details[0]));
    QVERIFY2(details[0].contains(f.reason), qPrintable(details[0]));
    QVERIFY(!HasJapanese(details[0]));
  }

  static void Table() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < static_cast<int>(std::size(kFailures)); ++i)
      QTest::newRow(kFailures[i].name) << i;
  }

 private slots:
  void japaneseByDefault_data() { Table(); }
  void japaneseByDefault() { Check(false); }

  void englishWhenChosen_data() { Table(); }
  void englishWhenChosen() {
    const SpokenLanguage english("en");
    QVERIFY(english.installed);
    Check(true);
  }

  // A core message told through the window's host: its Japanese text, or its
  // translation, and the path in the details.
  void theCoreMessagesAreTranslatedToo() {
    testing::TestHost host;
    host.WriteHostIni("[Menu]\r\nBGMax=20\r\n");
    for (const bool english : {false, true}) {
      const SpokenLanguage language(english ? "en" : "ja");
      WindowFixture w;
      UpdateApplicationSettings(w.Ini(), {{"QoraL_Target", host.hostIni}});
      w.Restart();
      w.dialogs.onModal = [](QDialog& d) { d.reject(); };
      Trigger(w, "QoraL_Delete");
      QCOMPARE(w.dialogs.messages,
               QStringList{english ? "The file that lists the registered backgrounds is missing."
                                   : "登録した背景の管理ファイルがありません。"});
      QVERIFY(w.dialogs.details[0].startsWith(QString::fromStdString(host.Bg("")) +
                                              "Horizonmill_mng.ini: "));
    }
  }

  // The program's own error box: the text, the reason behind its details
  // button, the critical icon.
  void theRealErrorBoxHoldsTheReasonUnderItsDetails() {
    QString text, detail;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box != nullptr);
      text = box->text();
      detail = box->detailedText();
      icon = box->icon();
      box->accept();
    });
    QtUserDialogs().Error(nullptr, "画像を読み込めませんでした。", "/x/junk.bmp: not a BMP file");
    QCOMPARE(text, "画像を読み込めませんでした。");
    QCOMPARE(detail, "/x/junk.bmp: not a BMP file");
    QCOMPARE(icon, QMessageBox::Critical);
  }
};

QTEST_MAIN(FailureMessagesTest)
#include "failure_messages_test.moc"
