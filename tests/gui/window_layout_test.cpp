// The window as it opens: place, size, pages, controls, captions, hints and states.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

#include "app/view/pictures.h"
#include "app/view/radio_group_geometry.h"
#include "app/view/radio_group_view.h"
#include "app/view/spin_button.h"
#include "app/view/window_metrics.h"
#include "tests/gui/window_fixture.h"

using namespace startgarten;
using namespace startgarten::test_support;

class WindowLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void opensOnTheFourthPageWithTheFocusOnTheTabStrip() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    QCOMPARE(fixture.window.windowTitle(), QString("Startgarten"));
    QCOMPARE(fixture.window.pos(), QPoint(200, 105));
    QCOMPARE(fixture.window.centralWidget()->geometry(),
             QRect(0, fixture.window.menuBar()->height(), 300, 241));
    auto* pages = fixture.Find<QTabWidget>("PageControl1");
    QCOMPARE(pages->tabText(pages->currentIndex()), QString("Drive/DoubleSpace"));
    QCOMPARE(QApplication::focusWidget(), pages->tabBar());
    QVERIFY(fixture.Find<QPushButton>("BitBtn1")->isDefault());

    // Maximising enlarges the window; no control moves or grows.
    fixture.window.showMaximized();
    QTRY_VERIFY(fixture.window.width() > 300);
    QCOMPARE(pages->geometry(), QRect(1, 8, 295, 193));
    QCOMPARE(fixture.Find("BitBtn3")->geometry(), QRect(216, 208, 80, 25));
  }

  void controlsStandWhereTheLayoutPutsThem() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    fixture.ShowPage(0);
    auto at = [&fixture](const char* name) {
      QWidget* control = fixture.Find(name);
      return QRect(control->pos(), control->size());
    };
    QCOMPARE(at("BitBtn2"), QRect(106, 208, 100, 25));
    QCOMPARE(at("CheckBox1"), QRect(8, 16, 121, 17));
    QCOMPARE(at("SpinEdit2"), QRect(205, 48, 49, 22));
    QCOMPARE(at("ComboBox1"), QRect(56, 81, 201, 21));
    QCOMPARE(at("Label6"), QRect(35, 120, 238, 13));
    QCOMPARE(at("Image2"), QRect(168, 56, 113, 105));
    const QWidget* page = fixture.Find<QTabWidget>("PageControl1")->currentWidget();
    QVERIFY(page->width() >= 283 && page->height() >= 161);

    // The spin buttons, 15 pixels wide, lie inside the field's right end, where no text runs.
    auto* spinEdit = fixture.Find<QLineEdit>("SpinEdit1");
    for (const SpinButton* button : spinEdit->findChildren<SpinButton*>()) {
      QCOMPARE(button->width(), 15);
      QVERIFY(spinEdit->rect().contains(button->geometry()));
      QCOMPARE(button->geometry().right(), spinEdit->width() - 3);
    }
    QCOMPARE(spinEdit->textMargins().right(), 15);
  }

  void radioButtonsFollowTheRadioGroupRule() {
    WindowFixture fixture;
    const auto& windows = fixture.Find<RadioGroupView>("RadioGroup1")->Buttons();
    QCOMPARE(windows[0]->geometry(), QRect(8, 14, 127, 15));
    QCOMPARE(windows[1]->geometry(), QRect(135, 14, 127, 15));
    const auto& buffering = fixture.Find<RadioGroupView>("RadioGroup2")->Buttons();
    QCOMPARE(buffering[0]->geometry(), QRect(8, 15, 270, 39));
    QCOMPARE(buffering[1]->geometry(), QRect(8, 54, 270, 39));
    QCOMPARE(buffering[2]->geometry(), QRect(8, 93, 270, 39));
    // Columns fill top to bottom; half the height left over goes above the first row.
    QCOMPARE(RadioItemRect(2, 5, 2, QSize(210, 101), 16), QRect(8, 70, 100, 26));
    QCOMPARE(RadioItemRect(3, 5, 2, QSize(210, 101), 16), QRect(108, 18, 100, 26));
  }

  // Strips of an enabled and a disabled image, the bottom-left pixel's olive transparent.
  void buttonPicturesAreStripsOfTwoImages() {
    const QImage strips[] = {OkGlyphStrip(), DefaultsGlyphStrip(), CancelGlyphStrip()};
    QCOMPARE(strips[0].size(), QSize(36, 18));
    QCOMPARE(strips[0].depth(), 24);
    QCOMPARE(strips[1].size(), QSize(32, 16));
    QCOMPARE(strips[2].size(), QSize(36, 18));
    QCOMPARE(ProgramIconImage().size(), QSize(32, 32));
    for (const QImage& strip : {strips[1], strips[2], ProgramIconImage()}) {
      QVERIFY(strip.colorCount() == 16);
    }
    for (const QImage& strip : strips) {
      QCOMPARE(strip.pixel(0, strip.height() - 1), qRgb(0x80, 0x80, 0x00));
      const QSize image(strip.width() / 2, strip.height());
      const QImage enabled = GlyphIcon(strip).pixmap(image).toImage();
      const QImage disabled = GlyphIcon(strip).pixmap(image, QIcon::Disabled).toImage();
      QCOMPARE(enabled.pixelColor(0, image.height() - 1).alpha(), 0);
      QVERIFY(enabled != disabled);
    }
  }

  // On another density the font grows first, and the layout with the font's text height.
  void layoutScalesWithTheTextHeight() {
    QCOMPARE(WindowFont(96).pixelSize(), 11);
    QCOMPARE(WindowFont(144).pixelSize(), 17);
    QCOMPARE(WindowScale::ForFont(WindowFont(96)).TextHeight(), 13);
    QCOMPARE(WindowScale(20)(8, 208, 80, 25), QRect(12, 320, 123, 38));
  }

  void designTimeStatesWhenTheHostDriveIsMissing() {
    WindowFixture fixture("[Paths]\r\nWinDir=C:\\WINDOWS\r\n");
    QVERIFY(fixture.Open());
    QCOMPARE(fixture.boxes.Count("Fehler"), 1);
    for (int i = 1; i <= 12; ++i) {
      const QByteArray name = "CheckBox" + QByteArray::number(i);
      QCOMPARE(fixture.Find<QCheckBox>(name)->isChecked(), i == 12);
    }
    const auto& system = fixture.Find<RadioGroupView>("RadioGroup1")->Buttons();
    QVERIFY(!system[0]->isChecked() && system[1]->isChecked());
    QVERIFY(fixture.Find<RadioGroupView>("RadioGroup2")->Buttons()[1]->isChecked());
    QCOMPARE(fixture.Find<QLineEdit>("SpinEdit2")->text(), QString("0"));
    auto* combo = fixture.Find<QComboBox>("ComboBox1");
    QCOMPARE(combo->currentIndex(), -1);
    QCOMPARE(combo->currentText(), QString());
  }

  void captionsAndHintsShowGermanLetters() {
    WindowFixture fixture;
    QCOMPARE(fixture.Find<QCheckBox>("CheckBox1")->text(),
             QStringLiteral("Boot Men\u00FC anzeigen"));
    QCOMPARE(fixture.Find<QTabWidget>("PageControl1")->tabText(0), QStringLiteral("Men\u00FC"));
    QCOMPARE(fixture.Find<QComboBox>("ComboBox1")->itemText(4),
             QStringLiteral("Einzelbest\u00E4tigung"));
    QCOMPARE(fixture.Find("CheckBox12")->toolTip(),
             QStringLiteral("M\u00F6chten Sie nach dem Ende von Windows am DOS-Prompt landen?"));
    QCOMPARE(fixture.Find("CheckBox8")->toolTip(), fixture.Find("CheckBox9")->toolTip());
    QCOMPARE(fixture.Find("BitBtn3")->toolTipDuration(), 2500);
    QCOMPARE(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 500);
    for (const char* silent : {"PageControl1", "TabSheet4", "Label6"}) {
      QVERIFY2(fixture.Find(silent)->toolTip().isEmpty(), silent);
    }
  }

  // The substitute font is as narrow as the layout's sizes assume.
  void everyCaptionFitsItsControl() {
    WindowFixture fixture;
    for (const QLabel* label : fixture.window.findChildren<QLabel*>()) {
      QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
               qPrintable(label->text()));
    }
    const int indicatorAndGap = 13 + 4;
    for (const QAbstractButton* box : fixture.window.findChildren<QAbstractButton*>()) {
      if (!box->inherits("QCheckBox") && !box->inherits("QRadioButton")) continue;
      QVERIFY2(box->fontMetrics().horizontalAdvance(box->text()) + indicatorAndGap <= box->width(),
               qPrintable(box->text()));
    }
  }

  void openedListShowsAllEntriesWithoutScrollBar() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    fixture.ShowPage(0);
    auto* combo = fixture.Find<QComboBox>("ComboBox1");
    combo->showPopup();
    const QAbstractItemView* list = combo->view();
    QTRY_VERIFY(list->isVisible());
    QVERIFY(!list->verticalScrollBar()->isVisible());
    QCOMPARE(list->visualRect(list->model()->index(0, 0)).height(), 13);
    QVERIFY(list->viewport()->rect().contains(list->visualRect(list->model()->index(7, 0))));
  }
};

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
