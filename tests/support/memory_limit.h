#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <fstream>
#include <functional>

// Runs work in a child process whose address space may grow by at most a given number of bytes,
// so that a test can tell that hostile input is never loaded into memory as a whole. The
// sanitizers reserve terabytes of address space up front, so there the limit cannot be applied.
namespace startgarten::test_support {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kMemoryLimitApplies = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kMemoryLimitApplies = false;
#else
inline constexpr bool kMemoryLimitApplies = true;
#endif
#else
inline constexpr bool kMemoryLimitApplies = true;
#endif

// True when work returns true without growing the address space by more than extraBytes; an
// allocation beyond it ends the child with std::bad_alloc, and the result is false.
inline bool SucceedsWithinMemory(size_t extraBytes, const std::function<bool()>& work) {
  size_t pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  const rlim_t limit = pages * static_cast<size_t>(sysconf(_SC_PAGESIZE)) + extraBytes;
  const pid_t child = fork();
  if (child == 0) {
    const rlimit bound{limit, limit};
    if (setrlimit(RLIMIT_AS, &bound) != 0) _exit(2);
    _exit(work() ? 0 : 1);
  }
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

}  // namespace startgarten::test_support
