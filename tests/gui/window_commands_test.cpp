// The window's commands: the popup menu and where it opens, the menu bar, the write command's
// confirmation and the error display.
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>

#include "app/view/spin_button.h"
#include "tests/gui/window_fixture.h"

using namespace startgarten;
using namespace startgarten::test_support;

namespace {

// Whether a right click at the point, the widget's centre by default, opens the popup menu.
bool RightClickOpensPopup(const WindowFixture& fixture, QWidget* widget, QPoint at = {}) {
  QTest::mouseClick(widget, Qt::RightButton, {}, at.isNull() ? widget->rect().center() : at);
  auto* popup = fixture.Find<QMenu>("PopupMenu1");
  const bool opened = popup->isVisible();
  popup->hide();
  return opened;
}

void Choose(QMenu* menu, const char* item) {
  QTRY_VERIFY(menu->isVisible());
  QTest::mouseClick(menu, Qt::LeftButton, {},
                    menu->actionGeometry(menu->findChild<QAction*>(item)).center());
}

}  // namespace

class WindowCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void popupMenuOpensOverThePagesOnly() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    QVERIFY(RightClickOpensPopup(fixture, fixture.Find("Label6")));
    QVERIFY(RightClickOpensPopup(fixture, fixture.Find("CheckBox8")));
    QVERIFY(RightClickOpensPopup(fixture, fixture.Find("TabSheet4"), QPoint(200, 20)));
    QTabBar* tabs = fixture.Find<QTabWidget>("PageControl1")->tabBar();
    QVERIFY(RightClickOpensPopup(fixture, tabs, tabs->tabRect(1).center()));
    fixture.ShowPage(4);
    QVERIFY(RightClickOpensPopup(fixture, fixture.Find("Image1")));
    fixture.ShowPage(0);
    QVERIFY(RightClickOpensPopup(fixture, fixture.Find("SpinEdit1")->findChild<SpinButton*>()));

    for (const char* button : {"BitBtn1", "BitBtn2", "BitBtn3"}) {
      QVERIFY2(!RightClickOpensPopup(fixture, fixture.Find(button)), button);
    }
    QVERIFY(!RightClickOpensPopup(fixture, fixture.window.centralWidget(), QPoint(298, 3)));
  }

  void menuItemsRunTheirCommands() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    auto* popup = fixture.Find<QMenu>("PopupMenu1");
    QTest::mouseClick(fixture.Find("Label6"), Qt::RightButton);
    Choose(popup, "Beenden2");
    QCOMPARE(fixture.form.SpinEdit2.Text(), std::string("2"));  // the standard values
    fixture.boxes.answers = {MessageResult::kCancel};
    QTest::mouseClick(fixture.Find("Label6"), Qt::RightButton);
    Choose(popup, "StartDateischreiben2");
    QCOMPARE(fixture.boxes.Count(kConfirmation), 1);

    QMenuBar* bar = fixture.window.menuBar();
    auto* file = fixture.Find<QMenu>("Datei1");
    const QPoint fileTitle = bar->actionGeometry(file->menuAction()).center();
    QTest::mouseClick(fixture.Find("CheckBox10"), Qt::LeftButton);
    QTest::mouseClick(bar, Qt::LeftButton, {}, fileTitle);
    Choose(file, "StartDateilesen1");
    QVERIFY(fixture.form.CheckBox10.Checked());  // as read: LoadTop defaults to 1
    QTest::mouseClick(bar, Qt::LeftButton, {}, fileTitle);
    Choose(file, "Beenden1");
    QVERIFY(!fixture.window.isVisible());
  }

  // Both answers read the file back, so the window shows what the file holds.
  void confirmationWritesOnOkAndRereadsEitherWay() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    fixture.ShowPage(1);
    QTest::mouseClick(fixture.Find("CheckBox4"), Qt::LeftButton);
    fixture.boxes.answers = {MessageResult::kCancel};
    QTest::mouseClick(fixture.Find("BitBtn1"), Qt::LeftButton);
    const FakeMessageBoxes::Box& question = fixture.boxes.shown.back();
    QCOMPARE(question.text, kConfirmation);
    QCOMPARE(question.title, std::string());
    QCOMPARE(question.buttons, MessageButtons::kOkCancel);
    QVERIFY(!fixture.form.CheckBox4.Checked());
    QVERIFY(fixture.drive.Read("MSDOS.SYS")->find("Network=0") != std::string::npos);

    QTest::mouseClick(fixture.Find("CheckBox4"), Qt::LeftButton);
    QTest::mouseClick(fixture.Find("BitBtn1"), Qt::LeftButton);
    QVERIFY(fixture.form.CheckBox4.Checked());
    QVERIFY(fixture.drive.Read("MSDOS.SYS")->find("Network=1") != std::string::npos);
  }

  void errorShowsTheMessageWithAPeriodUnderTheApplicationTitle() {
    WindowFixture fixture(std::string(kBootFile) + "BootMenuDefault=abc\r\n");
    QVERIFY(fixture.Open());
    const FakeMessageBoxes::Box& error = fixture.boxes.shown.back();
    QCOMPARE(error.text, std::string("'abc' ist kein g\xFCltiger Integerwert."));
    QCOMPARE(error.title, std::string("Startgarten"));
    QCOMPARE(error.icon, MessageIcon::kStop);
    QCOMPARE(error.buttons, MessageButtons::kOk);
  }
};

QTEST_MAIN(WindowCommandsTest)
#include "window_commands_test.moc"
