#pragma once

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

// The number of runs that the program's one argument asks for, 21 without it; 0, after a usage
// line on standard error, when it is not a positive number.
inline int RunsAsked(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 21;
  if (runs < 1) std::fprintf(stderr, "usage: %s [runs]\n", argv[0]);
  return runs < 1 ? 0 : runs;
}

}  // namespace startgarten::bench
