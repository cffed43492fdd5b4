#pragma once

#include <cstdint>

// Counts and times the steps of a safe file replacement that wait for the disk: the flushes of
// files and of directories, and the renames (a rename that replaces a file frees the old one's
// blocks, which on a journaling file system can wait for a commit). The benchmarks link their own
// file system operations (measured_file_system.cpp), through which every such call of the
// platform layer and of the floors passes.
namespace startgarten::bench {

struct DiskWaits {
  uint64_t count = 0;
  double seconds = 0;
};

DiskWaits FlushesSoFar();
DiskWaits DirectoryFlushesSoFar();
DiskWaits RenamesSoFar();
// The programs started (those of mtools, on image drives).
uint64_t ProgramsSoFar();

}  // namespace startgarten::bench
