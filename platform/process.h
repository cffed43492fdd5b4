#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Starting another program and waiting for it: the single place where the platform layer runs a
// process, so that tests can make any one start fail.
namespace startgarten::platform {

struct ProcessRequest {
  std::string program;                   // absolute path of the executable; no search, no shell
  std::vector<std::string> arguments;    // argv, argv[0] included
  std::vector<std::string> environment;  // the child's whole environment, "NAME=value"
  std::vector<int> passedDescriptors;    // open descriptors the child keeps under their numbers
  std::string_view input;                // the bytes on its standard input
  std::chrono::milliseconds timeout{30000};
  size_t outputLimit = 1 << 20;  // standard output beyond this many bytes ends the child
};

struct ProcessResult {
  int startError = 0;           // errno when the program could not be started
  bool timedOut = false;        // killed after the timeout
  bool outputTooLarge = false;  // killed for writing more than outputLimit
  int exitCode = -1;            // its exit status when it ended by itself
  int signal = 0;               // the signal that ended it otherwise
  std::string output;           // standard output, at most outputLimit bytes
  std::string errors;           // standard error, at most its first 64 KiB
};

// Runs the program in a process group of its own, so that a terminal's signals meant for this
// program never stop it halfway, and waits for it; at the timeout, or when its output passes the
// limit, the group is killed. The child starts with default signal handling and no blocked
// signals; every descriptor of this process that is not passed and not close-on-exec stays open
// in it.
ProcessResult RunProcess(const ProcessRequest& request);

// Hands this process over to another program (absolute path, no search), with these arguments
// (argv, argv[0] included) and the same environment and descriptors. Returns only when that
// fails, with the errno value.
int ReplaceProcess(const std::string& program, char* const arguments[]);

}  // namespace startgarten::platform
