#include "bench/median_reporter.h"

namespace startgarten::bench {

namespace {

std::string NameOf(const benchmark::BenchmarkReporter::Run& run) {
  const std::string& args = run.run_name.args;
  return run.run_name.function_name + (args.empty() ? "" : "/" + args);
}

Median MedianOf(const benchmark::BenchmarkReporter::Run& run) {
  Median median{run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit), {}};
  for (const auto& [name, counter] : run.counters) median.counters[name] = counter.value;
  return median;
}

}  // namespace

void MedianReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    if (run.error_occurred) continue;
    if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
      medians_[NameOf(run)] = MedianOf(run);
    } else if (run.run_type == Run::RT_Iteration) {
      singleRuns_[NameOf(run)] = MedianOf(run);
    }
  }
}

std::optional<Median> MedianReporter::Find(const std::string& name) const {
  if (const auto median = medians_.find(name); median != medians_.end()) return median->second;
  if (const auto single = singleRuns_.find(name); single != singleRuns_.end()) {
    return single->second;
  }
  return std::nullopt;
}

}  // namespace startgarten::bench
