#pragma once

#include <functional>
#include <string>
#include <vector>

// The tests' file system: every operation of the code under test goes through it to the real
// system calls, counted, and any of them can be made to fail, or to end the process.
namespace startgarten::test_support {

// The counter of operations starts again from zero with each plan; operations are counted from 1.
struct FaultPlan {
  // The operations failAt to failAt + failCount - 1 fail with the errno value error without
  // being carried out (with onlyFlushes, counted among the flushes alone). failAt 0 makes none
  // fail.
  unsigned long failAt = 0;
  int error = 0;
  unsigned long failCount = 1;
  bool onlyFlushes = false;
  // The process kills itself with SIGKILL in place of the operation of this number (0: never), as
  // a crash or a power cut at that moment would leave the files.
  unsigned long killAt = 0;
  // What some file systems lack: renameat2 with flags answers EINVAL, as on FUSE, NFS and CIFS;
  // link answers EPERM, as on FAT; flock answers ENOLCK, as on some 9p, NFS and FUSE mounts.
  // What a file refuses now: renameat2 with flags answers EPERM, as for an immutable file.
  bool noRenameFlags = false;
  bool refusedRenameFlags = false;
  bool noLinks = false;
  bool noLocks = false;
};
void SetFaultPlan(FaultPlan plan);

// The number of operations attempted since the last SetFaultPlan.
unsigned long OperationsPerformed();

// Runs hook with the arguments of each program that the code under test starts, before it
// starts (none: no hook). Programs the hook starts itself are not shown to it.
void SetSpawnHook(std::function<void(const std::vector<std::string>& arguments)> hook);

}  // namespace startgarten::test_support
