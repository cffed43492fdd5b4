#include "support/file_system_faults.h"

#include <csignal>

#include <atomic>

#include "platform/system/file_system.h"
#include "platform/system/system_calls.h"

namespace startgarten::test_support {

namespace {

FaultPlan faultPlan;
// Counted from every thread that runs a file operation (a test may read while another writes).
std::atomic<unsigned long> operationsPerformed = 0;
std::atomic<unsigned long> flushesPerformed = 0;
std::function<void(const std::vector<std::string>&)> spawnHook;
bool inSpawnHook = false;

// Counts the operation (with onlyFlushes, a flush also among the flushes), ends the process where
// the plan says so, and tells whether the plan makes it fail (errno is then set).
bool Fails(bool flush = false) {
  const unsigned long number = ++operationsPerformed;
  if (number == faultPlan.killAt) ::raise(SIGKILL);
  const unsigned long counted = !faultPlan.onlyFlushes ? number : flush ? ++flushesPerformed : 0;
  if (faultPlan.failAt == 0 || counted < faultPlan.failAt ||
      counted - faultPlan.failAt >= faultPlan.failCount) {
    return false;
  }
  errno = faultPlan.error;
  return true;
}

// Shows the arguments of a program about to start to the hook.
void ShowSpawn(char* const arguments[]) {
  if (!spawnHook || inSpawnHook) return;
  std::vector<std::string> shown;
  for (char* const* argument = arguments; *argument; ++argument) shown.emplace_back(*argument);
  inSpawnHook = true;
  spawnHook(shown);
  inSpawnHook = false;
}

// Fails a call that the modelled file system does not have, with the errno value it answers.
bool Lacks(bool lacking, int error) {
  if (lacking) errno = error;
  return lacking;
}

}  // namespace

void SetFaultPlan(FaultPlan plan) {
  faultPlan = plan;
  operationsPerformed = 0;
  flushesPerformed = 0;
}

unsigned long OperationsPerformed() {
  return operationsPerformed;
}

void SetSpawnHook(std::function<void(const std::vector<std::string>& arguments)> hook) {
  spawnHook = std::move(hook);
}

}  // namespace startgarten::test_support

namespace startgarten::platform::file_system {

using test_support::Fails;
using test_support::faultPlan;
using test_support::Lacks;
using test_support::ShowSpawn;

// Each operation that the plan makes fail returns -1 with its errno; every other is the system
// call of its name.
#define FAILING(Result, Name, Parameters, Arguments)    \
  Result Name Parameters {                              \
    return Fails() ? -1 : system_calls::Name Arguments; \
  }

FAILING(int, Open, (const char* path, int flags), (path, flags))
FAILING(int, OpenBeneath,
        (int directory, const char* path, int flags, mode_t mode, uint64_t resolve),
        (directory, path, flags, mode, resolve))
FAILING(ssize_t, Read, (int fd, void* buffer, size_t size), (fd, buffer, size))
FAILING(ssize_t, ReadAt, (int fd, void* buffer, size_t size, off_t offset),
        (fd, buffer, size, offset))
FAILING(ssize_t, ReadDirectory, (int fd, void* buffer, size_t size), (fd, buffer, size))
FAILING(ssize_t, Write, (int fd, const void* data, size_t size), (fd, data, size))
FAILING(int, UnlinkAt, (int directory, const char* name), (directory, name))
FAILING(int, Fchmod, (int fd, mode_t mode), (fd, mode))
FAILING(int, Fchown, (int fd, uid_t owner, gid_t group), (fd, owner, group))
FAILING(ssize_t, Fgetxattr, (int fd, const char* name, void* value, size_t size),
        (fd, name, value, size))
FAILING(ssize_t, Flistxattr, (int fd, char* names, size_t size), (fd, names, size))
FAILING(int, Fsetxattr, (int fd, const char* name, const void* value, size_t size),
        (fd, name, value, size))
FAILING(int, Fstatfs, (int fd, struct statfs* status), (fd, status))
FAILING(int, GetFatAttributes, (int fd, uint32_t* attributes), (fd, attributes))
FAILING(int, SetFatAttributes, (int fd, uint32_t attributes), (fd, attributes))
FAILING(int, RangeLock, (int fd, int command, struct flock* range), (fd, command, range))
FAILING(int, MakeDirectoryAt, (int directory, const char* name, mode_t mode),
        (directory, name, mode))
FAILING(int, RemoveDirectoryAt, (int directory, const char* name), (directory, name))
FAILING(int, Unmount, (const char* path), (path))
FAILING(int, Exec, (const char* program, char* const arguments[]), (program, arguments))

#undef FAILING

int Fsync(int fd) {
  return Fails(true) ? -1 : system_calls::Fsync(fd);
}

int Syncfs(int fd) {
  return Fails(true) ? -1 : system_calls::Syncfs(fd);
}

// The descriptor is released whether or not the close is made to fail.
int Close(int fd) {
  const bool fails = Fails();
  const int error = errno;
  const int result = system_calls::Close(fd);
  if (!fails) return result;
  errno = error;
  return -1;
}

int RenameAt(int fromDirectory, const char* from, int toDirectory, const char* to, unsigned flags) {
  if (Fails() || Lacks(flags != 0 && faultPlan.noRenameFlags, EINVAL) ||
      Lacks(flags != 0 && faultPlan.refusedRenameFlags, EPERM)) {
    return -1;
  }
  return system_calls::RenameAt(fromDirectory, from, toDirectory, to, flags);
}

int LinkAt(int fromDirectory, const char* from, int toDirectory, const char* to) {
  if (Fails() || Lacks(faultPlan.noLinks, EPERM)) return -1;
  return system_calls::LinkAt(fromDirectory, from, toDirectory, to);
}

int Flock(int fd, int operation) {
  if (Fails() || Lacks(faultPlan.noLocks, ENOLCK)) return -1;
  return system_calls::Flock(fd, operation);
}

// A program that fails to start gives the errno value, as posix_spawn does.
int Spawn(pid_t* pid, const char* program, const posix_spawn_file_actions_t* actions,
          const posix_spawnattr_t* attributes, char* const arguments[], char* const environment[]) {
  ShowSpawn(arguments);
  if (Fails()) return errno;
  return system_calls::Spawn(pid, program, actions, attributes, arguments, environment);
}

}  // namespace startgarten::platform::file_system
