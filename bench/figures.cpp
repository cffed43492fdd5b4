#include "bench/figures.h"

#include <cstdio>
#include <optional>
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

std::string Count(double count, const char* one, const char* many) {
  char text[48];
  std::snprintf(text, sizeof text, "%.0f %s", count, count == 1 ? one : many);
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

// "2 flushes 7.10 ms + 1 directory flush 0.20 ms + 1 rename 3.80 ms": the waits for the disk in
// one iteration of a writing benchmark, of the operation or, with the prefix "floor_", of its
// floor.
std::string DiskWaits(const Median& median, const std::string& prefix = "") {
  const auto counter = [&](const char* name) { return median.counters.at(prefix + name); };
  return Count(counter("flushes"), "flush", "flushes") + " " + Duration(counter("flush_s")) +
         " + " + Count(counter("dir_flushes"), "directory flush", "directory flushes") + " " +
         Duration(counter("dir_flush_s")) + " + " + Count(counter("renames"), "rename", "renames") +
         " " + Duration(counter("rename_s"));
}

// An operation measured in turns with its floor (RunAgainstFloor): the medians of its time, of
// the floor's and of the ratio of the two in each run, against the largest ratio the target
// allows; for writing, with the waits for the disk on both sides.
void PrintAgainstFloor(std::ostream& out, const MedianReporter& medians, const std::string& label,
                       const std::string& name, double target, bool withDiskWaits) {
  const std::optional<Median> measured = medians.Find(name);
  if (!measured) return PrintMissing(out, label);
  const double ratio = measured->counters.at("ratio");
  char line[160];
  std::snprintf(line, sizeof line, "  %-22s %11s   floor %11s   %5.2fx   target <= %.2fx   %s",
                label.c_str(), Duration(measured->seconds).c_str(),
                Duration(measured->counters.at("floor_s")).c_str(), ratio, target,
                Verdict(ratio <= target));
  out << line;
  if (withDiskWaits) {
    out << "   (" << DiskWaits(*measured) << "; floor " << DiskWaits(*measured, "floor_") << ")";
  }
  out << "\n";
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
    PrintAgainstFloor(out, medians, "ReadText, " + SizeName(size), RunName("ReadText", size), 2.0,
                      false);
  }
}

void PrintWriting(std::ostream& out, const MedianReporter& medians) {
  out << "Writing\n";
  PrintAgainstFloor(out, medians, "Schreiben, sample", "Schreiben/sample", 1.3, true);
  if (const std::optional<Median> schreiben = medians.Find("Schreiben/sample")) {
    // The three new versions and the record, each flushed; the directories of the new versions
    // before the record takes its name and again once they are in place.
    const double flushes = schreiben->counters.at("flushes");
    const double directoryFlushes = schreiben->counters.at("dir_flushes");
    out << "  " << std::string(22, ' ') << " " << flushes << " file flushes (target <= 4), "
        << directoryFlushes
        << " directory flushes (target <= 4): " << Verdict(flushes <= 4 && directoryFlushes <= 4)
        << "\n";
  }
  for (const int64_t size : kFileSizes) {
    PrintAgainstFloor(out, medians, "WriteText, " + SizeName(size), RunName("WriteText", size), 1.5,
                      true);
  }
}

void PrintImageDrives(std::ostream& out, const MedianReporter& medians) {
  out << "Image drives (the floor: one mtype of the boot file and of each picture)\n";
  for (const auto& [label, argument] : {std::pair{"floppy", "1"}, {"512 MiB FAT32", "0"}}) {
    const std::string reading = std::string("Auslesen/image/") + argument;
    PrintAgainstFloor(out, medians, std::string("start reads, ") + label, reading, 1.5, false);
    const std::string writing = std::string("Schreiben/image/") + argument;
    const std::optional<Median> schreiben = medians.Find(writing);
    if (!schreiben) {
      PrintMissing(out, std::string("Schreiben, ") + label);
      continue;
    }
    char line[200];
    std::snprintf(line, sizeof line, "  %-22s %11s   %.0f programs of mtools (reading: %.0f)\n",
                  (std::string("Schreiben, ") + label).c_str(),
                  Duration(schreiben->seconds).c_str(), schreiben->counters.at("programs"),
                  medians.Find(reading) ? medians.Find(reading)->counters.at("programs") : 0.0);
    out << line;
  }
}

// A figure on the qcow2 image against its floor: the same on the raw disk, and the export's own
// start and end; against the target when there is one.
void PrintAgainstRawAndExport(std::ostream& out, const MedianReporter& medians,
                              const std::string& label, const std::string& name,
                              const std::string& raw, const std::string& exported,
                              std::optional<double> target) {
  const std::optional<Median> measured = medians.Find(name);
  const std::optional<Median> rawMeasured = medians.Find(raw);
  const std::optional<Median> exportMeasured = medians.Find(exported);
  if (!measured || !rawMeasured || !exportMeasured) return PrintMissing(out, label);
  const double floor = rawMeasured->seconds + exportMeasured->seconds;
  const double ratio = measured->seconds / floor;
  char line[240];
  std::snprintf(line, sizeof line, "  %-22s %11s   floor %11s   %5.2fx", label.c_str(),
                Duration(measured->seconds).c_str(), Duration(floor).c_str(), ratio);
  out << line;
  if (target) {
    std::snprintf(line, sizeof line, "   target <= %.2fx   %s", *target, Verdict(ratio <= *target));
    out << line;
  }
  std::snprintf(line, sizeof line, "   (raw %s + export %s; %.0f programs of mtools)\n",
                Duration(rawMeasured->seconds).c_str(), Duration(exportMeasured->seconds).c_str(),
                measured->counters.at("programs"));
  out << line;
}

void PrintQcow2Drive(std::ostream& out, const MedianReporter& medians) {
  out << "qcow2 image of the 512 MiB FAT32 disk (the floor: the same on the raw disk, and the "
         "export's own start and end)\n";
  PrintAgainstRawAndExport(out, medians, "start reads, qcow2", "Auslesen/image/qcow2",
                           "Auslesen/image/0", "Export/qcow2/0", 1.5);
  PrintAgainstRawAndExport(out, medians, "Schreiben, qcow2", "Schreiben/image/2",
                           "Schreiben/image/0", "Export/qcow2/1", std::nullopt);
}

void PrintBitmapReader(std::ostream& out, const MedianReporter& medians) {
  out << "Bitmap reader\n";
  const struct {
    const char* label;
    const char* name;
    double pixels;
  } pictures[] = {{"320 x 400, 8 bits", "DecodeBitmap/320/400/8", 320 * 400},
                  {"1024 x 768, 24 bits", "DecodeBitmap/1024/768/24", 1024 * 768}};
  for (const auto& picture : pictures) {
    const std::optional<Median> decode = medians.Find(picture.name);
    if (!decode) {
      PrintMissing(out, picture.label);
      continue;
    }
    char line[160];
    std::snprintf(line, sizeof line, "  %-22s %11s   %.0f million pixels per second\n",
                  picture.label, Duration(decode->seconds).c_str(),
                  picture.pixels / decode->seconds / 1e6);
    out << line;
  }
}

}  // namespace

void PrintFigures(const MedianReporter& medians, std::ostream& out) {
  out << "\nFigures (medians; a floor is the cheapest way to do the same job, run in turns with "
         "the operation)\n";
  PrintReading(out, medians);
  PrintWriting(out, medians);
  PrintImageDrives(out, medians);
  PrintQcow2Drive(out, medians);
  PrintBitmapReader(out, medians);
}

}  // namespace startgarten::bench
