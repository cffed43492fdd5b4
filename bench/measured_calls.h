#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "bench/disk_wait_meter.h"

namespace startgarten::bench {

// What the calls of one side of a benchmark spent: their time and their waits for the disk.
struct Spent {
  double seconds = 0;
  DiskWaits flushes;
  DiskWaits directoryFlushes;
  DiskWaits renames;
};

inline void AddSince(DiskWaits& spent, const DiskWaits& then, const DiskWaits& now) {
  spent.count += now.count - then.count;
  spent.seconds += now.seconds - then.seconds;
}

// Runs call once, adds what it spent to spent and returns its time.
template <typename Call>
double Measure(Spent& spent, Call& call) {
  const DiskWaits flushes = FlushesSoFar();
  const DiskWaits directoryFlushes = DirectoryFlushesSoFar();
  const DiskWaits renames = RenamesSoFar();
  const auto start = std::chrono::steady_clock::now();
  call();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  spent.seconds += seconds;
  AddSince(spent.flushes, flushes, FlushesSoFar());
  AddSince(spent.directoryFlushes, directoryFlushes, DirectoryFlushesSoFar());
  AddSince(spent.renames, renames, RenamesSoFar());
  return seconds;
}

// The waits for the disk per iteration as counters: flushes, flush_s (of files), dir_flushes,
// dir_flush_s, renames, rename_s, each name after prefix.
inline void ReportDiskWaits(benchmark::State& state, const Spent& spent,
                            const std::string& prefix = "") {
  const auto perIteration = [&](double value) {
    return benchmark::Counter(value, benchmark::Counter::kAvgIterations);
  };
  state.counters[prefix + "flushes"] = perIteration(static_cast<double>(spent.flushes.count));
  state.counters[prefix + "flush_s"] = perIteration(spent.flushes.seconds);
  state.counters[prefix + "dir_flushes"] =
      perIteration(static_cast<double>(spent.directoryFlushes.count));
  state.counters[prefix + "dir_flush_s"] = perIteration(spent.directoryFlushes.seconds);
  state.counters[prefix + "renames"] = perIteration(static_cast<double>(spent.renames.count));
  state.counters[prefix + "rename_s"] = perIteration(spent.renames.seconds);
}

// Runs an operation and its floor in turns, each going first in every other iteration, so that
// both meet the machine and the disk in the same state: on a shared machine, and on a virtual
// disk whose flushes take 0.3 ms one minute and 4 ms the next, runs made apart compare different
// moments. The benchmark's time is the operation's (register it with UseManualTime); the
// floor's time per iteration goes to the counter floor_s, the ratio of the two to ratio, and the
// waits for the disk of both sides to the counters of ReportDiskWaits, the floor's as floor_*.
template <typename Operation, typename Floor>
void RunAgainstFloor(benchmark::State& state, Operation operation, Floor floor) {
  Spent operationSpent;
  Spent floorSpent;
  bool operationFirst = true;
  for (auto _ : state) {
    double seconds;
    if (operationFirst) {
      seconds = Measure(operationSpent, operation);
      Measure(floorSpent, floor);
    } else {
      Measure(floorSpent, floor);
      seconds = Measure(operationSpent, operation);
    }
    operationFirst = !operationFirst;
    state.SetIterationTime(seconds);
  }
  state.counters["floor_s"] =
      benchmark::Counter(floorSpent.seconds, benchmark::Counter::kAvgIterations);
  state.counters["ratio"] = operationSpent.seconds / floorSpent.seconds;
  ReportDiskWaits(state, operationSpent);
  ReportDiskWaits(state, floorSpent, "floor_");
}

}  // namespace startgarten::bench
