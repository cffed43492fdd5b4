#include "support/file_system_faults.h"

#include <csignal>

#include <atomic>

#include "platform/file_system.h"
#include "platform/system_calls.h"

namespace startgarten::test_support {

namespace {

FaultPlan faultPlan;
// Counted from every thread that runs a file operation (a test may read while another writes).
std::atomic<unsigned long> operationsPerformed = 0;
std::function<void(const std::vector<std::string>&)> spawnHook;
bool inSpawnHook = false;

// Counts the operation, ends the process where the plan says so, and tells whether the plan makes
// it fail (errno is then set).
bool Fails() {
  const unsigned long number = ++operationsPerformed;
  if (number == faultPlan.killAt) ::raise(SIGKILL);
  if (faultPlan.failAt == 0 || number < faultPlan.failAt ||
      number - faultPlan.failAt >= faultPlan.failCount) {
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

int Open(const char* path, int flags) {
  return Fails() ? -1 : system_calls::Open(path, flags);
}

int OpenBeneath(int directory, const char* path, int flags, mode_t mode, uint64_t resolve) {
  return Fails() ? -1 : system_calls::OpenBeneath(directory, path, flags, mode, resolve);
}

ssize_t Read(int fd, void* buffer, size_t size) {
  return Fails() ? -1 : system_calls::Read(fd, buffer, size);
}

ssize_t ReadAt(int fd, void* buffer, size_t size, off_t offset) {
  return Fails() ? -1 : system_calls::ReadAt(fd, buffer, size, offset);
}

ssize_t ReadDirectory(int fd, void* buffer, size_t size) {
  return Fails() ? -1 : system_calls::ReadDirectory(fd, buffer, size);
}

ssize_t Write(int fd, const void* data, size_t size) {
  return Fails() ? -1 : system_calls::Write(fd, data, size);
}

int Fsync(int fd) {
  return Fails() ? -1 : system_calls::Fsync(fd);
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
  if (Fails() || Lacks(flags != 0 && faultPlan.noRenameFlags, EINVAL)) return -1;
  return system_calls::RenameAt(fromDirectory, from, toDirectory, to, flags);
}

int LinkAt(int fromDirectory, const char* from, int toDirectory, const char* to) {
  if (Fails() || Lacks(faultPlan.noLinks, EPERM)) return -1;
  return system_calls::LinkAt(fromDirectory, from, toDirectory, to);
}

int UnlinkAt(int directory, const char* name) {
  return Fails() ? -1 : system_calls::UnlinkAt(directory, name);
}

int MkdirAt(int directory, const char* name, mode_t mode) {
  return Fails() ? -1 : system_calls::MkdirAt(directory, name, mode);
}

int Fchmod(int fd, mode_t mode) {
  return Fails() ? -1 : system_calls::Fchmod(fd, mode);
}

int Fchown(int fd, uid_t owner, gid_t group) {
  return Fails() ? -1 : system_calls::Fchown(fd, owner, group);
}

ssize_t Fgetxattr(int fd, const char* name, void* value, size_t size) {
  return Fails() ? -1 : system_calls::Fgetxattr(fd, name, value, size);
}

ssize_t Flistxattr(int fd, char* names, size_t size) {
  return Fails() ? -1 : system_calls::Flistxattr(fd, names, size);
}

int Fsetxattr(int fd, const char* name, const void* value, size_t size) {
  return Fails() ? -1 : system_calls::Fsetxattr(fd, name, value, size);
}

int Fstatfs(int fd, struct statfs* status) {
  return Fails() ? -1 : system_calls::Fstatfs(fd, status);
}

int GetFatAttributes(int fd, uint32_t* attributes) {
  return Fails() ? -1 : system_calls::GetFatAttributes(fd, attributes);
}

int SetFatAttributes(int fd, uint32_t attributes) {
  return Fails() ? -1 : system_calls::SetFatAttributes(fd, attributes);
}

int Flock(int fd, int operation) {
  return Fails() ? -1 : system_calls::Flock(fd, operation);
}

int RangeLock(int fd, int command, struct flock* range) {
  return Fails() ? -1 : system_calls::RangeLock(fd, command, range);
}

int MakeDirectoryAt(int directory, const char* name, mode_t mode) {
  return Fails() ? -1 : system_calls::MakeDirectoryAt(directory, name, mode);
}

int RemoveDirectoryAt(int directory, const char* name) {
  return Fails() ? -1 : system_calls::RemoveDirectoryAt(directory, name);
}

int Unmount(const char* path) {
  return Fails() ? -1 : system_calls::Unmount(path);
}

int Spawn(pid_t* pid, const char* program, const posix_spawn_file_actions_t* actions,
          const posix_spawnattr_t* attributes, char* const arguments[], char* const environment[]) {
  ShowSpawn(arguments);
  if (Fails()) return errno;
  return system_calls::Spawn(pid, program, actions, attributes, arguments, environment);
}

int Exec(const char* program, char* const arguments[]) {
  return Fails() ? -1 : system_calls::Exec(program, arguments);
}

}  // namespace startgarten::platform::file_system
