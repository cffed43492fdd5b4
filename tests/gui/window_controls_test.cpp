// The spin edits, the combo box and the message boxes as the user works them.
#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "app/view/combo_box_view.h"
#include "app/view/message_box_dialog.h"
#include "app/view/spin_button.h"
#include "tests/gui/window_fixture.h"

using namespace startgarten;
using namespace startgarten::test_support;

namespace {

void ShowMenuPage(const WindowFixture& fixture) {
  QTabBar* tabs = fixture.Find<QTabWidget>("PageControl1")->tabBar();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
}

// Answers the next message box with the button of that text, once it is open, and keeps what it
// showed.
struct BoxAnswer {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
};

void AnswerNextBox(const QString& button, BoxAnswer& seen) {
  QTimer::singleShot(0, [button, &seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    QVERIFY(box);
    seen = {box->windowTitle(), box->text(), box->icon(), {}};
    for (QAbstractButton* each : box->buttons()) seen.buttons << each->text();
    for (QAbstractButton* each : box->buttons()) {
      if (each->text() == button) QTest::mouseClick(each, Qt::LeftButton);
    }
  });
}

}  // namespace

class WindowControlsTest : public QObject {
  Q_OBJECT

 private slots:
  void spinEditFiltersTypingButNotPasting() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    ShowMenuPage(fixture);
    auto* spinEdit = fixture.Find<QLineEdit>("SpinEdit1");
    spinEdit->setFocus(Qt::TabFocusReason);
    QCOMPARE(spinEdit->selectedText(), QString("5"));

    QTest::keyClicks(spinEdit, "-1a2 x");
    QCOMPARE(spinEdit->text(), QString("-12"));
    QCOMPARE(fixture.form.SpinEdit1.Value(), -12);
    QTest::keyClicks(spinEdit, "+");  // a sign anywhere makes a text that reads as 0
    QCOMPARE(fixture.form.SpinEdit1.Value(), 0);

    QGuiApplication::clipboard()->setText("12 ");
    spinEdit->selectAll();
    QTest::keyClick(spinEdit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(fixture.form.SpinEdit1.Text(), std::string("12 "));
    QTest::keyClick(spinEdit, Qt::Key_Up);
    QCOMPARE(spinEdit->text(), QString("1"));
    QTest::keyClick(spinEdit, Qt::Key_Down);
    QTest::keyClick(spinEdit, Qt::Key_Down);
    QCOMPARE(spinEdit->text(), QString("-1"));

    // Leaving the field keeps text that does not convert.
    QTest::keyClicks(spinEdit, "-");
    QTest::keyClick(spinEdit, Qt::Key_Tab);
    QCOMPARE(spinEdit->text(), QString("-1-"));
  }

  // A click steps once on the press and once more on the release over the button.
  void spinButtonsStepOnPressAndRelease() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    ShowMenuPage(fixture);
    auto* spinEdit = fixture.Find<QLineEdit>("SpinEdit2");
    QList<SpinButton*> buttons = spinEdit->findChildren<SpinButton*>();
    QCOMPARE(buttons.size(), 2);
    if (buttons[0]->y() > buttons[1]->y()) buttons.swapItemsAt(0, 1);
    SpinButton* up = buttons[0];
    SpinButton* down = buttons[1];
    QCOMPARE(fixture.form.SpinEdit2.Value(), 2);
    QTest::mousePress(up, Qt::LeftButton);
    QCOMPARE(fixture.form.SpinEdit2.Value(), 3);
    QTest::mouseRelease(up, Qt::LeftButton);
    QCOMPARE(fixture.form.SpinEdit2.Value(), 4);

    // Released off the button, no further step.
    QTest::mousePress(down, Qt::LeftButton);
    QTest::mouseMove(down, QPoint(-20, -20));
    QTest::mouseRelease(down, Qt::LeftButton, {}, QPoint(-20, -20));
    QCOMPARE(fixture.form.SpinEdit2.Value(), 3);
    QCOMPARE(up->autoRepeatDelay(), 400);
    QCOMPARE(up->autoRepeatInterval(), 100);
  }

  void comboBoxChoiceRunsTheChangeHandler() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    ShowMenuPage(fixture);
    auto* combo = fixture.Find<QComboBox>("ComboBox1");
    QCOMPARE(combo->currentIndex(), 0);

    combo->setFocus(Qt::TabFocusReason);
    QTest::keyClick(combo, Qt::Key_Down, Qt::AltModifier);
    QTRY_VERIFY(combo->view()->isVisible());
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    QCOMPARE(fixture.form.ComboBox1.ItemIndex(), 2);
    QCOMPARE(combo->currentText(), QString("Abgesichert"));

    // The change handler puts the selected item's text back after every edit.
    QTest::keyClicks(combo, "x");
    QCOMPARE(combo->currentText(), QString("Abgesichert"));
    QCOMPARE(fixture.form.ComboBox1.ItemIndex(), 2);
  }

  // Without the form's handler the field keeps what is typed, and neither a matching text nor
  // Enter or leaving the field selects an entry.
  void comboBoxFieldAndSelectionStayApart() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    TComboBox model(fixture.form.ComboBox1.Items());
    int changes = 0;
    model.OnChange = [&changes] { ++changes; };
    ComboBoxView combo(fixture.form, model, 13, fixture.Find("TabSheet4"));
    combo.show();
    combo.setFocus(Qt::TabFocusReason);

    QTest::keyClicks(&combo, "Pro");
    QCOMPARE(combo.currentText(), QString("Pro"));  // no completion
    QTest::keyClicks(&combo, "tokolliert");
    QTest::keyClick(&combo, Qt::Key_Return);
    fixture.Find("CheckBox8")->setFocus(Qt::TabFocusReason);
    QCOMPARE(model.Text(), std::string("Protokolliert"));
    QCOMPARE(model.ItemIndex(), -1);
    QCOMPARE(combo.currentIndex(), -1);
    QCOMPARE(changes, 13);

    // Changes from code show without running the handler, the current index included.
    model.SetItemIndex(1);
    model.SetText("frei");
    model.SetItemIndex(1);
    QCOMPARE(combo.currentText(), QString("Protokolliert"));
    QCOMPARE(combo.currentIndex(), 1);
    QCOMPARE(changes, 13);

    QTest::keyClicks(&combo, QString(300, 'a'));
    QCOMPARE(model.Text().size(), size_t{255});
  }

  void confirmationBoxHasNoTitleAndAsksOkOrCancel() {
    MessageBoxDialogs dialogs;
    BoxAnswer seen;
    AnswerNextBox("Abbrechen", seen);
    QCOMPARE(dialogs.Show(kConfirmation, "", MessageButtons::kOkCancel, MessageIcon::kNone),
             MessageResult::kCancel);
    QVERIFY(seen.title.isEmpty());
    QCOMPARE(seen.text, QString("Wollen Sie die Start-Datei umschreiben?"));
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
    QCOMPARE(seen.buttons, (QStringList{"OK", "Abbrechen"}));

    AnswerNextBox("OK", seen);
    QCOMPARE(dialogs.Show(kConfirmation, "", MessageButtons::kOkCancel, MessageIcon::kNone),
             MessageResult::kOk);
  }

  void errorBoxShowsTheStopIcon() {
    MessageBoxDialogs dialogs;
    BoxAnswer seen;
    AnswerNextBox("OK", seen);
    dialogs.Show(
        "Kann Datei C:\\X nicht \xF6"
        "ffnen.",
        "Startgarten", MessageButtons::kOk, MessageIcon::kStop);
    QCOMPARE(seen.title, QString("Startgarten"));
    QCOMPARE(seen.text, QString("Kann Datei C:\\X nicht öffnen."));
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.buttons, QStringList{"OK"});
  }
};

QTEST_MAIN(WindowControlsTest)
#include "window_controls_test.moc"
