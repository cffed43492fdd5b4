// Writing: Schreiben with the start scripts on the sample drive, and one WriteText of the last key
// of INI files of growing size against the cheapest way to store the file: writing a copy of it
// in place and flushing it once, which is not crash safe.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "bench/bench_drive.h"
#include "bench/file_sizes.h"
#include "bench/flush_meter.h"
#include "bench/null_message_boxes.h"
#include "bench/profile_files.h"
#include "bootfile/boot_options.h"
#include "bootfile/ini_file.h"
#include "interlocks/interlocks.h"

namespace startgarten::bench {

namespace {

// The flushes of the timed loop, per iteration, beside the time.
class FlushCounters {
 public:
  FlushCounters() : start_(FlushesSoFar()) {}
  void Report(benchmark::State& state) const {
    const FlushTotals end = FlushesSoFar();
    state.counters["flushes"] = benchmark::Counter(static_cast<double>(end.count - start_.count),
                                                   benchmark::Counter::kAvgIterations);
    state.counters["flush_s"] =
        benchmark::Counter(end.seconds - start_.seconds, benchmark::Counter::kAvgIterations);
  }

 private:
  FlushTotals start_;
};

void Schreiben(benchmark::State& state) {
  static const BenchDrive drive;
  drive.Select();
  FormControls form;
  WireInterlocks(form);
  NullMessageBoxes boxes;
  startgarten::Auslesen(form, boxes);
  const FlushCounters flushes;
  for (auto _ : state) startgarten::Schreiben(form, boxes);
  flushes.Report(state);
  if (boxes.shown) state.SkipWithError("a message box came up");
}
BENCHMARK(Schreiben)->Name("Schreiben/sample")->Unit(benchmark::kMillisecond);

const BenchDrive& WriteDrive() {
  static const BenchDrive drive;
  return drive;
}

void WriteText(benchmark::State& state) {
  const BenchDrive& drive = WriteDrive();
  drive.Select();
  const TIniFile ini(ProfileFileOfSize(drive, state.range(0)).dosPath);
  bool one = false;
  const FlushCounters flushes;
  for (auto _ : state) {
    // A value of the same length each time keeps the file at its size.
    one = !one;
    ini.WriteText(kLastSection, kLastKey, one ? "1" : "0");
  }
  flushes.Report(state);
}
BENCHMARK(WriteText)->Apply(ForEachFileSize)->Unit(benchmark::kMicrosecond);

void WriteFloor(benchmark::State& state) {
  const ProfileFile file = ProfileFileOfSize(WriteDrive(), state.range(0));
  std::ifstream in(file.hostPath, std::ios::binary);
  const std::string bytes(std::istreambuf_iterator<char>(in), {});
  std::filesystem::path copy = file.hostPath;
  copy += ".copy";
  const FlushCounters flushes;
  for (auto _ : state) {
    const int fd = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    size_t done = 0;
    for (ssize_t n;
         done < bytes.size() && (n = ::write(fd, bytes.data() + done, bytes.size() - done)) > 0;) {
      done += n;
    }
    if (fd < 0 || done != bytes.size() || ::fsync(fd) != 0) state.SkipWithError("write failed");
    ::close(fd);
  }
  flushes.Report(state);
}
BENCHMARK(WriteFloor)->Apply(ForEachFileSize)->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace startgarten::bench
