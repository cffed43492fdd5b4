// The program a user starts, run as a process without a display (no DISPLAY, WAYLAND_DISPLAY or
// QT_QPA_PLATFORM): a script's errors are printed in UTF-8 and end it with their exit status; the
// window is handed over to the window's program with the same arguments, once a display is named.
// (What --show prints is ScriptedCommandTest's; the manual's examples run it as a process.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/system/process.h"
#include "support/boot_drive_fixture.h"
#include "support/disk_images.h"
#include "support/temp_drive.h"

namespace startgarten {
namespace {

using namespace test_support;

class ProgramTest : public testing::Test {
 protected:
  ProgramTest() {
    fs::copy(fs::path(std::getenv("STARTGARTEN_SOURCE_DIR")) / "examples/drive_c", drive.Root(),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    drive.Protect("MSDOS.SYS");
  }

  // Runs the program with the arguments in an environment without a display, unless display
  // names one.
  platform::ProcessResult Run(std::vector<std::string> arguments,
                              const std::string& program = STARTGARTEN_PROGRAM,
                              const std::string& display = {}) const {
    arguments.insert(arguments.begin(), program);
    std::vector<std::string> environment = {"PATH=/usr/bin:/bin", "LANG=C.UTF-8"};
    environment.insert(environment.end(), prefix.begin(), prefix.end());
    if (!display.empty()) environment.push_back(display);
    return platform::RunProcess(
        {program, arguments, environment, {}, {}, std::chrono::milliseconds(20000)});
  }

  TempDrive drive;
  // Where the drives come from: the drive's prefix, and no ~/.wine.
  std::vector<std::string> prefix = {"WINEPREFIX=" + drive.Prefix().string(), "HOME=/nonexistent"};
};

// Wrong calls (status 2, with the hint to --help) and errors while the command reads or writes,
// or a dry run works out what it would write (status 1, the window's boxes as lines) in German, in
// UTF-8, each leaving the drive as it was.
// (The examples of the manual pages change a folder and disk images named as DRIVE.)
TEST_F(ProgramTest, RefusesWrongCallsAndStopsAtErrorsInUtf8) {
  const auto refused = [this](const std::vector<std::string>& arguments, int exitCode,
                              const std::string& errors) {
    SCOPED_TRACE(testing::PrintToString(arguments));
    const std::string before = drive.Snapshot();
    const platform::ProcessResult result = Run(arguments);
    EXPECT_EQ(result.exitCode, exitCode);
    EXPECT_EQ(result.errors, errors);
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(drive.Snapshot(), before);
  };
  const auto bootFile = [this](const std::string& text) {
    fs::remove(drive.Host("MSDOS.SYS"));
    drive.Write("MSDOS.SYS", text);
    drive.Protect("MSDOS.SYS");
  };
  const std::string folder = drive.Root().string();
  const std::string hint = "Weitere Informationen mit \u201Estartgarten --help\u201C.\n";
  const std::string locked =
      "startgarten: BootGUI ist gesperrt, solange die \u00FCbrigen Optionen so stehen (im "
      "Fenster grau), und l\u00E4sst sich nicht setzen\n";
  refused({"--set", "BootWin=7", folder}, 2,
          "startgarten: BootWin verlangt 0 oder 1, nicht \u201E7\u201C\n" + hint);
  refused({"--set", "Gr\u00F6\u00DFe=1"}, 2,
          "startgarten: unbekannter Optionsname \u201EGr\u00F6\u00DFe\u201C\n" + hint);
  refused({"--set", "Logo=1", "--set", "BootWin=0", "--set", "BootGUI=1"}, 2, locked);
  refused({"--show", folder + "/gone"}, 1,
          "startgarten: Laufwerk C: gibt es nicht. Gesucht wurde: " + folder + "/gone\n");
  bootFile(BootFileText({"BootWin=0"}));
  refused({"--set", "BootGUI=0"}, 2, locked);
  bootFile(BootFileText({"BootMenuDefault=zwei"}));
  refused({"--set", "Logo=0"}, 1, "startgarten: 'zwei' ist kein g\u00FCltiger Integerwert.\n");
  bootFile(CrLf({"[Options]", "BootMenu=1"}));
  refused({"--standard"}, 1, "startgarten: Fehler: HOST-Laufwerk nicht gefunden\n");
  bootFile(BootFileText({}, "H"));
  drive.MapDrive('h');
  refused({"--show"}, 1, "startgarten: Kann Datei H:\\msdos.sys nicht \u00F6ffnen.\n");
  bootFile(BootFileText({}));
  fs::permissions(drive.Host("AUTOEXEC.BAT"), fs::perms(0444));
  const std::string readOnly = "startgarten: Kann Datei C:\\autoexec.bat nicht erstellen.\n";
  refused({"--set", "DosPrompt=1"}, 1, readOnly);
  refused({"--dry-run", "--set", "DosPrompt=1"}, 1, readOnly);
  drive.Write("win95.img", std::string(4096, '\0'));
  refused({"--set", "Logo=0", folder + "/win95.img"}, 1,
          "startgarten: Die Abbilddatei " + folder +
              "/win95.img enth\u00E4lt weder ein FAT-Laufwerk noch eine Partitionstabelle.\n");
}

// A drive named on the command line stands alone: its boot file reaches other letters only in a
// prefix named by WINEPREFIX, never in ~/.wine (whose z: here holds every folder of the test), and
// in any prefix a letter that leads to "/" or to a folder holding drive C is refused with nothing
// read or written there. A real second drive of the prefix named works as before.
TEST_F(ProgramTest, ADriveNamedReachesOnlyTheLettersOfThePrefixNamed) {
  const fs::path base = fs::canonical(drive.Base()), home = base / "home";
  fs::create_directories(home / ".wine/dosdevices");
  fs::create_directory_symlink(base, home / ".wine/dosdevices/z:");
  drive.Write("../bin/START.BAT", "old");  // beside the drives
  drive.Write("../bin/SG00ABCD.~01", "looks like ours");
  drive.LinkDrive('z', "/");
  drive.LinkDrive('e', base);
  drive.MapDrive('d');
  drive.Write("WINDOWS/START.BAT", "old", 'd');
  const auto refused = [](const char* letter, const fs::path& folder) {
    return "startgarten: Laufwerk " + std::string(letter) + ": f\u00FChrt in den Ordner " +
           folder.string() +
           ", der Laufwerk C: enth\u00E4lt. Das ist kein Laufwerk eines Windows 95; Startgarten "
           "liest und schreibt dort nichts.\n";
  };
  const std::vector<std::string> named = prefix, withHome = {"HOME=" + home.string()};
  const std::vector<std::string> show = {"--show", drive.Root().string()},
                                 set = {"--set", "DosPrompt=1", drive.Root().string()};
  const struct {
    const char* winDir;
    std::vector<std::string> prefix, arguments;
    std::string errors;  // empty: done
  } cases[] = {
      {"Z:\\bin", withHome, show, ""},
      {"Z:\\bin", withHome, set, "startgarten: Kann Datei Z:\\bin\\start.bat nicht erstellen.\n"},
      {"Z:\\bin", named, show, refused("Z", "/")},
      {"E:\\bin", named, set, refused("E", base)},
      {"D:\\WINDOWS", named, set, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.winDir + (" " + c.prefix.front()));
    fs::remove(drive.Host("MSDOS.SYS"));
    drive.Write("MSDOS.SYS", CrLf({"[Paths]", std::string("WinDir=") + c.winDir, "HostWinBootDrv=C",
                                   "", "[Options]"}));
    const std::string before = drive.Snapshot() + drive.Snapshot('d');
    prefix = c.prefix;
    const platform::ProcessResult result = Run(c.arguments);
    EXPECT_EQ(result.errors, c.errors);
    EXPECT_EQ(result.exitCode, c.errors.empty() ? 0 : 1);
    EXPECT_EQ(drive.Snapshot() + drive.Snapshot('d') != before,
              c.errors.empty() && c.arguments == set);
    EXPECT_EQ(ReadHostBytes(base / "bin/START.BAT") + ReadHostBytes(base / "bin/SG00ABCD.~01"),
              "old" + std::string("looks like ours"));
  }
  EXPECT_NE(drive.Read("WINDOWS/START.BAT", 'd'), "old");
}

// The window is another program, in the place relative to this one where it is installed: it
// gets the same arguments, and its exit status is the program's; when it is missing, a German
// message says so. (Without a display named, the program starts none: WindowProgramTest.)
TEST_F(ProgramTest, HandsTheWindowOverToTheWindowsProgram) {
  const fs::path bin = drive.Base() / "bin", window = drive.Base() / "lib/startgarten/startgarten";
  fs::create_directories(bin);
  fs::copy_file(STARTGARTEN_PROGRAM, bin / "startgarten");
  const std::string program = (bin / "startgarten").string(), display = "DISPLAY=:0";
  const platform::ProcessResult missing = Run({"win95.img"}, program, display);
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.errors,
            "startgarten: Die Datei wurde nicht gefunden: Das Programm des Fensters, " +
                window.string() + ", l\u00E4sst sich nicht starten.\n");

  fs::create_directories(window.parent_path());
  WriteHostBytes(window, "#!/bin/sh\necho \"$0|$*\"\nexit 7\n");
  fs::permissions(window, fs::perms(0755));
  const platform::ProcessResult started = Run({"--", "-win 95.img"}, program, display);
  EXPECT_EQ(started.exitCode, 7);
  EXPECT_EQ(started.output, window.string() + "|-- -win 95.img\n");
}

}  // namespace
}  // namespace startgarten
