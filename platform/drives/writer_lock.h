#pragma once

#include <chrono>
#include <string_view>

#include "platform/system/descriptor.h"

// The lock that one writer of a drive holds at a time: an exclusive flock of the drive's folder or
// image file, which every Startgarten takes before it writes (and any other program may take, as
// flock(1) does). No wait for it is endless: another holder is waited for a few seconds, and then
// named. A file system without locks at all (flock answers ENOLCK, EOPNOTSUPP or ENOSYS, as some
// 9p, NFS and FUSE mounts do) gets a lock of this machine instead: a lock file in /run/lock named
// by the drive's device and inode, which every user's Startgarten on this machine takes alike.
namespace startgarten::platform {

// Takes the lock through fd, an opening of the drive's folder or image file of the caller's own,
// which holds the lock for as long as it stays open. Returns the machine's lock file where it
// stands in for the file system's lock, to be kept open as long as fd; else an empty descriptor.
// Throws Error naming the drive by driveName (code page 1252): kDriveLocked with the holder when
// the wait has ended, kDriveCannotLock with the reason when the lock cannot be taken at all.
Descriptor TakeWriterLock(int fd, std::string_view driveName);

// Throws kDriveCannotLock for the drive, with the errno value's text as the reason: for an
// opening of the drive that failed before the lock could be asked for.
[[noreturn]] void RefuseWriterLock(std::string_view driveName, int error);

// How long TakeWriterLock waits for another holder: five seconds unless set otherwise.
std::chrono::milliseconds WriterLockWait();
void SetWriterLockWait(std::chrono::milliseconds wait);

}  // namespace startgarten::platform
