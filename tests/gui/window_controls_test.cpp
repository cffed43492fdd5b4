// The spin edits, the combo box and the message boxes as the user works them.
#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include "app/view/combo_box_view.h"
#include "app/view/message_box_dialog.h"
#include "app/view/spin_button.h"
#include "tests/gui/window_fixture.h"

using namespace startgarten;
using namespace startgarten::test_support;

namespace {

// Once the next message box is open, notes its title, text, icon and buttons and clicks the
// button with the caption.
void AnswerNextBox(const QString& caption, QStringList& seen) {
  QTimer::singleShot(0, [caption, &seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    QVERIFY(box);
    seen = QStringList{box->windowTitle(), box->text(), QString::number(box->icon())};
    for (QAbstractButton* button : box->buttons()) seen << button->text();
    for (QAbstractButton* button : box->buttons()) {
      if (button->text() == caption) QTest::mouseClick(button, Qt::LeftButton);
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
    fixture.ShowPage(0);
    auto* spinEdit = fixture.Find<QLineEdit>("SpinEdit1");
    spinEdit->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(spinEdit, "-1a2 x");
    QCOMPARE(fixture.form.SpinEdit1.Text(), std::string("-12"));

    QGuiApplication::clipboard()->setText("12 ");
    spinEdit->selectAll();
    QTest::keyClick(spinEdit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(fixture.form.SpinEdit1.Text(), std::string("12 "));
    QTest::keyClick(spinEdit, Qt::Key_Up);  // "12 " reads as 0
    QTest::keyClick(spinEdit, Qt::Key_Down);
    QTest::keyClick(spinEdit, Qt::Key_Down);
    QCOMPARE(spinEdit->text(), QString("-1"));
  }

  // A click steps on the press and once more on the release over the button.
  void spinButtonsStepOnPressAndRelease() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    fixture.ShowPage(0);
    QList<SpinButton*> buttons = fixture.Find("SpinEdit2")->findChildren<SpinButton*>();
    std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->y() < b->y(); });
    QTest::mousePress(buttons[0], Qt::LeftButton);
    QCOMPARE(fixture.form.SpinEdit2.Value(), 3);
    QTest::mouseRelease(buttons[0], Qt::LeftButton);
    QCOMPARE(fixture.form.SpinEdit2.Value(), 4);
    QTest::mousePress(buttons[1], Qt::LeftButton);
    QTest::mouseMove(buttons[1], QPoint(-20, -20));
    QTest::mouseRelease(buttons[1], Qt::LeftButton, {}, QPoint(-20, -20));
    QCOMPARE(fixture.form.SpinEdit2.Value(), 3);
  }

  void choosingFromTheListRunsTheChangeHandler() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    fixture.ShowPage(0);
    auto* combo = fixture.Find<QComboBox>("ComboBox1");
    combo->setFocus(Qt::TabFocusReason);
    QTest::keyClick(combo, Qt::Key_Down, Qt::AltModifier);
    QTRY_VERIFY(combo->view()->isVisible());
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    QCOMPARE(fixture.form.ComboBox1.ItemIndex(), 2);
    // The form's change handler puts the selected entry's text back after an edit.
    QTest::keyClicks(combo, "x");
    QCOMPARE(combo->currentText(), QString("Abgesichert"));
  }

  // Typing an entry's text, Enter and leaving the field select nothing and complete nothing;
  // changes from code run no change handler.
  void fieldAndSelectionStayApart() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    TComboBox model(fixture.form.ComboBox1.Items());
    int changes = 0;
    model.OnChange = [&changes] { ++changes; };
    ComboBoxView combo(fixture.form, model, 13, fixture.Find("TabSheet4"));
    combo.show();
    combo.setFocus(Qt::TabFocusReason);
    QTest::keyClicks(&combo, "Pro");
    QCOMPARE(combo.currentText(), QString("Pro"));
    QTest::keyClicks(&combo, "tokolliert");
    QTest::keyClick(&combo, Qt::Key_Return);
    fixture.Find("CheckBox8")->setFocus(Qt::TabFocusReason);
    QCOMPARE(model.ItemIndex(), -1);
    QCOMPARE(combo.currentIndex(), -1);
    QCOMPARE(changes, 13);

    model.SetItemIndex(1);
    model.SetText("frei");
    model.SetItemIndex(1);
    QCOMPARE(combo.currentText(), QString("Protokolliert"));
    QCOMPARE(changes, 13);
    QTest::keyClicks(&combo, QString(300, 'a'));
    QCOMPARE(model.Text().size(), size_t{255});
  }

  void messageBoxesShowTitleIconAndButtons() {
    MessageBoxDialogs dialogs;
    QStringList seen;
    AnswerNextBox("Abbrechen", seen);
    QCOMPARE(dialogs.Show(kConfirmation, "", MessageButtons::kOkCancel, MessageIcon::kNone),
             MessageResult::kCancel);
    QCOMPARE(seen, (QStringList{"", "Wollen Sie die Start-Datei umschreiben?",
                                QString::number(QMessageBox::NoIcon), "OK", "Abbrechen"}));
    AnswerNextBox("OK", seen);
    QCOMPARE(dialogs.Show("Kann Datei C:\\X nicht \xF6"
                          "ffnen.",
                          "Startgarten", MessageButtons::kOk, MessageIcon::kStop),
             MessageResult::kOk);
    QCOMPARE(seen,
             (QStringList{"Startgarten", QStringLiteral("Kann Datei C:\\X nicht \u00F6ffnen."),
                          QString::number(QMessageBox::Critical), "OK"}));
  }
};

QTEST_MAIN(WindowControlsTest)
#include "window_controls_test.moc"
