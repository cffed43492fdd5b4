// The start on a Linux desktop, with real input on the offscreen platform: Qt's own texts in
// German, the drive argument, the one box shown instead of the window's first errors when drive C
// does not exist or is no Windows 95 boot drive, with its choice of a folder, an image or a drive
// chosen lately as drive C, and the busy cursor. Drive C stays chosen once it is for the rest of
// the process, so the tests that choose it come last.
#include "app/command_line.h"
#include "app/drive_c_notice.h"
#include "app/program_messages.h"
#include "app/view/desktop_integration.h"
#include "app/view/first_start_box.h"
#include "app/view/message_box_dialog.h"
#include "app/view/qt_text.h"
#include "platform/drives/drive_locations.h"
#include "platform/recent_drives.h"
#include "support/disk_images.h"
#include "tests/gui/window_fixture.h"

using namespace startgarten;
using namespace startgarten::test_support;

namespace {

// Answers the modal windows that open, one after the other, each with the next step. A window
// beyond the steps is counted and closed with Escape, so that a test fails instead of hanging.
// A window is answered once it has been the active one for two ticks of the timer, so that a box
// that comes back into view only to close is left alone; the step runs after the timer's call has
// ended, since a click may open the next window in a loop of its own, in which the timer goes on.
class ModalAnswers {
 public:
  using Step = std::function<void(QWidget*)>;
  explicit ModalAnswers(std::vector<Step> steps) : steps_(std::move(steps)) {
    timer_.callOnTimeout([this] {
      QWidget* modal = QApplication::activeModalWidget();
      const bool settled = modal == candidate_;
      candidate_ = modal;
      if (!modal || !settled || modal == last_ || !modal->isVisible()) return;
      last_ = modal;
      const Step escape = [](QWidget* unexpected) { QTest::keyClick(unexpected, Qt::Key_Escape); };
      const Step step = windows_ < steps_.size() ? steps_[windows_] : escape;
      ++windows_;
      QMetaObject::invokeMethod(
          modal, [step, modal] { step(modal); }, Qt::QueuedConnection);
    });
    timer_.start(10);
  }
  bool AllAnswered() const { return windows_ == steps_.size(); }

 private:
  std::vector<Step> steps_;
  size_t windows_ = 0;  // that opened, each answered with its step or, beyond them, Escape
  QPointer<QWidget> last_;
  QPointer<QWidget> candidate_;
  QTimer timer_;
};

// The title and text of the box before the window: its paragraphs, one label each, those in a
// fixed-width font indented as the notice writes its commands.
QString BoxText(QWidget* box) {
  QStringList paragraphs{box->windowTitle()};
  for (QLabel* label : box->findChildren<QLabel*>()) {
    if (QFontInfo(label->font()).fixedPitch())
      paragraphs << "    " + label->text().replace('\n', "\n    ");
    else if (!label->text().isEmpty())
      paragraphs << label->text();
  }
  return paragraphs.join("\n\n");
}

// A step for a box: records its text and clicks the button.
ModalAnswers::Step Click(const char* caption, QStringList* texts = nullptr) {
  return [button = FromCp1252(caption), texts](QWidget* modal) {
    if (texts) *texts << BoxText(modal);
    const QList<QPushButton*> buttons = modal->findChildren<QPushButton*>();
    const auto target = std::ranges::find(buttons, button, &QPushButton::text);
    QVERIFY2(target != buttons.end(), qPrintable(button));
    QTest::mouseClick(*target, Qt::LeftButton);
  };
}

// The cursor the application shows over its windows now: the override cursor's shape, or
// Qt::ArrowCursor without one.
Qt::CursorShape CursorNow() {
  const QCursor* cursor = QGuiApplication::overrideCursor();
  return cursor ? cursor->shape() : Qt::ArrowCursor;
}

// The program's message boxes, recording the cursor at the moment a command asks for each.
class CursorAtEachBox : public MessageBoxDialogs {
 public:
  QList<Qt::CursorShape> asked;

  MessageResult Show(const std::string& text, const std::string& title, MessageButtons buttons,
                     MessageIcon icon) override {
    asked << CursorNow();
    return MessageBoxDialogs::Show(text, title, buttons, icon);
  }
};

// A step for the file dialog: checks its German title, buttons and file types (the folder dialog's
// are Qt's), types the path and clicks its accept button, or presses Escape when the path is empty.
ModalAnswers::Step ChooseInFileDialog(const QString& path,
                                      const char* title = messages::kDriveCChooseFolderTitle,
                                      const QString& open = "&Auswählen",
                                      const QStringList& filters = {"Alle Dateien (*)"}) {
  return [path, title, open, filters](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), FromCp1252(title));
    QCOMPARE(dialog->nameFilters(), filters);
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
    for (const QString item : {"&Rückgängig", "Einf&ügen", "Alles auswählen"})
      QVERIFY2(items.contains(item), qPrintable(item));
  }

  // While a command reads or writes, the cursor is busy; a box that it shows has the normal
  // cursor while it waits for the user; after the command, also after an error, nothing is left.
  void busyCursorWhileACommandUsesTheDisk() {
    WindowFixture fixture("[Paths]\r\n[Options]\r\n");  // names no host drive
    CursorAtEachBox boxes;
    TForm1 form(boxes, "Startgarten");
    MainWindow window(form);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QList<Qt::CursorShape> shown;
    // Clicks OK and answers as many boxes with OK, recording the cursor over each.
    const auto clickOk = [&window, &shown](size_t boxes) {
      const ModalAnswers answers(
          std::vector<ModalAnswers::Step>(boxes, [&shown, ok = Click("OK")](QWidget* modal) {
            shown << CursorNow();
            ok(modal);
          }));
      QTest::mouseClick(window.findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
      return answers.AllAnswered();
    };
    // The question, the host drive box of the write and that of the read-back.
    QVERIFY(clickOk(3));
    fixture.drive.Write("MSDOS.SYS", kBootFile);
    fs::remove(fixture.drive.Host("AUTOEXEC.BAT"));
    // The question, and the error that ends the write.
    QVERIFY(clickOk(2));
    QCOMPARE(boxes.asked, QList<Qt::CursorShape>(5, Qt::WaitCursor));
    QCOMPARE(shown, QList<Qt::CursorShape>(5, Qt::ArrowCursor));
    QVERIFY(!QGuiApplication::overrideCursor());
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
         ChooseInFileDialog(image.path.c_str(), messages::kDriveCChooseImageTitle, "&Öffnen",
                            {"Abbilddateien (*.img *.ima *.raw *.bin *.dsk *.vfd *.flp *.vhd "
                             "*.vhdx *.qcow2 *.qcow *.qed *.vdi *.vmdk *.hdd *.hds)",
                             "Alle Dateien (*)"})});
    QVERIFY(FindDriveC());
    QVERIFY(answers.AllAnswered());
    fixture.Open();
    QCOMPARE(fixture.Find<QLineEdit>("SpinEdit1")->text(), QString("6"));
  }

  // startgarten DRIVE, with a DRIVE that does not exist and with one that is no Windows 95 boot
  // drive (an empty folder), brings the one box, naming it, and "Beenden" quits before the window.
  // "Ordner wählen …" in the box opens Qt's file dialog, in German; cancelling that brings the box
  // back, and the folder chosen is drive C, the other drives still come from the prefix: the window
  // opens on it. Only that one is remembered.
  void aDriveArgumentThatIsNoBootDriveBringsTheBoxInstead() {
    WindowFixture fixture("[Paths]\r\nHostWinBootDrv=D\r\n[Options]\r\nBootMenuDelay=3\r\n");
    const fs::path folder = fixture.drive.Base() / "folder";
    const fs::path empty = fixture.drive.Base() / "empty";
    fixture.drive.MapDrive('d');
    fixture.drive.Write("MSDOS.SYS", "[Options]\r\nBootMenuDelay=9\r\n", 'd');
    fs::create_directories(empty);
    fs::rename(fixture.drive.Root(), folder);  // the prefix's drive C is gone

    const std::string missing = (fixture.drive.Base() / "nowhere").string();
    // The box is titled as the window and shows the notice, which DriveCNoticeTest words, naming
    // the drive; its commands are in a fixed-width font, its text is not.
    for (const std::string& drive : {missing, empty.string()}) {
      const char* argv[] = {"startgarten", drive.c_str()};
      QCOMPARE(TakeCommandLine(2, argv), std::optional<int>());
      QStringList texts;
      ModalAnswers quit({Click(messages::kDriveCQuit, &texts)});
      QVERIFY(!FindDriveC());
      QVERIFY(quit.AllAnswered());
      QCOMPARE(texts, QStringList{"Startgarten\n\n" + FromCp1252(*DriveCNotice())});
      QVERIFY2(texts[0].contains(drive.c_str()), qPrintable(texts[0]));
    }
    QVERIFY(platform::RecentDrives().empty());

    ModalAnswers again({Click(messages::kDriveCChooseFolder), ChooseInFileDialog(""),
                        Click(messages::kDriveCChooseFolder), ChooseInFileDialog(folder.c_str())});
    QVERIFY(FindDriveC());
    QVERIFY(again.AllAnswered());
    QVERIFY(fixture.Open());
    QCOMPARE(fixture.Find<QLineEdit>("SpinEdit1")->text(), QString("9"));
    QCOMPARE(platform::RecentDrives(), std::vector<std::string>{folder.string()});
  }

  // The box lists the drives chosen lately, the latest first, each opened with one click; one
  // that is gone is shown so and cannot be clicked. The one opened becomes the latest. A path is
  // shown as it is: its "&", doubled in the caption, makes no keyboard shortcut.
  void drivesChosenLatelyOpenWithOneClick() {
    WindowFixture fixture;
    const fs::path base = fixture.drive.Base(), root = fixture.drive.Root();
    for (const char* name : {"c", "R&D", "e"}) fs::create_directories(base / name);
    for (const fs::path& path : {root, base / "gone", base / "c", base / "R&D", base / "e"})
      platform::RememberRecentDrive(path.string());
    platform::ChooseDriveC((base / "missing").string());

    QStringList captions;  // of the paths' buttons, each marked when disabled or the default
    ModalAnswers answers({[&, open = Click(root.c_str())](QWidget* box) {
      for (QPushButton* button : box->findChildren<QPushButton*>()) {
        if (!button->text().startsWith('/')) continue;
        captions << button->text() + (button->isEnabled() ? "" : " disabled") +
                        (button->isDefault() ? " default" : "");
      }
      open(box);
    }});
    QVERIFY(FindDriveC());
    QVERIFY(answers.AllAnswered());
    const auto shown = [&base](const char* name) { return QString((base / name).c_str()); };
    QCOMPARE(captions,
             QStringList({shown("e") + " default", shown("R&&D"), shown("c"),
                          shown("gone") + " (nicht mehr vorhanden) disabled", root.c_str()}));
    QCOMPARE(platform::DriveLocation('c'), std::optional<std::string>(root.string()));
    QCOMPARE(platform::RecentDrives().front(), root.string());
  }
};

QTEST_MAIN(DesktopStartTest)
#include "desktop_start_test.moc"
