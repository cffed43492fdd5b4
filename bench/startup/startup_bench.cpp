// Start-up: how long Startgarten's window program takes from process start to the first paint of
// its filled window (both shutdown pictures loaded, the boot file read) on the sample drive, and
// its peak memory, against a bare Qt window with the same widgets; on the sample drive as a disk
// image, against the same start on the folder plus the mtools programs that reading the image
// needs; and on that image as qcow2, which QEMU exports, against the start on the raw image plus
// the export's own start and end. Each run starts the program as a process of its own on the
// offscreen platform, with the first-paint probe preloaded; the programs take turns, so that a
// busy moment of the machine falls on all. (The program a user starts hands over to the window's
// program with one execv; the command line's benchmark measures that program's whole run.)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_drive.h"
#include "bench/timing.h"
#include "platform/drives/image/image_export.h"
#include "platform/drives/image/image_messages.h"

extern char** environ;

namespace startgarten::bench {

namespace {

constexpr int kReportDescriptor = 100;  // where the child's probe writes
constexpr int kWarmUpRuns = 2;          // not counted: they bring the libraries into the cache
constexpr double kTimeTarget = 1.10;
constexpr double kImageTimeTarget = 1.20;
constexpr double kQcow2TimeTarget = 1.50;
constexpr double kMemoryTargetMiB = 2.0;

struct Run {
  double seconds = 0;
  double cpuSeconds = 0;  // user and system, all threads, to the end of the process
  double peakMiB = 0;
  std::string widgets;  // "QCheckBox:12 QComboBox:1 ..."
};

struct Program {
  const char* label;
  const char* path;
  std::vector<Run> runs;
  std::string prefix;  // WINEPREFIX for the program; empty: the sample drive's
};

double Seconds(const timeval& time) {
  return time.tv_sec + time.tv_usec / 1e6;
}

std::vector<std::string> ChildEnvironment(const std::string& prefix) {
  std::vector<std::string> variables;
  for (char** variable = environ; *variable; ++variable) {
    if (prefix.empty() || !std::string_view(*variable).starts_with("WINEPREFIX="))
      variables.emplace_back(*variable);
  }
  if (!prefix.empty()) variables.push_back("WINEPREFIX=" + prefix);
  variables.push_back("QT_QPA_PLATFORM=offscreen");
  variables.push_back(std::string("LD_PRELOAD=") + FIRST_PAINT_PROBE);
  variables.push_back("STARTGARTEN_FIRST_PAINT_FD=" + std::to_string(kReportDescriptor));
  return variables;
}

// Starts the program, waits for the probe's report and the end of the process.
Run Launch(const char* path, const std::string& prefix) {
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, report[1], kReportDescriptor);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<std::string> variables = ChildEnvironment(prefix);
  std::vector<char*> environment;
  for (std::string& variable : variables) environment.push_back(variable.data());
  environment.push_back(nullptr);
  char* argv[] = {const_cast<char*>(path), nullptr};

  const int64_t start = MonotonicNanoseconds();
  pid_t pid;
  const int spawned = ::posix_spawn(&pid, path, &actions, nullptr, argv, environment.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(report[1]);
  if (spawned != 0) throw std::runtime_error(std::string("cannot start ") + path);

  std::string text;
  char buffer[4096];
  for (ssize_t got; (got = ::read(report[0], buffer, sizeof buffer)) > 0;) text.append(buffer, got);
  ::close(report[0]);
  int status;
  rusage usage;
  ::wait4(pid, &status, 0, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || text.empty()) {
    throw std::runtime_error(std::string(path) + " did not report its first paint: " + text);
  }
  while (!text.empty() && text.back() == '\n') text.pop_back();
  const size_t blank = text.find(' ');
  Run run;
  run.seconds = (std::stoll(text.substr(0, blank)) - start) / 1e9;
  run.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  run.peakMiB = usage.ru_maxrss / 1024.0;  // kibibytes
  run.widgets = blank == std::string::npos ? "" : text.substr(blank + 1);
  return run;
}

template <typename Field>
double MedianOf(const Program& program, Field field) {
  std::vector<double> values;
  for (const Run& run : program.runs) values.push_back(run.*field);
  return Median(values);
}

const char* Verdict(bool met) {
  return met ? "met" : "MISSED";
}

// A time against its floor and the largest ratio the target allows.
void PrintTime(const char* label, double seconds, double floor, double target) {
  std::printf("  %-22s %8.1f ms   floor %8.1f ms   %5.2fx   target <= %.2fx   %s\n", label,
              seconds * 1e3, floor * 1e3, seconds / floor, target,
              Verdict(seconds / floor <= target));
}

// Runs a command to its end and returns its output; throws when it fails.
std::string Output(const std::string& command) {
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot run " + command);
  std::string output;
  char buffer[4096];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output.append(buffer, got);
  if (::pclose(pipe) != 0) throw std::runtime_error(command + " failed");
  while (!output.empty() && output.back() == '\n') output.pop_back();
  return output;
}

// The floor of reading the image: mtype of the boot file and of each picture, each a program of
// its own, with no configuration of the user's.
double ReadImageWithMtools(const std::string& image) {
  const std::string mtype = "HOME=/dev/null MTOOLSRC=/dev/null MTOOLS_SKIP_CHECK=1 mtype -i '" +
                            image + "@@" + std::to_string(63 * 512) + "' ";
  const int64_t start = MonotonicNanoseconds();
  for (const char* file : {"::/MSDOS.SYS", "::/WINDOWS/LOGOW.SYS", "::/WINDOWS/LOGOS.SYS"}) {
    if (std::system((mtype + file + " >/dev/null").c_str()) != 0)
      throw std::runtime_error("mtype failed");
  }
  return (MonotonicNanoseconds() - start) / 1e9;
}

// The floor's part that QEMU adds to a start on a qcow2 image: its export for reading, made and
// taken down.
double ExportOnce(const std::string& image) {
  const int64_t start = MonotonicNanoseconds();
  {
    const platform::ImageExport exported({{"qcow2", image, {}}},
                                         {"qcow2", messages::kImageFormatQcow2}, "win95.qcow2", {});
  }
  return (MonotonicNanoseconds() - start) / 1e9;
}

}  // namespace

}  // namespace startgarten::bench

int main(int argc, char** argv) {
  using namespace startgarten::bench;
  const int runs = RunsAsked(argc, argv);
  if (runs == 0) return 2;
  const BenchDrive drive;
  Program startgarten{"Startgarten", STARTGARTEN_PROGRAM, {}, ""};
  Program bare{"bare Qt window", BARE_WINDOW_PROGRAM, {}, ""};
  Program onImage{"Startgarten on an image", STARTGARTEN_PROGRAM, {}, ""};
  Program onQcow2{"Startgarten on a qcow2 image", STARTGARTEN_PROGRAM, {}, ""};
  std::vector<double> mtypeSeconds;
  std::vector<double> exportSeconds;
  const std::string imageDirectory = (std::filesystem::temp_directory_path() /
                                      ("startgarten-startup-" + std::to_string(::getpid())))
                                         .string();
  try {
    onImage.prefix = Output(std::string(SAMPLE_IMAGE_SCRIPT) + " " + imageDirectory);
    const std::string image = imageDirectory + "/win95.img";
    const std::string qcow2 = imageDirectory + "/win95.qcow2";
    Output("qemu-img convert -f raw -O qcow2 '" + image + "' '" + qcow2 + "'");
    onQcow2.prefix = imageDirectory + "/prefix-qcow2";
    std::filesystem::create_directories(onQcow2.prefix + "/dosdevices");
    std::filesystem::create_symlink(qcow2, onQcow2.prefix + "/dosdevices/c:");
    for (int i = 0; i < kWarmUpRuns + runs; ++i) {
      // Each goes first in every other round.
      std::vector<Program*> order = {&startgarten, &bare, &onImage, &onQcow2};
      if (i % 2) std::reverse(order.begin(), order.end());
      for (Program* program : order) {
        Run run = Launch(program->path, program->prefix);
        if (i >= kWarmUpRuns) program->runs.push_back(std::move(run));
      }
      const double mtype = ReadImageWithMtools(image);
      const double exported = ExportOnce(qcow2);
      if (i >= kWarmUpRuns) {
        mtypeSeconds.push_back(mtype);
        exportSeconds.push_back(exported);
      }
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "start-up benchmark failed: %s\n", error.what());
    std::filesystem::remove_all(imageDirectory);
    return 1;
  }
  std::filesystem::remove_all(imageDirectory);

  const double time = MedianOf(startgarten, &Run::seconds);
  const double floorTime = MedianOf(bare, &Run::seconds);
  const double cpu = MedianOf(startgarten, &Run::cpuSeconds);
  const double floorCpu = MedianOf(bare, &Run::cpuSeconds);
  const double peak = MedianOf(startgarten, &Run::peakMiB);
  const double floorPeak = MedianOf(bare, &Run::peakMiB);
  std::printf("Start-up to the first paint (medians of %d runs, offscreen)\n", runs);
  PrintTime("time, sample drive", time, floorTime, kTimeTarget);
  // Less swayed by other processes than the time: on a busy machine the time stretches by the
  // share of the processor the program gets, and is not more telling than this.
  std::printf("  %-22s %8.1f ms   floor %8.1f ms   %5.2fx\n", "CPU time (user+system)", cpu * 1e3,
              floorCpu * 1e3, cpu / floorCpu);
  std::printf("  %-22s %8.1f MiB  floor %8.1f MiB  %+5.1f MiB target <= +%.1f MiB %s\n",
              "peak memory (max RSS)", peak, floorPeak, peak - floorPeak, kMemoryTargetMiB,
              Verdict(peak - floorPeak <= kMemoryTargetMiB));
  const std::string& widgets = startgarten.runs.front().widgets;
  if (widgets != bare.runs.front().widgets) {
    std::printf(
        "  the floor does NOT have the program's widgets:\n    program: %s\n    floor:   %s\n",
        widgets.c_str(), bare.runs.front().widgets.c_str());
    return 1;
  }
  std::printf("  both windows: %s\n", widgets.c_str());

  const double imageTime = MedianOf(onImage, &Run::seconds);
  const double imageFloor = time + Median(mtypeSeconds);
  PrintTime("time, sample image", imageTime, imageFloor, kImageTimeTarget);
  std::printf(
      "  (the floor: the start on the folder, %.1f ms, and three mtype programs, %.1f ms)\n",
      time * 1e3, Median(mtypeSeconds) * 1e3);

  const double qcow2Time = MedianOf(onQcow2, &Run::seconds);
  const double qcow2Floor = imageTime + Median(exportSeconds);
  PrintTime("time, image as qcow2", qcow2Time, qcow2Floor, kQcow2TimeTarget);
  std::printf(
      "  (the floor: the start on the raw image, %.1f ms, and QEMU's export made and taken "
      "down, %.1f ms; peak memory %.1f MiB against %.1f MiB on the raw image)\n",
      imageTime * 1e3, Median(exportSeconds) * 1e3, MedianOf(onQcow2, &Run::peakMiB),
      MedianOf(onImage, &Run::peakMiB));
  return 0;
}
