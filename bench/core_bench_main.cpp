// The core benchmarks, then their figures beside floors and targets.
#include <benchmark/benchmark.h>

#include <iostream>

#include "bench/figures.h"
#include "bench/median_reporter.h"

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  startgarten::bench::MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  startgarten::bench::PrintFigures(reporter, std::cout);
  benchmark::Shutdown();
  return 0;
}
