#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace startgarten::bench {

// One benchmark's median over its repetitions: the wall time of one iteration and its counters.
struct Median {
  double seconds = 0;
  std::map<std::string, double> counters;
};

// Shows the runs on the console as usual and keeps each benchmark's median, so that the figures
// can be compared with their floors after the run.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override;

  // By the benchmark's name and argument, "ReadText/1024". A single run counts as its own median;
  // none when the benchmark failed or did not run.
  std::optional<Median> Find(const std::string& name) const;

 private:
  std::map<std::string, Median> medians_;
  std::map<std::string, Median> singleRuns_;
};

}  // namespace startgarten::bench
