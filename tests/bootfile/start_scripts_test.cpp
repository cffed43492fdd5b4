#include "bootfile/start_scripts.h"

#include <gtest/gtest.h>

#include "bootfile/boot_file.h"
#include "platform/dos/write_set.h"
#include "support/boot_drive_fixture.h"

namespace startgarten {
namespace {

using namespace test_support;

using StartScriptsTest = BootDriveTest;

// The batch file after the stage, with the DOS prompt option on or off, from a boot file with the
// marker line given (none when empty); then the marker and BootGUI. The start script is written
// every time.
TEST_F(StartScriptsTest, TheBatchFileChangesWhenTheOptionDoesAndTheMarkerFollows) {
  struct Case {
    std::string marker, autoexec;
    bool prompt;
    std::string after, keys;  // the batch file; ";PROMPT" and "BootGUI"
  };
  const Case cases[] = {
      // Switching on replaces the commented call, also one after other text.
      {";PROMPT=0",
       CrLf({"@ECHO OFF", "echo x & rem call start.bat", "REM CALL START.BAT",
             "rem call start.bat"}),
       true, CrLf({"@ECHO OFF", "REM CALL START.BAT", "call start.bat"}), "1 0"},
      // Switching off comments the call out and removes the lines that begin with the call
      // exactly, letter case included.
      {";PROMPT=1",
       "@ECHO OFF\rcall start.bat\rcall start.bat\rCALL START.BAT\r call start.bat\rcall start.bat "
       "/x",
       false, "@ECHO OFF\r\nCALL START.BAT\r\n call start.bat\r\nrem call start.bat", "0 1"},
      // An unchanged option keeps the lines and only normalises their ends.
      {";PROMPT=0", "@ECHO OFF\nrem call start.bat\n", false,
       CrLf({"@ECHO OFF", "rem call start.bat"}), "0 1"},
      {";PROMPT=1", "@ECHO OFF\r\ncall start.bat", true, "@ECHO OFF\r\ncall start.bat", "1 0"},
      // Without a marker (or with one that is no number) the batch file's lines are the state the
      // option changes from: a line that begins with the call is the option on.
      {"", "@ECHO OFF\nSET X=1", true, "@ECHO OFF\r\nSET X=1\r\ncall start.bat", "1 0"},
      {"", CrLf({"@ECHO OFF", "call start.bat"}), false, CrLf({"@ECHO OFF", "rem call start.bat"}),
       "0 1"},
      {";PROMPT=x", "@ECHO OFF\r\ncall start.bat\r\nrem call start.bat\r\n", true,
       "@ECHO OFF\r\ncall start.bat\r\nrem call start.bat\r\n", "1 0"},
      // Switching on adds no second call to a batch file that has one already, as DOS reads it
      // (letter case and blanks around it do not count): after a write the marker does not
      // record, or by hand.
      {";PROMPT=0", "@ECHO OFF\r\ncall start.bat\r\n", true, "@ECHO OFF\r\ncall start.bat\r\n",
       "1 0"},
      {"", "@ECHO OFF\r\n\t CALL Start.BAT \r\n", true, "@ECHO OFF\r\n\t CALL Start.BAT \r\n",
       "1 0"},
      // A line that only begins with the call is a call with arguments, not the call itself.
      {";PROMPT=0", "call start.bat /x\r\n", true, "call start.bat /x\r\ncall start.bat\r\n",
       "1 0"},
      // Every byte of an untouched line is kept, NUL included.
      {";PROMPT=0", std::string("SET A=\0B\x1A\r\n", 11), true,
       std::string("SET A=\0B\x1A\r\ncall start.bat\r\n", 27), "1 0"},
  };
  const TIniFile ini{"C:\\msdos.sys"};
  TMemo lines;
  for (const auto& [marker, autoexec, prompt, after, keys] : cases) {
    SCOPED_TRACE(marker);
    SCOPED_TRACE(autoexec);
    WriteBootFile({"BootGUI=1", marker});
    drive.Write("AUTOEXEC.BAT", autoexec);
    {  // the stage as the write command runs it: in a write set that may replace the boot file
      platform::WriteSet writes(WriteCommandFiles());
      platform::LiftProtection("C:\\msdos.sys");
      MaintainStartScripts(prompt, lines, ini);
      writes.Commit();
    }
    EXPECT_EQ(drive.Read("AUTOEXEC.BAT"), after);
    EXPECT_EQ(
        ini.ReadText("OPTIONS", ";PROMPT", "-") + " " + ini.ReadText("OPTIONS", "BootGUI", "-"),
        keys);
    EXPECT_EQ(drive.Read("WINDOWS/start.bat"),
              CrLf({"@echo off", "win", "%winbootdir%\\command\\mode co80",
                    "call %winbootdir%\\dosstart.bat"}));
    std::filesystem::remove(drive.Host("WINDOWS/start.bat"));
  }
}

}  // namespace
}  // namespace startgarten
