#include <gtest/gtest.h>

#include "bootfile/boot_options.h"
#include "support/boot_drive_fixture.h"

namespace startgarten {
namespace {

using test_support::FormState;
using ReadOptionsTest = test_support::BootDriveTest;

// Each boot file is read into the window as the one before left it (the first into a window with
// every box unchecked and no start type), as the menu's "Start-Datei lesen" does. The states are
// those of FormState: check boxes, spin edits, radio groups, combo box.
TEST_F(ReadOptionsTest, EveryRowSetsItsControlAndTheInterlocksFollow) {
  struct Case {
    std::initializer_list<std::string_view> options;
    std::string state;
  };
  const Case cases[] = {
      // No key: the defaults. CheckBox6 stays off without safe mode; CheckBox8 goes off when
      // CheckBox9 is read.
      {{}, "011000001111 30 2 1 0 0 Standard"},
      {{"BootMenu=1", "BootKeys=0", "BootGUI=1", "Network=1", ";BootFailSafe=1", "BootWarn=1",
        "BootMulti=0", "DBLSpace=1", "DRVSpace=0", "LoadTop=0", "Logo=0", ";PROMPT=0",
        "BootMenuDefault=4", "BootMenuDelay=0x0A", "BootDelay=$0F", "BootWin=1", "DoubleBuffer=2"},
       "101111010000 10 15 1 2 3 Abgesichert, mit Netzwerk"},
      // Only the number 1 checks a box; safe mode is the text "1" exactly.
      {{"BootMenu=2", "Network=-1", "BootKeys= 1", "LoadTop=01", ";BootFailsafe=01"},
       "011000001111 30 2 1 0 0 Standard"},
      // The previous DOS without a marker ends unchecked: the DOS prompt after Windows wins.
      {{"BootMulti=1"}, "011000001111 30 2 1 0 0 Standard"},
      // DOS as the default system locks the start choices; Windows again unlocks them.
      {{"BootWin=0", ";PROMPT=0"}, "01-000+01110 30 2 0 0 0 Standard"},
      {{"BootWin=5", ";PROMPT=0"}, "011000001110 30 2 1 0 0 Standard"},
      // Safe mode selects its entry; the default entry's text is shown over it.
      {{";BootFailsafe=1", "BootMenuDefault=3"}, "111011001111 30 2 1 0 2 Abgesichert"},
      // A default entry outside the list leaves the field empty.
      {{"BootMenuDefault=0"}, "011000001111 30 2 1 0 -1 "},
      {{"BootMenuDefault=9"}, "011000001111 30 2 1 0 -1 "},
      {{"BootMenuDefault=-2147483648"}, "011000001111 30 2 1 0 -1 "},
      {{"BootMenuDefault=$7FFFFFFF"}, "011000001111 30 2 1 0 -1 "},
  };
  form.CheckBox12.SetChecked(false);
  for (const auto& [options, state] : cases) {
    WriteBootFile(options);
    ReadBootOptions(form, boxes);
    EXPECT_EQ(FormState(form), state) << BootFile();
    EXPECT_EQ(BootFileAttributes(), kProtected);
  }
  EXPECT_TRUE(boxes.shown.empty());
}

// The error comes after every other row is read, so that a write afterwards stores what the file
// held, not the values the window had before.
TEST_F(ReadOptionsTest, DefaultEntryThatIsNoNumberIsReportedAfterEveryOtherRow) {
  drive.Write("AUTOEXEC.BAT", test_support::CrLf({"@ECHO OFF"}));
  for (const std::string entry : {"", "abc"}) {
    WriteBootFile(
        {"BootMenu=1", "BootMenuDefault=" + entry, "BootMenuDelay=7", "BootDelay=4", "BootWin=0"});
    EXPECT_EQ(test_support::ErrorOf([&] { ReadBootOptions(form, boxes); }),
              "'" + entry + "' ist kein g\xFCltiger Integerwert");
    EXPECT_EQ(FormState(form),
              entry.empty() ? "11-000+01110 7 4 0 0 -1 " : "11+000-01111 7 4 0 0 -1 ");
    WriteBootOptions(form, boxes);
    EXPECT_NE(BootFile().find("\r\nBootMenuDelay=7\r\nBootDelay=4\r\nBootWin=0\r\n"),
              std::string::npos);
    EXPECT_EQ(BootFileAttributes(), kProtected);
  }
}

}  // namespace
}  // namespace startgarten
