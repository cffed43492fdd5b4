#include "platform/system/process.h"
#include "support/child_processes.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <csignal>

#include <chrono>
#include <string>

// Passing input, output and errors is what every program of mtools in the image tests does; here
// what they do not: a child that hangs.
namespace startgarten::platform {
namespace {

using namespace test_support;

using namespace std::chrono_literals;

// A child that hangs, with its output open or closed, is killed at the timeout with everything it
// started (its process group, of its own), and the call comes back.
TEST(Process, KillsAHungChildWithItsGroup) {
  for (const char* script : {"sleep 60 & echo $!; wait", "exec >&- 2>&-; sleep 60"}) {
    ProcessRequest hung;
    hung.program = "/bin/sh";
    hung.arguments = {"sh", "-c", script};
    hung.timeout = 300ms;
    const auto started = std::chrono::steady_clock::now();
    const ProcessResult hangs = RunProcess(hung);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 30s) << script;
    EXPECT_TRUE(hangs.timedOut) << script;
    EXPECT_EQ(hangs.signal, SIGKILL) << script;
    if (std::string_view(script).starts_with("exec")) continue;  // it started no other program
    const pid_t grandchild = std::stoi(hangs.output);
    for (int i = 0; i < 100 && !ProcessEnded(grandchild); ++i) ::usleep(10000);
    EXPECT_TRUE(ProcessEnded(grandchild));
  }
}

}  // namespace
}  // namespace startgarten::platform
