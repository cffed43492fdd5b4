#include "bench/figures.h"

#include <cstdio>
#include <string>

#include "bench/file_sizes.h"
#include "bench/profile_files.h"

namespace startgarten::bench {

namespace {

std::string Duration(double seconds) {
  char text[32];
  if (seconds >= 1e-3) {
    std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
  } else {
    std::snprintf(text, sizeof text, "%.1f us", seconds * 1e6);
  }
  return text;
}

const char* Verdict(bool met) {
  return met ? "met" : "MISSED";
}

// "ReadText/1024": the name Google Benchmark gives the run with that argument.
std::string RunName(const char* function, int64_t size) {
  std::string name = function;
  name.append("/").append(std::to_string(size));
  return name;
}

void PrintMissing(std::ostream& out, const std::string& label) {
  out << "  " << label << ": not measured (failed or filtered out)\n";
}

// A figure against its floor, with the largest ratio the target allows.
void PrintAgainstFloor(std::ostream& out, const MedianReporter& medians, const std::string& label,
                       const std::string& name, const std::string& floorName, double target) {
  const std::optional<Median> measured = medians.Find(name);
  const std::optional<Median> floor = medians.Find(floorName);
  if (!measured || !floor) return PrintMissing(out, label);
  const double ratio = measured->seconds / floor->seconds;
  char line[160];
  std::snprintf(line, sizeof line, "  %-22s %11s   floor %11s   %5.2fx   target <= %.2fx   %s\n",
                label.c_str(), Duration(measured->seconds).c_str(),
                Duration(floor->seconds).c_str(), ratio, target, Verdict(ratio <= target));
  out << line;
}

void PrintReading(std::ostream& out, const MedianReporter& medians) {
  out << "Reading\n";
  constexpr double kAuslesenLimit = 1e-3;
  if (const std::optional<Median> auslesen = medians.Find("Auslesen/sample")) {
    char line[160];
    std::snprintf(line, sizeof line, "  %-22s %11s   target < %s   %s\n", "Auslesen, sample drive",
                  Duration(auslesen->seconds).c_str(), Duration(kAuslesenLimit).c_str(),
                  Verdict(auslesen->seconds < kAuslesenLimit));
    out << line;
  } else {
    PrintMissing(out, "Auslesen, sample drive");
  }
  for (const int64_t size : kFileSizes) {
    PrintAgainstFloor(out, medians, "ReadText, " + SizeName(size), RunName("ReadText", size),
                      RunName("ReadFloor", size), 2.0);
  }
}

void PrintWriting(std::ostream& out, const MedianReporter& medians) {
  out << "Writing\n";
  if (const std::optional<Median> schreiben = medians.Find("Schreiben/sample")) {
    const double flushSeconds = schreiben->counters.at("flush_s");
    char line[200];
    std::snprintf(line, sizeof line,
                  "  %-22s %11s   %.0f flushes take %s (%.0f %%), everything else %s\n",
                  "Schreiben, sample drive", Duration(schreiben->seconds).c_str(),
                  schreiben->counters.at("flushes"), Duration(flushSeconds).c_str(),
                  100 * flushSeconds / schreiben->seconds,
                  Duration(schreiben->seconds - flushSeconds).c_str());
    out << line;
  } else {
    PrintMissing(out, "Schreiben, sample drive");
  }
  for (const int64_t size : kFileSizes) {
    PrintAgainstFloor(out, medians, "WriteText, " + SizeName(size), RunName("WriteText", size),
                      RunName("WriteFloor", size), 1.5);
  }
}

}  // namespace

void PrintFigures(const MedianReporter& medians, std::ostream& out) {
  out << "\nFigures (medians; a floor is the cheapest way to do the same job, measured in this run)"
      << "\n";
  PrintReading(out, medians);
  PrintWriting(out, medians);
}

}  // namespace startgarten::bench
