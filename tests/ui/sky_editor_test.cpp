// The sky gradation editor, opened from the window's SetGrad1 and driven by
// clicks on its preview, its colour grid and its buttons.
#include <QtTest>

#include "ui/ColorGrid.h"
#include "ui/ColorPanel.h"
#include "ui/Grad1Form.h"
#include "ui/PreviewArea.h"
#include "ui/WindowFixture.h"

using namespace horizonmill;
using namespace horizonmill::ui;

namespace {

std::vector<long double> Positions(const SkyGradation& sky) {
  return {sky.Positions.begin(), sky.Positions.begin() + sky.Count};
}

void ClickPreview(QDialog& d, Qt::MouseButton button, int row) {
  QTest::mouseClick(Child(d, "Gra1Preview"), button, {}, QPoint(100, row));
}

void PickFromGrid(QDialog& d, int index) {
  auto* grid = Child<ColorGrid>(d, "Gra1ColorGrid");
  QTest::mouseClick(grid, Qt::LeftButton, {}, grid->CellRect(index).center());
}

}  // namespace

class SkyEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void clicksPlaceRecolourAndDeleteStopsAndOkTakesThem() {
    WindowFixture w;
    w.Open("SetGrad1", [&](QDialog& d) {
      QCOMPARE(d.windowTitle(), "空のグラデーションの設定");
      auto& editor = static_cast<TGrad1Form&>(d);
      PickFromGrid(d, 9);  // red
      QCOMPARE(Child<ColorPanel>(d, "PenColor")->Colour(), QColor(255, 0, 0));

      // Default stops: row 52 inserts at 52 / 209, and a right click removes it.
      ClickPreview(d, Qt::LeftButton, 52);
      QCOMPARE(Positions(editor.Gradation()), (std::vector<long double>{0, 52.0L / 209, 0.5L, 1}));
      QCOMPARE(editor.Gradation().Colors[1], (FloatColour{255, 0, 0, 255}));
      // The marker is on the screen: dashed black and white across row 52.
      const QImage shown = Child(d, "Gra1Preview")->grab().toImage();
      QCOMPARE(shown.pixelColor(10, 52), QColor(0, 0, 0));
      QCOMPARE(shown.pixelColor(11, 52), QColor(255, 255, 255));
      ClickPreview(d, Qt::RightButton, 55);
      QCOMPARE(Positions(editor.Gradation()), (std::vector<long double>{0, 0.5L, 1}));

      // The marker of 0.5 is on row 104: four rows off recolours, five inserts.
      PickFromGrid(d, 10);  // lime
      ClickPreview(d, Qt::LeftButton, 108);
      QCOMPARE(editor.Gradation().Count, 3);
      QCOMPARE(editor.Gradation().Colors[1], (FloatColour{0, 255, 0, 255}));
      ClickPreview(d, Qt::LeftButton, 109);
      QCOMPARE(Positions(editor.Gradation()), (std::vector<long double>{0, 0.5L, 109.0L / 209, 1}));
      QCOMPARE(w.dialogs.beeps, 0);
      Press(d, "Okey");
    });
    QCOMPARE(Positions(w.Scene().Sky), (std::vector<long double>{0, 0.5L, 109.0L / 209, 1}));
    QCOMPARE(w.Scene().Sky.Colors[2], (FloatColour{0, 255, 0, 255}));
  }

  void refusedEditsBeepAndChangeNothing() {
    WindowFixture w;
    w.Open("SetGrad1", [&](QDialog& d) {
      auto& editor = static_cast<TGrad1Form&>(d);
      for (int row : {2, 206, 150}) ClickPreview(d, Qt::RightButton, row);  // first, last, none
      QCOMPARE(w.dialogs.beeps, 3);
      QCOMPARE(editor.Gradation().Count, 3);
      for (int row = 10; editor.Gradation().Count < 16; row += 10)
        ClickPreview(d, Qt::LeftButton, row);
      QCOMPARE(w.dialogs.beeps, 3);
      const std::vector<long double> full = Positions(editor.Gradation());
      ClickPreview(d, Qt::LeftButton, 195);  // the seventeenth
      QCOMPARE(w.dialogs.beeps, 4);
      QCOMPARE(Positions(editor.Gradation()), full);
      ClickPreview(d, Qt::MiddleButton, 195);
      QCOMPARE(w.dialogs.beeps, 4);
    });
  }

  void cancelLeavesTheSceneAndInitGrad1Resets() {
    WindowFixture w;
    w.Open("SetGrad1", [&](QDialog& d) {
      ClickPreview(d, Qt::LeftButton, 30);
      Press(d, "Cancel");
    });
    QCOMPARE(w.Scene().Sky.Count, 3);

    w.Scene().Sky.Count = 2;
    w.Scene().Sky.Positions[1] = 1;
    w.Open("SetGrad1", [&](QDialog& d) {
      QCOMPARE(static_cast<TGrad1Form&>(d).Gradation().Count, 2);  // opened on the scene's
      Press(d, "InitGrad1");
      QCOMPARE(Positions(static_cast<TGrad1Form&>(d).Gradation()),
               Positions(SkyGradation::Default()));
      Press(d, "Okey");
    });
    QCOMPARE(w.Scene().Sky.Count, 3);
  }

  void typedColourReachesTheSceneExactlyAndThePenStays() {
    WindowFixture w;
    w.dialogs.colour = QColor(12, 34, 56);
    w.Open("SetGrad1", [&](QDialog& d) {
      PickFromGrid(d, 4);
      Press(d, "ChangeColor");
      QCOMPARE(w.dialogs.colourAskedWith, QColor(0, 0, 128));  // starts at the pen
      QCOMPARE(Child<ColorPanel>(d, "PenColor")->Colour(), QColor(12, 34, 56));
      QVERIFY(!Child<ColorGrid>(d, "Gra1ColorGrid")->ForegroundColor());  // marks cleared
      ClickPreview(d, Qt::LeftButton, 30);
      Press(d, "Okey");
    });
    QCOMPARE(w.Scene().Sky.Colors[1], (FloatColour{12, 34, 56, 255}));

    // A cancelled colour dialog keeps the pen, which survives reopening.
    w.dialogs.colour.reset();
    w.Open("SetGrad1", [&](QDialog& d) {
      Press(d, "ChangeColor");
      QCOMPARE(Child<ColorPanel>(d, "PenColor")->Colour(), QColor(12, 34, 56));
    });
  }

  void anAbortedRenderDoesNotBlankThePreview() {
    WindowFixture w;
    w.window->session().Context().AbortRequested = true;  // as after an aborted render
    w.Open("SetGrad1", [&](QDialog& d) {
      // The default sky's blue top, not the black the bitmap is filled with first.
      const QColor top = Child(d, "Gra1Preview")->grab().toImage().pixelColor(5, 1);
      QVERIFY(top.blue() == 255 && top.red() < 8);
    });
  }
};

QTEST_MAIN(SkyEditorTest)
#include "sky_editor_test.moc"
