// The command line's commands held against the window's on the same files: what --show prints is
// what the window shows after reading, and --standard and --set leave exactly the bytes that the
// window's write command leaves after the same clicks; every error stops the command with its
// exit status and leaves the drive as it was.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <iterator>
#include <sstream>

#include "app/command_line.h"
#include "app/form1.h"
#include "platform/windows/messages.h"
#include "support/bmp_files.h"
#include "support/disk_images.h"
#include "support/file_system_faults.h"
#include "support/write_command_drive.h"

namespace startgarten {
namespace {

namespace fs = std::filesystem;
using test_support::BootFileText;
using test_support::CrLf;
using test_support::OptionState;
using test_support::TempDrive;

// The names --show prints, in its order, with the option that each shows.
const std::pair<std::string, std::string> kShown[] = {{"BootMenu", "bootMenu"},
                                                      {"BootKeys", "functionKeys"},
                                                      {"BootGUI", "startWindows"},
                                                      {"Network", "network"},
                                                      {"BootFailSafe", "safeMode"},
                                                      {"BootWarn", "safeModeWarning"},
                                                      {"BootMulti", "previousDos"},
                                                      {"DblSpace", "doubleSpace"},
                                                      {"DrvSpace", "driveSpace"},
                                                      {"LoadTop", "loadTop"},
                                                      {"Logo", "logo"},
                                                      {"DosPrompt", "dosPromptAfterExit"},
                                                      {"BootMenuDefault", "bootMenuDefault"},
                                                      {"BootMenuDelay", "bootMenuDelay"},
                                                      {"BootDelay", "bootDelay"},
                                                      {"BootWin", "defaultSystem"},
                                                      {"DoubleBuffer", "doubleBuffer"}};

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

// The lines of --show as the window's state (OptionState) without what they leave out: the
// check boxes' enabled states and the list's text. The names must be those of kShown, in order.
OptionState ShownState(const std::string& output) {
  std::istringstream lines(output);
  OptionState state;
  std::string line;
  for (const auto& [name, option] : kShown) {
    if (!std::getline(lines, line) || !line.starts_with(name + "=")) return {{"bad line", line}};
    const std::string value = line.substr(name.size() + 1);
    state[option] = option == "bootMenuDefault" ? std::to_string(std::stoi(value) - 1) : value;
  }
  if (std::getline(lines, line)) return {{"extra line", line}};
  return state;
}

// The window's state as --show shows it: each value's first word.
OptionState AsShown(OptionState state) {
  for (auto& [option, value] : state) value = value.substr(0, value.find(' '));
  return state;
}

// The user makes a check box show the state: clicks it when it shows the other.
void Tick(TCheckBox& box, bool checked) {
  if (box.Checked() != checked) box.UserClick();
}

struct Changes {
  std::vector<std::string> arguments;                   // the command line's
  std::function<void(TForm1&, OptionControls)> clicks;  // the same, as the user makes them
};

// None of these meets a control that the window shows disabled, whatever the file held; together
// they name every option.
const std::vector<Changes> kChanges = {
    {{"--standard"}, [](TForm1& w, OptionControls) { w.BitBtn2Click(); }},
    {{"--set", "BootMenu=1", "--set", "bootmenudelay=5", "--set=BOOTDELAY=0", "--set", "LoadTop=0"},
     [](TForm1&, OptionControls o) {
       Tick(o.bootMenu, true);
       o.bootMenuDelay.UserSetText("5");
       o.bootDelay.UserSetText("0");
       Tick(o.loadTop, false);
     }},
    {{"--set", "DosPrompt=1", "--set", "Logo=0", "--set", "BootFailSafe=1", "--set", "BootWarn=1"},
     [](TForm1&, OptionControls o) {
       Tick(o.dosPromptAfterExit, true);
       Tick(o.logo, false);
       Tick(o.safeMode, true);
       Tick(o.safeModeWarning, true);
     }},
    {{"--set", "BootWin=0", "--set", "DoubleBuffer=2", "--set", "BootMenuDefault=6", "--set",
      "DosPrompt=0"},
     [](TForm1&, OptionControls o) {
       o.defaultSystem.UserClick(kDos);
       o.doubleBuffer.UserClick(kDoubleBufferingAlways);
       o.bootMenuDefault.UserChoose(kCommandPromptEntry);
       Tick(o.dosPromptAfterExit, false);
     }},
    {{"--standard", "--set", "BootMulti=1", "--set", "DblSpace=0", "--set", "BootDelay=-2147483648",
      "--set", "BootMenuDelay=$7FFFFFFF"},
     [](TForm1& w, OptionControls o) {
       w.BitBtn2Click();
       Tick(o.previousDos, true);
       Tick(o.doubleSpace, false);
       o.bootDelay.UserSetText("-2147483648");
       o.bootMenuDelay.UserSetText("$7FFFFFFF");
     }},
    {{"--set", "BootWin=1", "--set", "BootGUI=0", "--set", "Network=1", "--set", "BootFailSafe=0",
      "--set", "BootMenuDelay= +07", "--set", "BootKeys=0", "--set", "DrvSpace=0"},
     [](TForm1&, OptionControls o) {
       o.defaultSystem.UserClick(kWindows95);
       Tick(o.startWindows, false);
       Tick(o.network, true);
       Tick(o.safeMode, false);
       o.bootMenuDelay.UserSetText(" +07");
       Tick(o.functionKeys, false);
       Tick(o.driveSpace, false);
     }},
};

// Boot files a user may have; each is read without an error. (The window's tests read and write
// the ones no Windows 95 would leave.)
std::vector<std::pair<std::string, std::string>> BootFiles() {
  return {
      {"the sample drive's", SourceFile("examples/drive_c/MSDOS.SYS")},
      {"no options", BootFileText({})},
      {"safe mode", BootFileText({"BootMenu=1", ";BootFailsafe=1", "BootMenuDefault=3",
                                  "BootWarn=0", ";PROMPT=0"})},
      {"DOS by default", BootFileText({"BootWin=0", "BootMulti=1", ";PROMPT=1", "DblSpace=0"})},
      {"values off the list",
       BootFileText({"BootMenuDefault=9", "BootMenuDelay=-5", "BootDelay=$10", "DoubleBuffer=7",
                     "Bootwin=-2", "Logo=2"})},
  };
}

// For each boot file: --show prints what the window shows after its start; each set of changes
// made by the command line leaves every file of the drive, byte for byte and with its permissions
// and attributes, as the window's write command leaves it after the same clicks.
TEST(ScriptedCommandTest, ShowsAndWritesWhatTheWindowShowsAndWrites) {
  for (const auto& [situation, bootFile] : BootFiles()) {
    SCOPED_TRACE(situation);
    OptionState windowState;
    for (const Changes& changes : kChanges) {
      SCOPED_TRACE(testing::PrintToString(changes.arguments));
      std::string byWindow;
      {
        TempDrive drive;
        PrepareDrive(drive, bootFile);
        RecordingMessageBoxes boxes;
        TForm1 window(boxes, "Startgarten");
        window.HandleEvent([&] { window.FormCreate(); });
        windowState = test_support::StateOf(window.Options());
        changes.clicks(window, window.Options());
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
      EXPECT_EQ(ShownState(shown.output), AsShown(windowState));
      EXPECT_EQ(drive.Snapshot(), before);

      const ScriptedOutcome changed = RunCommandLine(changes.arguments);
      EXPECT_EQ(changed.exitStatus, 0);
      EXPECT_EQ(changed.output + changed.errors, "");
      EXPECT_EQ(drive.Snapshot(), byWindow);
    }
  }
}

// Each error ends the command with its status and message, and nothing on the drive changes, also
// when a write fails halfway. (A setting refused after earlier ones were made is the program's
// test.)
TEST(ScriptedCommandTest, ErrorsStopTheCommandAndChangeNothing) {
  struct Case {
    const char* situation;
    std::string bootFile;
    std::function<void(TempDrive&)> setUp;
    std::string arguments;  // separated by blanks
    int exitStatus;
    std::string errors;  // %s: the temporary folder
  };
  const std::string locked =
      " ist gesperrt, solange die \xFC"
      "brigen Optionen so stehen (im Fenster grau), und l\xE4sst sich nicht setzen\n";
  const std::vector<Case> cases = {
      {"a disabled box", BootFileText({"BootWin=0"}), nullptr, "--set BootGUI=0", 2,
       "startgarten: BootGUI" + locked},
      {"a default entry that is no number", BootFileText({"BootMenuDefault=zwei"}), nullptr,
       "--set Logo=0", 1, "startgarten: 'zwei' ist kein g\xFCltiger Integerwert.\n"},
      {"no host drive", CrLf({"[Options]", "BootMenu=1"}), nullptr, "--standard", 1,
       "startgarten: Fehler: HOST-Laufwerk nicht gefunden\n"},
      {"a host drive without a boot file", BootFileText({}, "H"),
       [](TempDrive& drive) { drive.MapDrive('h'); }, "--show", 1,
       "startgarten: Kann Datei H:\\msdos.sys nicht \xF6"
       "ffnen.\n"},
      {"a read-only batch file", BootFileText({}),
       [](TempDrive& drive) { fs::permissions(drive.Host("AUTOEXEC.BAT"), fs::perms(0444)); },
       "--set DosPrompt=1", 1, "startgarten: Kann Datei C:\\autoexec.bat nicht erstellen.\n"},
      {"drive C an image without a volume", BootFileText({}),
       [](TempDrive& drive) {
         test_support::WriteHostBytes(drive.Base() / "win95.img", std::string(4096, '\0'));
         drive.LinkDrive('c', drive.Base() / "win95.img");
       },
       "--set Logo=0", 1,
       "startgarten: Die Abbilddatei %s/win95.img enth\xE4lt weder ein FAT-Laufwerk noch eine "
       "Partitionstabelle.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.situation);
    TempDrive drive;
    PrepareDrive(drive, c.bootFile);
    if (c.setUp) c.setUp(drive);
    const std::string before = drive.Snapshot();
    std::istringstream words(c.arguments);
    const ScriptedOutcome outcome = RunCommandLine(
        {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()});
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

// The write command is the window's, whose tests run it on every file system; here one suffices.
INSTANTIATE_TEST_SUITE_P(Temporary, ScriptedCommandFaults,
                         testing::Values(test_support::DriveHomes().front()),
                         test_support::DriveHomeName);

}  // namespace
}  // namespace startgarten
