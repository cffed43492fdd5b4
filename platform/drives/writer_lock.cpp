#include "platform/drives/writer_lock.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <optional>
#include <thread>

#include "platform/drives/file_holders.h"
#include "platform/system/file_system.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"
#include "platform/windows/windows_error.h"

namespace startgarten::platform {

namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds lockWait = std::chrono::seconds(5);

// Where the machine's lock files lie: one folder for every process of the machine, in which every
// user may create files and none may remove another's (sticky).
constexpr const char* kMachineLockFolder = "/run/lock";

// flock's answers on a file system that has no locks at all.
bool LocksUnsupported(int error) {
  return error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS;
}

// One attempt to take a lock without waiting: 0, else -1 with errno (EWOULDBLOCK: held).
using LockAttempt = std::function<int()>;

// Attempts the lock until it is taken, it fails otherwise than by another holder, or the wait has
// ended: 0, else the errno value (EWOULDBLOCK: still held). Polled, as a wait in flock itself
// could not be ended.
int AwaitLock(const LockAttempt& attempt) {
  const Clock::time_point deadline = Clock::now() + lockWait;
  std::chrono::milliseconds pause(1);
  for (;;) {
    if (attempt() == 0) return 0;
    if (errno != EWOULDBLOCK) return errno;
    const Clock::time_point now = Clock::now();
    if (now >= deadline) return EWOULDBLOCK;
    std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::milliseconds(50));
  }
}

// The machine's lock file for a file, opened for reading and writing (a lock of an open file
// description that excludes others needs both); none, with the errno value in error, when it
// cannot be. It is made when missing, open to every user, as it holds no bytes and only its lock
// counts, and never removed: a lock file removed while another process waits on it would let two
// writers in.
Descriptor OpenMachineLock(const struct stat& file, int& error) {
  char name[80];
  std::snprintf(name, sizeof name, "startgarten-%x-%x-%lu.lock", ::major(file.st_dev),
                ::minor(file.st_dev), static_cast<unsigned long>(file.st_ino));
  const Descriptor folder(file_system::Open(kMachineLockFolder, O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!folder.IsOpen()) {
    error = errno;
    return {};
  }
  error = EEXIST;  // while another process makes it between the two openings below
  constexpr int kFlags = O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  constexpr uint64_t kResolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS;
  // Made only while it is missing: in a sticky folder, an opening with O_CREAT of another user's
  // file may be refused (protected_regular).
  for (int attempt = 0; attempt < 3 && error == EEXIST; ++attempt) {
    Descriptor lock(file_system::OpenBeneath(folder.Get(), name, kFlags, 0, kResolve));
    if (!lock.IsOpen() && errno == ENOENT) {
      lock = Descriptor(
          file_system::OpenBeneath(folder.Get(), name, kFlags | O_CREAT | O_EXCL, 0666, kResolve));
      // Past the umask, for other users' Startgartens; without it only they are refused.
      if (lock.IsOpen()) file_system::Fchmod(lock.Get(), 0666);
    }
    struct stat status;
    error = !lock.IsOpen()                      ? errno
            : ::fstat(lock.Get(), &status) != 0 ? errno
            : !S_ISREG(status.st_mode)          ? EACCES  // a FIFO or device put in its place
                                                : 0;
    if (error == 0) return lock;
  }
  return {};
}

int LockWholeFile(int fd) {
  struct flock whole = {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  if (file_system::RangeLock(fd, F_OFD_SETLK, &whole) == 0) return 0;
  if (errno == EAGAIN || errno == EACCES) errno = EWOULDBLOCK;
  return -1;
}

// Says why AwaitLock ended with error, as an Error: another holder, named where /proc shows it
// (fd is the locked file), or the reason. Returns when the holder let go just now, and the lock is
// taken.
void ExplainFailure(int error, const LockAttempt& attempt, int fd, std::string_view driveName) {
  if (error != EWOULDBLOCK) RefuseWriterLock(driveName, error);
  struct stat file;
  const std::optional<FileHolder> holder =
      ::fstat(fd, &file) == 0 ? FindLockHolder(file) : std::nullopt;
  if (!holder && attempt() == 0) return;
  const std::string named =
      holder && !holder->program.empty()
          ? FormatMessageText(messages::kLockHolder, holder->program, std::to_string(holder->pid))
          : std::string(messages::kLockHolderUnseen);
  throw Error(FormatMessageText(messages::kDriveLocked, {driveName, named}));
}

}  // namespace

Descriptor TakeWriterLock(int fd, std::string_view driveName) {
  const LockAttempt flockOfFile = [fd] { return file_system::Flock(fd, LOCK_EX | LOCK_NB); };
  const int error = AwaitLock(flockOfFile);
  if (error == 0) return {};
  if (!LocksUnsupported(error)) {
    ExplainFailure(error, flockOfFile, fd, driveName);
    return {};
  }
  struct stat file;
  if (::fstat(fd, &file) != 0) RefuseWriterLock(driveName, errno);
  int openError = 0;
  Descriptor machineLock = OpenMachineLock(file, openError);
  if (!machineLock.IsOpen()) RefuseWriterLock(driveName, openError);
  const int lock = machineLock.Get();
  const LockAttempt lockOfMachine = [lock] { return LockWholeFile(lock); };
  const int machineError = AwaitLock(lockOfMachine);
  if (machineError != 0) ExplainFailure(machineError, lockOfMachine, lock, driveName);
  return machineLock;
}

void RefuseWriterLock(std::string_view driveName, int error) {
  const std::string reason = SystemErrorText(WindowsErrorFromErrno(error));
  throw Error(FormatMessageText(messages::kDriveCannotLock, {driveName, reason}));
}

std::chrono::milliseconds WriterLockWait() {
  return lockWait;
}

void SetWriterLockWait(std::chrono::milliseconds wait) {
  lockWait = wait;
}

}  // namespace startgarten::platform
