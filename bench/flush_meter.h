#pragma once

#include <cstdint>

// Counts and times the flushes of the process. The benchmark executable is linked with
// --wrap=fsync, so every fsync(2) of the platform layer passes through here first.
namespace startgarten::bench {

struct FlushTotals {
  uint64_t count = 0;
  double seconds = 0;
};

FlushTotals FlushesSoFar();

}  // namespace startgarten::bench
