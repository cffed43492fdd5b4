// Writes PNG pictures into the directory named by STARTGARTEN_SCREENSHOT_DIR (scripts/
// screenshots.sh sets it): the window's five pages on a copy of the sample drive, the write
// command's confirmation box, and the box before the window: when drive C does not exist, when
// an empty folder was chosen as drive C, and with the drives chosen lately. Drive C stays chosen
// once it is, so the pictures that choose it come last.
#include "app/view/desktop_integration.h"
#include "app/view/first_start_box.h"
#include "app/view/message_box_dialog.h"
#include "platform/drives/drive_locations.h"
#include "platform/recent_drives.h"
#include "tests/gui/window_fixture.h"

using namespace startgarten;
using namespace startgarten::test_support;

namespace {

// Saves the next modal box as the picture and closes it with Escape.
void GrabNextBox(const QString& picture) {
  QTimer::singleShot(0, [picture] {
    QWidget* box = QApplication::activeModalWidget();
    QVERIFY(box);
    QVERIFY(box->grab().save(picture));
    QTest::keyClick(box, Qt::Key_Escape);
  });
}

}  // namespace

class WindowScreenshots : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    IntegrateWithDesktop();
    QVERIFY2(!directory_.isEmpty(), "STARTGARTEN_SCREENSHOT_DIR names no directory");
    QVERIFY(QDir().mkpath(directory_));
  }

  void writeFirstStartBox() {
    WindowFixture fixture;
    std::filesystem::remove(fixture.drive.Link('c'));
    GrabNextBox(directory_ + "/first-start.png");
    QVERIFY(!FindDriveC());
  }

  void writePagesAndConfirmationBox() {
    WindowFixture fixture;
    const std::filesystem::path sample =
        std::filesystem::path(qEnvironmentVariable("STARTGARTEN_SOURCE_DIR").toStdString()) /
        "examples" / "drive_c";
    std::filesystem::copy(sample, fixture.drive.Root(),
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    QVERIFY(fixture.Open());

    auto* pages = fixture.Find<QTabWidget>("PageControl1");
    for (int page = 0; page < pages->count(); ++page) {
      pages->setCurrentIndex(page);
      const QString name = pages->tabText(page).replace('/', '-');
      QVERIFY(fixture.window.grab().save(
          QString("%1/page%2-%3.png").arg(directory_).arg(page + 1).arg(name)));
    }

    MessageBoxDialogs dialogs;
    dialogs.SetOwner(&fixture.window);
    GrabNextBox(directory_ + "/confirmation.png");
    dialogs.Show(kConfirmation, "", MessageButtons::kOkCancel, MessageIcon::kNone);
  }

  void writeNoBootDriveBox() {
    WindowFixture fixture;
    const std::filesystem::path empty = fixture.drive.Base() / "leer";
    std::filesystem::create_directories(empty);
    platform::ChooseDriveC(empty.string());
    GrabNextBox(directory_ + "/no-boot-drive.png");
    QVERIFY(!FindDriveC());
  }

  void writeRecentDrivesBox() {
    WindowFixture fixture;
    const std::filesystem::path base = fixture.drive.Base();
    for (const char* name : {"86box/win95.img", "pcem/win95-osr2.vhd", "qemu/w95.img"}) {
      std::filesystem::create_directories((base / name).parent_path());
      std::ofstream(base / name) << "";
    }
    for (const char* name :
         {"qemu/w95.img", "alt/win95", "pcem/win95-osr2.vhd", "mnt/win95", "86box/win95.img"}) {
      platform::RememberRecentDrive((base / name).string());
    }
    platform::ChooseDriveC((base / "nirgends").string());
    GrabNextBox(directory_ + "/recent-drives.png");
    QVERIFY(!FindDriveC());
  }

 private:
  const QString directory_ = qEnvironmentVariable("STARTGARTEN_SCREENSHOT_DIR");
};

QTEST_MAIN(WindowScreenshots)
#include "window_screenshots.moc"
