#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "bootfile/boot_options.h"
#include "support/allocation_probe.h"
#include "support/boot_drive_fixture.h"

namespace startgarten {
namespace {

using namespace test_support;

// What an action ended in: the texts of the boxes it showed, then the message of its error.
std::string Outcome(RecordingMessageBoxes& boxes, const std::function<void()>& action) {
  boxes.shown.clear();
  const std::string error = ErrorOf(action);
  std::string texts;
  for (const std::string& text : boxes.Texts()) texts += text;
  return texts + error;
}

std::string Boot(std::initializer_list<std::string_view> options, std::string_view host = "C") {
  return BootFileText(options, host);
}

struct Hostile {
  std::string bootFile;                        // c:\msdos.sys, protected
  std::string read;                            // the outcome of reading
  OptionState shown;                           // what the window shows after it
  std::string write;                           // the outcome of the write command
  std::string kept;                            // in the boot file written; empty: it is unchanged
  std::function<void(TempDrive&)> setup = {};  // changes to the drive
};

// Boot files and drives no Windows 95 would leave, read and written back by the commands. Beside
// drive C stand H with a boot file of 64 MiB, N whose link points nowhere, D whose boot file is a
// folder, F whose boot file is a FIFO and E without one. No read allocates a block anywhere near
// the size of H's file; each command ends in the keys' values, their defaults or an error, leaves
// no file behind, writes nothing outside the drives, writes all its files or none and puts the
// boot file's protection back. As root permission bits stop no write, "no access" is the read-only
// attribute (which the program honours for root too; every boot file here has it) or an entry of
// the wrong kind.
TEST(Hostile, InputEndsInTheValueTheDefaultOrAnError) {
  const std::string line = ";" + std::string(1 << 20, 'x'), nul(1, '\0');
  const std::string garbled = GarbledBootFile(size_t{64} << 10, 95);
  const OptionState menu = With(kReadDefaults, "bootMenu=1");
  const OptionState dosDefault =
      With(kReadDefaults,
           "bootMenu=1 bootMenuDefault=-1 bootMenuDelay=7 bootDelay=4 defaultSystem=0 "
           "startWindows=0 disabled previousDos=1 disabled");
  const std::string opened = CannotOpen("c:\\autoexec.bat");
  const auto readOnly = [](const char* file) {
    return [file](TempDrive& drive) { fs::permissions(drive.Host(file), fs::perms(0444)); };
  };
  const auto replace = [](const char* file, bool folder) {
    return [file, folder](TempDrive& drive) {
      fs::remove_all(drive.Host(file));
      folder ? void(fs::create_directory(drive.Host(file))) : drive.Write(file, "file");
    };
  };
  std::vector<Hostile> cases = {
      {Boot({line, "BootMenu=1", "BootDelay=" + std::string(1 << 20, '7')}), "", menu, "",
       line + "\r\nBootMenu=1\r\nBootDelay=2\r\n"},
      {garbled, "", kReadDefaults, "", garbled + "\r\n[OPTIONS]\r\nBootMenu=0\r\n"},
      {Boot({"BootMenuDelay=1" + nul + " 9", "Boot" + nul + "Menu=1", "BootDelay=" + nul + "5"}),
       "", With(kReadDefaults, "bootMenuDelay=1"), "",
       "\r\nBootMenuDelay=1\r\nBoot" + nul + "Menu=1\r\nBootDelay=2\r\n"},
      {"\xEF\xBB\xBF" + Boot({"BootMenu=1"}), "Fehler", kDesignTime, "Fehler", ""},
      {Boot({"\tBootMenuDelay\t=\t\"0x0A\"\t", "'Network'=1", " ;BootFailsafe = '1' ",
             "BootDelay=\"7", "BootWarn=\"1\""}),
       "", With(kReadDefaults, "bootMenu=1 safeMode=1 safeModeWarning=1 bootMenuDelay=10"), "",
       "\tBootMenuDelay\t=\t10\r\n'Network'=1\r\n ;BootFailsafe = 1\r\nBootDelay=2\r\n"},
      {Boot({"BootMenu=1"}, "c"), "", menu, "", "BootMenu=1\r\n"},
      // A default entry that is no number is reported after every other key is read, so that
      // the write stores what the file held.
      {Boot({"BootMenu=1", "BootMenuDefault=" + std::string(2000, '9'), "BootMenuDelay=7",
             "BootDelay=4", "BootWin=0"}),
       "'" + std::string(1023, '9') + "' ist kein g\xFCltiger Integerwert", dosDefault, "",
       "\r\nBootMenuDefault=0\r\nBootMenuDelay=7\r\nBootDelay=4\r\nBootWin=0\r\n"},
      {Boot({"BootMenu=1", "BootMenuDefault=", "BootMenuDelay=7", "BootDelay=4", "BootWin=0"}),
       "'' ist kein g\xFCltiger Integerwert", dosDefault, "",
       "\r\nBootMenuDefault=0\r\nBootMenuDelay=7\r\nBootDelay=4\r\nBootWin=0\r\n"},
      {Boot({}), "Fehler", kDesignTime, "Fehler", "",
       [](TempDrive& drive) { drive.LinkDrive('c', drive.Base() / "gone"); }},
      {Boot({}), "Fehler", kDesignTime, "Fehler", "", replace("MSDOS.SYS", true)},
      {Boot({}), "", kReadDefaults, CannotCreate("C:\\autoexec.bat"), "", readOnly("AUTOEXEC.BAT")},
      {Boot({}), "", kReadDefaults, opened, "", replace("AUTOEXEC.BAT", true)},
      {Boot({}), "", kReadDefaults, opened, "",
       [](TempDrive& drive) {  // a link to itself
         fs::remove(drive.Host("AUTOEXEC.BAT"));
         fs::create_symlink("AUTOEXEC.BAT", drive.Host("AUTOEXEC.BAT"));
       }},
      {Boot({}), "", kReadDefaults, CannotCreate("C:\\WINDOWS\\start.bat"), "",
       readOnly("WINDOWS/start.bat")},
      {Boot({}), "", kReadDefaults, CannotCreate("C:\\WINDOWS\\start.bat"), "",
       replace("WINDOWS", false)},
      // The Windows folder of a far too long "WinDir" is cut to 143 characters.
      {CrLf({"[Paths]", "WinDir=C:\\" + std::string(1997, 'w'), "HostWinBootDrv=C"}), "",
       kReadDefaults, CannotCreate("C:\\" + std::string(140, 'w') + "\\start.bat"), ""},
  };
  // A host drive without a boot file (too large, none, a folder, a pipe, a drive text that names
  // no drive): reading and writing both end in the open error, and no boot file is created.
  for (const std::string& host : std::initializer_list<std::string>{
           "H", "N", "D", "F", "E", "..", "/", "C:\\..\\..", "/tmp/x", std::string(2000, 'D')}) {
    const std::string error = CannotOpen(host.substr(0, 1023) + ":\\msdos.sys");
    cases.push_back({Boot({}, host), error, kDesignTime, error, ""});
  }
  for (const Hostile& c : cases) {
    SCOPED_TRACE(c.bootFile.substr(0, 60) + " | " + c.write);
    TempDrive drive;
    drive.Write("MSDOS.SYS", c.bootFile);
    drive.Write("AUTOEXEC.BAT", CrLf({"@ECHO OFF"}));
    drive.Write("WINDOWS/start.bat", "old");
    drive.Write("MSDOS.SYS", Boot({"BootMenu=1"}), 'h');
    fs::resize_file(drive.Host("MSDOS.SYS", 'h'), uintmax_t{64} << 20);
    drive.LinkDrive('n', drive.Base() / "gone");
    fs::create_directories(drive.MapDrive('d') / "msdos.sys");
    ASSERT_EQ(::mkfifo((drive.MapDrive('f') / "MSDOS.SYS").c_str(), 0644), 0);
    drive.MapDrive('e');
    if (c.setup) c.setup(drive);
    if (fs::is_regular_file(drive.Host("MSDOS.SYS"))) drive.Protect("MSDOS.SYS");
    const uint32_t attributes = platform::GetFileAttributes("c:\\msdos.sys");
    const std::string before = drive.Snapshot();

    FormControls form;
    const OptionControls options = form.Options();
    ConnectInterlockRules(options);
    RecordingMessageBoxes boxes;
    LargestAllocation() = 0;
    EXPECT_EQ(Outcome(boxes, [&] { ReadBootOptions(options, boxes); }), c.read);
    EXPECT_LT(LargestAllocation(), size_t{24} << 20);  // the file of 64 MiB is never loaded whole
    EXPECT_EQ(StateOf(options), c.shown);
    EXPECT_EQ(drive.Snapshot(), before);
    EXPECT_EQ(Outcome(boxes, [&] { WriteBootOptions(options, boxes); }), c.write);

    if (fs::is_regular_file(drive.Host("MSDOS.SYS"))) {
      const std::string written = *drive.Read("MSDOS.SYS");
      EXPECT_TRUE(c.kept.empty() ? written == c.bootFile : written.find(c.kept) != written.npos);
    }
    EXPECT_EQ(drive.Snapshot() == before, !c.write.empty());
    EXPECT_EQ(platform::GetFileAttributes("c:\\msdos.sys"), attributes);
    EXPECT_EQ(drive.Entries(), (std::set<std::string>{"AUTOEXEC.BAT", "MSDOS.SYS", "WINDOWS"}));
    EXPECT_EQ(fs::file_size(drive.Host("MSDOS.SYS", 'h')), uintmax_t{64} << 20);
    EXPECT_EQ(drive.Entries("", 'h').size(), 1u);
    EXPECT_TRUE(fs::is_empty(drive.Host("msdos.sys", 'd')) && fs::is_empty(drive.Root('e')));
    EXPECT_FALSE(fs::exists(drive.Base() / "gone"));
  }
}

}  // namespace
}  // namespace startgarten
