#include "support/image_holders.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace startgarten::test_support {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Starts QEMU paused on the image, its standard error going to errors (-1: inherited).
pid_t StartQemu(const DiskImage& image, int errors) {
  const std::string drive = "file=" + image.path.string() + ",format=" + image.format + ",if=ide";
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (errors >= 0) ::dup2(errors, STDERR_FILENO);
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, STDIN_FILENO);
    ::dup2(null, STDOUT_FILENO);
    ::execl("/usr/bin/qemu-system-x86_64", "qemu-system-x86_64", "-S", "-nodefaults",
            "-no-user-config", "-display", "none", "-monitor", "none", "-serial", "none", "-drive",
            drive.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return pid;
}

// The name of the program the process runs ("sleep"; QEMU's is cut to "qemu-system-x86").
std::string ProgramOf(pid_t pid) {
  std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
  std::string program;
  std::getline(comm, program);
  return program;
}

// Whether the process holds the lock by which QEMU says that it writes an image (byte 101), as
// /proc/PID/fdinfo shows its locks: "lock:\t1: OFDLCK ADVISORY  READ -1 fe:00:123 100 101".
bool HoldsWriteLock(pid_t pid) {
  std::error_code error;
  const fs::path infos = "/proc/" + std::to_string(pid) + "/fdinfo";
  for (const auto& info : fs::directory_iterator(infos, error)) {
    std::ifstream file(info.path());
    for (std::string line; std::getline(file, line);) {
      if (!line.starts_with("lock:")) continue;
      std::istringstream fields(line.substr(line.rfind(' ', line.rfind(' ') - 1) + 1));
      std::string start, end;
      fields >> start >> end;
      if (end == "EOF") end = std::to_string(~0u);
      if (std::stoull(start) <= 101 && 101 <= std::stoull(end)) return true;
    }
  }
  return false;
}

// Waits until QEMU holds its locks on its disk or has ended; false when it ended.
bool AwaitLocks(const DiskImage& image, pid_t qemu) {
  for (auto waited = 0ms; waited < 30s; waited += 10ms) {
    if (::waitpid(qemu, nullptr, WNOHANG) == qemu) return false;
    // Before it is QEMU, the child shows the descriptors of the test that it forked from.
    if (ProgramOf(qemu) == "qemu-system-x86" && HoldsWriteLock(qemu)) return true;
    std::this_thread::sleep_for(10ms);
  }
  ADD_FAILURE() << "QEMU neither took nor refused " << image.path;
  return false;
}

void Stop(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

}  // namespace

ImageHolder ImageHolder::Writer(const DiskImage& image) {
  const int fd = ::open(image.path.c_str(), O_RDWR | O_CLOEXEC);
  EXPECT_GE(fd, 0) << image.path;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::fcntl(fd, F_SETFD, 0);  // open in sleep, which does not know of it
    ::execl("/bin/sleep", "sleep", "600", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(fd);
  for (auto waited = 0ms; waited < 10s && ProgramOf(pid) != "sleep"; waited += 5ms)
    std::this_thread::sleep_for(5ms);
  return ImageHolder(pid);
}

ImageHolder ImageHolder::PausedQemu(const DiskImage& image) {
  const pid_t pid = StartQemu(image, -1);
  EXPECT_TRUE(AwaitLocks(image, pid)) << "QEMU did not take " << image.path;
  return ImageHolder(pid);
}

ImageHolder::~ImageHolder() {
  Stop(pid_);
}

std::string QemuRefusal(const DiskImage& image) {
  int errors[2];
  if (::pipe2(errors, O_CLOEXEC) != 0) return "no pipe";
  const pid_t qemu = StartQemu(image, errors[1]);
  ::close(errors[1]);
  const bool took = AwaitLocks(image, qemu);
  if (took) Stop(qemu);
  std::string report;
  char buffer[4096];
  for (ssize_t got; (got = ::read(errors[0], buffer, sizeof buffer)) > 0;)
    report.append(buffer, static_cast<size_t>(got));
  ::close(errors[0]);
  return took ? "" : report.empty() ? "ended without a word" : report;
}

}  // namespace startgarten::test_support
