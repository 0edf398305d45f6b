// The sun editor, opened from the window's SetGrad2.
#include <QCheckBox>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>

#include "ui/ColorGrid.h"
#include "ui/ColorPanel.h"
#include "ui/Grad2Form.h"
#include "ui/PreviewArea.h"
#include "ui/WindowFixture.h"

using namespace horizonmill;
using namespace horizonmill::ui;

namespace {

const SunSettings& Sun(QDialog& d) { return static_cast<TGrad2Form&>(d).Sun(); }
PreviewArea* Preview(QDialog& d) { return Child<PreviewArea>(d, "Gra2Preview"); }
QColor Shown(QDialog& d, int x, int y) { return Preview(d)->grab().toImage().pixelColor(x, y); }

}  // namespace

class SunEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void aClickSetsTheCentreAndOnlyOkTakesIt() {
    WindowFixture w;
    w.Open("SetGrad2", [&](QDialog& d) {
      QCOMPARE(d.windowTitle(), "太陽の設定");
      QTest::mouseClick(Preview(d), Qt::RightButton, {}, QPoint(106, 104));  // any button
      QCOMPARE(Sun(d).Position.X, 106.0L / 213);
      QCOMPARE(Sun(d).Position.Y, 104.0L / 209);
      Press(d, "Cancel");
    });
    QCOMPARE(w.Scene().Sun.Position.X, 0.5L);
    w.Open("SetGrad2", [&](QDialog& d) {
      QTest::mouseClick(Preview(d), Qt::LeftButton, {}, QPoint(20, 30));
      Press(d, "Okey");
    });
    QCOMPARE(w.Scene().Sun.Position.X, 20.0L / 213);
    QCOMPARE(w.Scene().Sun.Position.Y, 30.0L / 209);
  }

  void theBackgroundIsTheScenesSkyOrWhiteForSub() {
    WindowFixture w;
    w.Scene().Sky.Colors[0] = FloatColour{200, 10, 20, 255};  // the zenith
    w.Open("SetGrad2", [&](QDialog& d) {
      QCOMPARE(Shown(d, 3, 0), QColor(200, 10, 20));
      QCOMPARE(Shown(d, 0, 104), QColor(0, 0, 0));  // the horizon marker
      QCOMPARE(Shown(d, 1, 104), QColor(255, 255, 255));
      Press(d, "DisplayGradation1");
      QCOMPARE(Shown(d, 3, 0), QColor(0, 0, 0));
      Press(d, "Gra2ModeSub");
      QCOMPARE(Sun(d).MixtureMode, MixtureMode::Sub);
      QCOMPARE(Shown(d, 3, 0), QColor(255, 255, 255));
      Press(d, "Gra2ModeNorm");
      QCOMPARE(Shown(d, 3, 0), QColor(0, 0, 0));
    });
  }

  void slopeBarsMapBothWaysAndRedrawOnKeyRelease() {
    WindowFixture w;
    w.Scene().Sun.Slopes = {0.25L, -0.75L, 25, 0.37L};
    w.Scene().Sun.CenterColor = FloatColour{255, 255, 255, 255};
    w.Open("SetGrad2", [&](QDialog& d) {
      const char* bars[] = {"Grad2RedTl", "Grad2GreenTL", "Grad2BlueTl", "Grad2AlphaTl"};
      const int shown[] = {-2, 8, -100, -4};  // -Round(2.5) = -2, -Round(-7.5) = 8
      for (int i = 0; i < 4; ++i) QCOMPARE(Child<QSlider>(d, bars[i])->value(), shown[i]);
      QCOMPARE(Sun(d).Slopes[0], 0.25L);  // showing a slope does not round it

      auto* alpha = Child<QSlider>(d, "Grad2AlphaTl");
      const QImage before = Preview(d)->grab().toImage();
      alpha->setValue(100);  // as a drag does it
      QCOMPARE(Sun(d).Slopes[3], -10.0L);
      QCOMPARE(Preview(d)->Message(), "再描画が必要です");
      QTest::keyClick(alpha, Qt::Key_Left);  // 99; the release redraws
      QCOMPARE(Sun(d).Slopes[3], -9.9L);
      QVERIFY(Preview(d)->Message().isEmpty());
      QVERIFY(Preview(d)->grab().toImage() != before);

      alpha->setValue(37);
      Press(d, "Redraw");
      QVERIFY(Preview(d)->Message().isEmpty());
      Press(d, "Okey");
    });
    QCOMPARE(w.Scene().Sun.Slopes[3], -3.7L);
    QCOMPARE(w.Scene().Sun.Slopes[2], 25.0L);
  }

  void coloursShowClampedAndReachTheSceneOpaque() {
    WindowFixture w;
    w.Scene().Sun.CenterColor = FloatColour{300, -5, 127.5f, 0};
    w.Scene().Sun.MixtureMode = MixtureMode::Norm;
    w.dialogs.colour = QColor(1, 2, 3);
    w.Open("SetGrad2", [&](QDialog& d) {
      QCOMPARE(Child<ColorPanel>(d, "CenterPenColor")->Colour(), QColor(255, 0, 128));
      QVERIFY(Child<QRadioButton>(d, "Gra2ModeNorm")->isChecked());
      auto* grid = Child<ColorGrid>(d, "Gra2CenterColorGrid");
      QTest::mouseClick(grid, Qt::LeftButton, {}, grid->CellRect(11).center());  // yellow
      QCOMPARE(Sun(d).CenterColor, (FloatColour{255, 255, 0, 255}));
      QCOMPARE(Child<ColorPanel>(d, "CenterPenColor")->Colour(), QColor(255, 255, 0));
      Press(d, "ChangeOuterColor");
      QCOMPARE(Sun(d).OuterColor, (FloatColour{1, 2, 3, 255}));
      Press(d, "InitGrad1");
      QCOMPARE(Sun(d).CenterColor, (FloatColour{0, 0, 0, 255}));
      QVERIFY(Child<QRadioButton>(d, "Gra2ModeAdd")->isChecked());
      QCOMPARE(Child<ColorPanel>(d, "OuterPenColor")->Colour(), QColor(0, 0, 0));
      QVERIFY(!grid->ForegroundColor());
      Press(d, "Okey");
    });
    QCOMPARE(w.Scene().Sun.OuterColor, (FloatColour{0, 0, 0, 255}));
  }
};

QTEST_MAIN(SunEditorTest)
#include "sun_editor_test.moc"
