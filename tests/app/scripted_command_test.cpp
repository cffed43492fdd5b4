// The command line's commands held against the window's on the same files: what --show prints is
// what the window shows after reading, and --standard and --set leave exactly the bytes that the
// window's write command leaves after the same clicks; every error stops the command with its
// exit status and leaves the drive as it was.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <random>
#include <set>
#include <sstream>

#include "app/command_line.h"
#include "app/form1.h"
#include "platform/messages.h"
#include "support/bmp_files.h"
#include "support/disk_images.h"
#include "support/file_system_faults.h"
#include "support/write_command_drive.h"

namespace startgarten {
namespace {

namespace fs = std::filesystem;
using test_support::BootFileText;
using test_support::CrLf;
using test_support::TempDrive;

// The names of the options in the order --show prints them.
const std::vector<std::string> kNames = {
    "BootMenu",        "BootKeys",      "BootGUI",   "Network", "BootFailSafe", "BootWarn",
    "BootMulti",       "DblSpace",      "DrvSpace",  "LoadTop", "Logo",         "DosPrompt",
    "BootMenuDefault", "BootMenuDelay", "BootDelay", "BootWin", "DoubleBuffer"};

const std::string kPicture = test_support::BuildBmp({2, 2, 24, std::string(16, '\x40')});

std::string SourceFile(const std::string& relative) {
  return test_support::ReadHostBytes(fs::path(std::getenv("STARTGARTEN_SOURCE_DIR")) / relative);
}

// Drive C as Windows 95 leaves it: the boot file protected, the sample drive's batch file, the
// two shutdown pictures.
void PrepareDrive(const TempDrive& drive, const std::string& bootFile) {
  drive.Write("MSDOS.SYS", bootFile);
  drive.Protect("MSDOS.SYS");
  drive.Write("AUTOEXEC.BAT", SourceFile("examples/drive_c/AUTOEXEC.BAT"));
  drive.Write("WINDOWS/LOGOW.SYS", kPicture);
  drive.Write("WINDOWS/LOGOS.SYS", kPicture);
}

ScriptedOutcome RunCommandLine(const std::vector<std::string>& arguments) {
  const CommandLine commandLine = ParseCommandLine(arguments);
  EXPECT_EQ(commandLine.request, CommandLine::Request::kScript) << commandLine.error;
  return RunScriptedCommand(commandLine.script, "Startgarten");
}

// The lines of --show in the form of FormState without the enabled states and the list's text:
// the check boxes, then the spin edits, the radio groups and the list's index. The names must be
// those of kNames, in order.
std::string ShownState(const std::string& output) {
  std::istringstream lines(output);
  std::string line, checks, rest, listIndex;
  for (const std::string& name : kNames) {
    if (!std::getline(lines, line) || !line.starts_with(name + "=")) return "bad line: " + line;
    const std::string value = line.substr(name.size() + 1);
    if (checks.size() < 12) {
      checks += value;
    } else if (name == "BootMenuDefault") {
      listIndex = std::to_string(std::stoi(value) - 1);
    } else {
      rest += " " + value;
    }
  }
  if (std::getline(lines, line)) return "extra line: " + line;
  return checks + rest + " " + listIndex;
}

// FormState's first six fields, the check boxes' enabled states left out.
std::string WithoutEnabledStatesAndListText(const std::string& state) {
  std::istringstream fields(state);
  std::string field, shown;
  for (int i = 0; i < 6 && fields >> field; ++i) shown += (i ? " " : "") + field;
  for (size_t i = 0; i < 12 && i < shown.size(); ++i) {
    if (shown[i] == '-' || shown[i] == '+') shown[i] = shown[i] == '+' ? '1' : '0';
  }
  return shown;
}

// The user makes a check box show the state: clicks it when it shows the other.
void Tick(TCheckBox& box, bool checked) {
  if (box.Checked() != checked) box.UserClick();
}

struct Changes {
  std::vector<std::string> arguments;   // the command line's
  std::function<void(TForm1&)> clicks;  // the same, as the user makes them in the window
};

// None of these meets a control that the window shows disabled, whatever the file held.
const std::vector<Changes> kChanges = {
    {{"--standard"}, [](TForm1& w) { w.BitBtn2Click(); }},
    {{"--set", "BootMenu=1", "--set", "bootmenudelay=5", "--set=BOOTDELAY=0"},
     [](TForm1& w) {
       Tick(w.CheckBox1, true);
       w.SpinEdit1.UserSetText("5");
       w.SpinEdit2.UserSetText("0");
     }},
    {{"--set", "DosPrompt=1", "--set", "Logo=0", "--set", "BootFailSafe=1", "--set", "BootWarn=1"},
     [](TForm1& w) {
       Tick(w.CheckBox12, true);
       Tick(w.CheckBox11, false);
       Tick(w.CheckBox5, true);
       Tick(w.CheckBox6, true);
     }},
    {{"--set", "BootWin=0", "--set", "DoubleBuffer=2", "--set", "BootMenuDefault=6", "--set",
      "DosPrompt=0"},
     [](TForm1& w) {
       w.RadioGroup1.UserClick(0);
       w.RadioGroup2.UserClick(2);
       w.ComboBox1.UserChoose(5);
       Tick(w.CheckBox12, false);
     }},
    {{"--standard", "--set", "BootMulti=1", "--set", "DblSpace=0", "--set", "BootDelay=-2147483648",
      "--set", "BootMenuDelay=$7FFFFFFF"},
     [](TForm1& w) {
       w.BitBtn2Click();
       Tick(w.CheckBox7, true);
       Tick(w.CheckBox8, false);
       w.SpinEdit2.UserSetText("-2147483648");
       w.SpinEdit1.UserSetText("$7FFFFFFF");
     }},
    {{"--set", "BootWin=1", "--set", "BootGUI=0", "--set", "Network=1", "--set", "BootFailSafe=0",
      "--set", "BootMenuDelay= +07"},
     [](TForm1& w) {
       w.RadioGroup1.UserClick(1);
       Tick(w.CheckBox3, false);
       Tick(w.CheckBox4, true);
       Tick(w.CheckBox5, false);
       w.SpinEdit1.UserSetText(" +07");
     }},
};

// Boot files a user may have, and ones no Windows 95 would leave; each is read without an error.
std::vector<std::pair<std::string, std::string>> BootFiles() {
  std::mt19937 random(22);
  std::string garbled(size_t{16} << 10, '\0');
  for (char& c : garbled) c = static_cast<char>(random());
  std::replace(garbled.begin(), garbled.end(), '[', ']');
  const std::string nul(1, '\0');
  return {
      {"the sample drive's", SourceFile("examples/drive_c/MSDOS.SYS")},
      {"no options", BootFileText({})},
      {"safe mode", BootFileText({"BootMenu=1", ";BootFailsafe=1", "BootMenuDefault=3",
                                  "BootWarn=0", ";PROMPT=0"})},
      {"DOS by default", BootFileText({"BootWin=0", "BootMulti=1", ";PROMPT=1", "DblSpace=0"})},
      {"values off the list",
       BootFileText({"BootMenuDefault=9", "BootMenuDelay=-5", "BootDelay=$10", "DoubleBuffer=7",
                     "Bootwin=-2", "Logo=2"})},
      {"CR only", "[Paths]\rHostWinBootDrv=C\r\r[Options]\rBootMenu=1\rBootMenuDelay=9\r;PROMPT=0"},
      {"mixed line ends", "[Paths]\nHostWinBootDrv=C\r[Options]\r\nBootMenu=1\nBootDelay=9\r"},
      {"tabs, quotes, NUL bytes",
       BootFileText({"\tBootMenuDelay\t=\t\"0x0A\"\t", "'Network'=1", " ;BootFailsafe = '1' ",
                     "Boot" + nul + "Menu=1", "BootDelay=" + nul + "5"})},
      {"two option sections", BootFileText({"BootMenu=1", "[OPTIONS]", "BootMenuDelay=9"})},
      {"a line of 1 MiB",
       BootFileText({";" + std::string(size_t{1} << 20, 'x'), "BootMenu=1"}, "c")},
      {"binary garbage", CrLf({"[Paths]", "HostWinBootDrv=C"}) + garbled},
  };
}

// For each boot file: --show prints what the window shows after its start; each set of changes
// made by the command line leaves every file of the drive, byte for byte and with its permissions
// and attributes, as the window's write command leaves it after the same clicks.
TEST(ScriptedCommandTest, ShowsAndWritesWhatTheWindowShowsAndWrites) {
  for (const auto& [situation, bootFile] : BootFiles()) {
    SCOPED_TRACE(situation);
    std::string windowState;
    for (const Changes& changes : kChanges) {
      SCOPED_TRACE(testing::PrintToString(changes.arguments));
      std::string byWindow;
      {
        TempDrive drive;
        PrepareDrive(drive, bootFile);
        RecordingMessageBoxes boxes;
        TForm1 window(boxes, "Startgarten");
        window.HandleEvent([&] { window.FormCreate(); });
        windowState = test_support::FormState(window);
        changes.clicks(window);
        window.HandleEvent([&] { window.StartDateischreiben1Click(); });
        ASSERT_EQ(boxes.Texts(), std::vector<std::string>{messages::kConfirmRewrite});
        byWindow = drive.Snapshot();
      }
      TempDrive drive;
      PrepareDrive(drive, bootFile);
      const std::string before = drive.Snapshot();
      const ScriptedOutcome shown = RunCommandLine({"--show"});
      EXPECT_EQ(shown.exitStatus, 0);
      EXPECT_EQ(shown.errors, "");
      EXPECT_EQ(ShownState(shown.output), WithoutEnabledStatesAndListText(windowState));
      EXPECT_EQ(drive.Snapshot(), before);

      const ScriptedOutcome changed = RunCommandLine(changes.arguments);
      EXPECT_EQ(changed.exitStatus, 0);
      EXPECT_EQ(changed.output + changed.errors, "");
      EXPECT_EQ(drive.Snapshot(), byWindow);
    }
  }
}

// Each error ends the command with its status and message, and nothing on the drive changes: not
// a setting refused after earlier ones were made, not a write that fails halfway.
TEST(ScriptedCommandTest, ErrorsStopTheCommandAndChangeNothing) {
  const std::string gone = "startgarten: Laufwerk C: gibt es nicht. Gesucht wurde: ";
  struct Case {
    const char* situation;
    std::string bootFile;
    std::function<void(TempDrive&)> setUp;
    std::vector<std::string> arguments;
    int exitStatus;
    std::string errors;  // %s: the temporary folder
  };
  const std::string locked =
      " ist gesperrt, solange die \xFC"
      "brigen Optionen so stehen (im Fenster grau), und l\xE4sst sich nicht setzen\n";
  const std::vector<Case> cases = {
      {"a disabled box",
       BootFileText({"BootWin=0"}),
       {},
       {"--set", "BootGUI=0"},
       2,
       "startgarten: BootGUI" + locked},
      {"a box disabled by an earlier setting",
       BootFileText({}),
       {},
       {"--set", "Logo=0", "--set", "BootWin=0", "--set", "bootmulti=1"},
       2,
       "startgarten: BootMulti" + locked},
      {"a default entry that is no number",
       BootFileText({"BootMenuDefault=zwei"}),
       {},
       {"--set", "Logo=0"},
       1,
       "startgarten: 'zwei' ist kein g\xFCltiger Integerwert.\n"},
      {"no host drive",
       CrLf({"[Options]", "BootMenu=1"}),
       {},
       {"--standard"},
       1,
       "startgarten: Fehler: HOST-Laufwerk nicht gefunden\n"},
      {"a host drive without a boot file",
       BootFileText({}, "H"),
       [](TempDrive& drive) { drive.MapDrive('h'); },
       {"--show"},
       1,
       "startgarten: Kann Datei H:\\msdos.sys nicht \xF6"
       "ffnen.\n"},
      {"a read-only batch file",
       BootFileText({}),
       [](TempDrive& drive) { fs::permissions(drive.Host("AUTOEXEC.BAT"), fs::perms(0444)); },
       {"--set", "DosPrompt=1"},
       1,
       "startgarten: Kann Datei C:\\autoexec.bat nicht erstellen.\n"},
      {"a start script that is a folder",
       BootFileText({}),
       [](TempDrive& drive) { fs::create_directories(drive.Host("WINDOWS/start.bat")); },
       {"--set", "Logo=0"},
       1,
       "startgarten: Kann Datei C:\\WINDOWS\\start.bat nicht erstellen.\n"},
      {"drive C a link to nowhere",
       BootFileText({}),
       [](TempDrive& drive) { drive.LinkDrive('c', drive.Base() / "gone"); },
       {"--show"},
       1,
       gone + "%s/prefix/dosdevices/c:\nDas ist eine Verkn\xFCpfung auf %s/gone, und dort ist "
              "nichts.\n"},
      {"drive C an image without a volume",
       BootFileText({}),
       [](TempDrive& drive) {
         test_support::WriteHostBytes(drive.Base() / "win95.img", std::string(4096, '\0'));
         drive.LinkDrive('c', drive.Base() / "win95.img");
       },
       {"--set", "Logo=0"},
       1,
       "startgarten: Die Abbilddatei %s/win95.img enth\xE4lt weder ein FAT-Laufwerk noch eine "
       "Partitionstabelle.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.situation);
    TempDrive drive;
    PrepareDrive(drive, c.bootFile);
    if (c.setUp) c.setUp(drive);
    const std::string before = drive.Snapshot();
    const ScriptedOutcome outcome = RunCommandLine(c.arguments);
    EXPECT_EQ(outcome.exitStatus, c.exitStatus);
    std::string errors = c.errors;
    for (size_t at; (at = errors.find("%s")) != std::string::npos;)
      errors.replace(at, 2, drive.Base().string());
    EXPECT_EQ(outcome.errors, errors);
    EXPECT_EQ(outcome.output, "");
    EXPECT_EQ(drive.Snapshot(), before);
  }
}

// A failure at each file operation of the whole command in turn (reading, writing, reading back):
// the files are all as before, and the command says so with status 1, or all as after; status 0
// only when they are all as after and nothing went wrong; and nothing else is left after the next
// command.
using ScriptedCommandFaults = test_support::WriteCommandDrive;

TEST_P(ScriptedCommandFaults, EachFailureLeavesAllAsBeforeWithAnErrorOrAllAsAfter) {
  const CommandLine commandLine =
      ParseCommandLine({"--set", "BootMenu=1", "--set", "BootMenuDelay=5"});
  Prepare();
  const Files before = Now();
  ASSERT_EQ(RunScriptedCommand(commandLine.script, "Startgarten").exitStatus, 0);
  const Files after = Now();
  const int errors[] = {ENOSPC, EIO, EACCES};
  int unreadable = 0;
  unsigned long step = 1;
  for (;; ++step) {
    Prepare();
    test_support::SetFaultPlan(GetParam().Model({.failAt = step, .error = errors[step % 3]}));
    const ScriptedOutcome outcome = RunScriptedCommand(commandLine.script, "Startgarten");
    const bool reached = test_support::OperationsPerformed() >= step;
    test_support::SetFaultPlan(GetParam().Model());
    if (!reached) break;
    SCOPED_TRACE("failure at operation " + std::to_string(step));
    const Files now = Now();
    ASSERT_TRUE(now == before || now == after) << outcome.errors;
    EXPECT_EQ(outcome.exitStatus == 0, outcome.errors.empty()) << outcome.errors;
    if (now == before) {
      EXPECT_EQ(outcome.exitStatus, 1);
    }
    EXPECT_EQ(outcome.output, "");
    unreadable += outcome.errors.ends_with(" nicht lesen.\n");
    // The next command, like the window's next start, removes what a failed cleanup left.
    EXPECT_EQ(RunCommandLine({"--show"}).exitStatus, 0);
    ExpectNothingBeside();
  }
  EXPECT_GT(step, 100u);
  // A key whose file could not be read is not taken as missing: the command stops instead.
  EXPECT_GT(unreadable, 0);
}

// Killed at each file operation in turn, the command leaves all three files old or all new once
// the next command has run (which completes a write a crash cut off).
TEST_P(ScriptedCommandFaults, AKillAtEachOperationLeavesAllOldOrAllNew) {
  const CommandLine commandLine = ParseCommandLine({"--set", "BootMenu=1"});
  Prepare();
  const Files before = Now();
  ASSERT_EQ(RunScriptedCommand(commandLine.script, "Startgarten").exitStatus, 0);
  const Files after = Now();
  Prepare();
  unsigned long step = 1;
  for (;; ++step) {
    const bool killed = test_support::KilledAtOperation(step, [&](test_support::FaultPlan plan) {
      test_support::SetFaultPlan(GetParam().Model(plan));
      RunScriptedCommand(commandLine.script, "Startgarten");
    });
    if (!killed) break;
    SCOPED_TRACE("killed at operation " + std::to_string(step));
    EXPECT_EQ(RunCommandLine({"--show"}).exitStatus, 0);
    const Files now = Now();
    ASSERT_TRUE(now == before || now == after);
    ExpectNothingBeside();
    Prepare();
  }
  EXPECT_GT(step, 50u);
}

// The write command is the window's, whose tests run it on every file system; here one suffices.
INSTANTIATE_TEST_SUITE_P(Temporary, ScriptedCommandFaults,
                         testing::Values(test_support::DriveHomes().front()),
                         test_support::DriveHomeName);

// On a fixed VHD, the command line leaves the files the window's write command leaves on a folder
// after the same clicks, keeps the boot file's attributes, leaves the volume clean, and --show
// prints what the window read back.
TEST(ScriptedCommandTest, OnADiskImageWritesWhatTheWindowWritesOnAFolder) {
  TempDrive drive;
  const std::string bootFile = SourceFile("examples/drive_c/MSDOS.SYS");
  PrepareDrive(drive, bootFile);
  const test_support::DiskImage image =
      test_support::MakeImage(test_support::ImageKind::kFixedVhd, drive.Base());
  test_support::PutFiles(image, {{"MSDOS.SYS", bootFile, "+r +h +s"},
                                 {"AUTOEXEC.BAT", *drive.Read("AUTOEXEC.BAT"), ""},
                                 {"WINDOWS/LOGOW.SYS", kPicture, ""},
                                 {"WINDOWS/LOGOS.SYS", kPicture, ""}});
  const std::string attributes = test_support::FileAttributes(image, "MSDOS.SYS");
  const Changes& changes = kChanges[2];

  RecordingMessageBoxes boxes;
  TForm1 window(boxes, "Startgarten");
  window.HandleEvent([&] { window.FormCreate(); });
  changes.clicks(window);
  window.HandleEvent([&] { window.StartDateischreiben1Click(); });
  ASSERT_EQ(boxes.shown.size(), 1u);

  drive.LinkDrive('c', image.path);
  const ScriptedOutcome changed = RunCommandLine(changes.arguments);
  EXPECT_EQ(changed.exitStatus, 0);
  EXPECT_EQ(changed.errors, "");
  for (const char* file : {"MSDOS.SYS", "AUTOEXEC.BAT", "WINDOWS/start.bat"}) {
    EXPECT_EQ(test_support::ReadFileBytes(image, file), drive.Read(file).value_or("missing"))
        << file;
  }
  EXPECT_EQ(test_support::FileAttributes(image, "MSDOS.SYS"), attributes);
  EXPECT_EQ(test_support::FsckProblems(image), "");
  EXPECT_EQ(ShownState(RunCommandLine({"--show"}).output),
            WithoutEnabledStatesAndListText(test_support::FormState(window)));
}

}  // namespace
}  // namespace startgarten
