#include "bench/flush_meter.h"

#include <chrono>

namespace {
startgarten::bench::FlushTotals totals;
}

extern "C" int __real_fsync(int fd);

extern "C" int __wrap_fsync(int fd) {
  const auto start = std::chrono::steady_clock::now();
  const int result = __real_fsync(fd);
  ++totals.count;
  totals.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return result;
}

namespace startgarten::bench {

FlushTotals FlushesSoFar() {
  return totals;
}

}  // namespace startgarten::bench
