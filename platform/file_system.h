#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>

// The low-level file operations of the platform layer. Every call that opens, reads, writes,
// flushes, renames, removes a file or changes its attributes goes through here, so that tests can
// make any single one of them fail and check that no failure loses or half-writes a file.
// Each function behaves like the system call of its name: -1 and errno on failure.
namespace startgarten::platform::file_system {

int Open(const std::filesystem::path& path, int flags, mode_t mode = 0);
ssize_t Read(int fd, void* buffer, size_t size);
ssize_t Write(int fd, const void* data, size_t size);
int Fsync(int fd);
// The descriptor is released even when closing reports an error.
int Close(int fd);
// renameat2(2) flags, e.g. RENAME_NOREPLACE.
int Rename(const std::filesystem::path& from, const std::filesystem::path& to, unsigned flags);
int Unlink(const std::filesystem::path& path);
int Fchmod(int fd, mode_t mode);
int Fchown(int fd, uid_t owner, gid_t group);
int Fsetxattr(int fd, const char* name, const void* value, size_t size);
int Fremovexattr(int fd, const char* name);
// FAT_IOCTL_SET_ATTRIBUTES on a FAT mount.
int SetFatAttributes(int fd, uint32_t attributes);

// Test hook: the counter of operations starts again from zero, and the operation with the number
// failAt (counted from 1) fails with the errno value error without being carried out. failAt 0
// makes no operation fail.
struct FaultPlan {
  unsigned long failAt = 0;
  int error = 0;
};
void SetFaultPlan(FaultPlan plan);
// The number of operations attempted since the last SetFaultPlan.
unsigned long OperationsPerformed();

}  // namespace startgarten::platform::file_system
