// Writing: Schreiben with the start scripts on the sample drive, and one WriteText of the last key
// of INI files of growing size against the cheapest way to store the file: writing a copy of it
// in place and flushing it once, which is not crash safe.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

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

void WriteSampleDrive(benchmark::State& state) {
  static const BenchDrive drive;
  drive.Select();
  FormControls form;
  ConnectInterlockRules(form);
  NullMessageBoxes boxes;
  ReadBootOptions(form, boxes);
  Spent spent;
  const auto schreiben = [&] { WriteBootOptions(form, boxes); };
  for (auto _ : state) Measure(spent, schreiben);
  ReportDiskWaits(state, spent);
  if (boxes.shown) state.SkipWithError("a message box came up");
}
BENCHMARK(WriteSampleDrive)->Name("Schreiben/sample")->Unit(benchmark::kMillisecond);

const BenchDrive& WriteDrive() {
  static const BenchDrive drive;
  return drive;
}

// The bytes written to a copy of the file in place and flushed once: the cheapest way to store
// them, and not crash safe.
bool WriteAndFlush(const std::filesystem::path& copy, std::string_view bytes) {
  const int fd = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  for (ssize_t n;
       done < bytes.size() && (n = ::write(fd, bytes.data() + done, bytes.size() - done)) > 0;) {
    done += n;
  }
  const bool flushed = done == bytes.size() && ::fsync(fd) == 0;
  return ::close(fd) == 0 && flushed;
}

void WriteText(benchmark::State& state) {
  const BenchDrive& drive = WriteDrive();
  drive.Select();
  const ProfileFile file = ProfileFileOfSize(drive, state.range(0));
  const TIniFile ini(file.dosPath);
  std::ifstream in(file.hostPath, std::ios::binary);
  const std::string bytes(std::istreambuf_iterator<char>(in), {});
  std::filesystem::path copy = file.hostPath;
  copy += ".copy";
  bool one = false;
  RunAgainstFloor(
      state,
      [&] {
        // A value of the same length each time keeps the file at its size.
        one = !one;
        ini.WriteText(kLastSection, kLastKey, one ? "1" : "0");
      },
      [&] {
        if (!WriteAndFlush(copy, bytes)) state.SkipWithError("the floor could not write the copy");
      });
}
BENCHMARK(WriteText)->Apply(ForEachFileSize)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace startgarten::bench
