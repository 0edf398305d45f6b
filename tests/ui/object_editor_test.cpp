// The object group editor, opened from the window's SetFarObject,
// SetMiddleObject and SetNearObject: it edits the scene's group in place.
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>

#include "codecs/ImageOutput.h"
#include "platform/ApplicationSettings.h"
#include "support/TempDir.h"
#include "ui/ObjForm.h"
#include "ui/PreviewArea.h"
#include "ui/WindowFixture.h"

using namespace horizonmill;
using namespace horizonmill::ui;

namespace {

constexpr const char* kSettingControls[] = {
    "DeleteObject", "ObjPreview", "JimenAtt", "isShading", "ObjModeAdd",
    "ObjModeNorm",  "ObjModeSub", "Opacity",  "numofobj",  "Scale"};

// A 4 x 2 picture: black at (0, 0), magenta at (3, 1), grey elsewhere.
QString WritePicture(WindowFixture& w, const char* name) {
  WorkBitmap picture(4, 2);
  FillWorkBitmap(picture, BgrPixel{90, 90, 90});
  picture.Row(0)[0] = BgrPixel{0, 0, 0};
  picture.Row(1)[3] = BgrPixel{255, 0, 255};
  SaveAsBmp(picture, w.Path(name));
  return QString::fromStdString(w.Path(name));
}

QListWidget* List(QDialog& d) { return Child<QListWidget>(d, "ObjectList"); }
ObjectEntry* Current(QDialog& d) { return static_cast<TObjectForm&>(d).CurrentEntry(); }
void Enter(QDialog& d, const char* input, const QString& text) {
  Child<QLineEdit>(d, input)->setText(text);
  QTest::keyClick(Child<QLineEdit>(d, input), Qt::Key_Return);
}
bool SettingsEnabled(QDialog& d) {
  for (const char* name : kSettingControls)
    if (!Child(d, name)->isEnabled()) return false;
  return true;
}
bool SettingsDisabled(QDialog& d) {
  for (const char* name : kSettingControls)
    if (Child(d, name)->isEnabled()) return false;
  return true;
}

}  // namespace

class ObjectEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void anEmptyGroupLeavesOnlyAddAndClose() {
    WindowFixture w;
    const std::pair<const char*, const char*> buttons[] = {
        {"SetFarObject", "遠景オブジェクトの設定"},
        {"SetMiddleObject", "中景オブジェクトの設定"},
        {"SetNearObject", "近景オブジェクトの設定"}};
    for (auto [button, caption] : buttons) {
      w.Open(button, [&, caption = caption](QDialog& d) {
        QCOMPARE(d.windowTitle(), caption);
        QCOMPARE(List(d)->count(), 0);
        QVERIFY(SettingsDisabled(d));
        QVERIFY(!Child(d, "ismanual")->isEnabled());
        QVERIFY(Child(d, "AddObject")->isEnabled() && Child(d, "Close")->isEnabled());
        QVERIFY(Child<PreviewArea>(d, "ObjPreview")->Cleared());
      });
    }
  }

  void addingTakesTheSelectedEntrysSettingsAndRemembersTheFolder() {
    WindowFixture w;
    const QString first = WritePicture(w, "first.bmp"), second = WritePicture(w, "second.bmp");
    w.dialogs.answers = {first, second};
    w.Open("SetNearObject", [&](QDialog& d) {
      Press(d, "AddObject");
      QCOMPARE(List(d)->currentRow(), 0);
      QVERIFY(SettingsEnabled(d));
      QCOMPARE(Child<QLineEdit>(d, "Scale")->text(), "1");  // 1.0 written as %g
      // Every editor writes into the entry at once.
      Child<QSlider>(d, "Opacity")->setValue(37);
      QCOMPARE(Current(d)->Transparency, 0.37L);
      Enter(d, "numofobj", "abc");  // a count takes no letters
      QCOMPARE(Current(d)->NumberOfObjects, 1);
      Enter(d, "numofobj", "0");
      QCOMPARE(Current(d)->NumberOfObjects, 0);
      QVERIFY(d.isVisible());  // Enter stores the value and closes nothing
      Enter(d, "Scale", "2.5");
      Press(d, "JimenAtt");
      Press(d, "isShading");
      Press(d, "ObjModeSub");
      // Column Round(180 * 4 / 213) = 3, row Round(150 * 2 / 209) = 1; at the
      // right edge a picture this small has nothing: that reads 0.
      QTest::mouseClick(Child(d, "ObjPreview"), Qt::LeftButton, {}, QPoint(212, 150));
      QCOMPARE(Current(d)->OpaqueColor, 0u);
      QTest::mouseClick(Child(d, "ObjPreview"), Qt::LeftButton, {}, QPoint(180, 150));
      QCOMPARE(Current(d)->OpaqueColor, MakePacked(255, 0, 255, 255));

      Press(d, "AddObject");
      QCOMPARE(List(d)->count(), 2);
      QCOMPARE(List(d)->item(1)->text(), "second.bmp");
      QCOMPARE(List(d)->currentRow(), 1);
      const ObjectEntry& e = *Current(d);
      QCOMPARE(e.Filename, second.toStdString());
      QCOMPARE(e.Transparency, 0.37L);
      QCOMPARE(e.NumberOfObjects, 0);
      QCOMPARE(e.Scale, 2.5L);
      QVERIFY(e.PositionMode == PositionMode::Sky && !e.Shadeing);
      QCOMPARE(e.MixtureMode, MixtureMode::Sub);
      QCOMPARE(e.OpaqueColor, MakePacked(255, 0, 255, 255));
      const SharedPicture picture = w.window->session().ObjectPicture(e);
      QVERIFY(picture && picture->width == 4);
      QCOMPARE(Child<QSlider>(d, "Opacity")->value(), 37);
      QVERIFY(Child<QRadioButton>(d, "ObjModeSub")->isChecked());
    });
    QCOMPARE(w.Scene().Near.Size(), 2u);
    QCOMPARE(w.Scene().Near.First()->Filename, first.toStdString());
    QCOMPARE(ReadApplicationSettings(w.Ini()).ObjectDir, w.dir.path().toStdString() + "/");
    QCOMPARE(w.dialogs.asked.at(0).name, "ObjectOpenDialog");
    QCOMPARE(
        w.dialogs.asked.at(0).filters,
        (QStringList{"画像 (*.bmp *.png *.jpg *.jpeg *.BMP *.PNG *.JPG *.JPEG)", "ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp)",
                     "PNG (*.png *.PNG)", "JPEGイメージ (*.jpg *.jpeg *.JPG *.JPEG)"}));

    // The next showing starts in the remembered folder, with none selected.
    w.dialogs.answers = {QString()};
    w.Open("SetNearObject", [&](QDialog& d) {
      QCOMPARE(List(d)->currentRow(), -1);
      Press(d, "AddObject");
      QCOMPARE(List(d)->count(), 2);
    });
    QCOMPARE(w.dialogs.asked.back().directory, w.dir.path() + "/");
  }

  void deletingMovesTheSelectionAsTheListShrinks() {
    WindowFixture w;
    const QString picture = WritePicture(w, "p.bmp");
    w.dialogs.answers = {picture, picture, picture};
    w.Open("SetFarObject", [&](QDialog& d) {
      for (int i = 0; i < 3; ++i) Press(d, "AddObject");
      List(d)->setCurrentRow(0);
      Enter(d, "numofobj", "5");
      List(d)->setCurrentRow(2);
      Press(d, "DeleteObject");  // the last of three: the new last line
      QCOMPARE(List(d)->count(), 2);
      QCOMPARE(List(d)->currentRow(), 1);
      List(d)->setCurrentRow(1);
      Press(d, "DeleteObject");
      QCOMPARE(List(d)->currentRow(), 0);
      QCOMPARE(Current(d)->NumberOfObjects, 5);
      Press(d, "DeleteObject");  // the only one: nothing selected, the preview black
      QCOMPARE(List(d)->count(), 0);
      QVERIFY(!Current(d) && SettingsDisabled(d));
      QVERIFY(Child<PreviewArea>(d, "ObjPreview")->Cleared());
    });
    QVERIFY(w.Scene().Far.Empty());
  }

  void showingAnEntryNeverChangesIt() {
    WindowFixture w;
    w.dialogs.answers = {WritePicture(w, "p.bmp")};
    w.Open("SetMiddleObject", [&](QDialog& d) { Press(d, "AddObject"); });
    ObjectEntry& e = *w.Scene().Mid.First();
    e.Transparency = 0.375L;
    e.Scale = 0.1L;
    w.Open("SetMiddleObject", [&](QDialog& d) {
      List(d)->setCurrentRow(0);
      QCOMPARE(Child<QSlider>(d, "Opacity")->value(), 38);  // Round(37.5)
      QCOMPARE(Child<QLineEdit>(d, "Scale")->text(), "0.1");
    });
    QCOMPARE(e.Transparency, 0.375L);
    QCOMPARE(e.Scale, 0.1L);
  }

  void previewClicksPickTheKeyColourWhichBlinks() {
    WindowFixture w;
    w.dialogs.answers = {WritePicture(w, "p.bmp")};
    w.Open("SetNearObject", [&](QDialog& d) {
      Press(d, "AddObject");
      auto* preview = Child<PreviewArea>(d, "ObjPreview");
      // A picture with black but without (1, 0, 0): a right click chooses that.
      QTest::mouseClick(preview, Qt::RightButton, {}, QPoint(5, 5));
      QCOMPARE(Current(d)->OpaqueColor, MakePacked(1, 0, 0, 255));
      QTest::mouseClick(preview, Qt::LeftButton, {}, QPoint(5, 5));  // column 0, row 0
      QCOMPARE(Current(d)->OpaqueColor, MakePacked(0, 0, 0, 255));
      // Four times a second the black pixels turn red and back.
      const auto& form = static_cast<TObjectForm&>(d);
      const bool was = form.Blinking();
      QTRY_VERIFY_WITH_TIMEOUT(form.Blinking() != was, 1000);
      QTRY_COMPARE_WITH_TIMEOUT(preview->grab().toImage().pixelColor(5, 5), QColor(255, 0, 0),
                                1000);
      QCOMPARE(preview->grab().toImage().pixelColor(100, 50), QColor(90, 90, 90));
    });
  }

  void aCutOutPngGetsAKeyColourOfItsOwnAndItsHolesActAsThatColour() {
    WindowFixture w;
    // A 4 x 2 PNG: black at (0, 0), transparent (black beneath) at (3, 1), grey elsewhere.
    QImage cut(4, 2, QImage::Format_ARGB32);
    cut.fill(QColor(90, 90, 90));
    cut.setPixelColor(0, 0, QColor(0, 0, 0));
    cut.setPixelColor(3, 1, QColor(0, 0, 0, 0));
    const QString path = QString::fromStdString(w.Path("cut.png"));
    QVERIFY(cut.save(path, "PNG"));
    w.dialogs.answers = {path};
    w.Open("SetNearObject", [&](QDialog& d) {
      Press(d, "AddObject");
      QCOMPARE(List(d)->item(0)->text(), "cut.png");
      const SharedPicture picture = w.window->session().ObjectPicture(*Current(d));
      QVERIFY(picture && picture->IsHole(3, 1));
      // Black is an opaque pixel's colour; the hole's own counts for nothing.
      QCOMPARE(Current(d)->OpaqueColor, MakePacked(1, 0, 0, 255));
      auto* preview = Child<PreviewArea>(d, "ObjPreview");
      // Column Round(180 * 4 / 213) = 3, row Round(150 * 2 / 209) = 1: the hole
      // keeps the key colour, and blinks red with it.
      QTest::mouseClick(preview, Qt::LeftButton, {}, QPoint(180, 150));
      QCOMPARE(Current(d)->OpaqueColor, MakePacked(1, 0, 0, 255));
      QTRY_COMPARE_WITH_TIMEOUT(preview->grab().toImage().pixelColor(180, 150), QColor(255, 0, 0),
                                1000);
      QTRY_COMPARE_WITH_TIMEOUT(preview->grab().toImage().pixelColor(180, 150), QColor(1, 0, 0),
                                1000);
      QCOMPARE(preview->grab().toImage().pixelColor(5, 5), QColor(0, 0, 0));
    });
  }

  void aFileThatIsNoPictureIsReportedAndNothingAdded() {
    WindowFixture w;
    horizonmill::testing::WriteFile(w.Path("junk.bmp"), "junk");
    w.dialogs.answers = {QString::fromStdString(w.Path("junk.bmp"))};
    w.Open("SetNearObject", [&](QDialog& d) {
      Press(d, "AddObject");
      QCOMPARE(List(d)->count(), 0);
    });
    QCOMPARE(w.dialogs.errors.size(), 1);
    QVERIFY(w.Scene().Near.Empty());
  }
};

QTEST_MAIN(ObjectEditorTest)
#include "object_editor_test.moc"
