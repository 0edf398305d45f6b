// Registering the scene with a host installation built in a temporary folder
// through the window's dialogs, and removing it again.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QtTest>

#include "platform/ApplicationSettings.h"
#include "support/TestHost.h"
#include "ui/PreviewArea.h"
#include "ui/WindowFixture.h"

using namespace horizonmill;
using namespace horizonmill::ui;
using horizonmill::testing::ReadFile;
using horizonmill::testing::TestHost;

namespace {

// Typed key by key (Japanese too), so the input's limits apply.
void Type(QDialog& d, const char* input, const QString& text) {
  auto* edit = Child<QLineEdit>(d, input);
  edit->clear();
  for (QChar c : text) QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), {});
}
bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// A small render, so that registering takes no time.
void SmallOutput(WindowFixture& w) {
  for (const char* input : {"ResX", "ResY"}) {
    Child<QLineEdit>(*w.window, input)->setText("16");
    QTest::keyClick(Child<QLineEdit>(*w.window, input), Qt::Key_Return);
  }
}

// Registers alias / name through the name dialog (the host already chosen).
void Register(WindowFixture& w, const QString& alias, const QString& name) {
  w.Open("RegistToQoraL", [&](QDialog& d) {
    Type(d, "BackName", alias);
    Type(d, "FileName", name);
    Press(d, "OkeyBtn");
  });
}

}  // namespace

class RegistrationDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void registersThroughTheHostDialogAndTheNameDialog() {
    TestHost host;
    host.WriteHostIni("[Menu]\r\nBGMax=20\r\n");
    WindowFixture w;
    SmallOutput(w);
    QVERIFY(!Child<QAction>(*w.window, "QoraL_Delete")->isEnabled());
    w.dialogs.answers = {QString::fromStdString(host.hostIni)};
    w.Open("RegistToQoraL", [&](QDialog& d) {
      QCOMPARE(d.windowTitle(), "背景画像の名前を決めてください。");
      QCOMPARE(Child<QLabel>(d, "SaveDir")->text(), "bg");
      QVERIFY(Child<QRadioButton>(d, "bmpSelected")->isChecked());
      auto* ok = Child(d, "OkeyBtn");
      QVERIFY(!ok->isEnabled());
      Type(d, "BackName", "夕焼け");
      QVERIFY(!ok->isEnabled());
      Type(d, "FileName", "sunset");
      QVERIFY(ok->isEnabled());
      Child<QLineEdit>(d, "BackName")->clear();
      QVERIFY(ok->isEnabled());  // once enabled it stays
      // The alias holds 32 bytes of the Japanese code page: 16 full-width characters.
      Type(d, "BackName", QString(20, QChar(0x5915)));
      QCOMPARE(Child<QLineEdit>(d, "BackName")->text(), QString(16, QChar(0x5915)));
      Type(d, "BackName", "夕焼け");
      Press(d, "jpegSelected");
      Press(d, "OkeyBtn");
    });
    const FileDialogSetup& asked = w.dialogs.asked.at(0);
    QCOMPARE(asked.name, "QoraLIniOpenDlg");
    QCOMPARE(asked.title,
             "Qora LシリーズのIniファイル(QoraL1.Ini,QoraL2.Iniなど)を指定して下さい。");
    QCOMPARE(asked.fileName, "QoraL2.ini");
    QCOMPARE(asked.directory, QDir::homePath());
    QCOMPARE(asked.defaultSuffix, "ini");
    QVERIFY(w.dialogs.messages.isEmpty());
    for (const std::string& file :
         {host.Bg("sunset.jpg"), host.Bg("c_sunset.bmp"), host.D3d("sunset.jpg")})
      QVERIFY2(Exists(file), file.c_str());
    QVERIFY(ReadFile(host.hostIni).find("BGMax=21") != std::string::npos);
    QCOMPARE(ReadApplicationSettings(w.Ini()).QoraLTarget, host.hostIni);
    QVERIFY(Child<QAction>(*w.window, "QoraL_Delete")->isEnabled());

    // The host is remembered; the dialog keeps its text; the name is taken.
    w.dialogs.asked.clear();
    w.Open("RegistToQoraL", [&](QDialog& d) {
      QCOMPARE(Child<QLineEdit>(d, "FileName")->text(), "sunset");
      Press(d, "OkeyBtn");
    });
    QVERIFY(w.dialogs.asked.empty());
    QCOMPARE(w.dialogs.messages, QStringList{"すでに同じファイル名の背景が登録されています。"});
    QVERIFY(ReadFile(host.hostIni).find("BGMax=21") != std::string::npos);
  }

  // A host INI that names no installation, remembered or chosen in the
  // dialog, is said; the command stays on and the next registration asks for
  // the host INI again, and the good one chosen then registers.
  void aWrongHostIniIsSaidAndTheNextRegistrationAsksAgain_data() {
    QTest::addColumn<bool>("remembered");
    QTest::newRow("remembered") << true;
    QTest::newRow("chosen in the dialog") << false;
  }
  void aWrongHostIniIsSaidAndTheNextRegistrationAsksAgain() {
    QFETCH(bool, remembered);
    TestHost host;
    const std::string wrong = host.hostIni + ".wrong.ini";
    testing::WriteFile(wrong, "[QORA-L2]\r\nBGDir=\r\n");
    WindowFixture w;
    if (remembered) {
      UpdateApplicationSettings(w.Ini(), {{"QoraL_Target", wrong}});
      w.Restart();
    } else {
      w.dialogs.answers = {QString::fromStdString(wrong)};
    }
    SmallOutput(w);
    w.Open("RegistToQoraL", [](QDialog&) { QFAIL("no name dialog"); });
    QCOMPARE(w.dialogs.beeps, 1);
    QCOMPARE(w.dialogs.messages,
             QStringList{"Qora-L シリーズが正しくインストールされていません。"});
    QVERIFY(w.dialogs.details.at(0).contains("BGDir"));
    QCOMPARE(w.dialogs.asked.size(), remembered ? 0u : 1u);
    QVERIFY(Child(*w.window, "RegistToQoraL")->isEnabled());

    host.WriteHostIni("[Menu]\r\nBGMax=20\r\n");
    w.dialogs.answers = {QString::fromStdString(host.hostIni)};
    Register(w, "夕焼け", "sunset");
    QCOMPARE(w.dialogs.asked.size(), remembered ? 1u : 2u);
    QCOMPARE(w.dialogs.asked.back().name, "QoraLIniOpenDlg");
    QVERIFY(ReadFile(host.hostIni).find("BGMax=21") != std::string::npos);
    QCOMPARE(ReadApplicationSettings(w.Ini()).QoraLTarget, host.hostIni);
    QVERIFY(Child<QAction>(*w.window, "QoraL_Delete")->isEnabled());
  }

  void aHostIniThatIsGoneIsAskedForInItsFolder() {
    TestHost host;
    WindowFixture w;
    // A remembered host INI that is gone: the dialog opens in its folder.
    const std::string folder = std::filesystem::path(host.hostIni).parent_path().string();
    UpdateApplicationSettings(w.Ini(), {{"QoraL_Target", folder + "/gone.ini"}});
    w.Restart();
    w.Open("RegistToQoraL", [](QDialog&) { QFAIL("cancelled before"); });
    QCOMPARE(w.dialogs.asked.at(0).directory, QString::fromStdString(folder));
  }

  void removalAsksAndRemovesTheSelectedBackground() {
    TestHost host;
    host.WriteHostIni("[Menu]\r\nBGMax=20\r\nBack20=host,c_host,host\r\n");
    WindowFixture w;
    SmallOutput(w);
    w.dialogs.answers = {QString::fromStdString(host.hostIni)};
    Register(w, "あ", "a");
    Register(w, "い", "b");
    QVERIFY(Exists(host.Bg("c_b.bmp")));

    auto open = [&](std::function<void(QDialog&)> onModal) {
      w.dialogs.onModal = std::move(onModal);
      Child<QAction>(*w.window, "QoraL_Delete")->trigger();
    };
    open([&](QDialog& d) {
      QCOMPARE(d.windowTitle(), "QORA-Lシリーズに登録した背景の削除");
      auto* list = Child<QListWidget>(d, "BackAliasNames");
      QCOMPARE(list->count(), 2);
      QCOMPARE(list->item(1)->text(), "い");
      auto* sample = Child<PreviewArea>(d, "Sample");
      QCOMPARE(sample->grab().toImage().pixelColor(50, 40), QColor(0, 0, 0));
      QVERIFY(!Child(d, "DelBackBtn")->isEnabled());
      list->setCurrentRow(0);
      QVERIFY(Child(d, "DelBackBtn")->isEnabled());
      // The catalog picture: the middle of the rendered (default, sky-blue) scene.
      QVERIFY(sample->grab().toImage().pixelColor(50, 40) != QColor(0, 0, 0));

      Press(d, "DelBackBtn");  // No
      QCOMPARE(w.dialogs.questions, QStringList{"背景「あ」を削除します。よろしいですか？"});
      QCOMPARE(list->count(), 2);
      QVERIFY(Exists(host.Bg("a.bmp")));

      w.dialogs.answerYes = true;
      Press(d, "DelBackBtn");
      QCOMPARE(list->count(), 1);
      QCOMPARE(list->item(0)->text(), "い");
      QVERIFY(!Child(d, "DelBackBtn")->isEnabled());
      QCOMPARE(sample->grab().toImage().pixelColor(50, 40), QColor(0, 0, 0));
    });
    for (const std::string& gone : {host.Bg("a.bmp"), host.Bg("c_a.bmp"), host.D3d("a.jpg")})
      QVERIFY2(!Exists(gone), gone.c_str());
    const std::string list = ReadFile(host.hostIni);
    QVERIFY(list.find("BGMax=21") != std::string::npos);
    QVERIFY(list.find("Back21=") != std::string::npos && list.find("Back22=") == std::string::npos);
    QVERIFY(ReadFile(host.Bg("Horizonmill_mng.ini")).find("Back21=") != std::string::npos);

    // The host's list gone: told, and the command is off for the run.
    testing::WriteFile(host.hostIni, "[QORA-L2]\r\nBGDir=bg\r\n[Direct3D]\r\nBGDir=d3d\r\n");
    open([&](QDialog& d) {
      Child<QListWidget>(d, "BackAliasNames")->setCurrentRow(0);
      Press(d, "DelBackBtn");
    });
    QCOMPARE(w.dialogs.messages.last(), "Qora-L シリーズが正しくインストールされていません。");
    QVERIFY(!Child<QAction>(*w.window, "QoraL_Delete")->isEnabled());
  }
};

QTEST_MAIN(RegistrationDialogsTest)
#include "registration_dialogs_test.moc"
