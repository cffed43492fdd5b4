#include "platform/drives/image/orphaned_daemon.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <csignal>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <climits>
#include <optional>
#include <string>

#include "platform/drives/file_holders.h"
#include "platform/system/descriptor.h"

// /proc and the pid file are read with the system calls themselves: they are looked at, never
// changed, and a part that cannot be read only leaves the daemon running.
namespace startgarten::platform {

namespace {

// How long the daemon is given to end, after SIGTERM and again after SIGKILL.
constexpr std::chrono::milliseconds kEndWait(10000);

// A small file, up to its first 64 KiB; empty when it cannot be read (a process that is gone).
std::string ReadSmallFile(int directory, const char* name) {
  const Descriptor fd =
      Descriptor::Direct(::openat(directory, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  std::string text;
  char buffer[4096];
  for (ssize_t got;
       fd.IsOpen() && text.size() < 65536 && (got = ::read(fd.Get(), buffer, sizeof buffer)) > 0;) {
    text.append(buffer, static_cast<size_t>(got));
  }
  return text;
}

std::string ReadProcessFile(pid_t pid, const char* name) {
  return ReadSmallFile(AT_FDCWD, ("/proc/" + std::to_string(pid) + "/" + name).c_str());
}

std::optional<pid_t> ProcessId(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
  pid_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value <= 0) {
    return std::nullopt;
  }
  return value;
}

// A process, with a descriptor of it (a pidfd) that keeps naming that process when it has ended
// and its id has been taken by another.
struct Process {
  pid_t pid = 0;
  Descriptor descriptor;
};

// Whether the process runs qemu-storage-daemon, by its executable, with mountpoint in one of its
// arguments.
bool IsDaemonOf(pid_t pid, std::string_view mountpoint) {
  char target[PATH_MAX];
  const std::string link = "/proc/" + std::to_string(pid) + "/exe";
  const ssize_t length = ::readlink(link.c_str(), target, sizeof target);
  std::string_view program(target, static_cast<size_t>(std::clamp<ssize_t>(length, 0, PATH_MAX)));
  if (program.ends_with(" (deleted)")) program.remove_suffix(10);  // QEMU was updated since
  if (!program.ends_with("/qemu-storage-daemon")) return false;
  const std::string arguments = ReadProcessFile(pid, "cmdline");
  for (std::string_view rest = arguments; !rest.empty();) {
    const std::string_view argument = rest.substr(0, rest.find('\0'));
    rest.remove_prefix(std::min(argument.size() + 1, rest.size()));
    const size_t at = argument.find(mountpoint);
    // The option ends at the argument's end or at the comma before the next one.
    if (at != std::string_view::npos &&
        (at + mountpoint.size() == argument.size() || argument[at + mountpoint.size()] == ',')) {
      return true;
    }
  }
  return false;
}

// The process that the pid file names, when it is verifiably the export's daemon. An id taken by
// another process since is refused by the test; one taken between the test and a signal is not
// reached, as the descriptor names the process that was tested.
Process ExportDaemon(int folder, const char* pidFile, std::string_view mountpoint) {
  const std::optional<pid_t> pid = ProcessId(ReadSmallFile(folder, pidFile));
  if (!pid) return {};
  Process daemon{*pid, Descriptor::Direct(static_cast<int>(::syscall(SYS_pidfd_open, *pid, 0)))};
  if (!daemon.descriptor.IsOpen() || !IsDaemonOf(daemon.pid, mountpoint)) return {};
  return daemon;
}

// The parent of a process, by /proc/PID/stat: "PID (NAME) STATE PPID ...", whose name may hold
// spaces and parentheses.
std::optional<pid_t> ParentOf(pid_t pid) {
  const std::string stat = ReadProcessFile(pid, "stat");
  const size_t afterName = stat.rfind(") ");
  if (afterName == std::string::npos) return std::nullopt;
  const std::string_view fields = std::string_view(stat).substr(afterName + 2);
  const size_t start = std::min(fields.find(' ') + 1, fields.size());
  return ProcessId(fields.substr(start, fields.find(' ', start) - start));
}

}  // namespace

bool EndOrphanedDaemon(int folder, const char* pidFile, std::string_view mountpoint,
                       std::string_view keeperScript) {
  const Process daemon = ExportDaemon(folder, pidFile, mountpoint);
  if (!daemon.descriptor.IsOpen()) return false;
  // A keeper that lives ends the daemon itself, once the export's last user lets go.
  const std::optional<pid_t> parent = ParentOf(daemon.pid);
  if (parent && ReadProcessFile(*parent, "cmdline").find(keeperScript) != std::string::npos) {
    return false;
  }
  struct stat status;
  if (::fstat(folder, &status) != 0) return false;
  for (const FileOpening& opening : FindOpenings(status)) {
    if (opening.pid != daemon.pid) return false;  // the owner, or a program working through it
  }
  for (const int signal : {SIGTERM, SIGKILL}) {
    ::syscall(SYS_pidfd_send_signal, daemon.descriptor.Get(), signal, nullptr, 0);
    pollfd ended = {daemon.descriptor.Get(), POLLIN, 0};
    if (::poll(&ended, 1, static_cast<int>(kEndWait.count())) == 1) return true;
  }
  return false;
}

}  // namespace startgarten::platform
