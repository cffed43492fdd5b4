#include "platform/process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <string>

namespace startgarten::platform {
namespace {

using namespace std::chrono_literals;

ProcessRequest Shell(std::string script, std::string_view input = {}) {
  ProcessRequest request;
  request.program = "/bin/sh";
  request.arguments = {"sh", "-c", std::move(script)};
  request.environment = {"PATH=/usr/bin:/bin", "ONLY=this"};
  request.input = input;
  request.timeout = 10s;
  return request;
}

ProcessRequest Program(std::string path) {
  ProcessRequest request = Shell("");
  request.program = path;
  request.arguments = {path};
  return request;
}

// Whether the process has ended: gone, or a zombie that nobody has reaped yet.
bool Ended(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  std::getline(stat, text);
  return text.empty() || text.find(") Z ") != std::string::npos;
}

TEST(Process, PassesInputEnvironmentAndDescriptorsAndReportsHowItEnded) {
  const std::string big(300 * 1024, 'x');  // more than a pipe holds
  const int passed = ::memfd_create("passed", MFD_CLOEXEC);
  const int kept = ::memfd_create("kept", MFD_CLOEXEC);
  ASSERT_EQ(::write(passed, "given", 5), 5);
  ProcessRequest withDescriptor =
      Shell("cat /proc/self/fd/" + std::to_string(passed) + "; ls /proc/self/fd/" +
            std::to_string(kept) + " 2>/dev/null || echo ' only'");
  withDescriptor.passedDescriptors = {passed};

  const struct {
    const char* what;
    ProcessRequest request;
    int exitCode;
    std::string output, errors;
  } cases[] = {
      {"input", Shell("cat", big), 0, big, ""},
      {"no input", Shell("cat"), 0, "", ""},
      {"environment", Program("/usr/bin/env"), 0, "PATH=/usr/bin:/bin\nONLY=this\n", ""},
      {"errors and exit", Shell("echo wrong >&2; exit 3"), 3, "", "wrong\n"},
      {"descriptors", withDescriptor, 0, "given only\n", ""},
      // Its own process group, so SIGINT from a terminal never reaches it, and signals 1 to 16
      // at their defaults: it does not inherit this process's ignored SIGPIPE.
      {"group and signals",
       Shell("[ $(cut -d' ' -f5 /proc/$$/stat) = $$ ] && "
             "awk '/SigIgn/ { print substr($2, 13) }' /proc/self/status"),
       0, "0000\n", ""},
  };
  ::signal(SIGPIPE, SIG_IGN);
  for (const auto& c : cases) {
    const ProcessResult result = RunProcess(c.request);
    EXPECT_EQ(result.startError, 0) << c.what;
    EXPECT_EQ(result.exitCode, c.exitCode) << c.what;
    EXPECT_EQ(result.output, c.output) << c.what;
    EXPECT_EQ(result.errors, c.errors) << c.what;
    EXPECT_FALSE(result.timedOut || result.outputTooLarge) << c.what;
  }
  ::signal(SIGPIPE, SIG_DFL);
  ::close(passed);
  ::close(kept);

  EXPECT_EQ(RunProcess(Program("/nonexistent/program")).startError, ENOENT);
}

// A child that hangs, or writes without end, is killed with everything it started, and the
// call comes back.
TEST(Process, KillsAHungOrFloodingChildWithItsGroup) {
  ProcessRequest hung = Shell("sleep 60 & echo $!; wait");
  hung.timeout = 300ms;
  const auto started = std::chrono::steady_clock::now();
  const ProcessResult hangs = RunProcess(hung);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 30s);
  EXPECT_TRUE(hangs.timedOut);
  EXPECT_EQ(hangs.signal, SIGKILL);
  const pid_t grandchild = std::stoi(hangs.output);
  for (int i = 0; i < 100 && !Ended(grandchild); ++i) ::usleep(10000);
  EXPECT_TRUE(Ended(grandchild));

  ProcessRequest silent = Shell("exec >&- 2>&-; sleep 60");  // closes its output and goes on
  silent.timeout = 300ms;
  EXPECT_TRUE(RunProcess(silent).timedOut);

  ProcessRequest flood = Shell("yes");
  flood.outputLimit = 1000;
  const ProcessResult floods = RunProcess(flood);
  EXPECT_TRUE(floods.outputTooLarge);
  EXPECT_EQ(floods.output.size(), 1000u);
  EXPECT_EQ(floods.signal, SIGKILL);
}

}  // namespace
}  // namespace startgarten::platform
