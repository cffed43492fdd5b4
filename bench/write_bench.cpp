// Writing: Schreiben with the start scripts on the sample drive against writing its three files
// and a record of them crash-safely, and one WriteText of the last key of INI files of growing size
// against the cheapest way to store the file: writing a copy of it in place and flushing it once,
// which is not crash safe.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/form_controls.h"
#include "bench/bench_drive.h"
#include "bench/file_sizes.h"
#include "bench/measured_calls.h"
#include "bench/null_message_boxes.h"
#include "bench/profile_files.h"
#include "bootfile/boot_options.h"
#include "bootfile/ini_file.h"
#include "interlocks/interlocks.h"
#include "platform/dos/write_record.h"
#include "platform/drives/temporary_names.h"
#include "platform/system/file_system.h"

namespace startgarten::bench {

namespace {

// The files the write command writes on the sample drive, by their place on the drive.
constexpr const char* kWrittenFiles[] = {"WINDOWS/start.bat", "AUTOEXEC.BAT", "MSDOS.SYS"};

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
  // Through the benchmarks' file system, so that the flush is counted like the operation's.
  const bool flushed = done == bytes.size() && platform::file_system::Fsync(fd) == 0;
  return ::close(fd) == 0 && flushed;
}

// Puts the bytes in place of the file crash-safely: written beside it, flushed and renamed over
// it; the directory is flushed by the caller.
bool ReplaceSafely(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::path beside = path;
  beside += ".floor";
  return WriteAndFlush(beside, bytes) &&
         platform::file_system::RenameAt(AT_FDCWD, beside.c_str(), AT_FDCWD, path.c_str(), 0) == 0;
}

bool FlushDirectory(const std::filesystem::path& directory) {
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const bool flushed = fd >= 0 && platform::file_system::Fsync(fd) == 0;
  return ::close(fd) == 0 && flushed;
}

// Schreiben against a floor that writes the same three files and a record of them (as large as
// the write command's) crash-safely, each written, flushed and renamed, then their two
// directories flushed: the least that leaves the three all old or all new across a crash. The
// window changes nothing between writes, so every write gives the same bytes.
void WriteSampleDrive(benchmark::State& state) {
  static const BenchDrive drive;
  drive.Select();
  FormControls form;
  ConnectInterlockRules(form.Options());
  NullMessageBoxes boxes;
  ReadBootOptions(form.Options(), boxes);
  WriteBootOptions(form.Options(), boxes);
  std::vector<std::pair<std::filesystem::path, std::string>> written;
  for (const char* file : kWrittenFiles) {
    std::ifstream in(drive.Host(file), std::ios::binary);
    written.emplace_back(drive.Host(file), std::string(std::istreambuf_iterator<char>(in), {}));
  }
  // The record under a name of its own, which the write command does not take for one.
  std::vector<platform::RecordedFile> recorded;
  for (size_t i = 0; i < written.size(); ++i) {
    const std::string& bytes = written[i].second;
    recorded.push_back({'c', kWrittenFiles[i], platform::TemporaryName(i), bytes.size(),
                        platform::Fingerprint(bytes), 0x27});
  }
  written.emplace(written.begin(), drive.Host("SGRECORD.FLR"),
                  platform::FormatWriteRecord(recorded));
  RunAgainstFloor(
      state, [&] { WriteBootOptions(form.Options(), boxes); },
      [&] {
        bool done = true;
        for (const auto& [path, bytes] : written) done = done && ReplaceSafely(path, bytes);
        done = done && FlushDirectory(drive.Host("WINDOWS")) && FlushDirectory(drive.Host(""));
        if (!done) state.SkipWithError("the floor could not write the files");
      });
  if (boxes.shown) state.SkipWithError("a message box came up");
}
BENCHMARK(WriteSampleDrive)
    ->Name("Schreiben/sample")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

const BenchDrive& WriteDrive() {
  static const BenchDrive drive;
  return drive;
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
