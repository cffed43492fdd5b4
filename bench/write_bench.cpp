// Writing: Schreiben with the start scripts on the sample drive, and one WriteText of the last key
// of INI files of growing size against the cheapest way to store the file: writing a copy of it
// in place and flushing it once, which is not crash safe.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "bench/bench_drive.h"
#include "bench/disk_wait_meter.h"
#include "bench/file_sizes.h"
#include "bench/null_message_boxes.h"
#include "bench/profile_files.h"
#include "bootfile/boot_options.h"
#include "bootfile/ini_file.h"
#include "interlocks/interlocks.h"

namespace startgarten::bench {

namespace {

// The flushes and renames of the timed loop, per iteration, beside the time.
class DiskWaitCounters {
 public:
  DiskWaitCounters() : flushes_(FlushesSoFar()), renames_(RenamesSoFar()) {}

  void Report(benchmark::State& state) const {
    Report(state, "flushes", "flush_s", flushes_, FlushesSoFar());
    Report(state, "renames", "rename_s", renames_, RenamesSoFar());
  }

 private:
  static void Report(benchmark::State& state, const char* countName, const char* secondsName,
                     const DiskWaits& start, const DiskWaits& end) {
    state.counters[countName] = benchmark::Counter(static_cast<double>(end.count - start.count),
                                                   benchmark::Counter::kAvgIterations);
    state.counters[secondsName] =
        benchmark::Counter(end.seconds - start.seconds, benchmark::Counter::kAvgIterations);
  }

  DiskWaits flushes_;
  DiskWaits renames_;
};

void Schreiben(benchmark::State& state) {
  static const BenchDrive drive;
  drive.Select();
  FormControls form;
  WireInterlocks(form);
  NullMessageBoxes boxes;
  startgarten::Auslesen(form, boxes);
  const DiskWaitCounters diskWaits;
  for (auto _ : state) startgarten::Schreiben(form, boxes);
  diskWaits.Report(state);
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
  const DiskWaitCounters diskWaits;
  for (auto _ : state) {
    // A value of the same length each time keeps the file at its size.
    one = !one;
    ini.WriteText(kLastSection, kLastKey, one ? "1" : "0");
  }
  diskWaits.Report(state);
}
BENCHMARK(WriteText)->Apply(ForEachFileSize)->Unit(benchmark::kMicrosecond);

void WriteFloor(benchmark::State& state) {
  const ProfileFile file = ProfileFileOfSize(WriteDrive(), state.range(0));
  std::ifstream in(file.hostPath, std::ios::binary);
  const std::string bytes(std::istreambuf_iterator<char>(in), {});
  std::filesystem::path copy = file.hostPath;
  copy += ".copy";
  const DiskWaitCounters diskWaits;
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
  diskWaits.Report(state);
}
BENCHMARK(WriteFloor)->Apply(ForEachFileSize)->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace startgarten::bench
