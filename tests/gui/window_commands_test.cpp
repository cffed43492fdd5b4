// The window's commands: the popup menu and where it opens, the menu bar, the write command's
// confirmation, and the error display.
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "app/view/spin_button.h"
#include "tests/gui/window_fixture.h"

using namespace startgarten;
using namespace startgarten::test_support;

namespace {

QMenu* PopupMenu(const WindowFixture& fixture) {
  return fixture.Find<QMenu>("PopupMenu1");
}

void ShowPage(const WindowFixture& fixture, int page) {
  QTabBar* tabs = fixture.Find<QTabWidget>("PageControl1")->tabBar();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(page).center());
}

// Whether a right click at the point (the widget's centre by default) opens the popup menu.
bool RightClickOpensPopup(const WindowFixture& fixture, QWidget* widget, QPoint at = {}) {
  QTest::mouseClick(widget, Qt::RightButton, {}, at.isNull() ? widget->rect().center() : at);
  const bool opened = PopupMenu(fixture)->isVisible();
  PopupMenu(fixture)->hide();
  return opened;
}

// Chooses a menu item with the mouse.
void Choose(QMenu* menu, const char* item) {
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
    ShowPage(fixture, 4);
    QVERIFY(RightClickOpensPopup(fixture, fixture.Find("Image1")));
    ShowPage(fixture, 0);
    QVERIFY(RightClickOpensPopup(fixture, fixture.Find("SpinEdit1")->findChild<SpinButton*>()));

    for (const char* button : {"BitBtn1", "BitBtn2", "BitBtn3"}) {
      QVERIFY2(!RightClickOpensPopup(fixture, fixture.Find(button)), button);
    }
    QVERIFY(!RightClickOpensPopup(fixture, fixture.window.centralWidget(), QPoint(298, 3)));
    QVERIFY(!RightClickOpensPopup(fixture, fixture.window.menuBar()));
  }

  void popupMenuItemsRunTheirCommands() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    QCOMPARE(PopupMenu(fixture)->actions().size(), 6);

    QTest::mouseClick(fixture.Find("Label6"), Qt::RightButton);
    Choose(PopupMenu(fixture), "Beenden2");
    QCOMPARE(fixture.form.SpinEdit2.Text(), std::string("2"));  // the standard values

    fixture.boxes.answers = {MessageResult::kCancel};
    QTest::mouseClick(fixture.Find("Label6"), Qt::RightButton);
    Choose(PopupMenu(fixture), "StartDateischreiben2");
    QCOMPARE(fixture.boxes.Count(kConfirmation), 1);

    QTest::mouseClick(fixture.Find("Label6"), Qt::RightButton);
    Choose(PopupMenu(fixture), "Beenden3");
    QVERIFY(!fixture.window.isVisible());
  }

  void menuBarReadsAndCloses() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    QMenuBar* bar = fixture.window.menuBar();
    auto* file = fixture.Find<QMenu>("Datei1");
    QCOMPARE(file->title(), QString("Datei"));

    QTest::mouseClick(fixture.Find("CheckBox10"), Qt::LeftButton);
    QVERIFY(!fixture.form.CheckBox10.Checked());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(file->menuAction()).center());
    QTRY_VERIFY(file->isVisible());
    Choose(file, "StartDateilesen1");
    QVERIFY(fixture.form.CheckBox10.Checked());  // LoadTop defaults to 1

    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(file->menuAction()).center());
    QTRY_VERIFY(file->isVisible());
    Choose(file, "Beenden1");
    QVERIFY(!fixture.window.isVisible());
  }

  // Both answers read the file back, so the window shows what the file holds.
  void confirmationWritesOnOkAndRereadsEitherWay() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    ShowPage(fixture, 1);
    auto* network = fixture.Find("CheckBox4");

    QTest::mouseClick(network, Qt::LeftButton);
    QVERIFY(fixture.form.CheckBox4.Checked());
    fixture.boxes.answers = {MessageResult::kCancel};
    QTest::mouseClick(fixture.Find("BitBtn1"), Qt::LeftButton);
    QCOMPARE(fixture.boxes.shown.back().text, kConfirmation);
    QCOMPARE(fixture.boxes.shown.back().title, std::string());
    QCOMPARE(fixture.boxes.shown.back().buttons, MessageButtons::kOkCancel);
    QVERIFY(!fixture.form.CheckBox4.Checked());
    QVERIFY(fixture.drive.Read("MSDOS.SYS")->find("Network=0") != std::string::npos);

    QTest::mouseClick(network, Qt::LeftButton);
    fixture.boxes.answers = {MessageResult::kOk};
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
    QVERIFY(fixture.window.isVisible());
  }
};

QTEST_MAIN(WindowCommandsTest)
#include "window_commands_test.moc"
