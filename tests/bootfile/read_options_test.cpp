#include <gtest/gtest.h>

#include "bootfile/boot_options.h"
#include "bootfile/ini_file.h"
#include "platform/error.h"
#include "support/boot_drive_fixture.h"

namespace startgarten {
namespace {

class ReadOptionsTest : public test_support::BootDriveTest {
 protected:
  void UncheckAll() {
    for (TCheckBox* box : test_support::CheckBoxes(form)) box->SetChecked(false);
  }
};

TEST_F(ReadOptionsTest, FileWithoutKeysFromAllUnchecked) {
  WriteBootFile({});
  UncheckAll();
  form.ComboBox1.SetItemIndex(-1);
  ReadBootOptions(form, boxes);
  // CheckBox6 stays off without safe mode; CheckBox8 goes off when CheckBox9 is read.
  EXPECT_EQ(test_support::CheckedStates(form), "011000001111");
  EXPECT_EQ(form.ComboBox1.Text(), "Standard");
  EXPECT_EQ(form.ComboBox1.ItemIndex(), 0);
  EXPECT_EQ(form.SpinEdit1.Text(), "30");
  EXPECT_EQ(form.SpinEdit2.Text(), "2");
  EXPECT_EQ(form.RadioGroup1.ItemIndex(), 1);
  EXPECT_EQ(form.RadioGroup2.ItemIndex(), 0);
  EXPECT_EQ(BootFileAttributes(), kProtected);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ReadOptionsTest, FileWithEveryKeyFromTheDesignTimeState) {
  WriteBootFile({"BootMenu=1", "BootKeys=0", "BootGUI=1", "Network=1", ";BootFailSafe=1",
                 "BootWarn=1", "BootMulti=0", "DBLSpace=1", "DRVSpace=0", "LoadTop=0", "Logo=0",
                 ";PROMPT=0", "BootMenuDefault=4", "BootMenuDelay=0x0A", "BootDelay=$0F",
                 "BootWin=1", "DoubleBuffer=2"});
  ReadBootOptions(form, boxes);
  EXPECT_EQ(test_support::CheckedStates(form), "101111010000");
  EXPECT_EQ(form.ComboBox1.Text(), "Abgesichert, mit Netzwerk");
  EXPECT_EQ(form.ComboBox1.ItemIndex(), 3);
  EXPECT_EQ(form.SpinEdit1.Text(), "10");
  EXPECT_EQ(form.SpinEdit2.Text(), "15");
  EXPECT_EQ(form.RadioGroup2.ItemIndex(), 2);
}

TEST_F(ReadOptionsTest, OnlyTheNumberOneChecksABox) {
  WriteBootFile({"BootMenu=2", "Network=-1", "BootKeys= 1", "LoadTop=01", ";BootFailsafe=01"});
  ReadBootOptions(form, boxes);
  EXPECT_FALSE(form.CheckBox1.Checked());
  EXPECT_FALSE(form.CheckBox4.Checked());
  EXPECT_TRUE(form.CheckBox2.Checked());
  EXPECT_TRUE(form.CheckBox10.Checked());
  EXPECT_FALSE(form.CheckBox5.Checked());  // safe mode is the text "1" exactly
}

TEST_F(ReadOptionsTest, PreviousDosWithoutMarkerEndsUnchecked) {
  WriteBootFile({"BootMulti=1"});
  ReadBootOptions(form, boxes);
  EXPECT_FALSE(form.CheckBox7.Checked());
  EXPECT_TRUE(form.CheckBox3.Checked());
  EXPECT_TRUE(form.CheckBox12.Checked());
}

TEST_F(ReadOptionsTest, DosAsDefaultSystemLocksTheStartChoices) {
  WriteBootFile({"BootWin=0", ";PROMPT=0"});
  ReadBootOptions(form, boxes);
  EXPECT_EQ(form.RadioGroup1.ItemIndex(), 0);
  EXPECT_FALSE(form.CheckBox3.Checked());
  EXPECT_TRUE(form.CheckBox7.Checked());
  EXPECT_FALSE(form.CheckBox12.Checked());
  EXPECT_FALSE(form.CheckBox3.Enabled());
  EXPECT_FALSE(form.CheckBox7.Enabled());

  WriteBootFile({"BootWin=5", ";PROMPT=0"});
  ReadBootOptions(form, boxes);
  EXPECT_EQ(form.RadioGroup1.ItemIndex(), 1);
  EXPECT_TRUE(form.CheckBox3.Enabled());
}

TEST_F(ReadOptionsTest, SafeModeSelectsItsEntryAndTheDefaultEntryIsShownAndSelected) {
  WriteBootFile({";BootFailsafe=1", "BootMenuDefault=3"});
  ReadBootOptions(form, boxes);
  EXPECT_TRUE(form.CheckBox5.Checked());
  EXPECT_TRUE(form.CheckBox1.Checked());
  EXPECT_EQ(form.ComboBox1.Text(), "Abgesichert");
  EXPECT_EQ(form.ComboBox1.ItemIndex(), 2);
}

TEST_F(ReadOptionsTest, DefaultEntryOutsideTheListLeavesTheFieldEmpty) {
  for (const char* value : {"0", "9", "-2147483648", "$7FFFFFFF"}) {
    WriteBootFile({std::string("BootMenuDefault=") + value});
    ReadBootOptions(form, boxes);
    EXPECT_EQ(form.ComboBox1.Text(), "") << value;
    EXPECT_EQ(form.ComboBox1.ItemIndex(), -1) << value;
  }
}

// The error comes after every other row is read, so that a write afterwards stores what the file
// held, not the values the window had before.
TEST_F(ReadOptionsTest, DefaultEntryThatIsNoNumberIsReportedAfterEveryOtherRow) {
  for (const char* entry : {"", "abc"}) {
    WriteBootFile({"BootMenu=1", std::string("BootMenuDefault=") + entry, "BootMenuDelay=7",
                   "BootDelay=4", "BootWin=0"});
    try {
      ReadBootOptions(form, boxes);
      FAIL() << "the default entry was read: " << entry;
    } catch (const Error& error) {
      EXPECT_EQ(error.what(), "'" + std::string(entry) + "' ist kein g\xFCltiger Integerwert");
    }
    EXPECT_TRUE(form.CheckBox1.Checked());
    EXPECT_EQ(form.SpinEdit1.Text(), "7");
    EXPECT_EQ(form.SpinEdit2.Text(), "4");
    EXPECT_EQ(form.RadioGroup1.ItemIndex(), 0);
    drive.Write("AUTOEXEC.BAT", test_support::CrLf({"@ECHO OFF"}));
    WriteBootOptions(form, boxes);
    const TIniFile ini("C:\\msdos.sys");
    EXPECT_EQ(ini.ReadText("Options", "BootMenuDelay", ""), "7");
    EXPECT_EQ(ini.ReadText("Options", "BootDelay", ""), "4");
    EXPECT_EQ(ini.ReadText("Options", "BootWin", ""), "0");
    EXPECT_EQ(BootFileAttributes(), kProtected);
  }
}

TEST_F(ReadOptionsTest, MissingHostDriveChangesNoControl) {
  drive.Write("MSDOS.SYS", test_support::CrLf({"[Options]", "BootMenu=1"}));
  ReadBootOptions(form, boxes);
  EXPECT_EQ(test_support::CheckedStates(form), "000000000001");
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Fehler"});
}

}  // namespace
}  // namespace startgarten
