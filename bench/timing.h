#pragma once

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <vector>

// What the benchmarks that time whole processes share: the clock and the median.
namespace startgarten::bench {

inline int64_t MonotonicNanoseconds() {
  timespec now;
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace startgarten::bench
