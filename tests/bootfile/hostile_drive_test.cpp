#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "bootfile/boot_options.h"
#include "bootfile/ini_file.h"
#include "platform/error.h"
#include "tests/bootfile/boot_drive_fixture.h"

namespace startgarten {
namespace {

using test_support::CrLf;
namespace fs = std::filesystem;

// Drives and folders that are not what the program expects: a drive link that points nowhere, a
// file where a folder belongs and the other way round, files that must not be written. As root
// permission bits do not stop a write, so "no access" is the read-only attribute, which the
// program honours for root too, or an entry of the wrong kind.
class HostileDrive : public test_support::BootDriveTest {
 protected:
  HostileDrive() {
    WriteBootFile({";PROMPT=0"});
    drive.Write("AUTOEXEC.BAT", CrLf({"@ECHO OFF"}));
    drive.Write("WINDOWS/start.bat", "old");
  }

  std::string Write() {
    try {
      Schreiben(form, boxes);
    } catch (const Error& error) {
      return error.what();
    }
    return "";
  }

  void LinkDrive(char letter, const fs::path& target) {
    const fs::path link = drive.Prefix() / "dosdevices" / (std::string(1, letter) + ":");
    fs::remove(link);
    fs::create_directory_symlink(target, link);
  }

  std::string Marker() const {
    return TIniFile("c:\\msdos.sys").ReadText("Options", ";PROMPT", "");
  }
};

TEST_F(HostileDrive, ADriveLinkThatPointsNowhereNamesNoFile) {
  LinkDrive('c', drive.Base() / "gone");
  Auslesen(form, boxes);
  EXPECT_EQ(Write(), "");
  EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Fehler", "Fehler"}));
  EXPECT_FALSE(fs::exists(drive.Base() / "gone"));

  LinkDrive('c', drive.Root());
  drive.Write("MSDOS.SYS", CrLf({"[Paths]", "HostWinBootDrv=H"}));
  Protect();
  LinkDrive('h', drive.Base() / "gone");
  EXPECT_EQ(Write(), "Kann nicht nach H:\\msdos.sys schreiben");
  EXPECT_FALSE(fs::exists(drive.Base() / "gone"));
  EXPECT_EQ(BootFileAttributes(), kProtected);
}

TEST_F(HostileDrive, ABootFileThatIsAFolderCannotBeReadOrWritten) {
  fs::remove(drive.Host("MSDOS.SYS"));
  fs::create_directory(drive.Host("MSDOS.SYS"));
  Auslesen(form, boxes);
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Fehler"});

  fs::remove(drive.Host("MSDOS.SYS"));
  drive.Write("MSDOS.SYS", CrLf({"[Paths]", "HostWinBootDrv=H"}));
  fs::create_directory(drive.MapDrive('h') / "msdos.sys");
  EXPECT_EQ(Write(), "Kann nicht nach H:\\msdos.sys schreiben");
  EXPECT_TRUE(fs::is_directory(drive.Host("msdos.sys", 'h')));
  EXPECT_TRUE(fs::is_empty(drive.Host("msdos.sys", 'h')));
}

// Neither is opened in a way that could wait for a writer or follow links for ever.
TEST_F(HostileDrive, AFifoOrALinkLoopIsNeitherWaitedForNorRead) {
  drive.Write("MSDOS.SYS", CrLf({"[Paths]", "HostWinBootDrv=H", "[Options]", ";PROMPT=0"}));
  ASSERT_EQ(::mkfifo((drive.MapDrive('h') / "MSDOS.SYS").c_str(), 0644), 0);
  Auslesen(form, boxes);
  EXPECT_EQ(form.SpinEdit1.Value(), 30);
  EXPECT_EQ(Write(), "Kann nicht nach H:\\msdos.sys schreiben");

  WriteBootFile({";PROMPT=0"});
  fs::remove(drive.Host("AUTOEXEC.BAT"));
  fs::create_symlink("AUTOEXEC.BAT", drive.Host("AUTOEXEC.BAT"));
  EXPECT_EQ(Write(),
            "Kann Datei c:\\autoexec.bat nicht \xF6"
            "ffnen");
  EXPECT_TRUE(fs::is_symlink(drive.Host("AUTOEXEC.BAT")));
  EXPECT_EQ(BootFileAttributes(), kProtected);
}

TEST_F(HostileDrive, BatchFilesThatCannotBeWrittenEndTheCommandWithTheirMessage) {
  const std::string crossed = "Kann Datei C:\\autoexec.bat nicht erstellen";
  fs::permissions(drive.Host("AUTOEXEC.BAT"), fs::perms(0444));
  EXPECT_EQ(Write(), crossed);
  EXPECT_EQ(drive.Read("AUTOEXEC.BAT"), CrLf({"@ECHO OFF"}));

  fs::remove(drive.Host("AUTOEXEC.BAT"));
  fs::create_directory(drive.Host("AUTOEXEC.BAT"));
  EXPECT_EQ(Write(),
            "Kann Datei c:\\autoexec.bat nicht \xF6"
            "ffnen");

  fs::remove(drive.Host("AUTOEXEC.BAT"));
  drive.Write("AUTOEXEC.BAT", CrLf({"@ECHO OFF"}));
  fs::permissions(drive.Host("WINDOWS/start.bat"), fs::perms(0444));
  EXPECT_EQ(Write(), "Kann Datei C:\\WINDOWS\\start.bat nicht erstellen");
  EXPECT_EQ(drive.Read("WINDOWS/start.bat"), "old");

  fs::remove_all(drive.Host("WINDOWS"));
  drive.Write("WINDOWS", "a file where the Windows folder belongs");
  EXPECT_EQ(Write(), "Kann Datei C:\\WINDOWS\\start.bat nicht erstellen");

  // The Windows folder of a far too long "WinDir" is cut to 143 characters.
  fs::remove(drive.Host("WINDOWS"));
  drive.Write("MSDOS.SYS", CrLf({"[Paths]", "WinDir=C:\\" + std::string(1997, 'w'),
                                 "HostWinBootDrv=C", "[Options]", ";PROMPT=0"}));
  Protect();
  EXPECT_EQ(Write(), "Kann Datei C:\\" + std::string(140, 'w') + "\\start.bat nicht erstellen");

  EXPECT_EQ(Marker(), "0");  // each time the command ended before the marker
  EXPECT_EQ(BootFileAttributes(), kProtected);
  EXPECT_EQ(drive.Entries(), (std::set<std::string>{"AUTOEXEC.BAT", "MSDOS.SYS"}));
}

}  // namespace
}  // namespace startgarten
