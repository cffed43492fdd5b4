#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include "bootfile/boot_options.h"
#include "interlocks/interlocks.h"
#include "platform/error.h"
#include "platform/files.h"
#include "support/boot_drive_fixture.h"

namespace startgarten {
namespace {

namespace fs = std::filesystem;
using test_support::CrLf;
using test_support::TempDrive;

// What an action ended in: the message of its error, or the texts of the boxes it showed.
std::string Outcome(RecordingMessageBoxes& boxes, const std::function<void()>& action) {
  boxes.shown.clear();
  try {
    action();
  } catch (const Error& error) {
    return error.what();
  }
  std::string texts;
  for (const std::string& text : boxes.Texts()) texts += text;
  return texts;
}

// Whether work, run in a child whose address space may grow by at most extraBytes, returns true:
// hostile input is never loaded whole. The sanitizers reserve terabytes up front, so with them
// the limit cannot apply.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define STARTGARTEN_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(STARTGARTEN_ASAN)
constexpr bool kMemoryLimitApplies = false;
#else
constexpr bool kMemoryLimitApplies = true;
#endif
bool SucceedsWithinMemory(size_t extraBytes, const std::function<bool()>& work) {
  size_t pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  const rlim_t limit = pages * static_cast<size_t>(sysconf(_SC_PAGESIZE)) + extraBytes;
  const pid_t child = fork();
  if (child == 0) {
    const rlimit bound{limit, limit};
    _exit(setrlimit(RLIMIT_AS, &bound) == 0 && work() ? 0 : 1);  // bad_alloc ends it otherwise
  }
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

std::string Boot(std::initializer_list<std::string_view> options, std::string_view host = "C") {
  return CrLf({"[Paths]", "WinDir=C:\\WINDOWS", "HostWinBootDrv=" + std::string(host), "",
               "[Options]"}) +
         CrLf(options);
}

void LinkDrive(const TempDrive& drive, char letter, const fs::path& target) {
  const fs::path link = drive.Prefix() / "dosdevices" / (std::string(1, letter) + ":");
  fs::remove(link);
  fs::create_directory_symlink(target, link);
}

struct Hostile {
  std::string bootFile;  // c:\msdos.sys, protected
  std::string read;      // the boxes' states and the two delays, or the outcome
  std::string write;     // the outcome of the write command
  std::string kept;      // in the boot file written; empty: it is unchanged
  std::function<void(TempDrive&)> setup = {};  // changes to the drive
};

// Boot files and drives no Windows 95 would leave, read and written back by the commands. Beside
// drive C stand H with a boot file of 64 MiB, N whose link points nowhere, D whose boot file is a
// folder and F whose boot file is a FIFO. Every read stays within a bounded address space; each
// command ends in the keys' values, their defaults or an error, leaves no file behind, writes
// nothing outside the drives and puts the boot file's protection back. As root permission bits
// stop no write, "no access" is the read-only attribute (which the program honours for root too;
// every boot file here has it) or an entry of the wrong kind.
TEST(Hostile, InputEndsInTheValueTheDefaultOrAnError) {
  const std::string line = ";" + std::string(1 << 20, 'x'), nul(1, '\0');
  std::string garbled(64 * 1024, '\0');
  std::mt19937 random(95);
  for (char& c : garbled) c = static_cast<char>(random());
  std::replace(garbled.begin(), garbled.end(), '[', ']');  // no section can start in it
  garbled.insert(0, CrLf({"[Paths]", "HostWinBootDrv=C"}));
  const std::string defaults = "011000001111 30 2", menu = "111000001111 30 2";
  const std::string created = "Kann Datei C:\\autoexec.bat nicht";
  // A host drive without a boot file (none, a folder, a pipe, a drive text that names no drive):
  // reading and writing both end in the open error, and no boot file is created.
  const auto noBootFile = [](const std::string& drive) {
    return "Kann Datei " + drive +
           ":\\msdos.sys nicht \xF6"
           "ffnen";
  };
  const std::string opened =
      "Kann Datei c:\\autoexec.bat nicht \xF6"
      "ffnen";
  const std::string start = "\\start.bat nicht erstellen";
  const auto readOnly = [](const char* file) {
    return [file](TempDrive& drive) { fs::permissions(drive.Host(file), fs::perms(0444)); };
  };
  const auto replace = [](const char* file, bool folder) {
    return [file, folder](TempDrive& drive) {
      fs::remove_all(drive.Host(file));
      folder ? void(fs::create_directory(drive.Host(file))) : drive.Write(file, "file");
    };
  };
  const Hostile cases[] = {
      {Boot({}, "H"), noBootFile("H"), noBootFile("H"), ""},
      {Boot({line, "BootMenu=1", "BootDelay=" + std::string(1 << 20, '7')}), menu, "",
       line + "\r\nBootMenu=1\r\nBootDelay=2\r\n"},
      {garbled, defaults, "", garbled + "\r\n[OPTIONS]\r\nBootMenu=0\r\n"},
      {Boot({"BootMenuDelay=1" + nul + " 9", "Boot" + nul + "Menu=1", "BootDelay=" + nul + "5"}),
       "011000001111 1 2", "", "\r\nBootMenuDelay=1\r\nBoot" + nul + "Menu=1\r\nBootDelay=2\r\n"},
      {"[Paths]\rHostWinBootDrv=C\r\r[Options]\rBootMenu=1\rBootMenuDelay=9\r;PROMPT=0",
       "111000001110 9 2", "", "[Options]\rBootMenu=1\rBootMenuDelay=9\r;PROMPT=0\rBootKeys=1\r"},
      {"[Paths]\nHostWinBootDrv=C\r[Options]\r\nBootMenu=1\nBootMenuDelay=9\r", "111000001111 9 2",
       "", "[Options]\r\nBootMenu=1\nBootMenuDelay=9\nBootKeys=1\n"},
      {"\xEF\xBB\xBF" + Boot({"BootMenu=1"}), "Fehler", "Fehler", ""},
      {Boot({"BootMenu=1", "[OPTIONS]", "BootMenuDelay=9"}), menu, "",
       "\r\n[OPTIONS]\r\nBootMenuDelay=9\r\n"},
      {Boot({"\tBootMenuDelay\t=\t\"0x0A\"\t", "'Network'=1", " ;BootFailsafe = '1' ",
             "BootDelay=\"7", "BootWarn=\"1\""}),
       "111011001111 10 2", "",
       "\tBootMenuDelay\t=\t10\r\n'Network'=1\r\n ;BootFailsafe = 1\r\nBootDelay=2\r\n"},
      {Boot({"BootMenu=1"}, ".."), noBootFile(".."), noBootFile(".."), ""},
      {Boot({"BootMenu=1"}, "/"), noBootFile("/"), noBootFile("/"), ""},
      {Boot({"BootMenu=1"}, "C:\\..\\.."), noBootFile("C:\\..\\.."), noBootFile("C:\\..\\.."), ""},
      {Boot({"BootMenu=1"}, "c"), menu, "", "BootMenu=1\r\n"},
      {Boot({}, std::string(2000, 'D')), noBootFile(std::string(1023, 'D')),
       noBootFile(std::string(1023, 'D')), ""},
      {Boot({"BootMenuDefault=" + std::string(2000, '9')}),
       "'" + std::string(1023, '9') + "' ist kein g\xFCltiger Integerwert", "",
       "\r\nBootMenuDefault=0\r\n"},
      {Boot({}, "N"), noBootFile("N"), noBootFile("N"), ""},
      {Boot({}, "D"), noBootFile("D"), noBootFile("D"), ""},
      {Boot({}, "F"), noBootFile("F"), noBootFile("F"), ""},
      {Boot({}), "Fehler", "Fehler", "",
       [](TempDrive& drive) { LinkDrive(drive, 'c', drive.Base() / "gone"); }},
      {Boot({}), "Fehler", "Fehler", "", replace("MSDOS.SYS", true)},
      {Boot({}), defaults, created + " erstellen", "", readOnly("AUTOEXEC.BAT")},
      {Boot({}), defaults, opened, "", replace("AUTOEXEC.BAT", true)},
      {Boot({}), defaults, opened, "",
       [](TempDrive& drive) {  // a link to itself
         fs::remove(drive.Host("AUTOEXEC.BAT"));
         fs::create_symlink("AUTOEXEC.BAT", drive.Host("AUTOEXEC.BAT"));
       }},
      {Boot({}), defaults, "Kann Datei C:\\WINDOWS" + start, "", readOnly("WINDOWS/start.bat")},
      {Boot({}), defaults, "Kann Datei C:\\WINDOWS" + start, "", replace("WINDOWS", false)},
      // The Windows folder of a far too long "WinDir" is cut to 143 characters.
      {CrLf({"[Paths]", "WinDir=C:\\" + std::string(1997, 'w'), "HostWinBootDrv=C"}), defaults,
       "Kann Datei C:\\" + std::string(140, 'w') + start, ""},
  };
  for (const Hostile& c : cases) {
    SCOPED_TRACE(c.bootFile.substr(0, 60) + " | " + c.write);
    TempDrive drive;
    drive.Write("MSDOS.SYS", c.bootFile);
    drive.Write("AUTOEXEC.BAT", CrLf({"@ECHO OFF"}));
    drive.Write("WINDOWS/start.bat", "old");
    drive.Write("MSDOS.SYS", Boot({"BootMenu=1"}), 'h');
    fs::resize_file(drive.Host("MSDOS.SYS", 'h'), uintmax_t{64} << 20);
    LinkDrive(drive, 'n', drive.Base() / "gone");
    fs::create_directories(drive.MapDrive('d') / "msdos.sys");
    ASSERT_EQ(::mkfifo((drive.MapDrive('f') / "MSDOS.SYS").c_str(), 0644), 0);
    if (c.setup) c.setup(drive);
    if (fs::is_regular_file(drive.Host("MSDOS.SYS"))) drive.Protect("MSDOS.SYS");
    const uint32_t attributes = platform::GetFileAttributes("c:\\msdos.sys");

    FormControls form;
    ConnectInterlockRules(form);
    RecordingMessageBoxes boxes;
    if (kMemoryLimitApplies) {
      EXPECT_TRUE(SucceedsWithinMemory(24 << 20, [&] {
        Outcome(boxes, [&] { ReadBootOptions(form, boxes); });
        return true;
      }));
    }
    std::string read = Outcome(boxes, [&] { ReadBootOptions(form, boxes); });
    if (read.empty()) {
      read = test_support::CheckedStates(form) + " " + form.SpinEdit1.Text() + " " +
             form.SpinEdit2.Text();
    }
    EXPECT_EQ(read, c.read);
    EXPECT_EQ(Outcome(boxes, [&] { WriteBootOptions(form, boxes); }), c.write);

    if (fs::is_regular_file(drive.Host("MSDOS.SYS"))) {
      const std::string written = *drive.Read("MSDOS.SYS");
      EXPECT_TRUE(c.kept.empty() ? written == c.bootFile : written.find(c.kept) != written.npos);
    }
    EXPECT_EQ(platform::GetFileAttributes("c:\\msdos.sys"), attributes);
    EXPECT_EQ(drive.Entries(), (std::set<std::string>{"AUTOEXEC.BAT", "MSDOS.SYS", "WINDOWS"}));
    EXPECT_EQ(fs::file_size(drive.Host("MSDOS.SYS", 'h')), uintmax_t{64} << 20);
    EXPECT_TRUE(drive.Entries("", 'h').size() == 1 && fs::is_empty(drive.Host("msdos.sys", 'd')));
    EXPECT_FALSE(fs::exists(drive.Base() / "gone"));
  }
}

}  // namespace
}  // namespace startgarten
