// The file system operations that do not wait for the disk or start a program, as the program
// and the benchmarks run them.
#include "platform/system/file_system.h"

#include "platform/system/system_calls.h"

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

ssize_t ReadAt(int fd, void* buffer, size_t size, off_t offset) {
  return system_calls::ReadAt(fd, buffer, size, offset);
}

ssize_t ReadDirectory(int fd, void* buffer, size_t size) {
  return system_calls::ReadDirectory(fd, buffer, size);
}

ssize_t Write(int fd, const void* data, size_t size) {
  return system_calls::Write(fd, data, size);
}

int Close(int fd) {
  return system_calls::Close(fd);
}

int LinkAt(int fromDirectory, const char* from, int toDirectory, const char* to) {
  return system_calls::LinkAt(fromDirectory, from, toDirectory, to);
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

ssize_t Fgetxattr(int fd, const char* name, void* value, size_t size) {
  return system_calls::Fgetxattr(fd, name, value, size);
}

ssize_t Flistxattr(int fd, char* names, size_t size) {
  return system_calls::Flistxattr(fd, names, size);
}

int Fsetxattr(int fd, const char* name, const void* value, size_t size) {
  return system_calls::Fsetxattr(fd, name, value, size);
}

int Fstatfs(int fd, struct statfs* status) {
  return system_calls::Fstatfs(fd, status);
}

int GetFatAttributes(int fd, uint32_t* attributes) {
  return system_calls::GetFatAttributes(fd, attributes);
}

int SetFatAttributes(int fd, uint32_t attributes) {
  return system_calls::SetFatAttributes(fd, attributes);
}

int Flock(int fd, int operation) {
  return system_calls::Flock(fd, operation);
}

int RangeLock(int fd, int command, struct flock* range) {
  return system_calls::RangeLock(fd, command, range);
}

int MakeDirectoryAt(int directory, const char* name, mode_t mode) {
  return system_calls::MakeDirectoryAt(directory, name, mode);
}

int RemoveDirectoryAt(int directory, const char* name) {
  return system_calls::RemoveDirectoryAt(directory, name);
}

int Unmount(const char* path) {
  return system_calls::Unmount(path);
}

}  // namespace startgarten::platform::file_system
