#pragma once

#include <cstdint>

// Counts and times the two steps of a safe file replacement that wait for the disk: the flushes
// and the renames (a rename that replaces a file frees the old one's blocks, which on a journaling
// file system can wait for a commit). The benchmark executable is linked with --wrap=fsync and
// --wrap=renameat2, so every such call of the platform layer passes through here first.
namespace startgarten::bench {

struct DiskWaits {
  uint64_t count = 0;
  double seconds = 0;
};

DiskWaits FlushesSoFar();
DiskWaits RenamesSoFar();

}  // namespace startgarten::bench
