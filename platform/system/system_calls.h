#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <linux/openat2.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

// The system calls behind the file system operations, shared by every implementation of them:
// descriptors are opened close-on-exec, and a call that a signal interrupted is repeated.
namespace startgarten::platform::system_calls {

template <typename Call>
auto Retrying(Call call) {
  decltype(call()) result;
  do {
    result = call();
  } while (result == -1 && errno == EINTR);
  return result;
}

inline int Open(const char* path, int flags) {
  return Retrying([&] { return ::open(path, flags | O_CLOEXEC); });
}

inline int OpenBeneath(int directory, const char* path, int flags, mode_t mode, uint64_t resolve) {
  open_how how{};
  how.flags = static_cast<uint64_t>(flags | O_CLOEXEC);
  how.mode = (flags & O_CREAT) ? mode : 0;
  how.resolve = resolve;
  return Retrying(
      [&] { return static_cast<int>(::syscall(SYS_openat2, directory, path, &how, sizeof how)); });
}

inline ssize_t Read(int fd, void* buffer, size_t size) {
  return Retrying([&] { return ::read(fd, buffer, size); });
}

inline ssize_t ReadAt(int fd, void* buffer, size_t size, off_t offset) {
  return Retrying([&] { return ::pread(fd, buffer, size, offset); });
}

inline ssize_t ReadDirectory(int fd, void* buffer, size_t size) {
  return Retrying([&] { return ::getdents64(fd, buffer, size); });
}

inline ssize_t Write(int fd, const void* data, size_t size) {
  return Retrying([&] { return ::write(fd, data, size); });
}

inline int Fsync(int fd) {
  return Retrying([&] { return ::fsync(fd); });
}

inline int Syncfs(int fd) {
  return Retrying([&] { return ::syncfs(fd); });
}

inline int Close(int fd) {
  return ::close(fd);
}

inline int RenameAt(int fromDirectory, const char* from, int toDirectory, const char* to,
                    unsigned flags) {
  return ::renameat2(fromDirectory, from, toDirectory, to, flags);
}

inline int LinkAt(int fromDirectory, const char* from, int toDirectory, const char* to) {
  return ::linkat(fromDirectory, from, toDirectory, to, 0);
}

inline int UnlinkAt(int directory, const char* name) {
  return ::unlinkat(directory, name, 0);
}

inline int Fchmod(int fd, mode_t mode) {
  return ::fchmod(fd, mode);
}

inline int Fchown(int fd, uid_t owner, gid_t group) {
  return ::fchown(fd, owner, group);
}

inline ssize_t Fgetxattr(int fd, const char* name, void* value, size_t size) {
  return ::fgetxattr(fd, name, value, size);
}

inline ssize_t Flistxattr(int fd, char* names, size_t size) {
  return ::flistxattr(fd, names, size);
}

inline int Fsetxattr(int fd, const char* name, const void* value, size_t size) {
  return ::fsetxattr(fd, name, value, size, 0);
}

inline int Fstatfs(int fd, struct statfs* status) {
  return Retrying([&] { return ::fstatfs(fd, status); });
}

inline int GetFatAttributes(int fd, uint32_t* attributes) {
  return Retrying([&] { return ::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, attributes); });
}

inline int SetFatAttributes(int fd, uint32_t attributes) {
  return Retrying([&] { return ::ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &attributes); });
}

inline int Flock(int fd, int operation) {
  return Retrying([&] { return ::flock(fd, operation); });
}

inline int RangeLock(int fd, int command, struct flock* range) {
  return Retrying([&] { return ::fcntl(fd, command, range); });
}

inline int MakeDirectoryAt(int directory, const char* name, mode_t mode) {
  return ::mkdirat(directory, name, mode);
}

inline int RemoveDirectoryAt(int directory, const char* name) {
  return ::unlinkat(directory, name, AT_REMOVEDIR);
}

inline int Unmount(const char* path) {
  return ::umount2(path, MNT_DETACH);
}

inline int Spawn(pid_t* pid, const char* program, const posix_spawn_file_actions_t* actions,
                 const posix_spawnattr_t* attributes, char* const arguments[],
                 char* const environment[]) {
  return ::posix_spawn(pid, program, actions, attributes, arguments, environment);
}

inline int Exec(const char* program, char* const arguments[]) {
  return ::execv(program, arguments);
}

}  // namespace startgarten::platform::system_calls
