// The ceiling transparent-colour picker, opened from the window's ChTenjoTra.
#include <QCheckBox>
#include <QLineEdit>
#include <QtTest>

#include "codecs/ImageOutput.h"
#include "ui/PreviewArea.h"
#include "ui/TenjoTraForm.h"
#include "ui/WindowFixture.h"

using namespace horizonmill;
using namespace horizonmill::ui;

namespace {

// Loads a 256 x 4 ceiling texture whose column x is (x, 1, 2); column 7 of
// row 3 is black when `withBlack`.
void LoadTexture(WindowFixture& w, bool withBlack) {
  WorkBitmap picture(256, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 256; ++x) picture.Row(y)[x] = BgrPixel{2, 1, static_cast<std::uint8_t>(x)};
  if (withBlack) picture.Row(3)[7] = BgrPixel{0, 0, 0};
  SaveAsBmp(picture, w.Path("ceiling.bmp"));
  Child<QCheckBox>(*w.window, "TenjoNeeded")->setChecked(true);
  auto* name = Child<QLineEdit>(*w.window, "TenjoTextureName");
  name->setText(QString::fromStdString(w.Path("ceiling.bmp")));
  QTest::keyClick(name, Qt::Key_Return);
  QVERIFY(w.window->session().CeilingPicture());
}

PackedColour Candidate(QDialog& d) { return static_cast<TTenjoTraForm&>(d).Candidate(); }
PreviewArea* Sample(QDialog& d) { return Child<PreviewArea>(d, "TenjoSample"); }

}  // namespace

class TransparentColourTest : public QObject {
  Q_OBJECT

 private slots:
  void aLeftClickPicksTheTexelUnderItAndOnlyOkKeepsIt() {
    WindowFixture w;
    LoadTexture(w, true);
    const PackedColour loaded = w.Scene().Ceiling.OpaqueColor;  // unused by the texture
    QCOMPARE(loaded, MakePacked(1, 0, 0, 255));
    w.Open("ChTenjoTra", [&](QDialog& d) {
      QCOMPARE(d.windowTitle(), "天井の透過色設定");
      QCOMPARE(Candidate(d), loaded);
      // Round(256 / 213 * 212) = 255: the right edge reads the last texel.
      QTest::mouseClick(Sample(d), Qt::LeftButton, {}, QPoint(212, 0));
      QCOMPARE(Candidate(d), MakePacked(255, 1, 2, 255));
      Press(d, "BitBtn1");
    });
    QCOMPARE(w.Scene().Ceiling.OpaqueColor, loaded);

    w.Open("ChTenjoTra", [&](QDialog& d) {
      QTest::mouseClick(Sample(d), Qt::LeftButton, {}, QPoint(100, 10));
      // Every sample pixel of the picked colour blinks red.
      const auto& picker = static_cast<TTenjoTraForm&>(d);
      QTRY_VERIFY_WITH_TIMEOUT(picker.Blinking(), 1000);
      QCOMPARE(Sample(d)->grab().toImage().pixelColor(100, 150), QColor(255, 0, 0));
      QCOMPARE(Sample(d)->grab().toImage().pixelColor(101, 150), QColor(121, 1, 2));
      Press(d, "Okey");
    });
    QCOMPARE(w.Scene().Ceiling.OpaqueColor, MakePacked(120, 1, 2, 255));
  }

  void aRightClickChoosesAColourTheTextureDoesNotUse() {
    WindowFixture w;
    LoadTexture(w, false);
    w.Scene().Ceiling.OpaqueColor = MakePacked(9, 1, 2, 255);
    w.Open("ChTenjoTra", [&](QDialog& d) {
      QTest::mouseClick(Sample(d), Qt::RightButton, {}, QPoint(50, 50));
      QCOMPARE(Candidate(d), MakePacked(0, 0, 0, 255));  // no black in it
      const auto& picker = static_cast<TTenjoTraForm&>(d);
      QTRY_VERIFY_WITH_TIMEOUT(picker.Blinking(), 1000);
      const QImage shown = Sample(d)->grab().toImage();
      for (int x = 0; x < shown.width(); ++x)
        QVERIFY(shown.pixelColor(x, 100) != QColor(255, 0, 0));  // nothing blinks
      Press(d, "Okey");
    });
    QCOMPARE(w.Scene().Ceiling.OpaqueColor, MakePacked(0, 0, 0, 255));
  }
};

QTEST_MAIN(TransparentColourTest)
#include "transparent_colour_test.moc"
