// Both programs as processes, as a shell or a desktop starts them: the one a user starts and the
// window's program started directly. -h and -V, and where no window can be shown, a German message
// and exit status 1 instead of Qt's abort.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/system/process.h"

namespace startgarten {
namespace {

const std::vector<std::string> kPrograms = {STARTGARTEN_PROGRAM, STARTGARTEN_WINDOW_PROGRAM};

const std::vector<std::string> kDesktopless = {"PATH=/usr/bin:/bin", "HOME=/nonexistent",
                                               "LANG=C.UTF-8"};

// Runs the program with the argument in exactly this environment.
platform::ProcessResult RunProgram(const std::string& program, const std::string& argument,
                                   const std::vector<std::string>& environment = kDesktopless) {
  return platform::RunProcess({program, {program, argument}, environment, {}, {}});
}

TEST(WindowProgramTest, ShortOptionsGiveTheHelpAndTheVersion) {
  for (const std::string& program : kPrograms) {
    SCOPED_TRACE(program);
    const platform::ProcessResult help = RunProgram(program, "-h");
    const platform::ProcessResult version = RunProgram(program, "-V");
    EXPECT_EQ(std::tuple(help.exitCode, help.errors, version.exitCode, version.errors),
              std::tuple(0, "", 0, ""));
    EXPECT_TRUE(help.output.starts_with("Aufruf: startgarten [LAUFWERK]\n")) << help.output;
    EXPECT_NE(help.output.find("\n  -h, --help           diese Hilfe anzeigen und beenden\n"
                               "  -V, --version        Versionsangabe anzeigen und beenden\n"),
              std::string::npos)
        << help.output;
    EXPECT_TRUE(version.output.starts_with("startgarten 1.")) << version.output;
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
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {kDesktopless,
       "startgarten: keine Anzeige, weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt.\n"},
      // No X server listens there: Qt finds no platform it can open.
      {{"PATH=/usr/bin:/bin", "HOME=/nonexistent", "LANG=C.UTF-8", "DISPLAY=:2026"},
       "startgarten: die Anzeige l\u00E4sst sich nicht \u00F6ffnen.\n"},
  };
  for (const std::string& program : kPrograms) {
    for (const auto& [environment, reason] : cases) {
      SCOPED_TRACE(program + " " + testing::PrintToString(environment));
      const platform::ProcessResult outcome = RunProgram(program, "/nonexistent", environment);
      EXPECT_EQ(std::tuple(outcome.exitCode, outcome.output), std::tuple(1, ""));
      EXPECT_NE(outcome.errors.find(reason + advice), std::string::npos) << outcome.errors;
    }
  }
}

}  // namespace
}  // namespace startgarten
