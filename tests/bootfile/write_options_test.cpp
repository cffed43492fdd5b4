#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>
#include <string>

#include "bootfile/boot_options.h"
#include "bootfile/ini_file.h"
#include "platform/error.h"
#include "support/boot_drive_fixture.h"

namespace startgarten {
namespace {

using test_support::CrLf;

class WriteOptionsTest : public test_support::BootDriveTest {
 protected:
  WriteOptionsTest() { drive.Write("AUTOEXEC.BAT", CrLf({"@ECHO OFF"})); }

  // The file's keys as "section/key" in lower case, each with its value.
  static std::map<std::string, std::string> Keys(const std::string& file) {
    std::map<std::string, std::string> keys;
    std::string section;
    std::istringstream lines(file);
    for (std::string line; std::getline(lines, line, '\n');) {
      if (line.ends_with('\r')) line.pop_back();
      const size_t equals = line.find('=');
      if (line.starts_with('[')) {
        section = line.substr(1, line.find(']') - 1) + "/";
      } else if (equals != std::string::npos) {
        std::string key = section + line.substr(0, equals);
        std::ranges::transform(key, key.begin(), [](unsigned char c) { return std::tolower(c); });
        keys[key] = line.substr(equals + 1);
      }
    }
    return keys;
  }
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
    std::map<std::string, std::string> changed;  // "section/key" in lower case: new value
  };
  const Case cases[] = {
      // The same number, in decimal.
      {{"BootMenuDefault=3", "BootMenuDelay=0x0A", ";PROMPT=0"}, {{"options/bootmenudelay", "10"}}},
      // Without a marker the DOS prompt is on: it excludes the previous DOS and leaves starting
      // Windows to the start script.
      {{"BootMulti=1", "BootGUI=1", "Logo=0", "DoubleBuffer=2"},
       {{"options/bootmulti", "0"}, {"options/bootgui", "0"}}},
      {{"BootMenu=1", ";BootFailsafe=1", "BootWarn=1", "BootMenuDefault=5", ";PROMPT=1"}, {}},
      // The list has no entry 12, so none is selected.
      {{"BootWin=0", ";PROMPT=0", "DRVSpace=0", "DBLSpace=1", "BootMenuDefault=12"},
       {{"options/bootmenudefault", "0"}}},
  };
  for (const auto& [options, changed] : cases) {
    WriteBootFile(options);
    std::map<std::string, std::string> expected = Keys(BootFile());
    for (const auto& [key, value] : changed) expected[key] = value;
    FormControls first;
    ConnectInterlockRules(first);
    ReadBootOptions(first, boxes);
    WriteBootOptions(first, boxes);
    std::map<std::string, std::string> written = Keys(BootFile());
    for (const auto& [key, value] : expected) EXPECT_EQ(written[key], value) << key;

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

TEST_F(WriteOptionsTest, BootFileThatCannotBeWrittenEndsTheCommandAndKeepsTheProtection) {
  drive.Write("MSDOS.SYS", CrLf({"[Paths]", "HostWinBootDrv=H"}));
  Protect();
  try {
    WriteBootOptions(form, boxes);
    FAIL() << "writing to a missing drive succeeded";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "Kann nicht nach H:\\msdos.sys schreiben");
  }
  EXPECT_EQ(BootFileAttributes(), kProtected);
  EXPECT_EQ(drive.Read("AUTOEXEC.BAT"), CrLf({"@ECHO OFF"}));
}

TEST_F(WriteOptionsTest, MissingHostDriveWritesNothing) {
  drive.Write("MSDOS.SYS", CrLf({"[Options]", "BootGUI=1"}));
  WriteBootOptions(form, boxes);
  EXPECT_EQ(BootFile(), CrLf({"[Options]", "BootGUI=1"}));
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Fehler"});
}

}  // namespace
}  // namespace startgarten
