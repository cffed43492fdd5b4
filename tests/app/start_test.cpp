// How the program starts: its command line, and the notice it gives instead of the window's first
// errors when drive C does not exist.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/drive_c_notice.h"
#include "platform/drive_locations.h"
#include "support/temp_drive.h"

namespace startgarten {
namespace {

using Request = CommandLine::Request;

TEST(CommandLineTest, OptionsAndOneDriveTheGnuWay) {
  struct Case {
    std::vector<std::string> arguments;
    Request request;
    std::string drive;  // for kRun, "" when none
    std::string error;  // for kUsageError
  };
  const std::vector<Case> cases = {
      {{}, Request::kRun, "", ""},
      {{"/mnt/win95"}, Request::kRun, "/mnt/win95", ""},
      {{"win95.img"}, Request::kRun, "win95.img", ""},
      {{"-"}, Request::kRun, "-", ""},
      {{"--", "--help"}, Request::kRun, "--help", ""},
      {{"--help"}, Request::kHelp, "", ""},
      {{"--version"}, Request::kVersion, "", ""},
      // Unambiguous beginnings of a long option, also after an operand.
      {{"--h"}, Request::kHelp, "", ""},
      {{"--vers"}, Request::kVersion, "", ""},
      {{"drive", "--help"}, Request::kHelp, "", ""},
      // The first option decides, before the operands are counted.
      {{"--version", "--help"}, Request::kVersion, "", ""},
      {{"a", "b", "--help"}, Request::kHelp, "", ""},
      {{"--helpme"}, Request::kUsageError, "", "startgarten: unbekannte Option \x84--helpme\x93\n"},
      {{"--help=x"}, Request::kUsageError, "", "startgarten: unbekannte Option \x84--help=x\x93\n"},
      {{"--"}, Request::kRun, "", ""},
      {{"---"}, Request::kUsageError, "", "startgarten: unbekannte Option \x84---\x93\n"},
      {{"-h"}, Request::kUsageError, "", "startgarten: unbekannte Option \x84-h\x93\n"},
      {{"--foo", "--help"},
       Request::kUsageError,
       "",
       "startgarten: unbekannte Option \x84--foo\x93\n"},
      {{"a", "b"},
       Request::kUsageError,
       "",
       "startgarten: \xFC"
       "berz\xE4hliges Argument \x84"
       "b\x93\n"},
      {{"a", "--", "b"},
       Request::kUsageError,
       "",
       "startgarten: \xFC"
       "berz\xE4hliges Argument \x84"
       "b\x93\n"},
      // An argument in UTF-8 is shown in the program's code page.
      {{"--gr\xC3\xB6\xC3\x9F"
        "e"},
       Request::kUsageError,
       "",
       "startgarten: unbekannte Option \x84--gr\xF6\xDF"
       "e\x93\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.arguments));
    const CommandLine parsed = ParseCommandLine(c.arguments);
    EXPECT_EQ(parsed.request, c.request);
    EXPECT_EQ(parsed.drive.value_or(""), c.drive);
    EXPECT_EQ(parsed.error, c.error);
  }
}

// Each case sets up the prefix and the environment, and names the texts the notice must hold, or
// none when drive C exists. Drive C stays chosen once it is, so those cases come last.
TEST(MissingDriveCNoticeTest, NamesWhatWasLookedForUnlessDriveCExists) {
  test_support::TempDrive drive;
  const std::filesystem::path base = drive.Base();
  const std::filesystem::path prefixC = drive.Prefix() / "dosdevices" / "c:";
  const std::string lookedForPrefixC = "Gesucht wurde: " + prefixC.string();
  const std::string noPrefix = "Gesucht wurde $WINEPREFIX/dosdevices/c:, doch WINEPREFIX";
  std::filesystem::create_directories(base / "folder");
  std::ofstream(base / "image") << "not a disk image";
  const auto linkC = [&](const std::filesystem::path& target) {
    std::filesystem::remove(prefixC);
    std::filesystem::create_symlink(target, prefixC);
  };
  struct Case {
    const char* situation;
    std::function<void()> setUp;
    std::vector<std::string> texts;
  };
  const std::vector<Case> cases = {
      {"the prefix's drive C", [] {}, {}},
      {"no dosdevices/c:", [&] { std::filesystem::remove(prefixC); }, {lookedForPrefixC + "\n\n"}},
      {"a link to nowhere",
       [&] { linkC(base / "gone"); },
       {lookedForPrefixC + "\nDas ist eine Verkn\xFCpfung auf " + (base / "gone").string() +
        ", und dort ist nichts.\n"}},
      {"a relative link to nowhere",
       [&] { linkC("../../gone"); },
       {"Verkn\xFCpfung auf ../../gone,"}},
      {"a link to a file", [&] { linkC(base / "image"); }, {}},
      {"no prefix at all",
       [&] {
         ::unsetenv("WINEPREFIX");
         ::unsetenv("HOME");
       },
       {noPrefix}},
      {"a relative WINEPREFIX", [&] { ::setenv("WINEPREFIX", "prefix", 1); }, {noPrefix}},
      {"HOME without a .wine",
       [&] {
         ::unsetenv("WINEPREFIX");
         ::setenv("HOME", base.c_str(), 1);
       },
       {"Gesucht wurde: " + (base / ".wine/dosdevices/c:").string() + "\n"}},
      {"a chosen drive that is not there",
       [&] { platform::ChooseDriveC((base / "missing").string()); },
       {"Gesucht wurde: " + (base / "missing").string() + "\n"}},
      {"a chosen file", [&] { platform::ChooseDriveC((base / "image").string()); }, {}},
      {"a chosen folder", [&] { platform::ChooseDriveC((base / "folder").string()); }, {}},
  };
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.situation);
    c.setUp();
    const std::optional<std::string> notice = MissingDriveCNotice();
    ASSERT_EQ(notice.has_value(), !c.texts.empty()) << notice.value_or("");
    if (!notice) continue;
    EXPECT_TRUE(notice->starts_with("Laufwerk C: gibt es nicht.\n\n")) << *notice;
    for (const std::string& text : c.texts)
      EXPECT_NE(notice->find(text), std::string::npos) << *notice;
  }
}

}  // namespace
}  // namespace startgarten
