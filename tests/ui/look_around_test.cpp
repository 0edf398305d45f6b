// The look-around window and the cube-map export, from the window's menus.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QWheelEvent>
#include <QtTest>
#include <algorithm>

#include "codecs/CubeMapExport.h"
#include "image/BmpReader.h"
#include "render/CubeMap.h"
#include "support/BitmapTesting.h"
#include "support/PngReading.h"
#include "support/TempDir.h"
#include "ui/LookAroundView.h"
#include "ui/PreviewArea.h"
#include "ui/PreviewTesting.h"
#include "ui/WindowFixture.h"

using namespace horizonmill;
using namespace horizonmill::ui;
using horizonmill::testing::SamePixels;

namespace {

// Triggers an action, and waits for the render it starts.
void Trigger(WindowFixture& w, const char* action) {
  Child<QAction>(*w.window, action)->trigger();
  QVERIFY(WaitForRenders(w.window->session()));
}

void ClickPreview(WindowFixture& w) {
  QTRY_VERIFY(w.window->session().PreviewAcceptsClick());
  QTest::mouseClick(Child<PreviewArea>(*w.window, "Preview"), Qt::LeftButton);
  QVERIFY(WaitForRenders(w.window->session()));
}

LookAroundView* OpenView(WindowFixture& w) {
  Trigger(w, "LookAround1");
  auto* view = Child<LookAroundView>(*w.window, "LookAroundView");
  view->resize(200, 150);
  view->repaint();
  return view;
}

// A small full image, so that the full renders of the tests are quick.
void SmallOutput(WindowFixture& w) {
  Child<QLineEdit>(*w.window, "ResX")->setText("64");
  Child<QLineEdit>(*w.window, "ResY")->setText("32");
}

}  // namespace

class LookAroundTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheLastRender() {
    WindowFixture w;
    LookAroundView* view = OpenView(w);
    QVERIFY(view->isVisible());
    QCOMPARE(view->Panorama(), nullptr);  // nothing rendered yet: a hint
    ClickPreview(w);
    const WorkBitmap& preview = w.window->session().PreviewBitmap();
    QCOMPARE(view->Panorama(), &preview);
    view->repaint();
    WorkBitmap expected(200, 150);
    RenderLookAround(preview, view->Angles(), expected);
    QVERIFY(SamePixels(view->Frame(), expected));

    // A texture shown in the preview is no panorama: without a full render
    // there is nothing to look at.
    Child<QCheckBox>(*w.window, "ZimenNeeded")->click();
    Child<QLineEdit>(*w.window, "GroundTextureName")
        ->setText(QString::fromStdString(Example("water.bmp")));
    QTest::keyClick(Child<QLineEdit>(*w.window, "GroundTextureName"), Qt::Key_Return);
    QCOMPARE(view->Panorama(), nullptr);

    // A full render: the view shows it, and keeps it past a texture.
    SmallOutput(w);
    Child<QLineEdit>(*w.window, "OutPutFilen")->setText(w.dir.filePath("out.bmp"));
    QTest::keyClick(Child<QLineEdit>(*w.window, "OutPutFilen"), Qt::Key_Return);
    QTest::mouseClick(Child<QPushButton>(*w.window, "Go"), Qt::LeftButton);
    QVERIFY(WaitForRenders(w.window->session()));
    QCOMPARE(view->Panorama(), &w.window->session().OutputBitmap());
    QTest::keyClick(Child<QLineEdit>(*w.window, "GroundTextureName"), Qt::Key_Return);
    QCOMPARE(view->Panorama(), &w.window->session().OutputBitmap());
  }

  void duringARenderThePanoramaIsReadOnlyBetweenStages() {
    bool rendering = false;
    LookAroundView view([&] { return rendering; });
    view.resize(200, 150);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    WorkBitmap panorama(64, 32);
    view.SetPanorama(&panorama, "完成画像");
    view.repaint();
    WorkBitmap black(200, 150);
    RenderLookAround(panorama, view.Angles(), black);
    QVERIFY(SamePixels(view.Frame(), black));

    // A stage writes the panorama: turning or painting the view reads nothing.
    rendering = true;
    for (int y = 0; y < 32; ++y) std::fill_n(panorama.Row(y), 64, BgrPixel{0, 0, 255});
    view.SetAngles({90, 10, 60});
    view.repaint();
    QVERIFY(SamePixels(view.Frame(), black));
    // The stage is done: the frame shows it at once, at the angles as they are.
    view.PanoramaChanged();
    WorkBitmap expected(200, 150);
    RenderLookAround(panorama, view.Angles(), expected);
    QVERIFY(!SamePixels(expected, black));
    QVERIFY(SamePixels(view.Frame(), expected));
    // After the render the view draws as it is painted again.
    rendering = false;
    view.SetAngles({0, -10, 60});
    view.repaint();
    RenderLookAround(panorama, view.Angles(), expected);
    QVERIFY(SamePixels(view.Frame(), expected));
  }

  void dragWheelAndKeysTurnAndZoom() {
    WindowFixture w;
    LookAroundView* view = OpenView(w);
    const LookAroundAngles start = view->Angles();
    QCOMPARE(start.Heading, 180.0);  // the middle of the panorama
    const double step = DegreesPerPixel(start, view->height());
    // The picture follows the mouse: dragging left turns right, down looks up.
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(150, 50));
    QTest::mouseMove(view, QPoint(110, 60));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(110, 60));
    QCOMPARE(view->Angles().Heading, 180 + 40 * step);
    QCOMPARE(view->Angles().Elevation, 10 * step);
    // Moving without the button pressed turns nothing.
    QTest::mouseMove(view, QPoint(10, 10));
    QCOMPARE(view->Angles().Heading, 180 + 40 * step);

    QWheelEvent wheel(QPointF(100, 75), view->mapToGlobal(QPointF(100, 75)), {}, QPoint(0, 240),
                      Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
    QCOMPARE(view->Angles().FieldOfView, start.FieldOfView * 0.9 * 0.9);

    QTest::keyClick(view, Qt::Key_Home);
    QCOMPARE(view->Angles().Heading, 180.0);
    QCOMPARE(view->Angles().Elevation, 0.0);
    QTest::keyClick(view, Qt::Key_Left);
    QCOMPARE(view->Angles().Heading, 175.0);
    for (int i = 0; i < 30; ++i) QTest::keyClick(view, Qt::Key_Up);
    QCOMPARE(view->Angles().Elevation, 90.0);  // no further than straight up
    for (int i = 0; i < 30; ++i) QTest::keyClick(view, Qt::Key_Minus);
    QCOMPARE(view->Angles().FieldOfView, kMaxFieldOfView);
  }

  void cubeMapExportRendersAndWritesTheSixFaces() {
    WindowFixture w;
    SmallOutput(w);
    // The options cancelled, or the folder: nothing is rendered.
    Trigger(w, "CubeMap1");
    QCOMPARE(w.dialogs.folderAsked.size(), 0);
    w.AcceptCubeMapOptions();
    Trigger(w, "CubeMap1");
    QCOMPARE(w.dialogs.folderAsked.size(), 1);
    QVERIFY(w.window->session().OutputBitmap().Empty());

    const QString folder = w.dir.filePath("faces");
    QVERIFY(QDir().mkpath(folder));
    w.dialogs.folders = {folder};
    Trigger(w, "CubeMap1");
    QVERIFY(w.dialogs.errors.isEmpty());
    QCOMPARE(w.window->session().OutputBitmap().Width(), 64);
    for (CubeFace face : kCubeFaces) {
      const std::string path = CubeFacePath(folder.toStdString(), face, CubeFaceFormat::Png);
      QCOMPARE(testing::DecodePng(testing::ReadFile(path)).Width(), 16);
    }
    // Faces already there are replaced only after a Yes; the dialog opens
    // where the last export went.
    w.dialogs.folders = {folder};
    Trigger(w, "CubeMap1");
    QCOMPARE(w.dialogs.questions.size(), 1);
    QVERIFY(w.dialogs.questions[0].contains("px.png, nx.png, py.png, ny.png, pz.png, nz.png"));
    QVERIFY(w.dialogs.folderAsked.last().endsWith("|" + folder));
  }

  // One picture in a layout, in three.js's convention and another format,
  // with the ambient light's coefficients beside it.
  void cubeMapOptionsChooseTheLayoutConventionFormatAndSize() {
    WindowFixture w;
    SmallOutput(w);
    const QString folder = w.dir.filePath("laid");
    w.dialogs.onModal = [](QDialog& d) {
      QCOMPARE(Child<QSpinBox>(d, "FaceSize")->value(), 16);  // a quarter of 64
      auto choose = [&](const char* box, const char* text) {
        auto* combo = Child<QComboBox>(d, box);
        combo->setCurrentIndex(combo->findText(text, Qt::MatchStartsWith));
        QVERIFY(combo->currentIndex() >= 0);
      };
      choose("CubeLayout", "3 × 2");
      choose("CubeConvention", "three.js");
      choose("CubeFormat", "BMP");
      Child<QSpinBox>(d, "FaceSize")->setValue(10);
      Child<QCheckBox>(d, "CubeShJson")->setChecked(true);
      Press(d, "CubeMapOk");
    };
    w.dialogs.folders = {folder};
    Trigger(w, "CubeMap1");
    QVERIFY2(w.dialogs.errors.isEmpty(),
             qPrintable(w.dialogs.errors.join("|") + w.dialogs.errorDetails.join("|")));
    QFile sh(folder + "/sh.json");
    QVERIFY(sh.open(QIODevice::ReadOnly));
    QVERIFY(sh.readAll().contains("\"convention\": \"irradiance, pre-scaled base\""));
    const WorkBitmap laid = ReadBmpFile((folder + "/cubemap.bmp").toStdString());
    QCOMPARE(laid.Width(), 30);
    QCOMPARE(laid.Height(), 20);
    QVERIFY(!QFile::exists(folder + "/px.bmp"));
    // The size chosen stays for the run; the replace question names the picture.
    w.dialogs.onModal = [](QDialog& d) {
      QCOMPARE(Child<QSpinBox>(d, "FaceSize")->value(), 10);
      Press(d, "CubeMapOk");
    };
    w.dialogs.folders = {folder};
    Trigger(w, "CubeMap1");
    QCOMPARE(
        w.dialogs.questions,
        QStringList{"このフォルダーのキューブマップ（cubemap.bmp, sh.json）を置き換えますか？"});
  }

  void anExportThatCannotGoThereIsSaidBeforeTheRender() {
    WindowFixture w;
    QFile file(w.dir.filePath("plain"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    w.AcceptCubeMapOptions();
    w.dialogs.folders = {w.dir.filePath("plain/faces")};
    Trigger(w, "CubeMap1");
    QCOMPARE(w.dialogs.errors, QStringList{"キューブマップを出力できません。"});
    QVERIFY(w.dialogs.errorDetails[0].contains("is not a folder"));
    QVERIFY(w.window->session().OutputBitmap().Empty());
  }
};

QTEST_MAIN(LookAroundTest)
#include "look_around_test.moc"
