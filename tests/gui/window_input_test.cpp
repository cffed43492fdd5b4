// The window as the user works it: Tab order, Ctrl+Tab, Enter, Escape, the arrow keys, the
// default button, the mouse, the menus, the spin edits, the combo box and the write command's
// confirmation.
#include "app/view/spin_button.h"
#include "tests/gui/window_fixture.h"

using namespace startgarten;
using namespace startgarten::test_support;

class WindowInputTest : public QObject {
  Q_OBJECT

  // Each test's window, open on the default boot file.
  std::optional<WindowFixture> fixture;

 private slots:
  void init() { QVERIFY(fixture.emplace().Open()); }
  void cleanup() { fixture.reset(); }

  // Tab runs from the tab strip through the visible page's controls and the buttons back to the
  // strip. Ctrl+Tab switches pages with wrap-around; the focus on the page that goes moves to the
  // first control of the page that comes. The arrow keys move within a page, and within a radio
  // group they select the next item.
  void keysMoveTheFocus() {
    const QStringList stops[] = {
        {"CheckBox1", "SpinEdit1", "SpinEdit2", "CheckBox2", "ComboBox1", "CheckBox12"},
        {"CheckBox3", "CheckBox4", "CheckBox5", "CheckBox6", "CheckBox7", "RadioGroup1[1]"},
        {"RadioGroup2[1]"},
        {"CheckBox8", "CheckBox9", "CheckBox10"},
        {"CheckBox11"}};
    for (int page = 0; page < 5; ++page) {
      fixture->ShowPage(page);
      const QStringList expected = QStringList{"PageControl1"} + stops[page] +
                                   QStringList{"BitBtn1", "BitBtn2", "BitBtn3", "PageControl1"};
      QStringList stopped{FocusName()};
      while (stopped.size() < expected.size()) stopped << FocusAfter(Qt::Key_Tab);
      QCOMPARE(stopped, expected);
    }

    auto* pages = fixture->Find<QTabWidget>("PageControl1");
    fixture->ShowPage(3);
    Press(Qt::Key_Tab, Qt::ControlModifier);
    Press(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(pages->currentIndex(), 0);
    QCOMPARE(FocusAfter(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier), "PageControl1");
    QCOMPARE(pages->currentIndex(), 4);
    Press(Qt::Key_Tab);
    QCOMPARE(FocusAfter(Qt::Key_Tab, Qt::ControlModifier), "CheckBox1");

    fixture->ShowPage(3);
    fixture->Find("CheckBox8")->setFocus(Qt::TabFocusReason);
    QCOMPARE(FocusAfter(Qt::Key_Up), "CheckBox10");
    Press(Qt::Key_Right);
    QCOMPARE(FocusAfter(Qt::Key_Down), "CheckBox9");
    fixture->ShowPage(1);
    QCOMPARE(FocusName(), "PageControl1");
    fixture->Find("CheckBox3")->setFocus(Qt::TabFocusReason);
    QCOMPARE(FocusAfter(Qt::Key_Left), "RadioGroup1[1]");
    fixture->ShowPage(2);
    fixture->Find<RadioGroupView>("RadioGroup2")->Buttons()[2]->setFocus(Qt::TabFocusReason);
    QCOMPARE(FocusAfter(Qt::Key_Down), "RadioGroup2[0]");
    QCOMPARE(fixture->form.RadioGroup2.ItemIndex(), 0);
  }

  // A mouse click on a check box changes it, and one on OK runs the write command (which writes
  // on the answer OK: Form1Test). Enter clicks OK from the tab strip and the pages' controls, but
  // not with a modifier and not in the combo box's field; on a button it clicks that button.
  // Escape clicks Cancel. A focused button is framed as the default one; while none has the focus,
  // OK is.
  void clicksEnterAndEscapeClickTheButtons() {
    fixture->boxes.answers.assign(5, MessageResult::kCancel);
    fixture->ShowPage(1);
    QTest::mouseClick(fixture->Find("CheckBox4"), Qt::LeftButton);
    QVERIFY(fixture->form.CheckBox4.Checked());
    QTest::mouseClick(fixture->Find("BitBtn1"), Qt::LeftButton);
    QCOMPARE(fixture->Shown(kConfirmation), 1);
    const auto enterOn = [this](QWidget* focus, Qt::KeyboardModifiers modifiers = {}) {
      focus->setFocus(Qt::TabFocusReason);
      Press(Qt::Key_Return, modifiers);
      return fixture->Shown(kConfirmation);
    };
    QCOMPARE(enterOn(fixture->Find<QTabWidget>("PageControl1")->tabBar()), 2);
    QCOMPARE(enterOn(fixture->Find("CheckBox8")), 3);
    fixture->ShowPage(2);
    QCOMPARE(enterOn(fixture->Find<RadioGroupView>("RadioGroup2")->TabStop()), 4);
    fixture->ShowPage(0);
    QCOMPARE(enterOn(fixture->Find("SpinEdit1")), 5);
    QCOMPARE(enterOn(fixture->Find("SpinEdit1"), Qt::ShiftModifier), 5);
    QCOMPARE(enterOn(fixture->Find("ComboBox1")), 5);

    auto* ok = fixture->Find<QPushButton>("BitBtn1");
    auto* defaults = fixture->Find<QPushButton>("BitBtn2");
    defaults->setFocus(Qt::TabFocusReason);
    QVERIFY(defaults->isDefault() && !ok->isDefault());
    Press(Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(fixture->form.SpinEdit1.Text(), std::string("30"));  // the standard values
    Press(Qt::Key_Tab);
    QCOMPARE(FocusAfter(Qt::Key_Tab), "PageControl1");
    QVERIFY(ok->isDefault() && !defaults->isDefault());
    Press(Qt::Key_Escape);
    QVERIFY(!fixture->window.isVisible());
    QCOMPARE(fixture->Shown(kConfirmation), 5);
  }

  // The popup menu opens over the pages and the tab strip only, not over the buttons.
  void menusOpenWhereTheyBelongAndRunTheirCommands() {
    auto* popup = fixture->Find<QMenu>("PopupMenu1");
    const auto rightClickOpens = [popup](QWidget* widget, QPoint at = {}) {
      QTest::mouseClick(widget, Qt::RightButton, {}, at.isNull() ? widget->rect().center() : at);
      const bool opened = popup->isVisible();
      popup->hide();
      return opened;
    };
    QTabBar* tabs = fixture->Find<QTabWidget>("PageControl1")->tabBar();
    QVERIFY(rightClickOpens(tabs, tabs->tabRect(1).center()));
    QVERIFY(rightClickOpens(fixture->Find("TabSheet4"), QPoint(200, 20)));
    QVERIFY(rightClickOpens(fixture->Find("Label6")));
    QVERIFY(rightClickOpens(fixture->Find("CheckBox8")));
    for (const char* button : {"BitBtn1", "BitBtn2", "BitBtn3"})
      QVERIFY2(!rightClickOpens(fixture->Find(button)), button);
    QVERIFY(!rightClickOpens(fixture->window.centralWidget(), QPoint(298, 3)));
    fixture->ShowPage(0);
    QVERIFY(rightClickOpens(fixture->Find("SpinEdit1")->findChild<SpinButton*>()));

    const auto choose = [](QMenu* menu, const char* item) {
      QTRY_VERIFY(menu->isVisible());
      QTest::mouseClick(menu, Qt::LeftButton, {},
                        menu->actionGeometry(menu->findChild<QAction*>(item)).center());
    };
    QTest::mouseClick(fixture->Find("Label1"), Qt::RightButton);
    choose(popup, "Beenden2");
    QCOMPARE(fixture->form.SpinEdit2.Text(), std::string("2"));  // the standard values
    QMenuBar* bar = fixture->window.menuBar();
    auto* file = fixture->Find<QMenu>("Datei1");
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(file->menuAction()).center());
    choose(file, "Beenden1");
    QVERIFY(!fixture->window.isVisible());
  }

  // Typing is filtered, pasting is not; the arrow keys step from the value the text reads as.
  // A click on a spin button steps once, also when released off the button. Held down, it steps
  // at once and at each of Qt's repeats, the first after 400 ms and then every 100 ms; the release
  // adds no step.
  void spinEditFiltersTypingAndStepsOncePerClickOrRepeatedlyWhileHeld() {
    fixture->ShowPage(0);
    auto* spinEdit = fixture->Find<QLineEdit>("SpinEdit1");
    const TSpinEdit& model = fixture->form.SpinEdit1;
    spinEdit->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(spinEdit, "-1a2 x");
    QCOMPARE(model.Text(), std::string("-12"));
    QGuiApplication::clipboard()->setText("12 ");
    spinEdit->selectAll();
    QTest::keyClick(spinEdit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(model.Text(), std::string("12 "));
    // "12 " reads as 0.
    for (Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Down}) QTest::keyClick(spinEdit, key);
    QCOMPARE(spinEdit->text(), QString("-1"));

    QList<SpinButton*> buttons = spinEdit->findChildren<SpinButton*>();
    std::ranges::sort(buttons, {}, &QWidget::y);
    SpinButton* up = buttons[0];
    QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(model.Value(), 0);
    QTest::mousePress(buttons[1], Qt::LeftButton);
    QTest::mouseMove(buttons[1], QPoint(-20, -20));
    QTest::mouseRelease(buttons[1], Qt::LeftButton, {}, QPoint(-20, -20));
    QCOMPARE(model.Value(), -1);

    QVERIFY(up->autoRepeat() && up->autoRepeatDelay() == 400 && up->autoRepeatInterval() == 100);
    QTest::mousePress(up, Qt::LeftButton);
    QCOMPARE(model.Value(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(model.Value() >= 2, 30000);  // two repeats, however late
    const int held = model.Value();
    QTest::mouseRelease(up, Qt::LeftButton);
    QCOMPARE(model.Value(), held);
  }

  // A hint opens after the mouse has rested 500 ms on its control and stays 2500 ms; while it is
  // open, the next control's hint follows.
  void hintsOpenAfterARestAndCloseAfterAWhile() {
    QWidget* first = fixture->Find("CheckBox8");
    QCOMPARE(first->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, first), 500);
    QCOMPARE(first->style()->styleHint(QStyle::SH_ToolTip_FallAsleepDelay, nullptr, first), 2500);
    QCOMPARE(first->toolTipDuration(), 2500);
    for (QWidget* control : {first, fixture->Find("CheckBox10")}) {
      QTest::mouseMove(control);
      QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible() && QToolTip::text() == control->toolTip(),
                               30000);
    }
  }

  // The list opens with all its entries; a choice runs the form's change handler, which puts the
  // selected entry's text back after an edit. With a handler that only counts: typing an entry's
  // text, Enter and leaving the field select nothing and complete nothing; changes from code run
  // no change handler.
  void comboBoxKeepsFieldAndSelectionApart() {
    fixture->ShowPage(0);
    auto* combo = fixture->Find<QComboBox>("ComboBox1");
    combo->setFocus(Qt::TabFocusReason);
    QTest::keyClick(combo, Qt::Key_Down, Qt::AltModifier);
    QAbstractItemView* list = combo->view();
    QTRY_VERIFY(list->isVisible());
    QVERIFY(!list->verticalScrollBar()->isVisible());
    QCOMPARE(list->visualRect(list->model()->index(0, 0)).height(), 13);
    QVERIFY(list->viewport()->rect().contains(list->visualRect(list->model()->index(7, 0))));
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(fixture->form.ComboBox1.ItemIndex(), 2);
    QTest::keyClicks(combo, "x");
    QCOMPARE(combo->currentText(), QString("Abgesichert"));

    TComboBox& model = fixture->form.ComboBox1;
    int changes = 0;
    model.OnChange = [&changes] { ++changes; };
    model.SetItemIndex(-1);
    QTest::keyClicks(combo, "Pro");
    QCOMPARE(combo->currentText(), QString("Pro"));
    QTest::keyClicks(combo, "tokolliert");
    QTest::keyClick(combo, Qt::Key_Return);
    fixture->Find("CheckBox1")->setFocus(Qt::TabFocusReason);
    QCOMPARE(model.ItemIndex(), -1);
    QCOMPARE(combo->currentIndex(), -1);
    QCOMPARE(changes, 13);
    model.SetItemIndex(1);
    model.SetText("frei");
    model.SetItemIndex(1);
    QCOMPARE(combo->currentText(), QString("Protokolliert"));
    QCOMPARE(changes, 13);
    QTest::keyClicks(combo, QString(300, 'a'));
    QCOMPARE(model.Text().size(), size_t{255});
  }
};

QTEST_MAIN(WindowInputTest)
#include "window_input_test.moc"
