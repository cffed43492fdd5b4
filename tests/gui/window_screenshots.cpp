// Writes PNG pictures of the window's five pages and of the confirmation box into the directory
// named by STARTGARTEN_SCREENSHOT_DIR, to compare with the layout; does nothing without it.
#include <QDir>
#include <QMessageBox>
#include <QTimer>

#include "app/view/message_box_dialog.h"
#include "tests/gui/window_fixture.h"

using namespace startgarten;
using namespace startgarten::test_support;

class WindowScreenshots : public QObject {
  Q_OBJECT

 private slots:
  void writePagesAndConfirmationBox() {
    const QString directory = qEnvironmentVariable("STARTGARTEN_SCREENSHOT_DIR");
    if (directory.isEmpty()) QSKIP("STARTGARTEN_SCREENSHOT_DIR names no directory");
    QVERIFY(QDir().mkpath(directory));

    WindowFixture fixture;
    const std::filesystem::path samples =
        std::filesystem::path(qEnvironmentVariable("STARTGARTEN_SOURCE_DIR").toStdString()) /
        "examples" / "drive_c" / "WINDOWS";
    for (const char* logo : {"LOGOW.SYS", "LOGOS.SYS"}) {
      std::filesystem::copy_file(samples / logo, fixture.drive.Host("WINDOWS") / logo);
    }
    QVERIFY(fixture.Open());

    auto* pages = fixture.Find<QTabWidget>("PageControl1");
    for (int page = 0; page < pages->count(); ++page) {
      pages->setCurrentIndex(page);
      const QString name = pages->tabText(page).replace('/', '-');
      QVERIFY(fixture.window.grab().save(
          QString("%1/page%2-%3.png").arg(directory).arg(page + 1).arg(name)));
    }

    MessageBoxDialogs dialogs;
    dialogs.SetOwner(&fixture.window);
    QTimer::singleShot(0, [&directory] {
      QWidget* box = QApplication::activeModalWidget();
      QVERIFY(box);
      QVERIFY(box->grab().save(directory + "/confirmation.png"));
      static_cast<QMessageBox*>(box)->reject();
    });
    dialogs.Show(kConfirmation, "", MessageButtons::kOkCancel, MessageIcon::kNone);
  }
};

QTEST_MAIN(WindowScreenshots)
#include "window_screenshots.moc"
