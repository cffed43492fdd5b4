// Reading: Auslesen on the sample drive, and one ReadText of the last key of INI files of
// growing size against the cheapest way to look at every byte of the file: reading it into
// memory and scanning it once.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "app/form_controls.h"
#include "bench/bench_drive.h"
#include "bench/file_sizes.h"
#include "bench/measured_calls.h"
#include "bench/null_message_boxes.h"
#include "bench/profile_files.h"
#include "bootfile/boot_options.h"
#include "bootfile/ini_file.h"
#include "interlocks/interlocks.h"

namespace startgarten::bench {

namespace {

const BenchDrive& ReadDrive() {
  static const BenchDrive drive;
  return drive;
}

void ReadSampleDrive(benchmark::State& state) {
  ReadDrive().Select();
  FormControls form;
  ConnectInterlockRules(form.Options());
  NullMessageBoxes boxes;
  for (auto _ : state) ReadBootOptions(form.Options(), boxes);
  if (boxes.shown) state.SkipWithError("a message box came up");
}
BENCHMARK(ReadSampleDrive)->Name("Auslesen/sample")->Unit(benchmark::kMicrosecond);

// The whole file into memory in one read, then one pass over every byte at memchr speed (the
// search for a byte the file does not hold). No mapping of the DOS path, no parsing.
bool ReadAndScan(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat status;
  if (fd < 0 || ::fstat(fd, &status) != 0) return false;
  const size_t size = static_cast<size_t>(status.st_size);
  std::unique_ptr<char[]> bytes(new char[size]);
  size_t got = 0;
  for (ssize_t n; got < size && (n = ::read(fd, bytes.get() + got, size - got)) > 0;) got += n;
  ::close(fd);
  benchmark::DoNotOptimize(std::memchr(bytes.get(), '\0', got));
  return got == size;
}

void ReadText(benchmark::State& state) {
  const BenchDrive& drive = ReadDrive();
  drive.Select();
  const ProfileFile file = ProfileFileOfSize(drive, state.range(0));
  const TIniFile ini(file.dosPath);
  RunAgainstFloor(
      state,
      [&] {
        if (ini.ReadText(kLastSection, kLastKey, "") != "0") {
          state.SkipWithError("the last key was not found");
        }
      },
      [&] {
        if (!ReadAndScan(file.hostPath)) state.SkipWithError("the floor could not read the file");
      });
}
BENCHMARK(ReadText)->Apply(ForEachFileSize)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace startgarten::bench
