// Reading the options into the window and writing the window's options back.
#include "bootfile/boot_options.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/profile_text.h"
#include "support/boot_drive_fixture.h"

namespace startgarten {
namespace {

using namespace test_support;

using BootOptionsTest = BootDriveTest;

// Each boot file is read into the window as the one before left it (the first into a window with
// every box unchecked and no start type), as the menu's "Start-Datei lesen" does; each names what
// the window then shows otherwise than after reading a file without options. Writing the untouched
// window back keeps every key the file held, in every section, with its value, but for the keys
// listed: a number written in decimal, what the interlocks changed while reading, what the window
// cannot show; and the batch file's lines. The window reads that back as it was.
TEST_F(BootOptionsTest, ReadingSetsEveryControlAndWritingBackKeepsWhatWasRead) {
  struct Case {
    std::initializer_list<std::string_view> options;
    const char* changes;                                   // as State reads them
    std::map<std::string_view, std::string_view> written;  // key: its new value
    std::string autoexec = CrLf({"@ECHO OFF"});
  };
  const Case cases[] = {
      // No key: the defaults. The safe mode warning stays off without safe mode; DoubleSpace goes
      // off when DriveSpace is read.
      {{}, "", {}},
      {{"BootMenu=1", "BootKeys=0", "BootGUI=1", "Network=1", ";BootFailSafe=1", "BootWarn=1",
        "BootMulti=0", "DBLSpace=1", "DRVSpace=0", "LoadTop=0", "Logo=0", ";PROMPT=0",
        "BootMenuDefault=4", "BootMenuDelay=0x0A", "BootDelay=$0F", "BootWin=1", "DoubleBuffer=2"},
       "bootMenu=1 functionKeys=0 network=1 safeMode=1 safeModeWarning=1 doubleSpace=1 "
       "driveSpace=0 loadTop=0 logo=0 bootMenuDelay=10 bootDelay=15 "
       "doubleBuffer=2 bootMenuDefault=3 Abgesichert, mit Netzwerk",
       {{"BootMenuDelay", "10"}, {"BootDelay", "15"}}},
      // Only the number 1 checks a box; safe mode is the text "1" exactly.
      {{"BootMenu=2", "Network=-1", "BootKeys= 1", "LoadTop=01", ";BootFailsafe=01"},
       "",
       {{"BootMenu", "0"},
        {"Network", "0"},
        {"BootKeys", "1"},
        {"LoadTop", "1"},
        {";BootFailsafe", ""}}},
      // Windows beside the previous DOS, as Windows 95 installed over DOS leaves it, shows
      // Windows alone (the window starts only one of them); writing back keeps both.
      {{"BootMulti=1", "BootGUI=1", "Logo=0", "DoubleBuffer=2"}, "logo=0 doubleBuffer=2", {}},
      // Without a marker the batch file tells whether the DOS prompt follows Windows: a line that
      // begins with the call, which wins over the previous DOS and leaves Windows to start.bat.
      {{"BootMulti=1", "BootGUI=1"},
       "dosPromptAfterExit=1",
       {{"BootMulti", "0"}, {"BootGUI", "0"}},
       CrLf({"@ECHO OFF", "call start.bat /x"})},
      {{}, "", {}, CrLf({" call start.bat", "CALL START.BAT"})},
      // DOS as the default system locks the start choices; Windows again unlocks them. The list
      // has no entry 12, so none is selected.
      {{"BootWin=0", ";PROMPT=0", "DRVSpace=0", "DBLSpace=1", "BootMenuDefault=12"},
       "defaultSystem=0 startWindows=0 disabled previousDos=1 disabled driveSpace=0 doubleSpace=1 "
       "bootMenuDefault=-1",
       {{"BootMenuDefault", "0"}}},
      {{"BootWin=5", ";PROMPT=0"}, "", {{"BootWin", "1"}}},
      // Safe mode selects its entry; the default entry's text is shown over it.
      {{";BootFailsafe=1", "BootMenuDefault=3"},
       "bootMenu=1 safeMode=1 safeModeWarning=1 bootMenuDefault=2 Abgesichert",
       {}},
      {{"BootMenu=1", ";BootFailsafe=1", "BootWarn=1", "BootMenuDefault=5", ";PROMPT=1"},
       "bootMenu=1 safeMode=1 safeModeWarning=1 dosPromptAfterExit=1 bootMenuDefault=4 "
       "Einzelbest\xE4tigung",
       {}},
      // A default entry outside the list leaves the field empty.
      {{"BootMenuDefault=0"}, "bootMenuDefault=-1", {}},
      {{"BootMenuDefault=9"}, "bootMenuDefault=-1", {{"BootMenuDefault", "0"}}},
      {{"BootMenuDefault=-2147483648"}, "bootMenuDefault=-1", {{"BootMenuDefault", "0"}}},
      {{"BootMenuDefault=$7FFFFFFF"}, "bootMenuDefault=-1", {{"BootMenuDefault", "0"}}},
  };
  options.dosPromptAfterExit.SetChecked(false);
  for (const auto& [lines, changes, written, autoexec] : cases) {
    WriteBootFile(lines);
    drive.Write("AUTOEXEC.BAT", autoexec);
    const std::string before = BootFile();
    SCOPED_TRACE(before);
    ReadBootOptions(options, boxes);
    const OptionState read = StateOf(options);
    EXPECT_EQ(ChangesFrom(kReadDefaults, read), State(changes));
    WriteBootOptions(options, boxes);
    const std::string after = BootFile();
    EXPECT_EQ(after.substr(0, after.find("[Options]")), before.substr(0, before.find("[Options]")));
    for (std::string_view line : lines) {
      const std::string_view key = line.substr(0, line.find('='));
      const auto kept = written.contains(key) ? written.at(key)
                                              : platform::FindProfileValue(before, "Options", key);
      EXPECT_EQ(platform::FindProfileValue(after, "Options", key), kept) << key;
    }
    EXPECT_EQ(drive.Read("AUTOEXEC.BAT"), autoexec);
    ReadBootOptions(options, boxes);
    EXPECT_EQ(StateOf(options), read);
    EXPECT_EQ(BootFileAttributes(), kProtected);
  }
  EXPECT_TRUE(boxes.shown.empty());
}

// Writing changes each key in place and adds the missing ones, each with the spelling that the
// writer passes (the marker keeps its place): a window as its design leaves it, with the logo on,
// and one with safe mode, DOS by default, a delay that is no number and no double buffering chosen.
TEST_F(BootOptionsTest, WriteChangesKeysInPlaceAndAddsTheWindowsValues) {
  drive.Write("AUTOEXEC.BAT", CrLf({"@ECHO OFF"}));  // writing loads the batch file
  WriteBootFile({"BootMulti=1", "BootGUI=1", ";PROMPT=0", ";xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"});
  options.dosPromptAfterExit.SetChecked(false);
  options.logo.SetChecked(true);
  WriteBootOptions(options, boxes);
  EXPECT_EQ(
      BootFile(),
      BootFileText({"BootMulti=0", "BootGUI=0", ";PROMPT=0", ";xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
                    "BootMenu=0", "BootKeys=0", "Network=0", ";BootFailSafe=", "BootWarn=0",
                    "DBLSpace=0", "DRVSpace=0", "LoadTop=0", "LOGO=1", "BootMenuDefault=0",
                    "BootMenuDelay=0", "BootDelay=0", "BootWin=1", "DoubleBuffer=1"}));
  EXPECT_EQ(BootFileAttributes(), kProtected);

  WriteBootFile({";PROMPT=0"});
  options.logo.SetChecked(false);
  options.safeMode.UserClick();  // boot menu on, "Abgesichert" selected
  options.bootMenuDelay.UserSetText("1-2");
  options.bootDelay.SetValue(-4);
  options.defaultSystem.UserClick(kDos);
  options.doubleBuffer.SetItemIndex(-1);
  WriteBootOptions(options, boxes);
  EXPECT_EQ(BootFile(),
            BootFileText({";PROMPT=0", "BootMenu=1", "BootKeys=0", "BootGUI=0", "Network=0",
                          ";BootFailSafe=1", "BootWarn=0", "BootMulti=1", "DBLSpace=0",
                          "DRVSpace=0", "LoadTop=0", "Logo=0", "BootMenuDefault=3",
                          "BootMenuDelay=0", "BootDelay=-4", "BootWin=0", "DoubleBuffer=-1"}));
}

}  // namespace
}  // namespace startgarten
