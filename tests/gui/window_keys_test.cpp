// The window's keys: Tab order, Ctrl+Tab, Enter, Escape, arrow keys and the default button.
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include "app/view/radio_group_view.h"
#include "tests/gui/window_fixture.h"

using namespace startgarten;
using namespace startgarten::test_support;

class WindowKeysTest : public QObject {
  Q_OBJECT

 private slots:
  void tabOrderRunsThroughTheVisiblePageOnly_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("stops");
    QTest::newRow("Menu") << 0 << QStringList{"CheckBox1", "SpinEdit1", "SpinEdit2",
                                              "CheckBox2", "ComboBox1", "CheckBox12"};
    QTest::newRow("Start") << 1 << QStringList{"CheckBox3", "CheckBox4", "CheckBox5",
                                               "CheckBox6", "CheckBox7", "RadioGroup1[1]"};
    QTest::newRow("Pufferung") << 2 << QStringList{"RadioGroup2[1]"};
    QTest::newRow("Drive") << 3 << QStringList{"CheckBox8", "CheckBox9", "CheckBox10"};
    QTest::newRow("Logo") << 4 << QStringList{"CheckBox11"};
  }

  void tabOrderRunsThroughTheVisiblePageOnly() {
    QFETCH(int, page);
    QFETCH(QStringList, stops);
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    fixture.ShowPage(page);
    const QStringList expected = QStringList{"PageControl1"} + stops +
                                 QStringList{"BitBtn1", "BitBtn2", "BitBtn3", "PageControl1"};
    QStringList forward{WindowFixture::FocusName()};
    QStringList backward{WindowFixture::FocusName()};
    for (int i = 1; i < expected.size(); ++i) {
      WindowFixture::Press(Qt::Key_Tab);
      forward << WindowFixture::FocusName();
    }
    for (int i = 1; i < expected.size(); ++i) {
      WindowFixture::Press(Qt::Key_Backtab, Qt::ShiftModifier);
      backward.prepend(WindowFixture::FocusName());
    }
    QCOMPARE(forward, expected);
    QCOMPARE(backward, expected);
  }

  void ctrlTabSwitchesPagesWithWrapAround() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    auto* pages = fixture.Find<QTabWidget>("PageControl1");
    WindowFixture::Press(Qt::Key_Tab, Qt::ControlModifier);
    WindowFixture::Press(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(pages->currentIndex(), 0);
    WindowFixture::Press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(pages->currentIndex(), 4);
    QCOMPARE(WindowFixture::FocusName(), QString("PageControl1"));

    // The focus on the page that goes moves to the first control of the page that comes.
    WindowFixture::Press(Qt::Key_Tab);
    WindowFixture::Press(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(WindowFixture::FocusName(), QString("CheckBox1"));
  }

  void enterClicksOkFromTheTabStripAndPageControls() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    auto enterAsksToWrite = [&fixture](QWidget* focus) {
      focus->setFocus(Qt::TabFocusReason);
      fixture.boxes.answers.push_back(MessageResult::kCancel);
      const int before = fixture.boxes.Count(kConfirmation);
      WindowFixture::Press(Qt::Key_Return);
      return fixture.boxes.Count(kConfirmation) == before + 1;
    };
    QVERIFY(enterAsksToWrite(fixture.Find<QTabWidget>("PageControl1")->tabBar()));
    QVERIFY(enterAsksToWrite(fixture.Find("CheckBox8")));
    fixture.ShowPage(2);
    QVERIFY(enterAsksToWrite(fixture.Find<RadioGroupView>("RadioGroup2")->TabStop()));
    fixture.ShowPage(0);
    QVERIFY(enterAsksToWrite(fixture.Find("SpinEdit1")));

    // Not with a modifier, and not in the combo box's field.
    WindowFixture::Press(Qt::Key_Return, Qt::ShiftModifier);
    fixture.Find("ComboBox1")->setFocus(Qt::TabFocusReason);
    WindowFixture::Press(Qt::Key_Return);
    QCOMPARE(fixture.boxes.Count(kConfirmation), 4);
  }

  void enterClicksTheFocusedButtonAndEscapeCancels() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    fixture.Find("BitBtn2")->setFocus(Qt::TabFocusReason);
    WindowFixture::Press(Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(fixture.form.SpinEdit1.Text(), std::string("30"));  // the standard values
    WindowFixture::Press(Qt::Key_Escape);
    QVERIFY(!fixture.window.isVisible());
    QCOMPARE(fixture.boxes.Count(kConfirmation), 0);
  }

  void arrowKeysMoveWithinThePageWithWrapAround() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    fixture.Find("CheckBox8")->setFocus(Qt::TabFocusReason);
    WindowFixture::Press(Qt::Key_Up);
    QCOMPARE(WindowFixture::FocusName(), QString("CheckBox10"));
    WindowFixture::Press(Qt::Key_Right);
    WindowFixture::Press(Qt::Key_Down);
    QCOMPARE(WindowFixture::FocusName(), QString("CheckBox9"));

    fixture.Find("CheckBox10")->setFocus(Qt::TabFocusReason);
    fixture.ShowPage(1);
    QCOMPARE(WindowFixture::FocusName(), QString("PageControl1"));
    fixture.Find("CheckBox3")->setFocus(Qt::TabFocusReason);
    WindowFixture::Press(Qt::Key_Left);
    QCOMPARE(WindowFixture::FocusName(), QString("RadioGroup1[1]"));

    // Within a radio group they select the next item.
    fixture.ShowPage(2);
    fixture.Find<RadioGroupView>("RadioGroup2")->Buttons()[2]->setFocus(Qt::TabFocusReason);
    WindowFixture::Press(Qt::Key_Down);
    QCOMPARE(WindowFixture::FocusName(), QString("RadioGroup2[0]"));
    QCOMPARE(fixture.form.RadioGroup2.ItemIndex(), 0);
  }

  void aFocusedButtonTakesTheDefaultFrameFromOk() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    auto* ok = fixture.Find<QPushButton>("BitBtn1");
    auto* cancel = fixture.Find<QPushButton>("BitBtn3");
    cancel->setFocus(Qt::TabFocusReason);
    QVERIFY(cancel->isDefault() && !ok->isDefault());
    WindowFixture::Press(Qt::Key_Tab);
    QCOMPARE(WindowFixture::FocusName(), QString("PageControl1"));
    QVERIFY(ok->isDefault() && !cancel->isDefault());
  }
};

QTEST_MAIN(WindowKeysTest)
#include "window_keys_test.moc"
