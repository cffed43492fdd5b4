#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <chrono>
#include <fstream>
#include <random>
#include <string>
#include <thread>

#include "support/file_system_faults.h"

// Processes of the tests' own: killed at random moments or at a file operation, and watched until
// they end.
namespace startgarten::test_support {

// Whether the process has ended: gone, or a zombie that nobody has reaped yet (its descriptors,
// and the locks they held, are released either way).
inline bool ProcessEnded(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  std::getline(stat, text);
  return text.empty() || text.find(") Z ") != std::string::npos;
}

// Runs body in a child process, kills it after a random while and waits for it.
template <typename Body>
void KillWhileRunning(std::mt19937& random, unsigned maxMicroseconds, const Body& body) {
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    body();
    _exit(2);
  }
  std::this_thread::sleep_for(std::chrono::microseconds(random() % maxMicroseconds));
  ASSERT_EQ(kill(child, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself: " << status;
}

// Runs body in a child process that kills itself at the file operation of number step; tells
// whether it was killed there (it ended by itself when body had fewer operations).
template <typename Body>
bool KilledAtOperation(unsigned long step, const Body& body) {
  const pid_t child = fork();
  if (child == 0) {
    body(FaultPlan{.killAt = step});
    _exit(3);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// A child process that takes something (a lock, an open file) and keeps it until the object
// ends, when the child is killed.
class HoldingChild {
 public:
  template <typename Take>
  explicit HoldingChild(const Take& take) {
    int ready[2];
    EXPECT_EQ(pipe2(ready, O_CLOEXEC), 0);
    pid_ = fork();
    if (pid_ == 0) {
      try {
        take();
      } catch (...) {
        _exit(1);
      }
      EXPECT_EQ(write(ready[1], "", 1), 1);
      for (;;) pause();
    }
    close(ready[1]);
    char taken;
    EXPECT_EQ(read(ready[0], &taken, 1), 1) << "the child did not take it";
    close(ready[0]);
  }
  ~HoldingChild() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  HoldingChild(const HoldingChild&) = delete;
  HoldingChild& operator=(const HoldingChild&) = delete;

  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

}  // namespace startgarten::test_support
