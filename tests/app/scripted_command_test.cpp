// The command line's commands held against the window's on the same files: what --show prints is
// what the window shows after reading, and --standard and --set leave exactly the bytes that the
// window's write command leaves after the same clicks; a dry run shows what they would write.
// Under a failure while reading, the command stops with an error or prints what it prints. (Their
// errors as the program prints them are ProgramTest's.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <sstream>

#include "app/command_line.h"
#include "app/form1.h"
#include "platform/windows/messages.h"
#include "support/bmp_files.h"
#include "support/boot_drive_fixture.h"
#include "support/disk_images.h"
#include "support/file_system_faults.h"

namespace startgarten {
namespace {

using namespace test_support;

// The names --show prints, in its order, with the option that each shows.
using Shown = std::pair<std::string, std::string>;
const std::vector<Shown> kShown = [] {
  std::vector<Shown> shown;
  std::istringstream pairs(
      "BootMenu=bootMenu BootKeys=functionKeys BootGUI=startWindows Network=network "
      "BootFailSafe=safeMode BootWarn=safeModeWarning BootMulti=previousDos DblSpace=doubleSpace "
      "DrvSpace=driveSpace LoadTop=loadTop Logo=logo DosPrompt=dosPromptAfterExit "
      "BootMenuDefault=bootMenuDefault BootMenuDelay=bootMenuDelay BootDelay=bootDelay "
      "BootWin=defaultSystem DoubleBuffer=doubleBuffer");
  for (std::string pair; pairs >> pair;)
    shown.emplace_back(pair.substr(0, pair.find('=')), pair.substr(pair.find('=') + 1));
  return shown;
}();

const std::string kPicture = BuildBmp({2, 2, 24, std::string(16, '\x40')});

std::string SourceFile(const std::string& relative) {
  return ReadHostBytes(fs::path(std::getenv("STARTGARTEN_SOURCE_DIR")) / relative);
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

// What --show prints for the window's state: a line for each option of kShown, in order, with
// the first word of what the window shows (the list's entry counted from 1).
std::string AsShown(const OptionState& state) {
  std::string lines;
  for (const auto& [name, option] : kShown) {
    std::string value = state.at(option).substr(0, state.at(option).find(' '));
    if (option == "bootMenuDefault") value = std::to_string(std::stoi(value) + 1);
    lines.append(name).append("=").append(value).append("\n");
  }
  return lines;
}

// The user makes the window show what the script asks for: clicks "Standard", then ticks or
// clears each check box, types each spin edit's text, chooses the list's entry and clicks the
// radio groups' items.
void UserMakes(TForm1& window, const ScriptedRequest& script) {
  const OptionControls o = window.Options();
  if (script.standard) window.BitBtn2Click();
  const std::map<std::string, TCheckBox*> boxes = CheckBoxes(o);
  for (const auto& [name, value] : script.settings) {
    const std::string& option = std::ranges::find(kShown, name, &Shown::first)->second;
    if (boxes.contains(option)) {
      if (boxes.at(option)->Checked() != (value == "1")) boxes.at(option)->UserClick();
    } else if (name == "BootMenuDelay" || name == "BootDelay") {
      (name == "BootDelay" ? o.bootDelay : o.bootMenuDelay).UserSetText(value);
    } else if (name == "BootMenuDefault") {
      o.bootMenuDefault.UserChoose(std::stoi(value) - 1);
    } else {
      (name == "BootWin" ? o.defaultSystem : o.doubleBuffer).UserClick(std::stoi(value));
    }
  }
}

// Each changes options that the window never shows disabled, whatever the file held; together
// they name every option, in each way of writing a setting.
const std::vector<std::vector<std::string>> kChanges = {
    {"--standard"},
    {"--set", "BootMenu=1", "--set", "bootmenudelay=5", "--set=BOOTDELAY=0", "--set", "LoadTop=0"},
    {"--set", "DosPrompt=1", "--set", "Logo=0", "--set", "BootFailSafe=1", "--set", "BootWarn=1"},
    {"--set", "BootWin=0", "--set", "DoubleBuffer=2", "--set", "BootMenuDefault=6", "--set",
     "DosPrompt=0"},
    {"--standard", "--set", "BootMulti=1", "--set", "DblSpace=0", "--set", "BootDelay=-2147483648",
     "--set", "BootMenuDelay=$7FFFFFFF"},
    {"--set", "BootWin=1", "--set", "BootGUI=0", "--set", "Network=1", "--set", "BootFailSafe=0",
     "--set", "BootMenuDelay= +07", "--set", "BootKeys=0", "--set", "DrvSpace=0"},
};

// Boot files a user may have, and hostile ones that no Windows 95 would leave (more of them are
// read and written by the Hostile test); each is read without an error.
std::vector<std::pair<std::string, std::string>> BootFiles() {
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
      {"tabs, quotes, NUL bytes",
       BootFileText({"\tBootMenuDelay\t=\t\"0x0A\"\t", "'Network'=1", " ;BootFailsafe = '1' ",
                     "Boot" + nul + "Menu=1", "BootDelay=" + nul + "5"})},
      {"binary garbage", GarbledBootFile(size_t{16} << 10, 22)},
  };
}

// For each boot file: --show prints what the window shows after its start, and changes nothing;
// each set of changes made by the command line leaves every file of the drive, byte for byte and
// with its permissions and attributes, as the window's write command leaves it after the same
// clicks; its dry run before changes nothing.
TEST(ScriptedCommandTest, ShowsAndWritesWhatTheWindowShowsAndWrites) {
  for (const auto& [situation, bootFile] : BootFiles()) {
    SCOPED_TRACE(situation);
    for (const std::vector<std::string>& arguments : kChanges) {
      SCOPED_TRACE(testing::PrintToString(arguments));
      std::string byWindow;
      {
        TempDrive drive;
        PrepareDrive(drive, bootFile);
        const std::string before = drive.Snapshot();
        RecordingMessageBoxes boxes;
        TForm1 window(boxes, "Startgarten");
        window.HandleEvent([&] { window.FormCreate(); });
        const ScriptedOutcome shown = RunCommandLine({"--show"});
        EXPECT_EQ(shown.exitStatus, 0);
        EXPECT_EQ(shown.output + shown.errors, AsShown(StateOf(window.Options())));
        EXPECT_EQ(drive.Snapshot(), before);
        UserMakes(window, ParseCommandLine(arguments).script);
        window.HandleEvent([&] { window.StartDateischreiben1Click(); });
        ASSERT_EQ(boxes.Texts(), std::vector<std::string>{messages::kConfirmRewrite});
        byWindow = drive.Snapshot();
      }
      TempDrive drive;
      PrepareDrive(drive, bootFile);
      const std::string before = drive.Snapshot();
      std::vector<std::string> dryRun = arguments;
      dryRun.insert(dryRun.begin(), "--dry-run");
      const ScriptedOutcome previewed = RunCommandLine(dryRun);
      EXPECT_EQ(previewed.exitStatus, 0);
      EXPECT_EQ(drive.Snapshot(), before);
      const std::optional<std::string> autoexec = drive.Read("AUTOEXEC.BAT");
      const ScriptedOutcome changed = RunCommandLine(arguments);
      EXPECT_EQ(changed.exitStatus, 0);
      EXPECT_EQ(changed.output + changed.errors, "");
      EXPECT_EQ(drive.Snapshot(), byWindow);
      // The dry run names the batch file unchanged exactly when the write keeps its bytes.
      EXPECT_EQ(previewed.output.find("Unver\xE4ndert: C:\\autoexec.bat\n") != std::string::npos,
                drive.Read("AUTOEXEC.BAT") == autoexec);
    }
  }
}

// A dry run on the sample drive; tests/data/dry_run_sample_drive.diff holds what it prints: each
// file's diff (its lines end in CR LF), a file that stays as it is named so, none written.
const std::vector<std::string> kDryRun = {"--dry-run", "--set", "DoubleBuffer=0", "--set",
                                          "Logo=0"};

// A dry run shows the same on the folder and on drive C as a disk image (a fixed VHD), and writes
// nothing on either. (That the write command leaves on an image what it leaves on a folder is
// ImageDriveTest's.)
TEST(ScriptedCommandTest, ADryRunShowsWhatItWouldWriteOnAFolderAndOnADiskImage) {
  TempDrive drive;
  const std::string bootFile = SourceFile("examples/drive_c/MSDOS.SYS");
  PrepareDrive(drive, bootFile);
  const DiskImage image = MakeImage(ImageKind::kFixedVhd, drive.Base());
  PutFiles(image, {{"MSDOS.SYS", bootFile, "+r +h +s"},
                   {"AUTOEXEC.BAT", *drive.Read("AUTOEXEC.BAT"), ""},
                   {"WINDOWS/LOGOW.SYS", kPicture, ""},
                   {"WINDOWS/LOGOS.SYS", kPicture, ""}});
  const std::string untouched = drive.Snapshot();
  const ScriptedOutcome previewed = RunCommandLine(kDryRun);
  EXPECT_EQ(previewed.exitStatus, 0);
  const std::string expected = SourceFile("tests/data/dry_run_sample_drive.diff");
  EXPECT_EQ(previewed.output + previewed.errors, expected);
  EXPECT_EQ(drive.Snapshot(), untouched);
  drive.LinkDrive('c', image.path);
  const std::string imageBytes = ReadHostBytes(image.path);
  EXPECT_EQ(RunCommandLine(kDryRun).output, expected);
  EXPECT_EQ(ReadHostBytes(image.path), imageBytes);
}

// A crashed command's temporary file is removed by the next command, as by the window's start.
// Then a failure at each file operation of reading the drive, with a full disk, an I/O error or a
// refusal in turn: the command stops with status 1 and an error, or prints what it prints without
// one; the drive stays as it was. A key whose file could not be read is not taken as missing: the
// command stops instead. (Under failures while it writes, the command is the window's write
// command: WriteCommandFaults.)
TEST(ScriptedCommandTest, EachFailureWhileReadingStopsWithAnErrorOrChangesNothing) {
  TempDrive drive;
  PrepareDrive(drive, SourceFile("examples/drive_c/MSDOS.SYS"));
  drive.Write("SG00ABCD.~01", "left by a command that crashed");
  const std::string shown = RunCommandLine({"--show"}).output;
  EXPECT_EQ(drive.Read("SG00ABCD.~01"), std::nullopt);
  const std::string before = drive.Snapshot();
  const int errors[] = {ENOSPC, EIO, EACCES};
  int unreadable = 0;
  unsigned long step = 1;
  for (;; ++step) {
    SetFaultPlan({.failAt = step, .error = errors[step % 3]});
    const ScriptedOutcome outcome = RunCommandLine({"--show"});
    const bool reached = OperationsPerformed() >= step;
    SetFaultPlan({});
    if (!reached) break;
    SCOPED_TRACE("failure at operation " + std::to_string(step));
    EXPECT_EQ(drive.Snapshot(), before);
    if (outcome.exitStatus == 0) {
      EXPECT_EQ(outcome.output + outcome.errors, shown);
    } else {
      EXPECT_EQ(outcome.exitStatus, 1);
      EXPECT_EQ(outcome.output, "");
      EXPECT_NE(outcome.errors, "");
    }
    unreadable += outcome.errors.ends_with(" nicht lesen.\n");
  }
  EXPECT_GT(step, 10u);
  EXPECT_GT(unreadable, 0);
}

}  // namespace
}  // namespace startgarten
