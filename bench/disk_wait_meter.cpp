#include "bench/disk_wait_meter.h"

#include <sys/stat.h>

#include <chrono>

#include "platform/file_system.h"
#include "platform/system_calls.h"

namespace startgarten::bench {

namespace {

DiskWaits flushes;
DiskWaits directoryFlushes;
DiskWaits renames;
uint64_t programs = 0;

template <typename Call>
int Timed(DiskWaits& waits, Call call) {
  const auto start = std::chrono::steady_clock::now();
  const int result = call();
  ++waits.count;
  waits.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return result;
}

}  // namespace

DiskWaits FlushesSoFar() {
  return flushes;
}

DiskWaits DirectoryFlushesSoFar() {
  return directoryFlushes;
}

DiskWaits RenamesSoFar() {
  return renames;
}

uint64_t ProgramsSoFar() {
  return programs;
}

}  // namespace startgarten::bench

// The benchmarks' file system operations: the system calls, with flushes and renames measured.
namespace startgarten::platform::file_system {

int Open(const char* path, int flags) {
  return system_calls::Open(path, flags);
}

int OpenBeneath(int directory, const char* path, int flags, mode_t mode, uint64_t resolve) {
  return system_calls::OpenBeneath(directory, path, flags, mode, resolve);
}

ssize_t Read(int fd, void* buffer, size_t size) {
  return system_calls::Read(fd, buffer, size);
}

ssize_t Write(int fd, const void* data, size_t size) {
  return system_calls::Write(fd, data, size);
}

int Fsync(int fd) {
  struct stat status;
  const bool directory = ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
  return bench::Timed(directory ? bench::directoryFlushes : bench::flushes,
                      [&] { return system_calls::Fsync(fd); });
}

int Close(int fd) {
  return system_calls::Close(fd);
}

int RenameAt(int fromDirectory, const char* from, int toDirectory, const char* to,
             unsigned flags) {
  return bench::Timed(bench::renames, [&] {
    return system_calls::RenameAt(fromDirectory, from, toDirectory, to, flags);
  });
}

int UnlinkAt(int directory, const char* name) {
  return system_calls::UnlinkAt(directory, name);
}

int Fchmod(int fd, mode_t mode) {
  return system_calls::Fchmod(fd, mode);
}

int Fchown(int fd, uid_t owner, gid_t group) {
  return system_calls::Fchown(fd, owner, group);
}

int Fsetxattr(int fd, const char* name, const void* value, size_t size) {
  return system_calls::Fsetxattr(fd, name, value, size);
}

int SetFatAttributes(int fd, uint32_t attributes) {
  return system_calls::SetFatAttributes(fd, attributes);
}

int Flock(int fd, int operation) {
  return system_calls::Flock(fd, operation);
}

int Spawn(pid_t* pid, const char* program, const posix_spawn_file_actions_t* actions,
          const posix_spawnattr_t* attributes, char* const arguments[],
          char* const environment[]) {
  ++bench::programs;
  return system_calls::Spawn(pid, program, actions, attributes, arguments, environment);
}

}  // namespace startgarten::platform::file_system
