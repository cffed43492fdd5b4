// The window as it opens: place, size, pages, captions, hints, controls and their states.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "app/view/radio_group_geometry.h"
#include "app/view/radio_group_view.h"
#include "app/view/spin_button.h"
#include "app/view/window_metrics.h"
#include "tests/gui/window_fixture.h"

using namespace startgarten;
using namespace startgarten::test_support;

namespace {

QRect PageRect(QWidget* control) {
  return QRect(control->pos(), control->size());
}

}  // namespace

class WindowLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void opensOnDrivePageWithFocusOnTabStrip() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    QCOMPARE(fixture.window.windowTitle(), QString("Startgarten"));
    QCOMPARE(fixture.window.pos(), QPoint(200, 105));
    auto* pages = fixture.Find<QTabWidget>("PageControl1");
    QCOMPARE(pages->currentIndex(), 3);
    QCOMPARE(pages->tabText(3), QString("Drive/DoubleSpace"));
    QCOMPARE(QApplication::focusWidget(), pages->tabBar());
    QVERIFY(fixture.Find<QPushButton>("BitBtn1")->isDefault());
  }

  void clientAreaIsBelowTheMenuBarAndStaysOnMaximising() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    QWidget* client = fixture.window.centralWidget();
    QCOMPARE(client->size(), QSize(300, 241));
    QCOMPARE(client->y(), fixture.window.menuBar()->height());
    auto* bitBtn3 = fixture.Find<QPushButton>("BitBtn3");
    const QRect buttonBefore = bitBtn3->geometry();
    const QSize windowBefore = fixture.window.size();

    fixture.window.showMaximized();
    QTRY_VERIFY(fixture.window.width() > windowBefore.width());
    QCOMPARE(bitBtn3->geometry(), buttonBefore);
    QCOMPARE(fixture.Find("PageControl1")->geometry(), QRect(1, 8, 295, 193));
  }

  void controlsStandWhereTheLayoutPutsThem() {
    WindowFixture fixture;
    QCOMPARE(fixture.Find("BitBtn1")->geometry(), QRect(8, 208, 80, 25));
    QCOMPARE(fixture.Find("BitBtn2")->geometry(), QRect(106, 208, 100, 25));
    QCOMPARE(fixture.Find("BitBtn3")->geometry(), QRect(216, 208, 80, 25));
    QCOMPARE(PageRect(fixture.Find("CheckBox1")), QRect(8, 16, 121, 17));
    QCOMPARE(PageRect(fixture.Find("SpinEdit2")), QRect(205, 48, 49, 22));
    QCOMPARE(PageRect(fixture.Find("ComboBox1")), QRect(56, 81, 201, 21));
    QCOMPARE(PageRect(fixture.Find("Label6")), QRect(35, 120, 238, 13));
    QCOMPARE(PageRect(fixture.Find("Image2")), QRect(168, 56, 113, 105));

    // Every page area holds the contents of the largest page.
    for (int i = 0; i < 5; ++i) {
      QWidget* page = fixture.Find<QTabWidget>("PageControl1")->widget(i);
      QVERIFY(page->width() >= 283 && page->height() >= 161);
    }
  }

  // On another density the font grows first, and the layout with the font's text height.
  void layoutScalesWithTheTextHeight() {
    QCOMPARE(WindowFont(96).pixelSize(), 11);
    QCOMPARE(WindowFont(120).pixelSize(), 14);
    QCOMPARE(WindowFont(144).pixelSize(), 17);
    QCOMPARE(WindowScale::ForFont(WindowFont(96)).TextHeight(), 13);
    const WindowScale scale(20);
    QCOMPARE(scale(300), 462);
    QCOMPARE(scale(241), 371);
    QCOMPARE(scale(8, 208, 80, 25), QRect(12, 320, 123, 38));
  }

  void spinButtonsAreInsideTheFieldsRightEnd() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    QTabBar* tabs = fixture.Find<QTabWidget>("PageControl1")->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    auto* spinEdit = fixture.Find<QLineEdit>("SpinEdit1");
    const QList<SpinButton*> buttons = spinEdit->findChildren<SpinButton*>();
    QCOMPARE(buttons.size(), 2);
    for (SpinButton* button : buttons) {
      QVERIFY(spinEdit->rect().contains(button->geometry()));
      QCOMPARE(button->width(), 15);
      QCOMPARE(button->geometry().right(), spinEdit->width() - 3);
    }
    QCOMPARE(spinEdit->textMargins().right(), 15);
  }

  void radioButtonsFollowTheRadioGroupRule() {
    WindowFixture fixture;
    const auto* group1 = fixture.Find<RadioGroupView>("RadioGroup1");
    QCOMPARE(group1->Buttons()[0]->geometry(), QRect(8, 14, 127, 15));
    QCOMPARE(group1->Buttons()[1]->geometry(), QRect(135, 14, 127, 15));
    const auto* group2 = fixture.Find<RadioGroupView>("RadioGroup2");
    QCOMPARE(group2->Buttons()[0]->geometry(), QRect(8, 15, 270, 39));
    QCOMPARE(group2->Buttons()[1]->geometry(), QRect(8, 54, 270, 39));
    QCOMPARE(group2->Buttons()[2]->geometry(), QRect(8, 93, 270, 39));

    // Five items in two columns fill the first column top to bottom, then the second; the
    // remainder of the free height goes half above the first row.
    QCOMPARE(RadioItemRect(2, 5, 2, QSize(210, 100), 16), QRect(8, 69, 100, 26));
    QCOMPARE(RadioItemRect(3, 5, 2, QSize(210, 101), 16), QRect(108, 18, 100, 26));
  }

  void designTimeStatesWhenTheHostDriveIsMissing() {
    WindowFixture fixture("[Paths]\r\nWinDir=C:\\WINDOWS\r\n");
    QVERIFY(fixture.Open());
    QCOMPARE(fixture.boxes.Count("Fehler"), 1);
    for (int i = 1; i <= 12; ++i) {
      const QByteArray name = "CheckBox" + QByteArray::number(i);
      QCOMPARE(fixture.Find<QCheckBox>(name)->isChecked(), i == 12);
    }
    QVERIFY(fixture.Find<RadioGroupView>("RadioGroup1")->Buttons()[1]->isChecked());
    QVERIFY(!fixture.Find<RadioGroupView>("RadioGroup1")->Buttons()[0]->isChecked());
    QVERIFY(fixture.Find<RadioGroupView>("RadioGroup2")->Buttons()[1]->isChecked());
    QCOMPARE(fixture.Find<QLineEdit>("SpinEdit1")->text(), QString("0"));
    QCOMPARE(fixture.Find<QLineEdit>("SpinEdit2")->text(), QString("0"));
    auto* combo = fixture.Find<QComboBox>("ComboBox1");
    QCOMPARE(combo->currentIndex(), -1);
    QCOMPARE(combo->currentText(), QString());
  }

  void captionsHintsAndEntriesShowGermanLetters() {
    WindowFixture fixture;
    QCOMPARE(fixture.Find<QCheckBox>("CheckBox1")->text(), QString("Boot Menü anzeigen"));
    QCOMPARE(fixture.Find<QLabel>("Label1")->text(), QString("Für"));
    QCOMPARE(fixture.Find<QTabWidget>("PageControl1")->tabText(0), QString("Menü"));
    QCOMPARE(fixture.Find("CheckBox12")->toolTip(),
             QString("Möchten Sie nach dem Ende von Windows am DOS-Prompt landen?"));
    QCOMPARE(fixture.Find<RadioGroupView>("RadioGroup2")->Buttons()[0]->text(),
             QString("Grungsätzlich keine doppelte Pufferung"));
    auto* combo = fixture.Find<QComboBox>("ComboBox1");
    QCOMPARE(combo->count(), 8);
    QCOMPARE(combo->itemText(4), QString("Einzelbestätigung"));

    QCOMPARE(fixture.Find("CheckBox8")->toolTip(), fixture.Find("CheckBox9")->toolTip());
    QCOMPARE(fixture.Find("BitBtn3")->toolTip(), QString("Abrechen ohne Sicherung"));
    QCOMPARE(fixture.Find("BitBtn3")->toolTipDuration(), 2500);
    QCOMPARE(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 500);
    for (const char* silent : {"PageControl1", "TabSheet4", "Label6", "label100"}) {
      QVERIFY2(fixture.Find(silent)->toolTip().isEmpty(), silent);
    }
  }

  // The substitute font must be as narrow as the layout's sizes assume.
  void everyCaptionFitsItsControl() {
    WindowFixture fixture;
    const int indicator = 13 + 4;
    for (QLabel* label : fixture.window.findChildren<QLabel*>()) {
      QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
               qPrintable(label->text()));
    }
    for (QAbstractButton* button : fixture.window.findChildren<QAbstractButton*>()) {
      if (!qobject_cast<QCheckBox*>(button) && !qobject_cast<QRadioButton*>(button)) continue;
      QVERIFY2(
          button->fontMetrics().horizontalAdvance(button->text()) + indicator <= button->width(),
          qPrintable(button->text()));
    }
  }

  void openedListShowsAllEntriesWithoutScrollBar() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    fixture.Find<QTabWidget>("PageControl1")->setCurrentIndex(0);
    auto* combo = fixture.Find<QComboBox>("ComboBox1");
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    QTRY_VERIFY(list->isVisible());
    QVERIFY(!list->verticalScrollBar()->isVisible());
    QCOMPARE(list->visualRect(list->model()->index(0, 0)).height(), 13);
    QVERIFY(list->viewport()->rect().contains(list->visualRect(list->model()->index(7, 0))));
    combo->hidePopup();
  }
};

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
