#include "platform/system/process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <cerrno>

#include "platform/system/file_system.h"

namespace startgarten::platform {

namespace {

constexpr size_t kErrorLimit = size_t{64} << 10;

using Clock = std::chrono::steady_clock;

// The input as a file of its own in memory, read from its start: the child reads it at its own
// pace, and nothing here can block on a pipe it does not drain. Not open when it cannot be made.
Descriptor InputFile(std::string_view input) {
  Descriptor fd = Descriptor::Direct(::memfd_create("input", MFD_CLOEXEC));
  for (size_t done = 0; fd.IsOpen() && done < input.size();) {
    const ssize_t wrote = ::write(fd.Get(), input.data() + done, input.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return {};
    done += static_cast<size_t>(wrote);
  }
  if (fd.IsOpen() && ::lseek(fd.Get(), 0, SEEK_SET) != 0) return {};
  return fd;
}

// A pipe: its read end and its write end, or none open.
std::pair<Descriptor, Descriptor> Pipe() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return {};
  return {Descriptor::Direct(ends[0]), Descriptor::Direct(ends[1])};
}

std::vector<char*> Pointers(const std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  pointers.reserve(texts.size() + 1);
  for (const std::string& text : texts) pointers.push_back(const_cast<char*>(text.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

// Spawns the child with its standard descriptors in place; its id, or -1 with errno.
pid_t Spawn(const ProcessRequest& request, int input, int output, int errors) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawnattr_init(&attributes);
  if (input >= 0) {
    ::posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
  } else {
    ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  }
  ::posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
  if (errors >= 0) {
    ::posix_spawn_file_actions_adddup2(&actions, errors, STDERR_FILENO);
  } else {
    ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  }
  // Duplicating a descriptor onto itself clears its close-on-exec flag in the child only.
  for (int fd : request.passedDescriptors) ::posix_spawn_file_actions_adddup2(&actions, fd, fd);

  sigset_t defaults, none;
  ::sigemptyset(&defaults);
  for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGXFSZ, SIGCHLD}) {
    ::sigaddset(&defaults, signal);
  }
  ::sigemptyset(&none);
  ::posix_spawnattr_setflags(
      &attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  ::posix_spawnattr_setpgroup(&attributes, 0);
  ::posix_spawnattr_setsigdefault(&attributes, &defaults);
  ::posix_spawnattr_setsigmask(&attributes, &none);

  std::vector<char*> argv = Pointers(request.arguments);
  std::vector<char*> envp = Pointers(request.environment);
  pid_t pid = -1;
  const int error = file_system::Spawn(&pid, request.program.c_str(), &actions, &attributes,
                                       argv.data(), envp.data());
  ::posix_spawn_file_actions_destroy(&actions);
  ::posix_spawnattr_destroy(&attributes);
  if (error) {
    errno = error;
    return -1;
  }
  return pid;
}

// A descriptor that becomes readable when the process ends.
// (By its system call: the declaration in glibc 2.36 lacks extern "C" for C++.)
Descriptor EndOf(pid_t pid) {
  return Descriptor::Direct(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
}

// Appends what is there to read; false at the end of the stream.
bool Drain(int fd, std::string& into, size_t keep) {
  char buffer[64 * 1024];
  const ssize_t got = ::read(fd, buffer, sizeof buffer);
  if (got < 0) return errno == EINTR || errno == EAGAIN;
  if (got == 0) return false;
  const size_t room = keep > into.size() ? keep - into.size() : 0;
  into.append(buffer, std::min(room, static_cast<size_t>(got)));
  return true;
}

}  // namespace

ProcessResult RunProcess(const ProcessRequest& request) {
  ProcessResult result;
  Descriptor input = request.input.empty() ? Descriptor() : InputFile(request.input);
  if (!request.input.empty() && !input.IsOpen()) {
    result.startError = errno;
    return result;
  }
  auto [output, outputEnd] = Pipe();
  auto [errors, errorsEnd] = Pipe();
  const pid_t pid = output.IsOpen() && errors.IsOpen()
                        ? Spawn(request, input.Get(), outputEnd.Get(), errorsEnd.Get())
                        : -1;
  if (pid < 0) {
    result.startError = errno;
    return result;
  }
  input.Close();
  outputEnd.Close();
  errorsEnd.Close();

  // One more byte than the limit tells that the output passes it.
  const size_t outputKeep = request.outputLimit + 1;
  const Clock::time_point deadline = Clock::now() + request.timeout;
  // Readable once the child has ended, so that one that closes its output and goes on running
  // is timed out as well.
  const Descriptor ended = EndOf(pid);
  bool outputOpen = true, errorsOpen = true, running = ended.Get() >= 0, killed = false;
  while ((outputOpen || errorsOpen || running) && !killed) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      result.timedOut = killed = true;
      break;
    }
    pollfd fds[3] = {{outputOpen ? output.Get() : -1, POLLIN, 0},
                     {errorsOpen ? errors.Get() : -1, POLLIN, 0},
                     {running ? ended.Get() : -1, POLLIN, 0}};
    const int ready = ::poll(fds, 3, static_cast<int>(std::min<long long>(left, 1 << 30)));
    if (ready < 0 && errno != EINTR) killed = true;
    if (ready <= 0) continue;
    if (fds[0].revents) outputOpen = Drain(output.Get(), result.output, outputKeep);
    if (fds[1].revents) errorsOpen = Drain(errors.Get(), result.errors, kErrorLimit);
    if (fds[2].revents) running = false;
    if (result.output.size() > request.outputLimit) {
      result.outputTooLarge = killed = true;
      result.output.resize(request.outputLimit);
    }
  }
  if (killed) ::kill(-pid, SIGKILL);

  int status = 0;
  pid_t waited;
  while ((waited = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
  }
  if (waited < 0) {
    result.startError = errno;  // reaped elsewhere: how it ended is unknown
    return result;
  }
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

StartedProcess StartProcess(const ProcessRequest& request, int standardInput, int standardError) {
  StartedProcess started;
  auto [output, outputEnd] = Pipe();
  started.pid =
      output.IsOpen() ? Spawn(request, standardInput, outputEnd.Get(), standardError) : -1;
  if (started.pid < 0) {
    started.startError = errno;
    return started;
  }
  started.output = std::move(output);
  started.ended = EndOf(started.pid);
  return started;
}

bool AwaitProcess(StartedProcess& process, std::chrono::steady_clock::time_point deadline) {
  if (process.pid < 0) return true;
  for (;;) {
    int status = 0;
    const pid_t waited = ::waitpid(process.pid, &status, WNOHANG);
    if (waited < 0 && errno == EINTR) continue;
    if (waited != 0) break;  // reaped, or reaped elsewhere
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    // Without a pidfd, it is looked at again every 10 ms.
    pollfd end = {process.ended.Get(), POLLIN, 0};
    const long long wait = process.ended.IsOpen() ? left : std::min<long long>(left, 10);
    ::poll(&end, process.ended.IsOpen() ? 1 : 0,
           static_cast<int>(std::min<long long>(wait, 1 << 30)));
  }
  process.ended.Close();
  process.output.Close();
  process.pid = -1;
  return true;
}

int ReplaceProcess(const std::string& program, char* const arguments[]) {
  file_system::Exec(program.c_str(), arguments);
  return errno;
}

}  // namespace startgarten::platform
