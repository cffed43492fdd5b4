#include "app/form1.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "bootfile/ini_file.h"
#include "platform/system/program_path.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"
#include "support/boot_drive_fixture.h"

namespace startgarten {
namespace {

using namespace test_support;

class Form1Test : public BootDriveTest {
 protected:
  Form1Test() {
    drive.Write("AUTOEXEC.BAT", CrLf({"@ECHO OFF"}));
    const fs::path pictures =
        fs::path(std::getenv("STARTGARTEN_SOURCE_DIR")) / "examples/drive_c/WINDOWS";
    fs::create_directories(drive.Host("WINDOWS"));
    for (const char* name : {"LOGOW.SYS", "LOGOS.SYS"})
      fs::copy_file(pictures / name, drive.Host(std::string("WINDOWS/") + name));
  }

  // Runs a user event as the window does.
  void Event(void (TForm1::*handler)()) {
    window.HandleEvent([this, handler] { (window.*handler)(); });
  }

  TForm1 window{boxes, "Startgarten"};
  const OptionControls windowOptions = window.Options();
};

// Starting the program shows both pictures and reads the boot file, here of another host drive;
// closing it, also after a change, closes the window without saving. Neither changes anything on
// any drive: no byte, no name, no permission and no attribute.
TEST_F(Form1Test, StartingAndClosingChangesNothing) {
  drive.Write("MSDOS.SYS", CrLf({"[Paths]", "WinDir=C:\\WINDOWS", "HostWinBootDrv=H"}));
  Protect();
  drive.MapDrive('h');
  drive.Write("MSDOS.SYS", CrLf({"[Options]", "BootMenu=1", "BootMenuDelay=7"}), 'h');
  drive.Write("LOGOS.BMP", "stale", 'h');
  const std::string drives = drive.Snapshot() + drive.Snapshot('h');
  int closed = 0;
  window.OnClose = [&] { ++closed; };
  Event(&TForm1::FormCreate);
  EXPECT_EQ(std::pair(window.Image1.Picture.width, window.Image2.Picture.height),
            std::pair(320, 400));
  EXPECT_EQ(StateOf(windowOptions), With(kReadDefaults, "bootMenu=1 bootMenuDelay=7"));
  windowOptions.network.UserClick();
  Event(&TForm1::BitBtn3Click);
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(drive.Snapshot() + drive.Snapshot('h'), drives);
  EXPECT_TRUE(boxes.shown.empty());
}

// A shutdown picture that is a folder: renaming it works as for a file, reading it does not. The
// start shows the error under the program's title, gives the folder its name back and still reads
// the boot file.
TEST_F(Form1Test, AnErrorInThePreviewIsShownAndTheBootFileIsStillRead) {
  WriteBootFile({"BootMenu=1"});
  fs::remove(drive.Host("WINDOWS/LOGOS.SYS"));
  drive.Write("WINDOWS/logos.sys/inside", "not a picture");
  Event(&TForm1::FormCreate);
  EXPECT_EQ(boxes.Described(),
            std::vector<std::string>{CannotOpen("C:\\WINDOWS\\logos.BMP") + ".|Startgarten|0|1"});
  EXPECT_EQ(drive.Entries("WINDOWS"), (std::set<std::string>{"LOGOW.SYS", "WIN.COM", "logos.sys"}));
  EXPECT_EQ(drive.Read("WINDOWS/logos.sys/inside"), "not a picture");
  EXPECT_TRUE(window.Image2.Picture.Empty());
  EXPECT_TRUE(windowOptions.bootMenu.Checked());
}

// A Windows directory on a letter that leads out of the drives into the host: the start says once
// that the letter is refused, and still reads the boot file.
TEST_F(Form1Test, AWindowsDirectoryOnARefusedLetterIsSaidOnce) {
  drive.Write("MSDOS.SYS", CrLf({"[Paths]", "WinDir=Z:\\WINDOWS", "HostWinBootDrv=C", "",
                                 "[Options]", "BootMenu=1"}));
  drive.LinkDrive('z', "/");
  Event(&TForm1::FormCreate);
  EXPECT_EQ(boxes.Described(),
            std::vector<std::string>{FormatMessageText(messages::kDriveHoldsDriveC, {"Z", "/"}) +
                                     ".|Startgarten|0|1"});
  EXPECT_TRUE(windowOptions.bootMenu.Checked());
}

// The write command asks first and writes on OK; either answer reads the file back, so Cancel
// discards the window's changes. A write that fails shows its error with a period under the
// program's title, and does not read back.
TEST_F(Form1Test, WriteAsksFirstAndReadsBackUnlessItFailed) {
  WriteBootFile({"BootMenu=0", ";PROMPT=0"});
  Event(&TForm1::FormCreate);
  const OptionState read = StateOf(windowOptions);
  const std::string before = BootFile();
  windowOptions.bootMenu.UserClick();
  windowOptions.bootDelay.UserSetText("99");
  boxes.answers = {MessageResult::kCancel};
  Event(&TForm1::StartDateischreiben1Click);
  EXPECT_EQ(StateOf(windowOptions), read);
  EXPECT_EQ(BootFile(), before);
  windowOptions.bootMenu.UserClick();
  Event(&TForm1::StartDateischreiben1Click);
  EXPECT_EQ(TIniFile("c:\\msdos.sys").ReadText("Options", "BootMenu", ""), "1");
  EXPECT_TRUE(windowOptions.bootMenu.Checked());
  EXPECT_EQ(BootFileAttributes(), kProtected);

  fs::remove(drive.Host("AUTOEXEC.BAT"));
  windowOptions.bootMenuDelay.UserSetText("8");
  Event(&TForm1::StartDateischreiben1Click);
  const std::string question = "Wollen Sie die Start-Datei umschreiben?||1|0";
  EXPECT_EQ(boxes.Described(),
            (std::vector<std::string>{question, question, question,
                                      CannotOpen("c:\\autoexec.bat") + ".|Startgarten|0|1"}));
  EXPECT_EQ(windowOptions.bootMenuDelay.Text(), "8");  // no read-back
  EXPECT_EQ(BootFileAttributes(), kProtected);
}

// Boxes that, whenever one opens, start a second instance of the program in a child process: it
// removes what interrupted writes left, which waits for drive C's lock, and reads the drive for its
// window. Each box records whether the child got through within half a minute.
class SecondInstanceAtEachBox : public RecordingMessageBoxes {
 public:
  std::vector<bool> opened;

  MessageResult Show(const std::string& text, const std::string& title, MessageButtons buttons,
                     MessageIcon icon) override {
    const pid_t child = fork();
    if (child == 0) {
      ::alarm(30);  // ends a child that waits for a lock held while the box is open
      RecordingMessageBoxes boxes;
      TForm1 second(boxes, "Startgarten");
      second.HandleEvent([&second] { second.FormCreate(); });
      _exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    opened.push_back(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return RecordingMessageBoxes::Show(text, title, buttons, icon);
  }
};

// Every box the start and the write command show, among them the host drive box that the write
// shows before it writes, leaves drive C unlocked.
TEST_F(Form1Test, ASecondInstanceStartsWhileAnyBoxIsOpen) {
  const auto expectOpens = [](const char* situation, void (TForm1::*command)(), size_t count) {
    SCOPED_TRACE(situation);
    SecondInstanceAtEachBox boxes;
    TForm1 first(boxes, "Startgarten");
    first.HandleEvent([&] { (first.*command)(); });
    EXPECT_EQ(boxes.opened, std::vector<bool>(count, true))
        << testing::PrintToString(boxes.Texts());
  };
  drive.Write("MSDOS.SYS", CrLf({"[Options]"}));
  fs::remove(drive.Host("WINDOWS/LOGOW.SYS"));
  expectOpens("the start, without a picture and a host drive", &TForm1::FormCreate, 3);
  expectOpens("the write, without a host drive", &TForm1::StartDateischreiben1Click, 3);
  WriteBootFile({"BootMenu=1"});
  expectOpens("the write, confirmed", &TForm1::StartDateischreiben1Click, 1);
  fs::remove(drive.Host("AUTOEXEC.BAT"));
  expectOpens("the write, failing", &TForm1::StartDateischreiben1Click, 2);
}

TEST(ApplicationTitle, FileNameBeforeItsFirstPeriodWithLaterLettersInLowerCase) {
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\PROGRAMME\\START.EXE", "Start"},
      {"START.V2.EXE", "Start"},
      {"/usr/local/bin/StartGarten", "Startgarten"},
      {"build/app/view/startgarten", "startgarten"},
      {"/opt/\303\234BER.EXE", "\334ber"},  // Ü: UTF-8 in the path, code page 1252 in the title
      // The running program's path names its file, here this test's.
      {platform::RunningProgramPath(), "form1_test"}};
  for (const auto& [path, title] : cases) EXPECT_EQ(ApplicationTitleFromPath(path), title);
}

}  // namespace
}  // namespace startgarten
