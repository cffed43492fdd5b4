#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/statfs.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>

// Every operation of the platform layer that opens, reads, lists, writes, flushes, closes, renames,
// removes, creates a folder, locks a file, reads or changes its attributes, asks which file system
// holds it, or starts a program. (What does not go through here: status queries by stat and
// statx, the process's own /proc files, and the pipes, process descriptors and files in memory
// with which a program is run; see ARCHITECTURE.md.) The program links
// the real implementation; the tests link one that can make any single operation fail, and the
// benchmarks one that counts and times them. Each behaves like the system call of its name: -1 and
// errno on failure.
namespace startgarten::platform::file_system {

// open(2) of a host path (a drive's root, a disk image).
int Open(const char* path, int flags);
// openat2(2): path below the directory, resolved with the RESOLVE_* flags in resolve.
int OpenBeneath(int directory, const char* path, int flags, mode_t mode, uint64_t resolve);
ssize_t Read(int fd, void* buffer, size_t size);
// pread(2): the disk layout's sectors, a file copied from its descriptor.
ssize_t ReadAt(int fd, void* buffer, size_t size, off_t offset);
// getdents64(2): the next entries of an open directory, as struct dirent64 records.
ssize_t ReadDirectory(int fd, void* buffer, size_t size);
ssize_t Write(int fd, const void* data, size_t size);
int Fsync(int fd);
// syncfs(2): everything the file system that holds the file has not yet written, written to its
// disk (on FAT without the disk's cache flushed, which an Fsync after it does).
int Syncfs(int fd);
// The descriptor is released even when closing reports an error.
int Close(int fd);
// renameat2(2), e.g. with RENAME_EXCHANGE or RENAME_NOREPLACE.
int RenameAt(int fromDirectory, const char* from, int toDirectory, const char* to, unsigned flags);
// linkat(2) without following links: a second name for a file, where the file system has them.
int LinkAt(int fromDirectory, const char* from, int toDirectory, const char* to);
int UnlinkAt(int directory, const char* name);
int Fchmod(int fd, mode_t mode);
int Fchown(int fd, uid_t owner, gid_t group);
ssize_t Fgetxattr(int fd, const char* name, void* value, size_t size);
ssize_t Flistxattr(int fd, char* names, size_t size);
int Fsetxattr(int fd, const char* name, const void* value, size_t size);
// fstatfs(2): which file system holds the file (a FAT mount keeps attributes of its own).
int Fstatfs(int fd, struct statfs* status);
// FAT_IOCTL_GET_ATTRIBUTES and FAT_IOCTL_SET_ATTRIBUTES on a FAT mount.
int GetFatAttributes(int fd, uint32_t* attributes);
int SetFatAttributes(int fd, uint32_t attributes);
// flock(2).
int Flock(int fd, int operation);
// fcntl(2) with F_OFD_SETLK or F_OFD_GETLK: a lock on a range of bytes held by the open file
// description, as QEMU locks its images.
int RangeLock(int fd, int command, struct flock* range);
// mkdirat(2), and unlinkat(2) with AT_REMOVEDIR: the program's folders of its own (the list of
// recent drives, the exports of disk images).
int MakeDirectoryAt(int directory, const char* name, mode_t mode);
int RemoveDirectoryAt(int directory, const char* name);
// umount2(2) with MNT_DETACH, for an export whose server is gone.
int Unmount(const char* path);
// posix_spawn(3), which starts the programs of mtools: 0 or an errno value.
int Spawn(pid_t* pid, const char* program, const posix_spawn_file_actions_t* actions,
          const posix_spawnattr_t* attributes, char* const arguments[], char* const environment[]);
// execv(3), which hands the process over to the window's program: returns only on failure.
int Exec(const char* program, char* const arguments[]);

}  // namespace startgarten::platform::file_system
