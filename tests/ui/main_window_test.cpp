// The main window driven through its controls, found by their object names.
// File dialogs, message boxes, the beep and modal dialogs are answered by
// FakeDialogs, so no test waits for a person.
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <functional>
#include <memory>

#include "Version.h"
#include "image/BmpReader.h"
#include "platform/ApplicationSettings.h"
#include "support/TempDir.h"
#include "ui/FakeDialogs.h"
#include "ui/Main.h"
#include "ui/PreviewArea.h"
#include "ui/PreviewTesting.h"
#include "ui/RenderPanel.h"

using namespace horizonmill;
using namespace horizonmill::ui;

namespace {

// Equal sizes and pixels (the padding at the end of each row does not count).
bool SamePixels(const WorkBitmap& a, const WorkBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    if (!std::equal(a.Row(y), a.Row(y) + a.Width(), b.Row(y))) return false;
  return true;
}

std::string Example(const char* name) {
  return std::string(HORIZONMILL_SOURCE_DIR) + "/examples/" + name;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  FakeDialogs dialogs_;
  std::unique_ptr<THorizonmill_MainForm> window_;

  QString Path(const QString& name) const { return dir_->filePath(name); }
  std::filesystem::path Ini() const { return Path("prog.INI").toStdString(); }
  void WriteScene(const QString& name, const std::string& text) {
    testing::WriteFile(Path(name).toStdString(), text);
  }
  void Open(const std::string& argument = {}) {
    window_ = std::make_unique<THorizonmill_MainForm>(dialogs_, Ini());
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    window_->Start(argument);
  }
  template <typename T = QWidget>
  T* Find(const char* name) const {
    T* w = window_->findChild<T*>(name);
    if (!w) qFatal("no control %s", name);
    return w;
  }
  QLineEdit* Input(const char* name) const { return Find<QLineEdit>(name); }
  // The title as the window shows it: "[*]" is "*" while the scene has unsaved changes.
  QString ShownTitle() const {
    return QString(window_->windowTitle()).replace("[*]", window_->isWindowModified() ? "*" : "");
  }
  void Enter(const char* name, const QString& text) {
    Input(name)->setText(text);
    QTest::keyClick(Input(name), Qt::Key_Return);
  }
  // Clicks a button, and waits for the render it starts.
  void Click(const char* name) {
    QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton);
    QVERIFY(WaitForRenders(window_->session()));
  }
  PreviewArea* Preview() const { return Find<PreviewArea>("Preview"); }
  RenderRunner& Runner() const { return Find<RenderPanel>("RenderPanel")->Runner(); }
  // The preview takes clicks once the progress timer has seen the last render
  // end. `duringRender` runs once the click has returned, the render held
  // before it draws; then the render goes on to its end.
  void ClickPreview(const std::function<void()>& duringRender = {}) {
    QTRY_VERIFY(window_->session().PreviewAcceptsClick());
    {
      RenderGate gate(window_->session(), Runner());
      QTest::mouseClick(Preview(), Qt::LeftButton);
      if (duringRender) duringRender();
    }
    QVERIFY(WaitForRenders(window_->session()));
  }

 private slots:
  void init() {
    dialogs_ = FakeDialogs();
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir::setCurrent(dir_->path()));
  }
  void cleanup() { window_.reset(); }

  void startsWithTheDefaultScene_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("text");
    for (auto [input, text] : {std::pair{"Seed", "65536"},
                               {"AirDepth", "0.0"},
                               {"Stars", "0"},
                               {"StarSize", "1.0"},
                               {"TenjoScale", "1.0"},
                               {"GroundScale", "1.0"},
                               {"GroundWarp", "0.0"},
                               {"ResX", "3072"},
                               {"ResY", "1536"},
                               {"OutPutFilen", ""},
                               {"TenjoTextureName", ""}})
      QTest::newRow(input) << input << text;
  }
  void startsWithTheDefaultScene() {
    QFETCH(QString, input);
    QFETCH(QString, text);
    Open();
    QCOMPARE(ShownTitle(), "Horizonmill . Horizonmillらいと - 新規.hm");
    QCOMPARE(Input(input.toUtf8())->text(), text);
    QVERIFY(!Find("Go")->isEnabled());
    QVERIFY(!Find<QCheckBox>("TenjoNeeded")->isChecked());
    QVERIFY(!Find("TenjoScale")->isEnabled());
    QVERIFY(!Find<QAction>("QoraL_Delete")->isEnabled());
    QVERIFY(!Find("isOldFormat")->isVisible());
    QCOMPARE(window_->session().JpegQuality(), 90);
    QCOMPARE(Preview()->grab().toImage().pixelColor(200, 150), QColor(192, 192, 192));
  }

  void startsWithASettingsFileArgument() {
    WriteScene("a.hm", "RandomSeed 42\nAirDepth abc\nOutput_Filename out.jpg\n");
    Open("a.hm");
    QCOMPARE(ShownTitle(), "Horizonmill . Horizonmillらいと - a.hm");
    QCOMPARE(Input("Seed")->text(), "42");
    QCOMPARE(Input("AirDepth")->text(), "abc");
    QVERIFY(Find("Go")->isEnabled());
    // A name that is no file is ignored.
    Open("missing.hm");
    QCOMPARE(ShownTitle(), "Horizonmill . Horizonmillらいと - 新規.hm");
  }

  // Opening asks once: the pictures found nowhere are listed in one
  // question, by kind and name; キャンセル keeps every entry and name.
  void missingPicturesAreListedInOneMessageAfterOpening() {
    WriteScene("gone.hm",
               "Ground_TextureFilename gone.bmp\nObjects_CreateObject Mid\n"
               "Objects_Filename pics\\tree.bmp\nObjects_CreateObject Mid\n"
               "Objects_Filename " +
                   Example("rocks.bmp") + "\n");
    Open("gone.hm");
    QVERIFY(dialogs_.asked.empty());
    QCOMPARE(
        dialogs_.messages,
        QStringList{"次の画像を使えません：\n中景オブジェクト 1：pics\\tree.bmp（見つかりません）\n"
                    "地面テクスチャ：gone.bmp（見つかりません）"});
    QVERIFY(
        dialogs_.details.at(0).contains("gone.hm: middle object 1: warning: object "
                                        "picture \"pics\\tree.bmp\" not found"));
    QVERIFY(Find<QCheckBox>("ZimenNeeded")->isChecked());
    QCOMPARE(Input("GroundTextureName")->text(), "gone.bmp");
    QCOMPARE(window_->session().Scene().Mid.Size(), 2u);
    QCOMPARE(window_->session().Scene().Mid.First()->Filename, "pics\\tree.bmp");
    QVERIFY(!window_->session().HasUnsavedChanges());
  }

  // A scene that never had a file is saved only where the user says, by Save
  // or by the question before New; nothing lands in the current directory.
  void saveOfAnUntitledSceneAsksForAName_data() {
    QTest::addColumn<bool>("byQuestion");
    QTest::addColumn<QString>("answer");  // "" cancels the dialog
    QTest::newRow("save, cancelled") << false << "";
    QTest::newRow("save, named") << false << "mine.hm";
    QTest::newRow("question before New, cancelled") << true << "";
    QTest::newRow("question before New, named") << true << "mine.hm";
  }
  void saveOfAnUntitledSceneAsksForAName() {
    QFETCH(bool, byQuestion);
    QFETCH(QString, answer);
    Open();
    Enter("Seed", "7");
    dialogs_.answers = {answer.isEmpty() ? "" : Path(answer)};
    dialogs_.saveChoice = SaveChoice::Save;
    Find<QAction>(byQuestion ? "New1" : "Save1")->trigger();
    QCOMPARE(dialogs_.asked.size(), 1u);
    QCOMPARE(dialogs_.asked[0].name, "SaveSettingDlg");
    QVERIFY(!QFile::exists(Path("新規.hm")));
    if (answer.isEmpty()) {
      // Nothing written, the scene kept as it is, still changed.
      QCOMPARE(ShownTitle(), "Horizonmill . Horizonmillらいと - 新規.hm*");
      QCOMPARE(Input("Seed")->text(), "7");
      QCOMPARE(QDir(dir_->path()).entryList({"*.hm"}), QStringList());
      return;
    }
    QVERIFY(testing::ReadFile(Path(answer).toStdString()).find("RandomSeed 7") !=
            std::string::npos);
    QCOMPARE(Input("Seed")->text(), byQuestion ? "65536" : "7");
    if (byQuestion) return;
    QCOMPARE(ShownTitle(), "Horizonmill . Horizonmillらいと - " + Path(answer));
    // From now on Save writes to the file without asking.
    Enter("Seed", "8");
    Find<QAction>("Save1")->trigger();
    QCOMPARE(dialogs_.asked.size(), 1u);
    QVERIFY(testing::ReadFile(Path(answer).toStdString()).find("RandomSeed 8") !=
            std::string::npos);
  }

  void typedInputsAreTheSceneAndTypingIsLimited() {
    Open();
    Input("Seed")->clear();
    QTest::keyClicks(Input("Seed"), "1234567");
    QCOMPARE(Input("Seed")->text(), "12345");
    QCOMPARE(window_->session().Scene().RandomSeed, "12345");
    // Text from a settings file is taken whole.
    WriteScene("long.hm", "Stars_NumberOfStars 123456789\n");
    Open("long.hm");
    QCOMPARE(Input("Stars")->text(), "123456789");
  }

  void oldFormatHoldsTheResolution_data() {
    QTest::addColumn<QString>("format");
    QTest::newRow("Old") << "Old";
    QTest::newRow("OldDiet") << "OldDiet";
  }
  void oldFormatHoldsTheResolution() {
    QFETCH(QString, format);
    WriteScene("old.hm", "Output_Resolution 64 32\nOutput_Format " + format.toStdString() + "\n");
    Open("old.hm");
    QCOMPARE(Input("ResX")->text(), "3072");
    QCOMPARE(Input("ResY")->text(), "1536");
    QVERIFY(!Find("ResX")->isEnabled() && !Find("ResY")->isEnabled());
    QVERIFY(Find("DietMode")->isEnabled());
    QCOMPARE(Find<QCheckBox>("DietMode")->isChecked(), format == "OldDiet");
    Find<QCheckBox>("isOldFormat")->setChecked(false);
    QVERIFY(Find("ResX")->isEnabled() && Find("ResY")->isEnabled());
    QVERIFY(!Find<QCheckBox>("DietMode")->isChecked());
    QVERIFY(window_->session().Scene().Output.Format == OutputFormat::Normal);
  }

  void reflectionAtZeroDisablesTheWarp() {
    Open();
    Find<QCheckBox>("ZimenNeeded")->setChecked(true);
    QVERIFY(!Find("GroundWarp")->isEnabled());
    Find<QSlider>("ZimenRefValue")->setValue(1);
    QVERIFY(Find("GroundWarp")->isEnabled() && Find("GroundWarpLabel")->isEnabled());
    Find<QSlider>("ZimenRefValue")->setValue(0);
    QVERIFY(!Find("GroundWarp")->isEnabled() && !Find("GroundWarpLabel")->isEnabled());
    QCOMPARE(window_->session().Scene().Ground.Reflection, 0);
  }

  void leavingAScaleInputGuardsAgainstZero() {
    Open();
    Find<QCheckBox>("ZimenNeeded")->setChecked(true);
    Input("GroundScale")->setText("0");
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(Input("GroundScale"), &leave);
    QCOMPARE(window_->session().Scene().Ground.Scale, "0.001");
  }

  void enterInTheOutputNameEnablesGo() {
    Open();
    QTest::keyClicks(Input("OutPutFilen"), "x.jpg");
    QVERIFY(!Find("Go")->isEnabled());  // typing alone does not refresh
    QTest::keyClick(Input("OutPutFilen"), Qt::Key_Return);
    QVERIFY(Find("Go")->isEnabled());
    Enter("OutPutFilen", "");
    QVERIFY(!Find("Go")->isEnabled());
  }

  // The transparent colour is picked from the ceiling's picture: the button
  // follows the name typed, enabled while its picture can be had.
  void transparentColourFollowsTheTextureTyped() {
    Open();
    Find<QCheckBox>("TenjoNeeded")->setChecked(true);
    QVERIFY(!Find("ChTenjoTra")->isEnabled());
    WriteScene("junk.bmp", "junk");
    QTest::keyClicks(Input("TenjoTextureName"), Path("junk.bmp"));
    QVERIFY(!Find("ChTenjoTra")->isEnabled());
    Input("TenjoTextureName")->clear();
    QTest::keyClicks(Input("TenjoTextureName"), QString::fromStdString(Example("clouds.bmp")));
    QVERIFY(Find("ChTenjoTra")->isEnabled());
    bool picked = false;
    dialogs_.onModal = [&](QDialog& d) { picked = d.objectName() == "TenjoTraForm"; };
    Click("ChTenjoTra");
    QVERIFY(picked);
    QCOMPARE(dialogs_.beeps, 0);
    QVERIFY(dialogs_.messages.isEmpty());
  }

  void textureNamesLoadOrSayTheyAreMissing() {
    Open();
    Find<QCheckBox>("ZimenNeeded")->setChecked(true);
    Enter("GroundTextureName", "no-such.bmp");
    QVERIFY(Preview()->Cleared());
    QCOMPARE(Preview()->Message(), "地面テクスチャはありません。");
    Find<QCheckBox>("TenjoNeeded")->setChecked(true);
    Enter("TenjoTextureName", "no-such.bmp");
    QCOMPARE(Preview()->Message(), "天井テクスチャはありません。");

    const QString water = QString::fromStdString(Example("water.bmp"));
    Enter("GroundTextureName", water);
    QCOMPARE(window_->session().Scene().Ground.TextureFilename, water.toStdString());
    QCOMPARE(window_->session().Prepared()->GroundTexture.Source, TextureSource::Picture);
    QVERIFY(!Preview()->Cleared() && Preview()->Message().isEmpty());
    // A file that is no picture: the error names it, and the scene, the
    // input and what the render draws keep the texture.
    WriteScene("junk.bmp", "junk");
    Enter("GroundTextureName", Path("junk.bmp"));
    QCOMPARE(dialogs_.errors, QStringList{"画像を読み込めませんでした。"});
    QVERIFY(dialogs_.errorDetails[0].startsWith(Path("junk.bmp") + ": "));
    QCOMPARE(window_->session().Scene().Ground.TextureFilename, water.toStdString());
    QCOMPARE(Input("GroundTextureName")->text(), water);
    QCOMPARE(window_->session().Prepared()->GroundTexture.Source, TextureSource::Picture);
  }

  void browsingATextureSwitchesTheLayerOn() {
    Open();
    dialogs_.answers = {QString::fromStdString(Example("clouds.bmp"))};
    Find<QCheckBox>("TenjoNeeded")->setChecked(true);
    Click("TEnjoTextureRefer");
    QVERIFY(window_->session().CeilingPicture());
    QCOMPARE(Input("TenjoTextureName")->text(), QString::fromStdString(Example("clouds.bmp")));
    QVERIFY(Find("ChTenjoTra")->isEnabled());
    QCOMPARE(dialogs_.asked[0].name, "TenjoTextureOpen");
    QCOMPARE(
        dialogs_.asked[0].filters,
        (QStringList{"画像 (*.bmp *.png *.jpg *.jpeg *.BMP *.PNG *.JPG *.JPEG)", "ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp)",
                     "PNG (*.png *.PNG)", "JPEGイメージ (*.jpg *.jpeg *.JPG *.JPEG)"}));
  }

  void previewClickRendersWhatTheCoreRenders() {
    const std::string scene = Example("lighthouse-coast.hm");
    Open(scene);
    QVERIFY(dialogs_.messages.empty());  // every picture lies beside the scene
    ClickPreview();

    Session core;
    core.Open(scene);
    core.RenderPreview();
    const WorkBitmap& expected = core.PreviewBitmap();
    const WorkBitmap& shown = window_->session().PreviewBitmap();
    QVERIFY(SamePixels(expected, shown));
    // What the screen shows is those pixels, channels in their places.
    const QImage screen = Preview()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    WorkBitmap& copy = const_cast<WorkBitmap&>(expected);
    QCOMPARE(screen, PreviewArea::Wrap(copy).convertToFormat(QImage::Format_RGB32));
    QVERIFY(!Find("RendAbort")->isVisible());
    QVERIFY(Find("Seed")->isEnabled());
  }

  void abortInTheMiddleLeavesTheMessage() {
    Open();
    bool lockedWhileRendering = false;
    ClickPreview([&] {
      lockedWhileRendering = !Find("Seed")->isEnabled() && !Find("ResX")->isEnabled() &&
                             !Find<QAction>("Open1")->isEnabled() && Find("RendAbort")->isVisible();
      Click("RendAbort");
    });
    QVERIFY(lockedWhileRendering);
    QVERIFY(window_->session().Context().AbortRequested);
    QVERIFY(Preview()->Cleared());
    QCOMPARE(Preview()->Message(), "作画は中止されました。");
    QVERIFY(!Find("RendAbort")->isVisible());
    QVERIFY(Find("Seed")->isEnabled() && Find<QAction>("Open1")->isEnabled());
  }

  void goWritesBmpOrJpegByTheExtension_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("magic");
    QTest::newRow("bmp") << "out.BMP" << QByteArray("BM");
    QTest::newRow("jpg") << "out.jpg" << QByteArray("\xff\xd8\xff");
    QTest::newRow("no extension") << "out" << QByteArray("\xff\xd8\xff");
    QTest::newRow("png") << "out.png" << QByteArray("\x89PNG");
  }
  void goWritesBmpOrJpegByTheExtension() {
    QFETCH(QString, name);
    QFETCH(QByteArray, magic);
    Open();
    Enter("ResX", "64");
    Enter("ResY", "32");
    Enter("OutPutFilen", Path(name));
    Click("Go");
    QFile file(Path(name));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith(magic));
    if (magic == "BM") {
      const WorkBitmap read = ReadBmpFile(Path(name).toStdString());
      const WorkBitmap& rendered = window_->session().OutputBitmap();
      QVERIFY(SamePixels(read, rendered));
    }
    QVERIFY(dialogs_.errors.isEmpty());
  }

  // An aborted render replaces the last good file only when the user says so.
  void anAbortedOutputAsksBeforeAnythingIsWritten_data() {
    QTest::addColumn<bool>("keep");
    QTest::newRow("No, the default") << false;
    QTest::newRow("Yes") << true;
  }
  void anAbortedOutputAsksBeforeAnythingIsWritten() {
    QFETCH(bool, keep);
    testing::WriteFile(Path("part.bmp").toStdString(), "BM the last good picture");
    Open();
    Enter("ResX", "64");
    Enter("ResY", "32");
    Enter("OutPutFilen", Path("part.bmp"));
    dialogs_.answerYes = keep;
    {
      RenderGate gate(window_->session(), Runner());
      QTest::mouseClick(Find<QPushButton>("Go"), Qt::LeftButton);
      Click("RendAbort");
    }
    QVERIFY(WaitForRenders(window_->session()));
    QCOMPARE(dialogs_.questions,
             QStringList{"作画は中止されました。描けたところまでを保存しますか？"});
    const std::string written = testing::ReadFile(Path("part.bmp").toStdString());
    if (keep)
      QVERIFY(SamePixels(ReadBmpFile(Path("part.bmp").toStdString()),
                         window_->session().OutputBitmap()));
    else
      QCOMPARE(written, "BM the last good picture");
    QVERIFY(!Preview()->Cleared());  // the part drawn
    QCOMPARE(Preview()->Message(), "作画は中止されました。");
  }

  void openingAFileThatIsNoSettingsFileChangesNothing_data() {
    QTest::addColumn<QByteArray>("bytes");
    QFile picture(QString::fromStdString(Example("rocks.bmp")));
    QVERIFY(picture.open(QIODevice::ReadOnly));
    QTest::newRow("a picture renamed .hm") << picture.readAll();
    QTest::newRow("text with no setting") << QByteArray("Shopping list\r\n\n  milk\n# eggs\n");
  }
  void openingAFileThatIsNoSettingsFileChangesNothing() {
    QFETCH(QByteArray, bytes);
    WriteScene("a.hm", "RandomSeed 42\n");
    Open("a.hm");
    Enter("AirDepth", "7");
    const QString title = ShownTitle();
    WriteScene("other.hm", bytes.toStdString());
    dialogs_.saveChoice = SaveChoice::Discard;
    dialogs_.answers = {Path("other.hm")};
    Find<QAction>("Open1")->trigger();
    QCOMPARE(dialogs_.errors, QStringList{"設定ファイルを読み込めませんでした。"});
    QVERIFY(dialogs_.errorDetails[0].startsWith(Path("other.hm") + ": "));
    QCOMPARE(ShownTitle(), title);
    QCOMPARE(window_->session().SettingsFilename(), "a.hm");
    QCOMPARE(Input("Seed")->text(), "42");
    QCOMPARE(Input("AirDepth")->text(), "7");
    // Save goes to the scene's own file, never to the other.
    Find<QAction>("Save1")->trigger();
    QCOMPARE(testing::ReadFile(Path("other.hm").toStdString()), bytes.toStdString());
    QVERIFY(testing::ReadFile(Path("a.hm").toStdString()).find("AirDepth 7") != std::string::npos);
  }

  // The title marks a changed scene; New, Open and closing ask first.
  void unsavedChangesAreMarkedAndAskedAbout_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<bool>("saved");
    QTest::newRow("キャンセル") << int(SaveChoice::Cancel) << false << false;
    QTest::newRow("破棄") << int(SaveChoice::Discard) << true << false;
    QTest::newRow("保存") << int(SaveChoice::Save) << true << true;
  }
  void unsavedChangesAreMarkedAndAskedAbout() {
    QFETCH(int, choice);
    QFETCH(bool, goesOn);
    QFETCH(bool, saved);
    WriteScene("a.hm", "RandomSeed 42\n");
    const QString question = "設定「a.hm」は変更されています。保存しますか？";
    for (const char* command : {"New1", "Open1", "close"}) {
      dialogs_.questions.clear();
      Open("a.hm");
      QVERIFY(!window_->isWindowModified());
      Find<QAction>("New1")->trigger();  // nothing to lose: no question
      QVERIFY(dialogs_.questions.isEmpty());
      Open("a.hm");
      Enter("Seed", "43");
      QVERIFY(window_->isWindowModified());
      QVERIFY(ShownTitle().endsWith("a.hm*"));
      Enter("Seed", "42");  // back as the file has it
      QVERIFY(!window_->isWindowModified());
      Enter("Seed", "44");
      dialogs_.saveChoice = static_cast<SaveChoice>(choice);
      dialogs_.answers = {""};  // Open: the file dialog is cancelled
      if (std::string_view(command) == "close")
        window_->close();
      else
        Find<QAction>(command)->trigger();
      QCOMPARE(dialogs_.questions, QStringList{question});
      const bool kept = Input("Seed")->text() == "44";
      QCOMPARE(std::string_view(command) == "close" ? window_->isVisible() : kept,
               std::string_view(command) == "Open1" || !goesOn);
      const bool written =
          testing::ReadFile(Path("a.hm").toStdString()).find("RandomSeed 44") != std::string::npos;
      QCOMPARE(written, saved);
      WriteScene("a.hm", "RandomSeed 42\n");
    }
  }

  void anOutputThatCannotBeWrittenIsReportedBeforeTheRender() {
    Open();
    Enter("ResX", "8");
    Enter("ResY", "4");
    // "\" is a folder separator in the window's name too.
    Enter("OutPutFilen", Path("missing\\out.bmp"));
    Click("Go");
    QCOMPARE(dialogs_.errors, QStringList{"画像ファイルを出力できません。"});
    QVERIFY(dialogs_.errorDetails[0].contains(Path("missing/out.bmp") + ": the folder " +
                                              Path("missing/") + " does not exist"));
    QVERIFY(window_->session().OutputBitmap().Empty());  // nothing was rendered
  }

  void aSizeBeyondTheLimitsIsRefusedNamingTheLimit() {
    // Typing holds the resolution to five digits; a settings file does not.
    WriteScene("wide.hm", "Output_Resolution 70000 32\nOutput_Filename wide.png\n");
    Open("wide.hm");
    dialogs_.messages.clear();
    dialogs_.details.clear();
    dialogs_.beeps = 0;
    Click("Go");
    QCOMPARE(dialogs_.messages.last(), "メモリー枯渇！");
    QVERIFY(dialogs_.details.last().startsWith("the width, 70000 pixels, is beyond 65535 pixels"));
    QVERIFY(!QFile::exists(Path("wide.png")));
  }

  void aFolderAsOutputIsRefusedBeforeTheRenderATextFileReplaced() {
    Open();
    Enter("ResX", "8");
    Enter("ResY", "4");
    QVERIFY(QDir(dir_->path()).mkdir("folder.bmp"));
    Enter("OutPutFilen", Path("folder.bmp"));
    Click("Go");
    QCOMPARE(dialogs_.errors, QStringList{"画像ファイルを出力できません。"});
    QVERIFY(dialogs_.errorDetails[0].contains(Path("folder.bmp") + ": is a folder"));
    QVERIFY(window_->session().OutputBitmap().Empty());  // nothing was rendered
    // A name typed in the window is the user's own: a text file there is replaced.
    QFile notes(Path("notes.txt"));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("my notes");
    notes.close();
    Enter("OutPutFilen", Path("notes.txt"));
    Click("Go");
    QCOMPARE(dialogs_.errors.size(), 1);
    QVERIFY(notes.open(QIODevice::ReadOnly));
    QVERIFY(notes.readAll().startsWith("\xff\xd8\xff"));
  }

  void jpegQualityDialogOkKeepsItCancelChangesNothing() {
    Open();
    int shown = -1;
    dialogs_.onModal = [&](QDialog& d) {
      auto* bar = d.findChild<QScrollBar*>("Quality");
      shown = bar->value();
      bar->setValue(10);
      QCOMPARE(d.findChild<QLabel*>("QualityText")->text(), "10%");
      QTest::mouseClick(d.findChild<QPushButton*>("BitBtn2"), Qt::LeftButton);
    };
    Find<QAction>("JPEG1")->trigger();
    QCOMPARE(shown, 90);
    QCOMPARE(window_->session().JpegQuality(), 90);
    QVERIFY(!QFile::exists(Path("prog.INI")));

    dialogs_.onModal = [&](QDialog& d) {
      shown = d.findChild<QScrollBar*>("Quality")->value();
      d.findChild<QScrollBar*>("Quality")->setValue(0);
      QTest::mouseClick(d.findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
    };
    Find<QAction>("JPEG1")->trigger();
    QCOMPARE(shown, 90);
    QCOMPARE(window_->session().JpegQuality(), 0);
    QCOMPARE(ReadApplicationSettings(Ini()).JPEGQuality, 0);
  }

  void programIniWrittenByOneRunIsReadByTheNext() {
    Open();
    QVERIFY(QDir().mkpath(Path("pictures")));
    dialogs_.answers = {Path("pictures/out.jpg")};
    Click("ReferOutPut");
    QCOMPARE(Input("OutPutFilen")->text(), Path("pictures/out.jpg"));
    QVERIFY(Find("Go")->isEnabled());
    window_->close();
    const ApplicationSettings written = ReadApplicationSettings(Ini());
    QCOMPARE(written.OutputDir, Path("pictures/").toStdString());
    QVERIFY(written.JimenDir.empty());  // unused dialogs leave their keys alone

    // The next run: the output dialog opens there; a host target enables removal.
    UpdateApplicationSettings(Ini(), {{"QoraL_Target", Path("QoraL2.ini").toStdString()},
                                      {"JimenDir", Path("ground/").toStdString()},
                                      {"JPEGQuality", "55"}});
    dialogs_.asked.clear();
    Open();
    QVERIFY(Find<QAction>("QoraL_Delete")->isEnabled());
    QCOMPARE(window_->session().JpegQuality(), 55);
    Find<QCheckBox>("ZimenNeeded")->setChecked(true);
    Click("GroundTextureRefer");  // cancelled: the INI is written all the same
    Click("ReferOutPut");
    QCOMPARE(dialogs_.asked.at(0).directory, Path("ground/"));
    QCOMPARE(dialogs_.asked.at(1).directory, Path("pictures/"));
    QCOMPARE(ReadApplicationSettings(Ini()).QoraLTarget, Path("QoraL2.ini").toStdString());
  }

  void closingDuringARenderAbortsItThenCloses() {
    Open();
    dialogs_.answerYes = true;  // stop it and close
    ClickPreview([&] { window_->close(); });
    QCOMPARE(dialogs_.questions, QStringList{"作画中です。作画を中止して終了しますか？"});
    QVERIFY(window_->session().Context().AbortRequested);
    QVERIFY(!window_->isVisible());
    // No dialog was used and no host set: there is nothing to remember, and
    // no empty INI file is left behind.
    QVERIFY(!QFile::exists(Path("prog.INI")));
  }

  // The version box does not wait: a render it opens during goes on.
  void versionBoxNamesTheProgramAndLetsARenderRun() {
    Open();
    ClickPreview([&] { Find<QAction>("Author")->trigger(); });
    QCOMPARE(dialogs_.informed.size(), 1);
    QCOMPARE(dialogs_.informed.last(),
             QString("Horizonmill Horizonmillらいと Version %1(1.0e-29L)  Horizonmill開発者一同\n"
                     "※現在らいと以外のバージョンは存在してません。")
                 .arg(horizonmill::kVersion));
    QVERIFY(!window_->session().Context().Rendering);
    QVERIFY(!window_->session().Context().AbortRequested);
    auto* box = window_->findChild<QMessageBox*>();
    QVERIFY(box && box->isVisible() && !box->isModal());
    box->close();
  }

  // The window writes only the keys it changed: a host chosen by the command
  // line while it was open stays chosen when it closes.
  void closingKeepsWhatAnotherProgramWroteMeanwhile() {
    UpdateApplicationSettings(Ini(), {{"QoraL_Target", "/old/QoraL2.ini"}});
    Open();
    QVERIFY(QDir().mkpath(Path("pictures")));
    dialogs_.answers = {Path("pictures/out.jpg")};
    Click("ReferOutPut");
    UpdateApplicationSettings(Ini(), {{"QoraL_Target", "/new/QoraL2.ini"}});
    dialogs_.saveChoice = SaveChoice::Discard;
    window_->close();
    const ApplicationSettings written = ReadApplicationSettings(Ini());
    QCOMPARE(written.QoraLTarget, "/new/QoraL2.ini");
    QCOMPARE(written.OutputDir, Path("pictures/").toStdString());
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
