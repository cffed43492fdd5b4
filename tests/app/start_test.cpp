// How the program starts: its command line, whether there is a display, the notice it gives
// instead of the window's first errors when drive C does not exist or is no Windows 95 boot drive.
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
#include "platform/drives/drive_locations.h"
#include "support/disk_images.h"
#include "support/temp_drive.h"

namespace startgarten {
namespace {

using namespace test_support;

using Request = CommandLine::Request;

// What the command line asks for, in one line: "run" or "script", the drive after "@" when one
// is given, and a script's request ("show", "standard", then each setting); "help"; "version";
// or a wrong command line's message.
std::string Parsed(const std::vector<std::string>& arguments) {
  const CommandLine parsed = ParseCommandLine(arguments);
  if (parsed.request == Request::kHelp) return "help";
  if (parsed.request == Request::kVersion) return "version";
  if (parsed.request == Request::kUsageError) return parsed.error;
  std::string text = "run";
  if (parsed.request == Request::kScript) {
    const ScriptedRequest& script = parsed.script;
    text = script.show ? "script: show" : script.standard ? "script: standard" : "script:";
    for (const OptionSetting& setting : script.settings)
      text.append(" ").append(setting.name).append("=").append(setting.value);
    if (script.dryRun) text += " (dry run)";
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
      {{"--set", "BootMenu=2"}, refused("BootMenu", "0 oder 1", "2")},
      {{"--set", "Logo=%s"}, refused("Logo", "0 oder 1", "%s")},
      {{"--set", "BootMenuDefault=0"}, refused("BootMenuDefault", "1 bis 8", "0")},
      {{"--set", "BootMenuDefault=09"}, refused("BootMenuDefault", "1 bis 8", "09")},
      {{"--set", "doublebuffer=3"}, refused("DoubleBuffer", "0 bis 2", "3")},
      {{"--set", "BootDelay=2147483648"}, refused("BootDelay", integer, "2147483648")},
      {{"--set", "BootMenuDelay=5s"}, refused("BootMenuDelay", integer, "5s")},
      {{"--show", "--set", "Logo=1"},
       "startgarten: --show l\344sst sich nicht mit --standard oder --set verbinden\n"},
      {{"--show", "a", "b"}, surplus},
      {{"--dr", "--set", "Logo=0"}, "script: Logo=0 (dry run)"},
      {{"--dry-run"}, "startgarten: --dry-run verlangt --standard oder --set\n"},
      {{"--dry-run", "--show"}, "startgarten: --dry-run verlangt --standard oder --set\n"},
      // An unknown name is answered with the one it most likely misspells, if any: within two
      // edits (neighbours swapped count one) and a third of the name, and no other as near.
      {{"--set", "Lgo=0"},
       "startgarten: unbekannter Optionsname \204Lgo\223, meinten Sie \204Logo\223?\n"},
      {{"--set", "bootmneudelay=1"},
       "startgarten: unbekannter Optionsname \204bootmneudelay\223, meinten Sie "
       "\204BootMenuDelay\223?\n"},
      {{"--set", "DxxSpace=1"}, "startgarten: unbekannter Optionsname \204DxxSpace\223\n"},
      {{"--set", "Lg=0"}, "startgarten: unbekannter Optionsname \204Lg\223\n"},
  };
  for (const auto& [arguments, parsed] : cases)
    EXPECT_EQ(Parsed(arguments), parsed) << testing::PrintToString(arguments);
}

TEST(NoDisplayTest, ADisplayIsNamedByQtsPlatformOrAnX11OrWaylandDisplay) {
  // Whether a display is named with these variables, each unset when null.
  const auto named = [](const char* platform, const char* x11, const char* wayland) {
    for (const auto& [name, value] :
         {std::pair{"QT_QPA_PLATFORM", platform}, {"DISPLAY", x11}, {"WAYLAND_DISPLAY", wayland}}) {
      value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    return DisplayNamed();
  };
  EXPECT_FALSE(named(nullptr, nullptr, nullptr));
  EXPECT_FALSE(named("", "", ""));
  EXPECT_TRUE(named(nullptr, ":0", nullptr));
  EXPECT_TRUE(named(nullptr, nullptr, "wayland-0"));
  EXPECT_TRUE(named("offscreen", nullptr, ""));
}

// The notice before the window: when drive C does not exist, what was looked for; when it was
// chosen for this run (on the command line or in the box, a slash at its end not being part of
// its name) and is no Windows 95 boot drive, what was found there. The prefix's drive C, whatever
// it is, is left to the window's own messages. Each case sets up the prefix, the environment or
// the choice, and names the notice's heading and a text it must hold, or no heading for none.
// Drive C stays chosen once it is, so those cases come last.
TEST(DriveCNoticeTest, NamesWhatWasLookedForOrFoundUnlessTheWindowMayOpen) {
  TempDrive drive;
  const fs::path base = drive.Base();
  const fs::path prefixC = drive.Link('c');
  // Files beside drive C's directory, in the temporary directory.
  fs::create_directories(base / "empty");
  for (const char* name : {"../other/io.sys", "../other/WINDOWS/WIN.COM", "../other/COMMAND.COM",
                           "../above/f", "../above/e", "../above/d", "../above/c", "../above/b",
                           "../above/a", "../above/win95/MSDOS.SYS", "../empty.img"})
    drive.Write(name, "");
  fs::create_directories(base / "folder/MSDOS.SYS");
  drive.Write("../notes.txt", std::string(4096, 'x'));
  ::mkfifo((base / "fifo").c_str(), 0600);
  MakeFloppy(base / "floppy.img");
  drive.Write("../lower/msdos.sys", "[Paths]\r\n");
  fs::create_directory_symlink(base / "lower", base / "link");
  PutFiles(MakeFloppy(base / "win95.img"), {{"msdos.sys", "[Paths]\r\n", "+r +h +s"}});

  struct Case {
    std::string situation;
    std::function<void()> setUp;
    std::string heading;  // none when the window may open
    std::string text;
  };
  const std::string missing = "Laufwerk C: gibt es nicht.\n\n";
  const std::string lookedForPrefixC = "Gesucht wurde: " + prefixC.string();
  const std::string noPrefix = "Gesucht wurde $WINEPREFIX/dosdevices/c:, doch WINEPREFIX";
  const std::string notBoot =
      "Laufwerk C: ist kein Windows-95-Startlaufwerk.\n\nGew\xE4hlt wurde: ";
  const std::string bootDrive =
      "\n\nEin Windows-95-Startlaufwerk hat in seinem Stammordner die versteckte Startdatei "
      "MSDOS.SYS";
  const auto chosen = [&](const fs::path& path, const std::string& found) {
    return Case{path.string(), [path] { platform::ChooseDriveC(path.string() + "/"); },
                found.empty() ? "" : notBoot + path.string() + "\n", found + bootDrive};
  };
  const std::vector<Case> cases = {
      {"the prefix's drive C, an empty folder", [] {}, "", ""},
      {"no dosdevices/c:", [&] { fs::remove(prefixC); }, missing, lookedForPrefixC + "\n\n"},
      {"a link to nowhere", [&] { drive.LinkDrive('c', base / "gone"); }, missing,
       lookedForPrefixC + "\nDas ist eine Verkn\xFCpfung auf " + (base / "gone").string() +
           ", und dort ist nichts.\n"},
      {"a relative link to nowhere", [&] { drive.LinkDrive('c', "../../gone"); }, missing,
       "Verkn\xFCpfung auf ../../gone,"},
      {"the prefix's drive C, a file", [&] { drive.LinkDrive('c', base / "notes.txt"); }, "", ""},
      {"no prefix at all",
       [&] {
         ::unsetenv("WINEPREFIX");
         ::unsetenv("HOME");
       },
       missing, noPrefix},
      {"a relative WINEPREFIX", [&] { ::setenv("WINEPREFIX", "prefix", 1); }, missing, noPrefix},
      {"HOME without a .wine",
       [&] {
         ::unsetenv("WINEPREFIX");
         ::setenv("HOME", base.c_str(), 1);
       },
       missing, "Gesucht wurde: " + (base / ".wine/dosdevices/c:").string() + "\n"},
      {"a chosen drive that is not there",
       [&] { platform::ChooseDriveC((base / "gone").string()); }, missing,
       "Gesucht wurde: " + (base / "gone").string() + "\n"},
      chosen(base / "empty", "Dort ist ein leerer Ordner."),
      chosen(base / "other",
             "Dort ist ein Ordner ohne MSDOS.SYS. Er enth\xE4lt: COMMAND.COM, WINDOWS, io.sys"),
      // Of many entries, the first few; here the folder above the drive.
      chosen(base / "above", "Er enth\xE4lt: a, b, c, d, e \x85 (7 Eintr\xE4ge)"),
      chosen(base / "folder",
             "Dort ist ein Ordner, doch MSDOS.SYS in ihm ist ein Ordner, keine Datei."),
      chosen(base / "notes.txt",
             "Die Abbilddatei " + (base / "notes.txt").string() +
                 " enth\xE4lt weder ein FAT-Laufwerk noch eine Partitionstabelle."),
      chosen(base / "fifo",
             "Dort ist eine benannte Pipe (FIFO), weder ein Ordner noch eine Abbilddatei."),
      chosen("/dev/zero", "Dort ist eine Ger\xE4tedatei, weder ein Ordner noch eine Abbilddatei."),
      chosen(base / "empty.img", "Die Abbilddatei " + (base / "empty.img").string() + " ist leer."),
      chosen(base / "floppy.img",
             "Dort ist eine Abbilddatei mit einem FAT-Laufwerk, doch ohne MSDOS.SYS in seinem "
             "Stammordner."),
      // Boot drives: the file's name in small letters, through a link, on an image.
      chosen(base / "lower", ""),
      chosen(base / "link", ""),
      chosen(base / "win95.img", ""),
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.situation);
    c.setUp();
    const std::optional<std::string> notice = DriveCNotice();
    ASSERT_EQ(notice.has_value(), !c.heading.empty()) << notice.value_or("");
    if (!notice) continue;
    EXPECT_TRUE(notice->starts_with(c.heading)) << *notice;
    EXPECT_NE(notice->find(c.text), std::string::npos) << *notice;
    EXPECT_TRUE(c.heading != missing ||
                notice->find("\n    ln -s /mnt/win95 ~/win95/dosdevices/c:\n") !=
                    std::string::npos);
  }
}

}  // namespace
}  // namespace startgarten
