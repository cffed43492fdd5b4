// Both programs as processes, as a shell or a desktop starts them: the one a user starts and the
// window's program started directly. -h and -V, and where no window can be shown, a German message
// and exit status 1 instead of Qt's abort.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/system/process.h"

namespace startgarten {
namespace {

// Runs the program with the arguments in exactly this environment.
platform::ProcessResult RunProgram(const std::string& program, std::vector<std::string> arguments,
                                   const std::vector<std::string>& environment) {
  arguments.insert(arguments.begin(), program);
  return platform::RunProcess({program, arguments, environment, {}, {}});
}

const std::vector<std::string> kPrograms = {STARTGARTEN_PROGRAM, STARTGARTEN_WINDOW_PROGRAM};

const std::vector<std::string> kDesktopless = {"PATH=/usr/bin:/bin", "HOME=/nonexistent",
                                               "LANG=C.UTF-8"};

TEST(WindowProgramTest, ShortOptionsGiveTheHelpAndTheVersion) {
  for (const std::string& program : kPrograms) {
    SCOPED_TRACE(program);
    const platform::ProcessResult help = RunProgram(program, {"-h"}, kDesktopless);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.output.starts_with("Aufruf: startgarten [LAUFWERK]\n")) << help.output;
    EXPECT_NE(help.output.find("\n  -h, --help           diese Hilfe anzeigen und beenden\n"
                               "  -V, --version        Versionsangabe anzeigen und beenden\n"),
              std::string::npos)
        << help.output;
    const platform::ProcessResult version = RunProgram(program, {"-V"}, kDesktopless);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.output.starts_with("startgarten 1.")) << version.output;
    EXPECT_EQ(version.errors, "");
  }
}

// Without a display named, and with one named that cannot be reached, each program says in German
// what it needs and what works without a window, and ends with exit status 1: the one a user
// starts before it hands over, or, for the display that cannot be reached, through the window's
// program it hands over to.
TEST(WindowProgramTest, WithoutADisplayItSaysSoInGermanAndEndsWithStatusOne) {
  const std::string advice =
      "Das Fenster braucht eine grafische Anzeige: eine X11-Anzeige in DISPLAY oder eine\n"
      "Wayland-Anzeige in WAYLAND_DISPLAY. Ohne Fenster:\n"
      "\n"
      "  startgarten --show [LAUFWERK]              die Startoptionen ausgeben\n";
  struct Case {
    std::vector<std::string> environment;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {kDesktopless,
       "startgarten: keine Anzeige, weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt.\n"},
      // No X server listens there: Qt finds no platform it can open.
      {{"PATH=/usr/bin:/bin", "HOME=/nonexistent", "LANG=C.UTF-8", "DISPLAY=:2026"},
       "startgarten: die Anzeige l\u00E4sst sich nicht \u00F6ffnen.\n"},
  };
  for (const std::string& program : kPrograms) {
    for (const Case& c : cases) {
      SCOPED_TRACE(program + " " + testing::PrintToString(c.environment));
      const platform::ProcessResult outcome = RunProgram(program, {"/nonexistent"}, c.environment);
      EXPECT_EQ(outcome.exitCode, 1);
      EXPECT_EQ(outcome.output, "");
      const size_t reason = outcome.errors.find(c.reason);
      ASSERT_NE(reason, std::string::npos) << outcome.errors;
      EXPECT_TRUE(outcome.errors.substr(reason + c.reason.size()).starts_with(advice))
          << outcome.errors;
    }
  }
}

}  // namespace
}  // namespace startgarten
