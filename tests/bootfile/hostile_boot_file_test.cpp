#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "bootfile/boot_options.h"
#include "platform/error.h"
#include "tests/bootfile/boot_drive_fixture.h"
#include "tests/support/memory_limit.h"

namespace startgarten {
namespace {

using test_support::CrLf;

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.what();
  }
  return "";
}

// Boot files no Windows 95 would write, read and written back by the commands: each ends in the
// keys' values, their defaults or an error, and keeps every byte the command does not change.
class HostileBootFile : public test_support::BootDriveTest {
 protected:
  HostileBootFile() {
    drive.Write("AUTOEXEC.BAT", CrLf({"@ECHO OFF"}));
    drive.Write("WINDOWS/WIN.COM", "");
  }

  void Read() { Auslesen(form, boxes); }
  std::string Write() {
    return ErrorOf([this] { Schreiben(form, boxes); });
  }
};

TEST_F(HostileBootFile, A64MiBBootFileIsNeitherLoadedNorReplaced) {
  drive.Write("MSDOS.SYS", CrLf({"[Paths]", "HostWinBootDrv=H"}));
  Protect();
  drive.MapDrive('h');
  drive.Write("MSDOS.SYS", CrLf({"[Options]", "BootMenu=1", "BootMenuDelay=5"}), 'h');
  const uintmax_t size = uintmax_t{64} << 20;
  std::filesystem::resize_file(drive.Host("MSDOS.SYS", 'h'), size);
  if (test_support::kMemoryLimitApplies) {
    EXPECT_TRUE(test_support::SucceedsWithinMemory(8 << 20, [this] {
      Read();
      return form.SpinEdit1.Value() == 30;
    }));
  }
  Read();
  EXPECT_FALSE(form.CheckBox1.Checked());
  EXPECT_EQ(form.SpinEdit1.Value(), 30);
  EXPECT_EQ(Write(), "Kann nicht nach H:\\msdos.sys schreiben");
  EXPECT_EQ(std::filesystem::file_size(drive.Host("MSDOS.SYS", 'h')), size);
  EXPECT_EQ(drive.Entries("", 'h'), std::set<std::string>{"MSDOS.SYS"});
  EXPECT_EQ(BootFileAttributes(), kProtected);
}

TEST_F(HostileBootFile, ALineOfOneMiBIsKeptAndTheKeysAroundItAreRead) {
  const std::string longLine = ";" + std::string(1 << 20, 'x');
  WriteBootFile({longLine, "BootMenu=1", "BootDelay=" + std::string(1 << 20, '7')});
  if (test_support::kMemoryLimitApplies) {
    EXPECT_TRUE(test_support::SucceedsWithinMemory(24 << 20, [this] {
      Read();
      return form.CheckBox1.Checked();
    }));
  }
  Read();
  EXPECT_TRUE(form.CheckBox1.Checked());
  EXPECT_EQ(form.SpinEdit2.Value(), 2);  // 1023 digits are no number: the default
  EXPECT_EQ(Write(), "");
  EXPECT_NE(BootFile().find("\r\n" + longLine + "\r\nBootMenu=1\r\nBootDelay=2\r\n"),
            std::string::npos);
}

TEST_F(HostileBootFile, BinaryGarbageGivesTheDefaultsAndStaysAsItWas) {
  std::mt19937 random(95);
  std::string garbage(64 * 1024, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  std::replace(garbage.begin(), garbage.end(), '[', ']');  // no section can start in it
  const std::string text = CrLf({"[Paths]", "HostWinBootDrv=C"}) + garbage;
  drive.Write("MSDOS.SYS", text);
  Read();
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_FALSE(form.CheckBox1.Checked());
  EXPECT_TRUE(form.CheckBox2.Checked());
  EXPECT_EQ(form.SpinEdit1.Value(), 30);
  EXPECT_EQ(form.RadioGroup2.ItemIndex(), 0);
  EXPECT_EQ(Write(), "");
  const std::string written = BootFile();
  EXPECT_EQ(written.substr(0, text.size()), text);
  EXPECT_NE(written.find("[OPTIONS]\r\nBootMenu=0\r\n", text.size()), std::string::npos);
}

TEST_F(HostileBootFile, NulBytesEndAValueAndStayInTheFile) {
  const std::string nulKey("Boot\0Menu=1", 11);
  WriteBootFile({std::string("BootMenuDelay=1\0 9", 18), nulKey,
                 std::string("BootDelay=\0"
                             "5",
                             12)});
  Read();
  EXPECT_EQ(form.SpinEdit1.Value(), 1);
  EXPECT_FALSE(form.CheckBox1.Checked());  // "Boot\0Menu" is another name
  EXPECT_EQ(form.SpinEdit2.Value(), 2);
  EXPECT_EQ(Write(), "");
  EXPECT_NE(BootFile().find("\r\nBootMenuDelay=1\r\n" + nulKey + "\r\nBootDelay=2\r\n"),
            std::string::npos);
}

TEST_F(HostileBootFile, CrOnlyAndMixedLineEndsAreReadAndKept) {
  drive.Write("MSDOS.SYS",
              "[Paths]\rHostWinBootDrv=C\r\r[Options]\rBootMenu=1\rBootMenuDelay=9\r;PROMPT=0");
  drive.Write("AUTOEXEC.BAT", "@ECHO OFF\rSET A=1\nrem call start.bat\r\n\n\rSET B=2");
  Read();
  EXPECT_TRUE(form.CheckBox1.Checked());
  EXPECT_EQ(form.SpinEdit1.Value(), 9);
  form.CheckBox12.SetChecked(true);
  EXPECT_EQ(Write(), "");
  const std::string written = BootFile();
  EXPECT_EQ(written.find('\n'), std::string::npos);
  EXPECT_EQ(
      written.rfind(
          "[Paths]\rHostWinBootDrv=C\r\r[Options]\rBootMenu=1\rBootMenuDelay=9\r;PROMPT=1", 0),
      0u);
  EXPECT_EQ(drive.Read("AUTOEXEC.BAT"),
            "@ECHO OFF\r\nSET A=1\r\n\r\n\r\nSET B=2\r\ncall start.bat");
}

// The bytes of a byte-order mark stand before "[Paths]", which is then no section line.
TEST_F(HostileBootFile, AByteOrderMarkHidesTheFirstSection) {
  const std::string text =
      "\xEF\xBB\xBF" + CrLf({"[Paths]", "HostWinBootDrv=C", "[Options]", "BootMenu=1"});
  drive.Write("MSDOS.SYS", text);
  Read();
  EXPECT_EQ(Write(), "");
  EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Fehler", "Fehler"}));
  EXPECT_FALSE(form.CheckBox1.Checked());
  EXPECT_EQ(BootFile(), text);
}

TEST_F(HostileBootFile, TabsAndQuotesAroundNamesAndValues) {
  WriteBootFile({"\tBootMenuDelay\t=\t\"0x0A\"\t", "'Network'=1", " ;BootFailsafe = '1' ",
                 "BootDelay=\"7", "BootWarn=\"1\""});
  Read();
  EXPECT_EQ(form.SpinEdit1.Value(), 10);
  EXPECT_FALSE(form.CheckBox4.Checked());  // the name is 'Network', quotes included
  EXPECT_TRUE(form.CheckBox5.Checked());
  EXPECT_EQ(form.SpinEdit2.Value(), 2);  // a lone quote stays and is no number
  EXPECT_TRUE(form.CheckBox6.Checked());
}

TEST_F(HostileBootFile, HostDriveInLowerCaseOrFarTooLong) {
  drive.Write("MSDOS.SYS", CrLf({"[Paths]", "HostWinBootDrv=c", "[Options]", "BootMenu=1"}));
  Read();
  EXPECT_TRUE(form.CheckBox1.Checked());

  const std::string text = CrLf({"[Paths]", "HostWinBootDrv=" + std::string(2000, 'D')});
  drive.Write("MSDOS.SYS", text);
  Protect();
  Read();
  EXPECT_EQ(Write(), "Kann nicht nach " + std::string(1023, 'D') + ":\\msdos.sys schreiben");
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(BootFile(), text);
  EXPECT_EQ(BootFileAttributes(), kProtected);
  EXPECT_EQ(drive.Entries(), (std::set<std::string>{"AUTOEXEC.BAT", "MSDOS.SYS", "WINDOWS"}));
}

TEST_F(HostileBootFile, AFarTooLongMenuEntryIsNoNumber) {
  WriteBootFile({"BootMenuDefault=" + std::string(2000, '9')});
  EXPECT_EQ(ErrorOf([this] { Read(); }),
            "'" + std::string(1023, '9') + "' ist kein g\xFCltiger Integerwert");
  EXPECT_EQ(BootFileAttributes(), kProtected);
}

}  // namespace
}  // namespace startgarten
