#include "bench/disk_wait_meter.h"

#include <sys/stat.h>

#include <chrono>

#include "platform/system/file_system.h"
#include "platform/system/system_calls.h"

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

// The file system operations that wait for the disk, measured, and the starts of programs,
// counted; the others are the program's own.
namespace startgarten::platform::file_system {

int Fsync(int fd) {
  struct stat status;
  const bool directory = ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
  return bench::Timed(directory ? bench::directoryFlushes : bench::flushes,
                      [&] { return system_calls::Fsync(fd); });
}

// A whole file system's writing counts among the flushes of directories: it stands in for them
// where a directory's flush does not reach the renamed files' entries (FAT).
int Syncfs(int fd) {
  return bench::Timed(bench::directoryFlushes, [&] { return system_calls::Syncfs(fd); });
}

int RenameAt(int fromDirectory, const char* from, int toDirectory, const char* to, unsigned flags) {
  return bench::Timed(bench::renames, [&] {
    return system_calls::RenameAt(fromDirectory, from, toDirectory, to, flags);
  });
}

int Spawn(pid_t* pid, const char* program, const posix_spawn_file_actions_t* actions,
          const posix_spawnattr_t* attributes, char* const arguments[], char* const environment[]) {
  ++bench::programs;
  return system_calls::Spawn(pid, program, actions, attributes, arguments, environment);
}

int Exec(const char* program, char* const arguments[]) {
  ++bench::programs;
  return system_calls::Exec(program, arguments);
}

}  // namespace startgarten::platform::file_system
