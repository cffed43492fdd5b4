// The window's keyboard: Enter, Escape, Ctrl+Tab, Tab order, arrow keys and the default button.
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "app/view/radio_group_view.h"
#include "tests/gui/window_fixture.h"

using namespace startgarten;
using namespace startgarten::test_support;

namespace {

// The designer name of the control that has the focus; a radio button is named after its group
// and item.
QString FocusName() {
  QWidget* focus = QApplication::focusWidget();
  if (qobject_cast<QTabBar*>(focus)) focus = focus->parentWidget();
  if (auto* group = dynamic_cast<RadioGroupView*>(focus->parentWidget())) {
    const auto& buttons = group->Buttons();
    const auto item = std::find(buttons.begin(), buttons.end(), focus) - buttons.begin();
    return group->objectName() + "[" + QString::number(item) + "]";
  }
  while (focus->objectName().isEmpty()) focus = focus->parentWidget();
  return focus->objectName();
}

QTabWidget* Pages(const WindowFixture& fixture) {
  return fixture.Find<QTabWidget>("PageControl1");
}

// Shows the page with Ctrl+Tab. The focus stays on the tab strip, or moves to the first control of
// each page shown.
void ShowPage(const WindowFixture& fixture, int page) {
  while (Pages(fixture)->currentIndex() != page) {
    WindowFixture::Press(Qt::Key_Tab, Qt::ControlModifier);
  }
}

}  // namespace

class WindowKeysTest : public QObject {
  Q_OBJECT

 private slots:
  void tabOrderRunsThroughTheVisiblePageOnly_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("stops");
    QTest::newRow("Menü") << 0 << QStringList{"CheckBox1", "SpinEdit1", "SpinEdit2",
                                              "CheckBox2", "ComboBox1", "CheckBox12"};
    QTest::newRow("Start") << 1 << QStringList{"CheckBox3", "CheckBox4", "CheckBox5",
                                               "CheckBox6", "CheckBox7", "RadioGroup1[1]"};
    QTest::newRow("Pufferung") << 2 << QStringList{"RadioGroup2[1]"};
    QTest::newRow("Drive/DoubleSpace") << 3 << QStringList{"CheckBox8", "CheckBox9", "CheckBox10"};
    QTest::newRow("Logo") << 4 << QStringList{"CheckBox11"};
  }

  void tabOrderRunsThroughTheVisiblePageOnly() {
    QFETCH(int, page);
    QFETCH(QStringList, stops);
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    ShowPage(fixture, page);
    const QStringList expected =
        QStringList{"PageControl1"} + stops + QStringList{"BitBtn1", "BitBtn2", "BitBtn3"};

    QStringList forward;
    for (int i = 0; i < expected.size(); ++i) {
      forward << FocusName();
      WindowFixture::Press(Qt::Key_Tab);
    }
    QCOMPARE(forward, expected);
    QCOMPARE(FocusName(), QString("PageControl1"));

    QStringList backward;
    for (int i = 0; i < expected.size(); ++i) {
      WindowFixture::Press(Qt::Key_Backtab, Qt::ShiftModifier);
      backward.prepend(FocusName());
    }
    QCOMPARE(backward, expected);
  }

  void ctrlTabSwitchesPagesWithWrapAround() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    WindowFixture::Press(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(Pages(fixture)->currentIndex(), 4);
    WindowFixture::Press(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(Pages(fixture)->currentIndex(), 0);
    WindowFixture::Press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(Pages(fixture)->currentIndex(), 4);
    QCOMPARE(FocusName(), QString("PageControl1"));

    // The focus on a page that goes moves to the first control of the page that comes.
    WindowFixture::Press(Qt::Key_Tab);
    QCOMPARE(FocusName(), QString("CheckBox11"));
    WindowFixture::Press(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(FocusName(), QString("CheckBox1"));
  }

  void enterClicksOkFromTheTabStripAndPageControls() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    auto enterAskedToWrite = [&fixture] {
      fixture.boxes.answers.push_back(MessageResult::kCancel);
      const int before = fixture.boxes.Count(kConfirmation);
      WindowFixture::Press(Qt::Key_Return);
      return fixture.boxes.Count(kConfirmation) == before + 1;
    };
    QVERIFY(enterAskedToWrite());  // tab strip
    WindowFixture::Press(Qt::Key_Tab);
    QCOMPARE(FocusName(), QString("CheckBox8"));
    QVERIFY(enterAskedToWrite());
    ShowPage(fixture, 2);
    QCOMPARE(FocusName(), QString("RadioGroup2[1]"));
    QVERIFY(enterAskedToWrite());
    ShowPage(fixture, 0);
    WindowFixture::Press(Qt::Key_Tab);
    QCOMPARE(FocusName(), QString("SpinEdit1"));
    QVERIFY(enterAskedToWrite());

    // Enter with a modifier, and Enter in the combo box's field, write nothing.
    WindowFixture::Press(Qt::Key_Return, Qt::ShiftModifier);
    for (int i = 0; i < 3; ++i) WindowFixture::Press(Qt::Key_Tab);
    QCOMPARE(FocusName(), QString("ComboBox1"));
    WindowFixture::Press(Qt::Key_Return);
    QCOMPARE(fixture.boxes.Count(kConfirmation), 4);
  }

  void enterClicksTheFocusedButton() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    fixture.Find("BitBtn2")->setFocus(Qt::TabFocusReason);
    WindowFixture::Press(Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(fixture.boxes.Count(kConfirmation), 0);
    QCOMPARE(fixture.form.SpinEdit1.Text(), std::string("30"));  // the standard values
  }

  void escapeClosesTheWindowAlsoFromAnotherButton() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    fixture.Find("BitBtn1")->setFocus(Qt::TabFocusReason);
    WindowFixture::Press(Qt::Key_Escape);
    QVERIFY(!fixture.window.isVisible());
    QVERIFY(fixture.boxes.shown.size() == 1);  // only the missing logos at the start
  }

  void arrowKeysOnCheckBoxesMoveWithinThePage() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    WindowFixture::Press(Qt::Key_Tab);
    QCOMPARE(FocusName(), QString("CheckBox8"));
    WindowFixture::Press(Qt::Key_Up);
    QCOMPARE(FocusName(), QString("CheckBox10"));
    WindowFixture::Press(Qt::Key_Right);
    QCOMPARE(FocusName(), QString("CheckBox8"));
    WindowFixture::Press(Qt::Key_Down);
    QCOMPARE(FocusName(), QString("CheckBox9"));
    WindowFixture::Press(Qt::Key_Left);
    QCOMPARE(FocusName(), QString("CheckBox8"));

    // On the page "Start" the first check box leads back to the radio group's selected item.
    ShowPage(fixture, 1);
    QCOMPARE(FocusName(), QString("CheckBox3"));
    WindowFixture::Press(Qt::Key_Up);
    QCOMPARE(FocusName(), QString("RadioGroup1[1]"));
  }

  void arrowKeysOnRadioButtonsSelectTheNextItem() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    ShowPage(fixture, 2);
    WindowFixture::Press(Qt::Key_Tab);
    WindowFixture::Press(Qt::Key_Down);
    QCOMPARE(FocusName(), QString("RadioGroup2[2]"));
    QCOMPARE(fixture.form.RadioGroup2.ItemIndex(), 2);
    WindowFixture::Press(Qt::Key_Down);
    QCOMPARE(fixture.form.RadioGroup2.ItemIndex(), 0);
    // Tab now stops at the newly selected item.
    WindowFixture::Press(Qt::Key_Tab);
    WindowFixture::Press(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(FocusName(), QString("RadioGroup2[0]"));
  }

  void focusedButtonCarriesTheDefaultFrame() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    auto* ok = fixture.Find<QPushButton>("BitBtn1");
    auto* defaults = fixture.Find<QPushButton>("BitBtn2");
    fixture.Find("CheckBox8")->setFocus(Qt::TabFocusReason);
    QVERIFY(ok->isDefault());
    for (int i = 0; i < 4; ++i) WindowFixture::Press(Qt::Key_Tab);
    QCOMPARE(FocusName(), QString("BitBtn2"));
    QVERIFY(defaults->isDefault());
    QVERIFY(!ok->isDefault());
    WindowFixture::Press(Qt::Key_Tab);
    WindowFixture::Press(Qt::Key_Tab);
    QCOMPARE(FocusName(), QString("PageControl1"));
    QVERIFY(ok->isDefault());
    QVERIFY(!defaults->isDefault());
  }
};

QTEST_MAIN(WindowKeysTest)
#include "window_keys_test.moc"
