#include "app/form1.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "bootfile/ini_file.h"
#include "platform/error.h"
#include "platform/program_path.h"
#include "support/boot_drive_fixture.h"

namespace startgarten {
namespace {

using test_support::CrLf;

class Form1Test : public test_support::BootDriveTest {
 protected:
  Form1Test() {
    drive.Write("AUTOEXEC.BAT", CrLf({"@ECHO OFF"}));
    const std::filesystem::path pictures =
        std::filesystem::path(std::getenv("STARTGARTEN_SOURCE_DIR")) / "examples/drive_c/WINDOWS";
    for (const char* name : {"LOGOW.SYS", "LOGOS.SYS"}) {
      std::filesystem::create_directories(drive.Host("WINDOWS"));
      std::filesystem::copy_file(pictures / name, drive.Host(std::string("WINDOWS/") + name));
    }
  }

  // Runs a user event as the window does.
  void Event(void (TForm1::*handler)()) {
    window.HandleEvent([this, handler] { (window.*handler)(); });
  }

  TForm1 window{boxes, "Startgarten"};
};

TEST_F(Form1Test, CreationShowsBothPicturesAndReadsTheBootFile) {
  WriteBootFile({"BootMenu=1", "BootMenuDelay=7"});
  Event(&TForm1::FormCreate);
  EXPECT_EQ(window.Image1.Picture.width, 320);
  EXPECT_EQ(window.Image2.Picture.height, 400);
  EXPECT_TRUE(window.CheckBox1.Checked());
  EXPECT_EQ(window.SpinEdit1.Text(), "7");
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Form1Test, AnErrorInThePreviewIsShownAndTheBootFileIsStillRead) {
  WriteBootFile({"BootMenu=1"});
  std::filesystem::remove(drive.Host("WINDOWS/LOGOS.SYS"));
  Event(&TForm1::FormCreate);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Datei nicht gefunden.");
  EXPECT_EQ(boxes.shown[0].title, "Startgarten");
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::kStop);
  EXPECT_TRUE(window.CheckBox1.Checked());
}

// Starting the program and closing it changes nothing on any drive: no byte, no name, no
// permission and no attribute, neither of drive C's boot file nor of another host drive's.
TEST_F(Form1Test, StartingAndClosingChangesNothing) {
  drive.Write("MSDOS.SYS", CrLf({"[Paths]", "WinDir=C:\\WINDOWS", "HostWinBootDrv=H"}));
  Protect();
  drive.MapDrive('h');
  drive.Write("MSDOS.SYS", CrLf({"[Options]", "BootMenu=1"}), 'h');
  drive.Write("LOGOS.BMP", "stale", 'h');
  const std::string driveC = drive.Snapshot(), driveH = drive.Snapshot('h');
  Event(&TForm1::FormCreate);
  EXPECT_TRUE(window.CheckBox1.Checked());
  Event(&TForm1::BitBtn3Click);
  EXPECT_EQ(drive.Snapshot(), driveC);
  EXPECT_EQ(drive.Snapshot('h'), driveH);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Form1Test, WriteAsksFirstAndReadsBackAfterOk) {
  WriteBootFile({"BootMenu=0", ";PROMPT=0"});
  Event(&TForm1::FormCreate);
  window.CheckBox1.UserClick();
  Event(&TForm1::StartDateischreiben1Click);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Wollen Sie die Start-Datei umschreiben?");
  EXPECT_EQ(boxes.shown[0].title, "");
  EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::kOkCancel);
  EXPECT_EQ(TIniFile("c:\\msdos.sys").ReadText("Options", "BootMenu", ""), "1");
  EXPECT_TRUE(window.CheckBox1.Checked());
  EXPECT_EQ(BootFileAttributes(), kProtected);
}

TEST_F(Form1Test, CancelWritesNothingAndDiscardsTheChanges) {
  WriteBootFile({"BootMenu=0", ";PROMPT=0"});
  Event(&TForm1::FormCreate);
  const std::string before = BootFile();
  window.CheckBox1.UserClick();
  window.SpinEdit2.UserSetText("99");
  boxes.answers.push_back(MessageResult::kCancel);
  Event(&TForm1::StartDateischreiben1Click);
  EXPECT_EQ(BootFile(), before);
  EXPECT_FALSE(window.CheckBox1.Checked());
  EXPECT_EQ(window.SpinEdit2.Text(), "2");
}

TEST_F(Form1Test, MissingHostDriveIsReportedByTheWriteAndByTheReadBack) {
  drive.Write("MSDOS.SYS", CrLf({"[Options]"}));
  Event(&TForm1::StartDateischreiben1Click);
  EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Wollen Sie die Start-Datei umschreiben?",
                                                     "Fehler", "Fehler"}));
}

TEST_F(Form1Test, AFailedWriteIsShownWithItsPeriodAndSkipsTheReadBack) {
  WriteBootFile({";PROMPT=0", "BootMenuDelay=5"});
  Event(&TForm1::FormCreate);
  std::filesystem::remove(drive.Host("AUTOEXEC.BAT"));
  window.SpinEdit1.UserSetText("8");
  Event(&TForm1::StartDateischreiben1Click);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].text,
            "Kann Datei c:\\autoexec.bat nicht \xF6"
            "ffnen.");
  EXPECT_EQ(boxes.shown[1].title, "Startgarten");
  EXPECT_EQ(window.SpinEdit1.Text(), "8");  // no read-back
  EXPECT_EQ(BootFileAttributes(), kProtected);
}

TEST_F(Form1Test, ErrorsThatEndWithAPeriodGetASecondOne) {
  window.HandleEvent([] { throw Error("Schon zu Ende."); });
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Schon zu Ende.."});
}

TEST_F(Form1Test, CloseCommandsCloseTheWindowWithoutSaving) {
  WriteBootFile({"BootMenu=0"});
  const std::string before = BootFile();
  int closed = 0;
  window.OnClose = [&] { ++closed; };
  window.CheckBox1.UserClick();
  Event(&TForm1::BitBtn3Click);
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(BootFile(), before);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST(ApplicationTitle, FileNameBeforeItsFirstPeriodWithLaterLettersInLowerCase) {
  EXPECT_EQ(ApplicationTitleFromPath("C:\\PROGRAMME\\START.EXE"), "Start");
  EXPECT_EQ(ApplicationTitleFromPath("START.V2.EXE"), "Start");
  EXPECT_EQ(ApplicationTitleFromPath("/usr/local/bin/StartGarten"), "Startgarten");
  EXPECT_EQ(ApplicationTitleFromPath("build/app/view/startgarten"), "startgarten");
  EXPECT_EQ(ApplicationTitleFromPath("/opt/\xC3\x9C"
                                     "BER.EXE"),
            "\xDC"
            "ber");
  // The running program's path names its file, here this test's.
  EXPECT_EQ(ApplicationTitleFromPath(platform::RunningProgramPath()), "form1_test");
}

}  // namespace
}  // namespace startgarten
