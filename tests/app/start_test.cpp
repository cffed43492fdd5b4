// How the program starts: its command line, whether there is a display, the notice it gives
// instead of the window's first errors when drive C does not exist or is no Windows 95 boot drive,
// and the drives chosen lately.
#include <gtest/gtest.h>
#include <cstdlib>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/drive_c_notice.h"
#include "app/no_display.h"
#include "app/recent_drive_choices.h"
#include "platform/drive_locations.h"
#include "support/dead_end_drives.h"
#include "support/disk_images.h"
#include "support/temp_drive.h"

namespace startgarten {
namespace {

using Request = CommandLine::Request;

// A script's request in one line: "show", "standard", then each setting.
std::string ScriptOf(const CommandLine& commandLine) {
  const ScriptedRequest& script = commandLine.script;
  std::string text = script.show ? "show" : script.standard ? "standard" : "";
  for (const OptionSetting& setting : script.settings)
    text.append(" ").append(setting.name).append("=").append(setting.value);
  return text;
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
  struct Case {
    std::vector<std::string> arguments;
    Request request;
    std::string drive;        // for kRun and kScript, "" when none
    std::string error;        // for kUsageError
    std::string script = {};  // for kScript (ScriptOf)
  };
  const std::vector<Case> cases = {
      {{}, Request::kRun, "", ""},
      {{"/mnt/win95"}, Request::kRun, "/mnt/win95", ""},
      {{"win95.img"}, Request::kRun, "win95.img", ""},
      {{"-"}, Request::kRun, "-", ""},
      {{"--", "--help"}, Request::kRun, "--help", ""},
      {{"--"}, Request::kRun, "", ""},
      {{"--help"}, Request::kHelp, "", ""},
      {{"--version"}, Request::kVersion, "", ""},
      // Unambiguous beginnings of a long option, also after an operand.
      {{"--h"}, Request::kHelp, "", ""},
      {{"--vers"}, Request::kVersion, "", ""},
      {{"drive", "--help"}, Request::kHelp, "", ""},
      // The first option decides, before the operands are counted.
      {{"--version", "--help"}, Request::kVersion, "", ""},
      {{"a", "b", "--help"}, Request::kHelp, "", ""},
      {{"--helpme"}, Request::kUsageError, "", unknown("--helpme")},
      {{"--help=x"}, Request::kUsageError, "", unknown("--help=x")},
      {{"---"}, Request::kUsageError, "", unknown("---")},
      {{"-h"}, Request::kHelp, "", ""},
      {{"drive", "-V"}, Request::kVersion, "", ""},
      {{"-hV"}, Request::kUsageError, "", unknown("-hV")},
      {{"-v"}, Request::kUsageError, "", unknown("-v")},
      {{"--foo", "--help"}, Request::kUsageError, "", unknown("--foo")},
      {{"a", "b"}, Request::kUsageError, "", surplus},
      {{"a", "--", "b"}, Request::kUsageError, "", surplus},
      // An argument in UTF-8 is shown in the program's code page.
      {{"--gr\303\266\303\237e"}, Request::kUsageError, "", unknown("--gr\366\337e")},
      // A script's options: names without regard to case, values as the controls take them,
      // --set's argument next or after "=".
      {{"--show"}, Request::kScript, "", "", "show"},
      {{"win95.img", "--sh"}, Request::kScript, "win95.img", "", "show"},
      {{"--standard", "--set", "bootmenu=1", "--set=LOGO=0", "--se", "BootDelay= -3", "/mnt/c"},
       Request::kScript,
       "/mnt/c",
       "",
       "standard BootMenu=1 Logo=0 BootDelay= -3"},
      {{"--set", "BootMenuDefault=8", "--set", "DoubleBuffer=2", "--set", "BootWin=0", "--set",
        "BootMenuDelay=$FFFFFFFF", "--st"},
       Request::kScript,
       "",
       "",
       "standard BootMenuDefault=8 DoubleBuffer=2 BootWin=0 BootMenuDelay=$FFFFFFFF"},
      {{"--set", "Logo=1", "--", "--show"}, Request::kScript, "--show", "", " Logo=1"},
      {{"--set", "Logo=1", "--help"}, Request::kHelp, "", ""},
      {{"--s"}, Request::kUsageError, "", unknown("--s")},
      {{"--show=1"}, Request::kUsageError, "", unknown("--show=1")},
      {{"--set"}, Request::kUsageError, "", "startgarten: --set verlangt ein Argument NAME=WERT\n"},
      {{"--set", "--help"},
       Request::kUsageError,
       "",
       "startgarten: --set verlangt NAME=WERT, nicht \204--help\223\n"},
      {{"--set", "Men\303\274=1"},
       Request::kUsageError,
       "",
       "startgarten: unbekannter Optionsname \204Men\374\223\n"},
      {{"--set", "BootMenu=2"}, Request::kUsageError, "", refused("BootMenu", "0 oder 1", "2")},
      {{"--set", "Logo=%s"}, Request::kUsageError, "", refused("Logo", "0 oder 1", "%s")},
      {{"--set", "BootMenuDefault=0"},
       Request::kUsageError,
       "",
       refused("BootMenuDefault", "1 bis 8", "0")},
      {{"--set", "BootMenuDefault=09"},
       Request::kUsageError,
       "",
       refused("BootMenuDefault", "1 bis 8", "09")},
      {{"--set", "BootWin=-1"}, Request::kUsageError, "", refused("BootWin", "0 oder 1", "-1")},
      {{"--set", "doublebuffer=3"},
       Request::kUsageError,
       "",
       refused("DoubleBuffer", "0 bis 2", "3")},
      {{"--set", "BootDelay=2147483648"},
       Request::kUsageError,
       "",
       refused("BootDelay", integer, "2147483648")},
      {{"--set", "BootMenuDelay=5s"},
       Request::kUsageError,
       "",
       refused("BootMenuDelay", integer, "5s")},
      {{"--show", "--set", "Logo=1"},
       Request::kUsageError,
       "",
       "startgarten: --show l\344sst sich nicht mit --standard oder --set verbinden\n"},
      {{"--show", "a", "b"}, Request::kUsageError, "", surplus},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.arguments));
    const CommandLine parsed = ParseCommandLine(c.arguments);
    EXPECT_EQ(parsed.request, c.request);
    EXPECT_EQ(parsed.drive.value_or(""), c.drive);
    EXPECT_EQ(parsed.error, c.error);
    EXPECT_EQ(ScriptOf(parsed), c.script);
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
  std::vector<test_support::DeadEndDrive> cases = test_support::MakeDeadEndDrives(base);
  const auto write = [&base](const char* name, const std::string& bytes) {
    std::filesystem::create_directories((base / name).parent_path());
    test_support::WriteHostBytes(base / name, bytes);
  };
  for (const char* name : {"f", "e", "d", "c", "b", "a", "win95/MSDOS.SYS"})
    write((std::string("above/") + name).c_str(), "");
  std::filesystem::create_directories(base / "folder/MSDOS.SYS");
  write("empty.img", "");
  test_support::MakeFloppy(base / "floppy.img");
  write("lower/msdos.sys", "[Paths]\r\n");
  std::filesystem::create_directory_symlink(base / "lower", base / "link");
  test_support::PutFiles(test_support::MakeFloppy(base / "win95.img"),
                         {{"msdos.sys", "[Paths]\r\n", "+r +h +s"}});
  cases.insert(
      cases.end(),
      {
          {"a folder of many, the one above the drive", base / "above",
           "Er enth\xE4lt: a, b, c, d, e \x85 (7 Eintr\xE4ge)"},
          {"a folder whose MSDOS.SYS is a folder", base / "folder",
           "Dort ist ein Ordner, doch MSDOS.SYS in ihm ist ein Ordner, keine Datei."},
          {"an empty file", base / "empty.img",
           "Die Abbilddatei " + (base / "empty.img").string() + " ist leer."},
          {"a FAT image without a boot file", base / "floppy.img",
           "Dort ist eine Abbilddatei mit einem FAT-Laufwerk, doch ohne MSDOS.SYS in seinem "
           "Stammordner."},
          // Boot drives: no notice.
          {"a boot drive in lower case", base / "lower", ""},
          {"a link to a boot drive", base / "link", ""},
          {"a FAT image with its boot file", base / "win95.img", ""},
      });
  for (const test_support::DeadEndDrive& c : cases) {
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
