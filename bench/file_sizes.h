#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

namespace startgarten::bench {

// The INI file sizes the profile benchmarks run on. The largest is the most the platform reads
// as a profile file (16 MiB, the limit included); one byte more and every read gives the default.
inline constexpr int64_t kFileSizes[] = {1 << 10, 64 << 10, 1 << 20, 16 << 20};

inline void ForEachFileSize(benchmark::internal::Benchmark* benchmark) {
  for (const int64_t size : kFileSizes) benchmark->Arg(size);
}

}  // namespace startgarten::bench
