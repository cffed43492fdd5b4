// The file system operations that wait for the disk or start a program, as the program runs them
// (the benchmarks measure their own).
#include "platform/system/file_system.h"

#include "platform/system/system_calls.h"

namespace startgarten::platform::file_system {

int Fsync(int fd) {
  return system_calls::Fsync(fd);
}

int Syncfs(int fd) {
  return system_calls::Syncfs(fd);
}

int RenameAt(int fromDirectory, const char* from, int toDirectory, const char* to, unsigned flags) {
  return system_calls::RenameAt(fromDirectory, from, toDirectory, to, flags);
}

int Spawn(pid_t* pid, const char* program, const posix_spawn_file_actions_t* actions,
          const posix_spawnattr_t* attributes, char* const arguments[], char* const environment[]) {
  return system_calls::Spawn(pid, program, actions, attributes, arguments, environment);
}

int Exec(const char* program, char* const arguments[]) {
  return system_calls::Exec(program, arguments);
}

}  // namespace startgarten::platform::file_system
