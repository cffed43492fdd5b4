#pragma once

#include <ostream>

#include "bench/median_reporter.h"

namespace startgarten::bench {

// The figures of the core benchmarks side by side with their floors and targets.
void PrintFigures(const MedianReporter& medians, std::ostream& out);

}  // namespace startgarten::bench
