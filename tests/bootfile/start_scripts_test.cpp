#include "bootfile/start_scripts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "platform/error.h"
#include "platform/write_set.h"
#include "support/boot_drive_fixture.h"

namespace startgarten {
namespace {

using test_support::CrLf;

class StartScriptsTest : public test_support::BootDriveTest {
 protected:
  // Runs the stage on a boot file with the marker line given (none when empty) and the batch file
  // bytes given, with the DOS-prompt option as given.
  void Run(std::string_view markerLine, std::string_view autoexec, bool prompt) {
    if (markerLine.empty()) {
      WriteBootFile({"BootGUI=1"});
    } else {
      WriteBootFile({"BootGUI=1", markerLine});
    }
    drive.Write("AUTOEXEC.BAT", autoexec);
    form.CheckBox12.SetChecked(prompt);
    RunStage();
  }

  // The stage as the write command runs it: in a write set that may replace the boot file.
  void RunStage() {
    platform::WriteSet writes;
    platform::LiftProtection("C:\\msdos.sys");
    MaintainStartScripts(form, ini);
    writes.Commit();
  }

  std::string Key(const char* key) const { return ini.ReadText("OPTIONS", key, "<none>"); }
  std::string Autoexec() const { return drive.Read("AUTOEXEC.BAT").value_or("<missing>"); }

  const TIniFile ini{"C:\\msdos.sys"};
};

TEST_F(StartScriptsTest, SwitchingOnReplacesTheCommentedCall) {
  Run(";PROMPT=0",
      CrLf(
          {"@ECHO OFF", "echo x & rem call start.bat", "REM CALL START.BAT", "rem call start.bat"}),
      true);
  EXPECT_EQ(Autoexec(), CrLf({"@ECHO OFF", "REM CALL START.BAT", "call start.bat"}));
  EXPECT_EQ(Key(";PROMPT"), "1");
  EXPECT_EQ(Key("BootGUI"), "0");
}

TEST_F(StartScriptsTest, SwitchingOffCommentsTheCallOutAndRemovesActiveCalls) {
  // Only lines that begin with the call exactly, letter case included, are removed.
  Run(";PROMPT=1",
      "@ECHO OFF\rcall start.bat\rcall start.bat\rCALL START.BAT\r call start.bat\rcall start.bat "
      "/x",
      false);
  EXPECT_EQ(Autoexec(), "@ECHO OFF\r\nCALL START.BAT\r\n call start.bat\r\nrem call start.bat");
  EXPECT_EQ(Key(";PROMPT"), "0");
  EXPECT_EQ(Key("BootGUI"), "1");
}

TEST_F(StartScriptsTest, UnchangedOptionKeepsTheLinesAndOnlyNormalisesLineEnds) {
  Run(";PROMPT=0", "@ECHO OFF\nrem call start.bat\n", false);
  EXPECT_EQ(Autoexec(), CrLf({"@ECHO OFF", "rem call start.bat"}));
  EXPECT_EQ(Key(";PROMPT"), "0");

  Run(";PROMPT=1", "@ECHO OFF\r\ncall start.bat", true);
  EXPECT_EQ(Autoexec(), "@ECHO OFF\r\ncall start.bat");
  EXPECT_EQ(Key("BootGUI"), "0");
}

TEST_F(StartScriptsTest, MissingMarkerMeansNeitherCallWasGiven) {
  Run("", "@ECHO OFF\nSET X=1", true);
  EXPECT_EQ(Autoexec(), "@ECHO OFF\r\nSET X=1\r\ncall start.bat");
  EXPECT_EQ(Key(";PROMPT"), "1");
  EXPECT_EQ(Key("BootGUI"), "0");

  Run("", CrLf({"@ECHO OFF", "call start.bat"}), false);
  EXPECT_EQ(Autoexec(), CrLf({"@ECHO OFF", "rem call start.bat"}));
  EXPECT_EQ(Key(";PROMPT"), "0");
}

// Switching on adds no second call to a batch file that has one already, as DOS reads it (letter
// case and blanks around it do not count): after a write the marker does not record, by hand, or
// with a marker that is no number.
TEST_F(StartScriptsTest, SwitchingOnAddsNoSecondCall) {
  const std::pair<const char*, const char*> cases[] = {
      {";PROMPT=0", "@ECHO OFF\r\ncall start.bat\r\n"},
      {"", "@ECHO OFF\r\n\t CALL Start.BAT \r\n"},
      {";PROMPT=x", "@ECHO OFF\r\ncall start.bat\r\nrem call start.bat\r\n"}};
  for (const auto& [marker, autoexec] : cases) {
    Run(marker, autoexec, true);
    std::istringstream lines(Autoexec());
    int calls = 0;
    for (std::string line; std::getline(lines, line);) {
      std::transform(line.begin(), line.end(), line.begin(), ::tolower);
      calls += line.find("call start.bat") != std::string::npos;
    }
    EXPECT_EQ(calls, 1) << Autoexec();
    EXPECT_EQ(Key(";PROMPT"), "1");
  }
  // A line that only begins with the call is a call with arguments, not the call itself.
  Run(";PROMPT=0", "call start.bat /x\r\n", true);
  EXPECT_EQ(Autoexec(), "call start.bat /x\r\ncall start.bat\r\n");
}

TEST_F(StartScriptsTest, KeepsEveryByteOfUntouchedLinesNulIncluded) {
  Run(";PROMPT=0", std::string("SET A=\0B\x1A\r\n", 11), true);
  EXPECT_EQ(Autoexec(), std::string("SET A=\0B\x1A\r\ncall start.bat\r\n", 27));
}

TEST_F(StartScriptsTest, WritesTheStartScriptEveryTime) {
  for (bool prompt : {false, true}) {
    Run(prompt ? ";PROMPT=1" : ";PROMPT=0", "", prompt);
    EXPECT_EQ(drive.Read("WINDOWS/start.bat"),
              CrLf({"@echo off", "win", "%winbootdir%\\command\\mode co80",
                    "call %winbootdir%\\dosstart.bat"}));
  }
}

TEST_F(StartScriptsTest, MissingBatchFileEndsTheStageAndNothingIsWritten) {
  WriteBootFile({";PROMPT=0"});
  const std::string bootFile = BootFile();
  form.CheckBox12.SetChecked(true);
  try {
    RunStage();
    FAIL() << "a missing batch file was loaded";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(),
                 "Kann Datei c:\\autoexec.bat nicht \xF6"
                 "ffnen");
  }
  EXPECT_EQ(BootFile(), bootFile);
  EXPECT_FALSE(drive.Read("WINDOWS/start.bat"));
}

}  // namespace
}  // namespace startgarten
