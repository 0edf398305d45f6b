// Pictures the window cannot have: those a settings file names found nowhere
// (one question lists them and offers to point at their folder), and textures
// typed that name no file or no picture (told by name; the document, the
// field, the title and the preview agree through undo and redo).
#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QtTest>
#include <filesystem>

#include "support/TempDir.h"
#include "ui/PreviewTesting.h"
#include "ui/WindowFixture.h"

using namespace horizonmill;
using namespace horizonmill::ui;

namespace {

QByteArray Bytes(const std::string& path) {
  QFile file(QString::fromStdString(path));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What Save writes of the scene at `path`, written by a session of its own to `to`.
QByteArray SavedBySession(const std::string& path, const std::string& to) {
  Session core;
  core.Open(path);
  core.SaveAs(to);
  return Bytes(to);
}

void Enter(WindowFixture& w, const char* name, const QString& text) {
  auto* input = Child<QLineEdit>(*w.window, name);
  input->setFocus();
  input->selectAll();
  QTest::keyClicks(input, text);
  QTest::keyClick(input, Qt::Key_Return);
}

// The title's mark of unsaved changes.
bool Marked(const WindowFixture& w) { return w.window->isWindowModified(); }

}  // namespace

class MissingPicturesTest : public QObject {
  Q_OBJECT

 private slots:
  // A copy of a scene in a folder without its pictures.
  void oneQuestionListsThePicturesAndOffersTheirFolder_data() {
    QTest::addColumn<bool>("point");
    QTest::addColumn<QString>("folder");  // "" cancels the folder dialog; "examples" theirs
    QTest::newRow("キャンセル") << false << "";
    QTest::newRow("folder dialog cancelled") << true << "";
    QTest::newRow("a folder without them") << true << "empty";
    QTest::newRow("the folder that holds them") << true << "examples";
  }
  void oneQuestionListsThePicturesAndOffersTheirFolder() {
    QFETCH(bool, point);
    QFETCH(QString, folder);
    WindowFixture w;
    const std::string scene = w.Path("coast.hm");
    std::filesystem::copy_file(Example("lighthouse-coast.hm"), scene);
    const QByteArray written = SavedBySession(scene, w.Path("expected.hm"));
    const QString examples = QString::fromStdString(Example(""));
    QVERIFY(QDir(w.dir.path()).mkdir("empty"));
    w.dialogs.pointAtFolder = point;
    w.dialogs.folders = {folder == "examples" ? examples
                         : folder.isEmpty()   ? ""
                                              : w.dir.filePath(folder),
                         ""};
    w.Restart(scene);
    Session& session = w.window->session();

    const QString first = w.dialogs.messages.value(0);
    QVERIFY(first.startsWith("次の画像を使えません：\n"));
    for (const char* name : {"遠景オブジェクト 1：mountains.bmp（見つかりません）",
                             "中景オブジェクト 1：trees.bmp（見つかりません）",
                             "近景オブジェクト 1：rocks.bmp（見つかりません）",
                             "近景オブジェクト 2：lighthouse.bmp（見つかりません）",
                             "地面テクスチャ：water.bmp（見つかりません）"})
      QVERIFY2(first.contains(QString::fromUtf8(name)), name);
    QCOMPARE(w.dialogs.folderAsked.size(), !point ? 0 : folder == "empty" ? 2 : 1);
    const bool found = folder == "examples";
    // Pointed at a folder without them, the question lists them again; the
    // test's second folder dialog is cancelled.
    QCOMPARE(w.dialogs.folderOffers, folder == "empty" ? 2 : 1);
    if (folder == "empty")
      QVERIFY(w.dialogs.messages.value(1).startsWith("次の画像はまだ使えません：\n"));
    QVERIFY(w.dialogs.errors.isEmpty());

    // Whatever the answer, the document is the file's: every entry and name.
    QVERIFY(!Marked(w));
    QCOMPARE(Child<QLineEdit>(*w.window, "GroundTextureName")->text(), "water.bmp");
    QCOMPARE(session.Scene().Near.Size(), 2u);
    RunPendingEvents();
    QVERIFY(WaitForRenders(session));
    QCOMPARE(PreviewPixels(session), CorePreview([&](Session& core) {
               core.Open(scene);
               if (found) core.AddSearchFolder(examples.toStdString());
             }));
    QCOMPARE(session.Prepared()->GroundTexture.Source,
             found ? TextureSource::Picture : TextureSource::MissingTile);
    Child<QAction>(*w.window, "Save1")->trigger();
    QCOMPARE(Bytes(scene), written);
    QVERIFY(!Marked(w));
  }

  // Textures typed into the ground's name, then Ctrl+Z, Ctrl+Y: what the field
  // shows is what the document holds, the title marks it, and the preview is
  // the render of the scene saved.
  void aTextureThatCannotBeHadLeavesTheDocumentAsItWas_data() {
    QTest::addColumn<QStringList>("steps");  // a name typed + Enter, or "undo", "redo"
    QTest::addColumn<QString>("shown");      // the field's text at the end
    QTest::addColumn<int>("messages");       // the missing files told
    QTest::addColumn<int>("errors");         // the files that are no picture told
    QTest::newRow("missing") << QStringList{"gone.bmp"} << "gone.bmp" << 1 << 0;
    QTest::newRow("missing, undo") << QStringList{"gone.bmp", "undo"} << "water.bmp" << 1 << 0;
    QTest::newRow("missing, undo, redo")
        << QStringList{"gone.bmp", "undo", "redo"} << "gone.bmp" << 1 << 0;
    QTest::newRow("text file") << QStringList{"note.bmp"} << "water.bmp" << 0 << 1;
    QTest::newRow("text file, undo") << QStringList{"note.bmp", "undo"} << "water.bmp" << 0 << 1;
    QTest::newRow("missing, undo, text file, undo")
        << QStringList{"gone.bmp", "undo", "note.bmp", "undo"} << "water.bmp" << 1 << 1;
    QTest::newRow("missing, text file, undo")
        << QStringList{"gone.bmp", "note.bmp", "undo"} << "water.bmp" << 1 << 1;
  }
  void aTextureThatCannotBeHadLeavesTheDocumentAsItWas() {
    QFETCH(QStringList, steps);
    QFETCH(QString, shown);
    QFETCH(int, messages);
    QFETCH(int, errors);
    WindowFixture w;
    testing::WriteFile(w.Path("note.bmp"), "a text file, no picture\n");
    const std::string scene = w.Path("coast.hm");
    std::filesystem::copy_file(Example("lighthouse-coast.hm"), scene);
    const std::string examples = Example("");
    w.dialogs.pointAtFolder = true;
    w.dialogs.folders = {QString::fromStdString(examples)};
    w.Restart(scene);
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    Session& session = w.window->session();
    QVERIFY(WaitForRenders(session));
    auto* field = Child<QLineEdit>(*w.window, "GroundTextureName");
    for (const QString& step : steps) {
      if (step == "undo" || step == "redo") {
        field->setFocus();
        QTest::keyClick(field, step == "undo" ? Qt::Key_Z : Qt::Key_Y, Qt::ControlModifier);
      } else {
        Enter(w, "GroundTextureName", step);
      }
      QVERIFY(WaitForRenders(session));
    }
    RunPendingEvents();
    QVERIFY(WaitForRenders(session));

    QCOMPARE(field->text(), shown);
    QCOMPARE(session.Scene().Ground.TextureFilename, shown.toStdString());
    QCOMPARE(Marked(w), shown != "water.bmp");
    QCOMPARE(session.HasUnsavedChanges(), shown != "water.bmp");
    QCOMPARE(w.dialogs.messages.size() - 1, messages);  // after the question on opening
    if (messages) {
      QCOMPARE(w.dialogs.messages.last(),
               "次の画像を使えません：\n地面テクスチャ：gone.bmp（見つかりません）");
      QVERIFY(w.dialogs.details.last().contains("\"gone.bmp\" not found"));
    }
    QCOMPARE(w.dialogs.errors.size(), errors);
    if (errors) QVERIFY(w.dialogs.errorDetails.last().contains("note.bmp"));

    // The screen shows the preview, not a message of a texture being loaded.
    auto* area = Child<PreviewArea>(*w.window, "Preview");
    QVERIFY(!area->Cleared());
    QCOMPARE(area->Message(), "");
    const QImage preview = PreviewPixels(session);
    session.SaveAs(w.Path("saved.hm"));
    QCOMPARE(preview, CorePreview([&](Session& core) {
               core.Open(w.Path("saved.hm"));
               core.AddSearchFolder(examples);
             }));
  }
};

QTEST_MAIN(MissingPicturesTest)
#include "missing_pictures_test.moc"
