// How the program starts: its command line, whether there is a display, the notice it gives
// instead of the window's first errors when drive C does not exist or is no Windows 95 boot drive,
// and the drives chosen lately.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <cstdlib>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/drive_c_notice.h"
#include "app/no_display.h"
#include "app/recent_drive_choices.h"
#include "platform/drives/drive_locations.h"
#include "support/disk_images.h"
#include "support/temp_drive.h"

namespace startgarten {
namespace {

using Request = CommandLine::Request;

// What the command line asks for, in one line: "run" or "script", the drive after "@" when one
// is given, and a script's request ("show", "standard", then each setting); "help"; "version";
// or a wrong command line's message.
std::string Parsed(const std::vector<std::string>& arguments) {
  const CommandLine parsed = ParseCommandLine(arguments);
  const ScriptedRequest& script = parsed.script;
  std::string text;
  switch (parsed.request) {
    case Request::kHelp:
      return "help";
    case Request::kVersion:
      return "version";
    case Request::kUsageError:
      return parsed.error;
    case Request::kRun:
      text = "run";
      break;
    case Request::kScript:
      text = script.show ? "script: show" : script.standard ? "script: standard" : "script:";
      for (const OptionSetting& setting : script.settings)
        text.append(" ").append(setting.name).append("=").append(setting.value);
      break;
  }
  return parsed.drive ? text + " @" + *parsed.drive : text;
}

TEST(CommandLineTest, OptionsAndOneDriveTheGnuWay) {
  // Code page 1252 in octal: the German quotes \204 and \223, the umlauts \374 and \344.
  const auto unknown = [](const std::string& option) {
    return "startgarten: unbekannte Option \204" + option + "\223\n";
  };
  const std::string surplus = "startgarten: \374berz\344hliges Argument \204b\223\n";
  const auto refused = [](const std::string& name, const std::string& takes,
                          const std::string& value) {
    return "startgarten: " + name + " verlangt " + takes + ", nicht \204" + value + "\223\n";
  };
  const std::string integer = "eine ganze Zahl von -2147483648 bis 2147483647";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "run"},
      {{"/mnt/win95"}, "run @/mnt/win95"},
      {{"-"}, "run @-"},
      {{"--", "--help"}, "run @--help"},
      {{"--"}, "run"},
      {{"--help"}, "help"},
      {{"--version"}, "version"},
      // Unambiguous beginnings of a long option, also after an operand.
      {{"--h"}, "help"},
      {{"--vers"}, "version"},
      {{"drive", "--help"}, "help"},
      // The first option decides, before the operands are counted.
      {{"--version", "--help"}, "version"},
      {{"a", "b", "--help"}, "help"},
      {{"--helpme"}, unknown("--helpme")},
      {{"--help=x"}, unknown("--help=x")},
      {{"---"}, unknown("---")},
      {{"-h"}, "help"},
      {{"drive", "-V"}, "version"},
      {{"-hV"}, unknown("-hV")},
      {{"-v"}, unknown("-v")},
      {{"--foo", "--help"}, unknown("--foo")},
      {{"a", "b"}, surplus},
      {{"a", "--", "b"}, surplus},
      // An argument in UTF-8 is shown in the program's code page.
      {{"--gr\303\266\303\237e"}, unknown("--gr\366\337e")},
      // A script's options: names without regard to case, values as the controls take them,
      // --set's argument next or after "=".
      {{"--show"}, "script: show"},
      {{"win95.img", "--sh"}, "script: show @win95.img"},
      {{"--standard", "--set", "bootmenu=1", "--set=LOGO=0", "--se", "BootDelay= -3", "/mnt/c"},
       "script: standard BootMenu=1 Logo=0 BootDelay= -3 @/mnt/c"},
      {{"--set", "BootMenuDefault=8", "--set", "DoubleBuffer=2", "--set", "BootWin=0", "--set",
        "BootMenuDelay=$FFFFFFFF", "--st"},
       "script: standard BootMenuDefault=8 DoubleBuffer=2 BootWin=0 BootMenuDelay=$FFFFFFFF"},
      {{"--set", "Logo=1", "--", "--show"}, "script: Logo=1 @--show"},
      {{"--set", "Logo=1", "--help"}, "help"},
      {{"--s"}, unknown("--s")},
      {{"--show=1"}, unknown("--show=1")},
      {{"--set"}, "startgarten: --set verlangt ein Argument NAME=WERT\n"},
      {{"--set", "--help"}, "startgarten: --set verlangt NAME=WERT, nicht \204--help\223\n"},
      {{"--set", "Men\303\274=1"}, "startgarten: unbekannter Optionsname \204Men\374\223\n"},
      {{"--set", "BootMenu=2"}, refused("BootMenu", "0 oder 1", "2")},
      {{"--set", "Logo=%s"}, refused("Logo", "0 oder 1", "%s")},
      {{"--set", "BootMenuDefault=0"}, refused("BootMenuDefault", "1 bis 8", "0")},
      {{"--set", "BootMenuDefault=09"}, refused("BootMenuDefault", "1 bis 8", "09")},
      {{"--set", "BootWin=-1"}, refused("BootWin", "0 oder 1", "-1")},
      {{"--set", "doublebuffer=3"}, refused("DoubleBuffer", "0 bis 2", "3")},
      {{"--set", "BootDelay=2147483648"}, refused("BootDelay", integer, "2147483648")},
      {{"--set", "BootMenuDelay=5s"}, refused("BootMenuDelay", integer, "5s")},
      {{"--show", "--set", "Logo=1"},
       "startgarten: --show l\344sst sich nicht mit --standard oder --set verbinden\n"},
      {{"--show", "a", "b"}, surplus},
  };
  for (const auto& [arguments, parsed] : cases) {
    EXPECT_EQ(Parsed(arguments), parsed) << testing::PrintToString(arguments);
  }
}

TEST(NoDisplayTest, ADisplayIsNamedByQtsPlatformOrAnX11OrWaylandDisplay) {
  struct Case {
    const char* platform;
    const char* x11;
    const char* wayland;
    bool named;
  };
  const std::vector<Case> cases = {
      {nullptr, nullptr, nullptr, false}, {"", "", "", false},
      {nullptr, ":0", nullptr, true},     {nullptr, nullptr, "wayland-0", true},
      {"offscreen", nullptr, "", true},
  };
  for (const Case& c : cases) {
    for (const auto& [name, value] : {std::pair{"QT_QPA_PLATFORM", c.platform},
                                      {"DISPLAY", c.x11},
                                      {"WAYLAND_DISPLAY", c.wayland}}) {
      value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    EXPECT_EQ(DisplayNamed(), c.named) << c.platform << "|" << c.x11 << "|" << c.wayland;
  }
}

// Each case sets up the prefix and the environment, and names a text the notice must hold beside
// its first line and the how-to, or none when drive C exists. Drive C stays chosen once it is, so
// those cases come last.
TEST(MissingDriveCNoticeTest, NamesWhatWasLookedForUnlessDriveCExists) {
  test_support::TempDrive drive;
  const std::filesystem::path base = drive.Base();
  const std::filesystem::path prefixC = drive.Link('c');
  const std::string lookedForPrefixC = "Gesucht wurde: " + prefixC.string();
  const std::string noPrefix = "Gesucht wurde $WINEPREFIX/dosdevices/c:, doch WINEPREFIX";
  std::filesystem::create_directories(base / "folder");
  std::ofstream(base / "image") << "not a disk image";
  struct Case {
    const char* situation;
    std::function<void()> setUp;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"the prefix's drive C", [] {}, ""},
      {"no dosdevices/c:", [&] { std::filesystem::remove(prefixC); }, lookedForPrefixC + "\n\n"},
      {"a link to nowhere", [&] { drive.LinkDrive('c', base / "gone"); },
       lookedForPrefixC + "\nDas ist eine Verkn\xFCpfung auf " + (base / "gone").string() +
           ", und dort ist nichts.\n"},
      {"a relative link to nowhere", [&] { drive.LinkDrive('c', "../../gone"); },
       "Verkn\xFCpfung auf ../../gone,"},
      {"a link to a file", [&] { drive.LinkDrive('c', base / "image"); }, ""},
      {"no prefix at all",
       [&] {
         ::unsetenv("WINEPREFIX");
         ::unsetenv("HOME");
       },
       noPrefix},
      {"a relative WINEPREFIX", [&] { ::setenv("WINEPREFIX", "prefix", 1); }, noPrefix},
      {"HOME without a .wine",
       [&] {
         ::unsetenv("WINEPREFIX");
         ::setenv("HOME", base.c_str(), 1);
       },
       "Gesucht wurde: " + (base / ".wine/dosdevices/c:").string() + "\n"},
      {"a chosen drive that is not there",
       [&] { platform::ChooseDriveC((base / "missing").string()); },
       "Gesucht wurde: " + (base / "missing").string() + "\n"},
      {"a chosen file", [&] { platform::ChooseDriveC((base / "image").string()); }, ""},
      {"a chosen folder", [&] { platform::ChooseDriveC((base / "folder").string()); }, ""},
  };
  // The prefix's drive C, an empty folder, is left to the window's own messages.
  EXPECT_EQ(DriveCNotice(), std::nullopt);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.situation);
    c.setUp();
    const std::optional<std::string> notice = MissingDriveCNotice();
    ASSERT_EQ(notice.has_value(), !c.text.empty()) << notice.value_or("");
    if (!notice) continue;
    EXPECT_TRUE(notice->starts_with("Laufwerk C: gibt es nicht.\n\n")) << *notice;
    EXPECT_NE(notice->find(c.text), std::string::npos) << *notice;
    EXPECT_NE(notice->find("\n    ln -s /mnt/win95 ~/win95/dosdevices/c:\n"), std::string::npos);
  }
}

// A drive C chosen for this run (on the command line or in the box) that is no Windows 95 boot
// drive is named with what was found there; the prefix's drive C is left to the window's own
// messages (MissingDriveCNoticeTest). Each case makes what lies at its path and names the finding,
// or none for a boot drive.
TEST(NoBootDriveNoticeTest, NamesWhatWasFoundAtAChosenDrive) {
  test_support::TempDrive drive;
  const std::filesystem::path& base = drive.Base();
  const auto write = [&base](const char* name, const std::string& bytes) {
    std::filesystem::create_directories((base / name).parent_path());
    test_support::WriteHostBytes(base / name, bytes);
  };
  std::filesystem::create_directories(base / "empty");
  for (const char* name : {"other/io.sys", "other/WINDOWS/WIN.COM", "other/COMMAND.COM"})
    write(name, "");
  for (const char* name : {"f", "e", "d", "c", "b", "a", "win95/MSDOS.SYS"})
    write((std::string("above/") + name).c_str(), "");
  std::filesystem::create_directories(base / "folder/MSDOS.SYS");
  write("notes.txt", std::string(4096, 'x'));
  ::mkfifo((base / "fifo").c_str(), 0600);
  write("zeros.img", std::string(size_t{1} << 20, '\0'));
  write("empty.img", "");
  test_support::MakeFloppy(base / "floppy.img");
  write("lower/msdos.sys", "[Paths]\r\n");
  std::filesystem::create_directory_symlink(base / "lower", base / "link");
  test_support::PutFiles(test_support::MakeFloppy(base / "win95.img"),
                         {{"msdos.sys", "[Paths]\r\n", "+r +h +s"}});
  const auto noFat = [&base](const char* name) {
    return "Die Abbilddatei " + (base / name).string() +
           " enth\xE4lt weder ein FAT-Laufwerk noch eine Partitionstabelle.";
  };
  const struct {
    const char* situation;
    std::filesystem::path path;
    std::string found;  // none for a boot drive
  } cases[] = {
      {"an empty folder", base / "empty", "Dort ist ein leerer Ordner."},
      {"a folder of other files", base / "other",
       "Dort ist ein Ordner ohne MSDOS.SYS. Er enth\xE4lt: COMMAND.COM, WINDOWS, io.sys"},
      {"a folder of many, the one above the drive", base / "above",
       "Er enth\xE4lt: a, b, c, d, e \x85 (7 Eintr\xE4ge)"},
      {"a folder whose MSDOS.SYS is a folder", base / "folder",
       "Dort ist ein Ordner, doch MSDOS.SYS in ihm ist ein Ordner, keine Datei."},
      {"a file that is no image", base / "notes.txt", noFat("notes.txt")},
      {"a FIFO", base / "fifo",
       "Dort ist eine benannte Pipe (FIFO), weder ein Ordner noch eine Abbilddatei."},
      {"a device", "/dev/zero",
       "Dort ist eine Ger\xE4tedatei, weder ein Ordner noch eine Abbilddatei."},
      {"an image without a FAT volume", base / "zeros.img", noFat("zeros.img")},
      {"an empty file", base / "empty.img",
       "Die Abbilddatei " + (base / "empty.img").string() + " ist leer."},
      {"a FAT image without a boot file", base / "floppy.img",
       "Dort ist eine Abbilddatei mit einem FAT-Laufwerk, doch ohne MSDOS.SYS in seinem "
       "Stammordner."},
      {"a boot drive in lower case", base / "lower", ""},
      {"a link to a boot drive", base / "link", ""},
      {"a FAT image with its boot file", base / "win95.img", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.situation);
    platform::ChooseDriveC(c.path.string());
    const std::optional<std::string> notice = DriveCNotice();
    ASSERT_EQ(notice.has_value(), !c.found.empty()) << notice.value_or("");
    if (!notice) continue;
    EXPECT_TRUE(
        notice->starts_with("Laufwerk C: ist kein Windows-95-Startlaufwerk.\n\n"
                            "Gew\xE4hlt wurde: " +
                            c.path.string() + "\n"))
        << *notice;
    EXPECT_NE(notice->find(c.found + "\n\nEin Windows-95-Startlaufwerk hat in seinem Stammordner "
                                     "die versteckte Startdatei MSDOS.SYS"),
              std::string::npos)
        << *notice;
  }
}

// The drives chosen lately: drive C when chosen for this run, the latest first; a path where
// nothing is any more is marked as gone.
TEST(RecentDriveChoicesTest, RemembersChosenDrivesAndMarksThoseGone) {
  test_support::TempDrive drive;
  EXPECT_TRUE(RecentDriveChoices().empty());
  const std::filesystem::path first = drive.Base() / "first", second = drive.Base() / "second";
  for (const std::filesystem::path& folder : {first, second}) {
    std::filesystem::create_directories(folder);
    platform::ChooseDriveC(folder.string() + "/");
    RememberChosenDriveC();
  }
  std::filesystem::remove(first);
  const std::vector<RecentDriveChoice> choices = RecentDriveChoices();
  ASSERT_EQ(choices.size(), 2u);
  EXPECT_EQ(choices[0].path, second.string());
  EXPECT_FALSE(choices[0].gone);
  EXPECT_EQ(choices[1].path, first.string());
  EXPECT_TRUE(choices[1].gone);
}

}  // namespace
}  // namespace startgarten
