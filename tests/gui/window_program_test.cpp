// Both programs as processes, as a shell or a desktop starts them: the one a user starts and the
// window's program started directly. -h and -V, and where no window can be shown, a German message
// and exit status 1 instead of Qt's abort.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Outcome {
  int status = -1;  // the exit status; -1 when it did not exit (a signal)
  std::string out;
  std::string err;
};

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Runs the program with the arguments in exactly this environment.
Outcome RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment) {
  const std::filesystem::path directory = std::filesystem::temp_directory_path();
  const std::filesystem::path out = directory / ("program_test.out." + std::to_string(getpid()));
  const std::filesystem::path err = directory / ("program_test.err." + std::to_string(getpid()));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<std::string> words = {program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv, envp;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::vector<std::string> variables = environment;
  for (std::string& variable : variables) envp.push_back(variable.data());
  envp.push_back(nullptr);
  pid_t child = 0;
  Outcome outcome;
  if (posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  outcome.out = Slurp(out);
  outcome.err = Slurp(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return outcome;
}

const std::vector<std::string> kPrograms = {STARTGARTEN_PROGRAM, STARTGARTEN_WINDOW_PROGRAM};

const std::vector<std::string> kDesktopless = {"PATH=/usr/bin:/bin", "HOME=/nonexistent",
                                               "LANG=C.UTF-8"};

std::vector<std::string> With(std::vector<std::string> environment, const std::string& variable) {
  environment.push_back(variable);
  return environment;
}

TEST(WindowProgramTest, ShortOptionsAnswerAsTheLongOnes) {
  for (const std::string& program : kPrograms) {
    SCOPED_TRACE(program);
    for (const char* option : {"-h", "--help"}) {
      const Outcome help = RunProgram(program, {option}, kDesktopless);
      EXPECT_EQ(help.status, 0);
      EXPECT_TRUE(help.out.starts_with("Aufruf: startgarten [LAUFWERK]\n")) << help.out;
      EXPECT_NE(help.out.find("\n  -h, --help           diese Hilfe anzeigen und beenden\n"
                              "  -V, --version        Versionsangabe anzeigen und beenden\n"),
                std::string::npos)
          << help.out;
    }
    const Outcome version = RunProgram(program, {"-V"}, kDesktopless);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, RunProgram(program, {"--version"}, kDesktopless).out);
    EXPECT_TRUE(version.out.starts_with("startgarten 1.")) << version.out;
    EXPECT_EQ(version.err, "");
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
      {With(With(kDesktopless, "DISPLAY="), "WAYLAND_DISPLAY="),
       "startgarten: keine Anzeige, weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt.\n"},
      // No X server listens there: Qt finds no platform it can open.
      {With(kDesktopless, "DISPLAY=:2026"),
       "startgarten: die Anzeige l\u00E4sst sich nicht \u00F6ffnen.\n"},
  };
  for (const std::string& program : kPrograms) {
    for (const Case& c : cases) {
      SCOPED_TRACE(program + " " + testing::PrintToString(c.environment));
      const Outcome outcome = RunProgram(program, {"/nonexistent"}, c.environment);
      EXPECT_EQ(outcome.status, 1);
      EXPECT_EQ(outcome.out, "");
      const size_t reason = outcome.err.find(c.reason);
      ASSERT_NE(reason, std::string::npos) << outcome.err;
      EXPECT_TRUE(outcome.err.substr(reason + c.reason.size()).starts_with(advice)) << outcome.err;
    }
  }
}

}  // namespace
