// The command line of scripts as whole processes on the sample drive, without a display:
// "startgarten --show" and one "startgarten --set" (the logo switched on and off, so that each
// writes a change), against the floor, a C++ program that only starts and ends; and, to show what
// the window's libraries would cost, "--show" run by the window's program, which loads Qt, and
// what the C++ runtime costs, a program that loads none. The
// programs take turns, and each figure is the median of the runs: the time from the start of the
// process to its end, and its CPU time (user and system), which a busy machine sways less.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_drive.h"
#include "bench/timing.h"

extern char** environ;

namespace startgarten::bench {

namespace {

constexpr int kWarmUpRuns = 2;  // not counted: they bring the programs into the cache
constexpr double kShowTarget = 3.0;

struct Run {
  double seconds = 0;
  double cpuSeconds = 0;
};

struct Program {
  const char* label;
  std::vector<std::vector<std::string>> arguments;  // taken in turn, run after run
  std::vector<double> seconds = {};
  std::vector<double> cpuSeconds = {};
};

// The environment without a display: no graphical platform could be started.
std::vector<std::string> EnvironmentWithoutDisplay() {
  std::vector<std::string> variables;
  for (char** variable = environ; *variable; ++variable) {
    const std::string_view text(*variable);
    if (!text.starts_with("DISPLAY=") && !text.starts_with("WAYLAND_DISPLAY=") &&
        !text.starts_with("QT_QPA_PLATFORM=")) {
      variables.emplace_back(text);
    }
  }
  return variables;
}

// Runs the program to its end; throws unless it ends with status 0.
Run RunOnce(std::vector<std::string> arguments, std::vector<std::string>& environment) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv, envp;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  for (std::string& variable : environment) envp.push_back(variable.data());
  envp.push_back(nullptr);

  const int64_t start = MonotonicNanoseconds();
  pid_t pid;
  const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + arguments[0]);
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  const double seconds = (MonotonicNanoseconds() - start) / 1e9;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error(arguments[0] + " " + arguments[1] +
                             " failed: " + std::to_string(status));
  }
  const auto cpu = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
  return {seconds, cpu(usage.ru_utime) + cpu(usage.ru_stime)};
}

// The medians of the program and of the floor, side by side.
void PrintFigure(const Program& program, const Program& floor, const char* target = "") {
  const double time = Median(program.seconds), floorTime = Median(floor.seconds);
  const double cpu = Median(program.cpuSeconds), floorCpu = Median(floor.cpuSeconds);
  std::printf("  %-32s %7.2f ms  %6.2fx   CPU %6.2f ms  %6.2fx%s\n", program.label, time * 1e3,
              time / floorTime, cpu * 1e3, cpu / floorCpu, target);
}

}  // namespace

}  // namespace startgarten::bench

int main(int argc, char** argv) {
  using namespace startgarten::bench;
  const int runs = RunsAsked(argc, argv);
  if (runs == 0) return 2;
  const BenchDrive drive;
  std::vector<std::string> environment = EnvironmentWithoutDisplay();
  Program floor{"floor (starts and ends)", {{EMPTY_PROGRAM}}};
  Program startOnly{"the same without C++ runtime", {{START_ONLY_PROGRAM}}};
  Program show{"startgarten --show", {{STARTGARTEN_PROGRAM, "--show"}}};
  Program set{"startgarten --set Logo=0/1",
              {{STARTGARTEN_PROGRAM, "--set", "Logo=0"}, {STARTGARTEN_PROGRAM, "--set", "Logo=1"}}};
  Program withQt{"--show by the window's program", {{WINDOW_PROGRAM, "--show"}}};
  try {
    for (int i = 0; i < kWarmUpRuns + runs; ++i) {
      std::vector<Program*> order = {&floor, &startOnly, &show, &set, &withQt};
      if (i % 2) std::reverse(order.begin(), order.end());
      for (Program* program : order) {
        const Run run = RunOnce(program->arguments[i % program->arguments.size()], environment);
        if (i >= kWarmUpRuns) {
          program->seconds.push_back(run.seconds);
          program->cpuSeconds.push_back(run.cpuSeconds);
        }
      }
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "command line benchmark failed: %s\n", error.what());
    return 1;
  }

  std::printf("Command line on the sample drive, no display (medians of %d runs)\n", runs);
  std::printf("  %-32s %7.2f ms            CPU %6.2f ms\n", floor.label,
              Median(floor.seconds) * 1e3, Median(floor.cpuSeconds) * 1e3);
  const bool met = Median(show.seconds) / Median(floor.seconds) <= kShowTarget;
  PrintFigure(show, floor, met ? "   target <= 3x: met" : "   target <= 3x: MISSED");
  PrintFigure(set, floor);
  PrintFigure(startOnly, floor);
  PrintFigure(withQt, floor);
  return 0;
}
