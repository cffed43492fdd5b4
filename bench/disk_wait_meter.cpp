#include "bench/disk_wait_meter.h"

#include <chrono>

namespace {

startgarten::bench::DiskWaits flushes;
startgarten::bench::DiskWaits renames;

template <typename Call>
int Timed(startgarten::bench::DiskWaits& waits, Call call) {
  const auto start = std::chrono::steady_clock::now();
  const int result = call();
  ++waits.count;
  waits.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return result;
}

}  // namespace

extern "C" int __real_fsync(int fd);
extern "C" int __real_renameat2(int fromDir, const char* from, int toDir, const char* to,
                                unsigned flags);

extern "C" int __wrap_fsync(int fd) {
  return Timed(flushes, [&] { return __real_fsync(fd); });
}

extern "C" int __wrap_renameat2(int fromDir, const char* from, int toDir, const char* to,
                                unsigned flags) {
  return Timed(renames, [&] { return __real_renameat2(fromDir, from, toDir, to, flags); });
}

namespace startgarten::bench {

DiskWaits FlushesSoFar() {
  return flushes;
}

DiskWaits RenamesSoFar() {
  return renames;
}

}  // namespace startgarten::bench
