#pragma once

#include <sys/types.h>
#include <chrono>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system/descriptor.h"

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

// A program that runs on beside this process: its id, a descriptor that becomes readable when it
// ends (a pidfd) and the read end of its standard output. Its owner reaps it (AwaitProcess).
struct StartedProcess {
  int startError = 0;  // errno when the program could not be started
  pid_t pid = -1;
  Descriptor ended;
  Descriptor output;
};

// Starts the program as RunProcess does, in a process group of its own, with standardInput and
// standardError as its standard input and error (-1 for /dev/null; request.input is not used) and
// a pipe as its standard output, and returns without waiting for it.
StartedProcess StartProcess(const ProcessRequest& request, int standardInput, int standardError);

// Waits until the started program has ended, at the latest until deadline, and then reaps it and
// closes its descriptors; false when it still runs at the deadline.
bool AwaitProcess(StartedProcess& process, std::chrono::steady_clock::time_point deadline);

// Hands this process over to another program (absolute path, no search), with these arguments
// (argv, argv[0] included) and the same environment and descriptors. Returns only when that
// fails, with the errno value.
int ReplaceProcess(const std::string& program, char* const arguments[]);

}  // namespace startgarten::platform
