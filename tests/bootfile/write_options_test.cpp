#include <gtest/gtest.h>

#include <map>

#include "bootfile/boot_options.h"
#include "bootfile/ini_file.h"
#include "platform/profile_text.h"
#include "support/boot_drive_fixture.h"

namespace startgarten {
namespace {

using test_support::FormState;

class WriteOptionsTest : public test_support::BootDriveTest {
 protected:
  WriteOptionsTest() { drive.Write("AUTOEXEC.BAT", test_support::CrLf({"@ECHO OFF"})); }
};

TEST_F(WriteOptionsTest, ChangesKeysInPlaceAndAddsMissingOnesWithThePassedSpelling) {
  WriteBootFile({"BootMulti=1", "BootGUI=1", ";PROMPT=0", ";xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"});
  form.CheckBox12.SetChecked(false);
  form.CheckBox11.SetChecked(true);
  WriteBootOptions(form, boxes);
  EXPECT_EQ(BootFile(),
            test_support::BootFileText(
                {"BootMulti=0", "BootGUI=0", ";PROMPT=0", ";xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
                 "BootMenu=0", "BootKeys=0", "Network=0", ";BootFailSafe=", "BootWarn=0",
                 "DBLSpace=0", "DRVSpace=0", "LoadTop=0", "LOGO=1", "BootMenuDefault=0",
                 "BootMenuDelay=0", "BootDelay=0", "BootWin=1", "DoubleBuffer=1"}));
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
  for (const auto& [key, value] : std::map<const char*, const char*>{{"BootMenu", "1"},
                                                                     {";BootFailSafe", "1"},
                                                                     {"BootMenuDefault", "3"},
                                                                     {"BootMenuDelay", "0"},
                                                                     {"BootDelay", "-4"},
                                                                     {"BootWin", "0"},
                                                                     {"BootMulti", "1"},
                                                                     {"DoubleBuffer", "-1"}}) {
    EXPECT_EQ(ini.ReadText("Options", key, ""), value) << key;
  }
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
    FormControls first, second;
    ConnectInterlockRules(first);
    ConnectInterlockRules(second);
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
    ReadBootOptions(second, boxes);
    EXPECT_EQ(FormState(first), FormState(second));
  }
  EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace startgarten
