// The start on a Linux desktop, with real input on the offscreen platform: Qt's own texts in
// German, the drive argument, and the one box shown instead of the window's first errors when
// drive C does not exist, with its choice of a folder as drive C. Drive C stays chosen once it is
// for the rest of the process, so the tests that choose it come last.
#include "app/command_line.h"
#include "app/view/desktop_integration.h"
#include "app/view/first_start_box.h"
#include "app/view/qt_text.h"
#include "platform/drive_locations.h"
#include "platform/messages.h"
#include "support/disk_images.h"
#include "tests/gui/window_fixture.h"

using namespace startgarten;
using namespace startgarten::test_support;

namespace {

// Answers the modal windows that open, one after the other, each with the next step. A window
// beyond the steps is recorded and closed with Escape, so that a test fails instead of hanging.
class ModalAnswers {
 public:
  using Step = std::function<void(QWidget*)>;
  explicit ModalAnswers(std::vector<Step> steps) : steps_(std::move(steps)) {
    timer_.callOnTimeout([this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || modal == last_ || !modal->isVisible()) return;
      last_ = modal;
      if (answered_ < steps_.size()) {
        steps_[answered_++](modal);
      } else {
        ++unexpected_;
        QTest::keyClick(modal, Qt::Key_Escape);
      }
    });
    timer_.start(10);
  }
  bool AllAnswered() const { return answered_ == steps_.size() && unexpected_ == 0; }

 private:
  std::vector<Step> steps_;
  size_t answered_ = 0;
  int unexpected_ = 0;
  QPointer<QWidget> last_;
  QTimer timer_;
};

QPushButton* ButtonNamed(QWidget* window, const char* text) {
  for (QPushButton* button : window->findChildren<QPushButton*>()) {
    if (button->text() == FromCp1252(text)) return button;
  }
  return nullptr;
}

// A step for the box: records its text and clicks the button.
ModalAnswers::Step Click(const char* button, QStringList* texts = nullptr) {
  return [button, texts](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    QVERIFY(box);
    if (texts) *texts << box->text();
    QVERIFY(ButtonNamed(box, button));
    QTest::mouseClick(ButtonNamed(box, button), Qt::LeftButton);
  };
}

// A step for the file dialog: types the path and clicks its German accept button, or presses
// Escape when the path is empty.
ModalAnswers::Step ChooseInFileDialog(const QString& path,
                                      const char* title = messages::kDriveCChooseFolderTitle,
                                      const QString& open = "&Auswählen") {
  return [path, title, open](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), FromCp1252(title));
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QString("Abbrechen"));
    QCOMPARE(buttons->button(QDialogButtonBox::Open)->text(), open);
    if (path.isEmpty()) return QTest::keyClick(dialog, Qt::Key_Escape);
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    // One key event with the whole path, as an input method sends it: typed a character at a
    // time, the path would race with the dialog's completion, which reads folders in a thread.
    QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, path, Qt::NoModifier);
    QTest::mouseClick(buttons->button(QDialogButtonBox::Open), Qt::LeftButton);
  };
}

}  // namespace

class DesktopStartTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { IntegrateWithDesktop(); }

  // The edit menu of a text field, which Qt draws itself, is German.
  void qtsOwnEditMenuIsGerman() {
    WindowFixture fixture;
    QVERIFY(fixture.Open());
    // Clicked through the window, as the mouse does: Qt turns the click into a context menu event.
    fixture.ShowPage(0);
    QWidget* field = fixture.Find("SpinEdit1");
    QTest::mouseClick(fixture.window.windowHandle(), Qt::RightButton, {},
                      field->mapTo(&fixture.window, QPoint(5, field->height() / 2)));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QStringList items;
    for (QAction* action : menu->actions()) items << action->text().split('\t').front();
    QTest::keyClick(menu, Qt::Key_Escape);
    QVERIFY(items.contains(QString("&Rückgängig")));
    QVERIFY(items.contains(QString("Einf&ügen")));
    QVERIFY(items.contains(QString("Alles auswählen")));
  }

  // startgarten DRIVE: the folder is drive C, the other drives still come from the prefix; a
  // DRIVE that does not exist brings the one box, naming it, and "Beenden" quits before the
  // window.
  void driveArgumentIsDriveCForThisRun() {
    WindowFixture fixture("[Paths]\r\nHostWinBootDrv=D\r\n[Options]\r\nBootMenuDelay=3\r\n");
    const std::filesystem::path folder = fixture.drive.Base() / "folder";
    fixture.drive.MapDrive('d');
    fixture.drive.Write("MSDOS.SYS", "[Options]\r\nBootMenuDelay=9\r\n", 'd');
    std::filesystem::create_directories(folder);
    std::filesystem::rename(fixture.drive.Host("WINDOWS"), folder / "WINDOWS");
    std::filesystem::rename(fixture.drive.Host("MSDOS.SYS"), folder / "MSDOS.SYS");

    const std::string missing = (fixture.drive.Base() / "nowhere").string();
    const char* missingArgv[] = {"startgarten", missing.c_str()};
    QCOMPARE(TakeCommandLine(2, missingArgv), std::optional<int>());
    QStringList texts;
    ModalAnswers quit({Click(messages::kDriveCQuit, &texts)});
    QVERIFY(!FindDriveC("Startgarten"));
    QVERIFY(quit.AllAnswered());
    QCOMPARE(texts.size(), 1);
    QVERIFY(texts[0].contains(QString("Gesucht wurde: ") + missing.c_str()));

    const char* argv[] = {"startgarten", "--", folder.c_str()};
    QCOMPARE(TakeCommandLine(3, argv), std::optional<int>());
    ModalAnswers none({});
    QVERIFY(FindDriveC("Startgarten"));
    QVERIFY(fixture.Open());
    QVERIFY(none.AllAnswered());
    QCOMPARE(fixture.Find<QLineEdit>("SpinEdit1")->text(), QString("9"));
  }

  // "Ordner wählen …" opens Qt's file dialog, in German; cancelling it brings the box back, and
  // the folder chosen is drive C: the window opens on it.
  void folderChosenInTheBoxIsDriveC() {
    WindowFixture fixture("[Paths]\r\nHostWinBootDrv=C\r\n[Options]\r\nBootMenuDelay=4\r\n");
    const std::filesystem::path folder = fixture.drive.Base() / "chosen";
    std::filesystem::rename(fixture.drive.Root(), folder);
    platform::ChooseDriveC(fixture.drive.Root().string());  // gone now

    QStringList texts;
    ModalAnswers answers({Click(messages::kDriveCChooseFolder, &texts), ChooseInFileDialog(""),
                          Click(messages::kDriveCChooseFolder, &texts),
                          ChooseInFileDialog(folder.c_str())});
    QVERIFY(FindDriveC("Startgarten"));
    QVERIFY(answers.AllAnswered());
    QCOMPARE(texts.size(), 2);
    QCOMPARE(platform::DriveLocation('c'), std::optional<std::string>(folder.string()));
    QVERIFY(fixture.Open());
    QCOMPARE(fixture.Find<QLineEdit>("SpinEdit1")->text(), QString("4"));
  }

  // "Abbild wählen …" makes a disk image drive C: the window opens on the boot file in it.
  void imageChosenInTheBoxIsDriveC() {
    WindowFixture fixture("");
    const DiskImage image = MakeFloppy(fixture.drive.Base() / "win95.img");
    PutFiles(image,
             {{"MSDOS.SYS", "[Paths]\r\nHostWinBootDrv=C\r\n[Options]\r\nBootMenuDelay=6\r\n",
               "+r +h +s"}});
    platform::ChooseDriveC((fixture.drive.Base() / "gone").string());
    ModalAnswers answers(
        {Click(messages::kDriveCChooseImage),
         ChooseInFileDialog(image.path.c_str(), messages::kDriveCChooseImageTitle, "&Öffnen")});
    QVERIFY(FindDriveC("Startgarten"));
    QVERIFY(answers.AllAnswered());
    QCOMPARE(platform::DriveLocation('c'), std::optional<std::string>(image.path.string()));
    fixture.Open();
    QCOMPARE(fixture.Find<QLineEdit>("SpinEdit1")->text(), QString("6"));
  }
};

QTEST_MAIN(DesktopStartTest)
#include "desktop_start_test.moc"
