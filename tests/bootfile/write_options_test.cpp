#include <gtest/gtest.h>

#include <map>
#include <string_view>

#include "bootfile/boot_options.h"
#include "bootfile/ini_file.h"
#include "platform/error.h"
#include "platform/profile_text.h"
#include "support/boot_drive_fixture.h"

namespace startgarten {
namespace {

using test_support::CrLf;

class WriteOptionsTest : public test_support::BootDriveTest {
 protected:
  WriteOptionsTest() { drive.Write("AUTOEXEC.BAT", CrLf({"@ECHO OFF"})); }
};

TEST_F(WriteOptionsTest, ChangesKeysInPlaceAndAddsMissingOnesWithThePassedSpelling) {
  WriteBootFile({"BootMulti=1", "BootGUI=1", ";PROMPT=0", ";xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"});
  form.CheckBox12.SetChecked(false);
  form.CheckBox11.SetChecked(true);
  WriteBootOptions(form, boxes);
  EXPECT_EQ(BootFile(), CrLf({"[Paths]",
                              "WinDir=C:\\WINDOWS",
                              "HostWinBootDrv=C",
                              "",
                              "[Options]",
                              "BootMulti=0",
                              "BootGUI=0",
                              ";PROMPT=0",
                              ";xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
                              "BootMenu=0",
                              "BootKeys=0",
                              "Network=0",
                              ";BootFailSafe=",
                              "BootWarn=0",
                              "DBLSpace=0",
                              "DRVSpace=0",
                              "LoadTop=0",
                              "LOGO=1",
                              "BootMenuDefault=0",
                              "BootMenuDelay=0",
                              "BootDelay=0",
                              "BootWin=1",
                              "DoubleBuffer=1"}));
  EXPECT_EQ(BootFileAttributes(), kProtected);
}

TEST_F(WriteOptionsTest, WritesTheWindowsValues) {
  WriteBootFile({";PROMPT=0"});
  form.CheckBox12.SetChecked(false);
  form.CheckBox5.UserClick();  // safe mode: boot menu on, "Abgesichert" selected
  form.SpinEdit1.UserSetText("1-2");
  form.SpinEdit2.SetValue(-4);
  form.RadioGroup1.UserClick(0);
  form.RadioGroup2.SetItemIndex(-1);
  WriteBootOptions(form, boxes);
  const TIniFile ini("c:\\msdos.sys");
  EXPECT_EQ(ini.ReadText("Options", "BootMenu", ""), "1");
  EXPECT_EQ(ini.ReadText("Options", ";BootFailSafe", ""), "1");
  EXPECT_EQ(ini.ReadText("Options", "BootMenuDefault", ""), "3");
  EXPECT_EQ(ini.ReadText("Options", "BootMenuDelay", ""), "0");
  EXPECT_EQ(ini.ReadText("Options", "BootDelay", ""), "-4");
  EXPECT_EQ(ini.ReadText("Options", "BootWin", ""), "0");
  EXPECT_EQ(ini.ReadText("Options", "BootMulti", ""), "1");
  EXPECT_EQ(ini.ReadText("Options", "DoubleBuffer", ""), "-1");
}

// Reading a file into a window and writing the untouched window back keeps every key the file
// held, in every section, with its value, but for the changes listed: a number written in decimal,
// what the interlocks changed while reading, what the window cannot show. Either way the window
// reads back the same.
TEST_F(WriteOptionsTest, UntouchedWindowWritesBackWhatItRead) {
  struct Case {
    std::initializer_list<std::string_view> options;
    std::map<std::string_view, std::string_view> changed;  // key: its new value
  };
  const Case cases[] = {
      // The same number, in decimal.
      {{"BootMenuDefault=3", "BootMenuDelay=0x0A", ";PROMPT=0"}, {{"BootMenuDelay", "10"}}},
      // Without a marker the DOS prompt is on: it excludes the previous DOS and leaves starting
      // Windows to the start script.
      {{"BootMulti=1", "BootGUI=1", "Logo=0", "DoubleBuffer=2"},
       {{"BootMulti", "0"}, {"BootGUI", "0"}}},
      {{"BootMenu=1", ";BootFailsafe=1", "BootWarn=1", "BootMenuDefault=5", ";PROMPT=1"}, {}},
      // The list has no entry 12, so none is selected.
      {{"BootWin=0", ";PROMPT=0", "DRVSpace=0", "DBLSpace=1", "BootMenuDefault=12"},
       {{"BootMenuDefault", "0"}}},
  };
  for (const auto& [options, changed] : cases) {
    WriteBootFile(options);
    const std::string before = BootFile();
    FormControls first;
    ConnectInterlockRules(first);
    ReadBootOptions(first, boxes);
    WriteBootOptions(first, boxes);
    const std::string after = BootFile();
    EXPECT_EQ(after.substr(0, after.find("[Options]")), before.substr(0, before.find("[Options]")));
    for (std::string_view line : options) {
      const std::string_view key = line.substr(0, line.find('='));
      const auto kept = changed.contains(key) ? changed.at(key)
                                              : platform::FindProfileValue(before, "Options", key);
      EXPECT_EQ(platform::FindProfileValue(after, "Options", key), kept) << key;
    }

    FormControls second;
    ConnectInterlockRules(second);
    ReadBootOptions(second, boxes);
    EXPECT_EQ(test_support::CheckedStates(first), test_support::CheckedStates(second));
    EXPECT_EQ(first.ComboBox1.Text(), second.ComboBox1.Text());
    EXPECT_EQ(first.ComboBox1.ItemIndex(), second.ComboBox1.ItemIndex());
    EXPECT_EQ(first.SpinEdit1.Text(), second.SpinEdit1.Text());
    EXPECT_EQ(first.SpinEdit2.Text(), second.SpinEdit2.Text());
    EXPECT_EQ(first.RadioGroup1.ItemIndex(), second.RadioGroup1.ItemIndex());
    EXPECT_EQ(first.RadioGroup2.ItemIndex(), second.RadioGroup2.ItemIndex());
  }
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(WriteOptionsTest, HostDriveWithoutBootFileRefusesBeforeWritingAnything) {
  drive.Write("MSDOS.SYS", CrLf({"[Paths]", "HostWinBootDrv=H"}));
  Protect();
  const std::string bootFile = BootFile();
  drive.MapDrive('h');
  try {
    WriteBootOptions(form, boxes);
    FAIL() << "a boot file was written on a drive that has none";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "Kann Datei H:\\msdos.sys nicht \xF6"
                               "ffnen");
  }
  EXPECT_EQ(BootFile(), bootFile);
  EXPECT_EQ(BootFileAttributes(), kProtected);
  EXPECT_EQ(drive.Read("AUTOEXEC.BAT"), CrLf({"@ECHO OFF"}));
  EXPECT_TRUE(drive.Entries("", 'h').empty());
}

TEST_F(WriteOptionsTest, MissingHostDriveWritesNothing) {
  drive.Write("MSDOS.SYS", CrLf({"[Options]", "BootGUI=1"}));
  WriteBootOptions(form, boxes);
  EXPECT_EQ(BootFile(), CrLf({"[Options]", "BootGUI=1"}));
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Fehler"});
}

}  // namespace
}  // namespace startgarten
