// Image drives: what one program of mtools costs, and reading and replacing c:\msdos.sys through
// the image volume, on a 1.44 MB floppy and on a 512 MiB FAT32 partition. Each benchmark reports
// the mtools programs it ran per iteration ("calls").
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "platform/image_volume.h"
#include "platform/mtools.h"
#include "platform/process.h"
#include "support/disk_images.h"

namespace startgarten::bench {

namespace {

namespace fs = std::filesystem;
using platform::ImageVolume;

constexpr uint32_t kProtected = 0x27;

// The two images, made once in a directory of their own (removed at the end) with the sample
// drive's files on them.
struct BenchImages {
  BenchImages() {
    const fs::path sample = fs::path(STARTGARTEN_SOURCE_DIR) / "examples" / "drive_c";
    fs::create_directories(directory);
    images = {{0, test_support::MakeFloppy(directory / "floppy.img")},
              {1, test_support::MakePartitionedDisk(directory / "fat32.img", 512, 32, 0x0C)}};
    for (const auto& [kind, image] : images) {
      test_support::PutFiles(
          image,
          {{"MSDOS.SYS", test_support::ReadHostBytes(sample / "MSDOS.SYS"), "+r +h +s"},
           {"AUTOEXEC.BAT", test_support::ReadHostBytes(sample / "AUTOEXEC.BAT"), ""},
           {"WINDOWS/LOGOS.SYS", test_support::ReadHostBytes(sample / "WINDOWS" / "LOGOS.SYS"), ""},
           {"WINDOWS/LOGOW.SYS", test_support::ReadHostBytes(sample / "WINDOWS" / "LOGOW.SYS"),
            ""}});
    }
  }
  ~BenchImages() { fs::remove_all(directory); }

  fs::path directory =
      fs::temp_directory_path() / ("startgarten-image-bench-" + std::to_string(::getpid()));
  std::map<int, test_support::DiskImage> images;
};

const test_support::DiskImage& Image(int kind) {
  static const BenchImages made;
  return made.images.at(kind);
}

void SetLabel(benchmark::State& state) {
  state.SetLabel(state.range(0) == 0 ? "1.44 MB floppy" : "512 MiB FAT32 partition");
}

void CallsPerIteration(benchmark::State& state, unsigned long calls) {
  state.counters["calls"] =
      benchmark::Counter(static_cast<double>(calls), benchmark::Counter::kAvgIterations);
}

// Starting a program that does nothing: the part of every mtools call that is process start.
void StartTrue(benchmark::State& state) {
  platform::ProcessRequest request;
  request.program = "/bin/true";
  request.arguments = {"true"};
  for (auto _ : state) benchmark::DoNotOptimize(platform::RunProcess(request).exitCode);
}
BENCHMARK(StartTrue)->Name("process start/true")->Unit(benchmark::kMillisecond);

// One bare mtools program, the floor of each read: mtype of the boot file.
void BareMtype(benchmark::State& state) {
  const test_support::DiskImage& image = Image(state.range(0));
  const int fd = ::open(image.path.c_str(), O_RDONLY | O_CLOEXEC);
  const platform::Mtools mtools(fd, image.volumeOffset);
  for (auto _ : state) {
    if (mtools.Run("mtype", {"::/MSDOS.SYS"}).error) state.SkipWithError("mtype failed");
  }
  CallsPerIteration(state, mtools.Calls());
  SetLabel(state);
  ::close(fd);
}
BENCHMARK(BareMtype)->Name("mtools/mtype msdos.sys")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Opening the image (recognition) and reading the boot file, as a command does the first time.
void OpenAndRead(benchmark::State& state) {
  const test_support::DiskImage& image = Image(state.range(0));
  unsigned long calls = 0;
  for (auto _ : state) {
    ImageVolume volume(image.path);
    if (volume.Read("msdos.sys", 1 << 20).error) state.SkipWithError("read failed");
    calls += volume.MtoolsCalls();
  }
  CallsPerIteration(state, calls);
  SetLabel(state);
}
BENCHMARK(OpenAndRead)
    ->Name("image/open, read msdos.sys")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

// The same with the attributes first, as the start of the program asks for them: one listing of
// the root more.
void OpenFindAndRead(benchmark::State& state) {
  const test_support::DiskImage& image = Image(state.range(0));
  unsigned long calls = 0;
  for (auto _ : state) {
    ImageVolume volume(image.path);
    if (volume.Find("msdos.sys").entry.attributes != kProtected) state.SkipWithError("find");
    if (volume.Read("msdos.sys", 1 << 20).error) state.SkipWithError("read failed");
    calls += volume.MtoolsCalls();
  }
  CallsPerIteration(state, calls);
  SetLabel(state);
}
BENCHMARK(OpenFindAndRead)
    ->Name("image/open, attributes, read msdos.sys")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

// Reading the boot file and both pictures, as Auslesen does, against three bare mtype calls.
void ReadBootFileAndPictures(benchmark::State& state) {
  const test_support::DiskImage& image = Image(state.range(0));
  unsigned long calls = 0;
  for (auto _ : state) {
    ImageVolume volume(image.path);
    for (const char* path : {"MSDOS.SYS", "WINDOWS\\LOGOW.SYS", "WINDOWS\\LOGOS.SYS"}) {
      if (volume.Read(path, 64 << 20).error) state.SkipWithError(path);
    }
    calls += volume.MtoolsCalls();
  }
  CallsPerIteration(state, calls);
  SetLabel(state);
}
BENCHMARK(ReadBootFileAndPictures)
    ->Name("image/read msdos.sys and both pictures")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

void BareMtypeThree(benchmark::State& state) {
  const test_support::DiskImage& image = Image(state.range(0));
  const int fd = ::open(image.path.c_str(), O_RDONLY | O_CLOEXEC);
  const platform::Mtools mtools(fd, image.volumeOffset);
  for (auto _ : state) {
    for (const char* path : {"::/MSDOS.SYS", "::/WINDOWS/LOGOW.SYS", "::/WINDOWS/LOGOS.SYS"}) {
      if (mtools.Run("mtype", {path}, {}, 64 << 20).error) state.SkipWithError(path);
    }
  }
  CallsPerIteration(state, mtools.Calls());
  SetLabel(state);
  ::close(fd);
}
BENCHMARK(BareMtypeThree)
    ->Name("mtools/mtype msdos.sys and both pictures")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

// Replacing the boot file crash-safely: the temporary file with its attributes, then the swap,
// each flushed; the old content is kept for an undo.
void ReplaceBootFile(benchmark::State& state) {
  const test_support::DiskImage& image = Image(state.range(0));
  ImageVolume volume(image.path);
  volume.Lock();
  const std::string content = test_support::ReadHostBytes(fs::path(STARTGARTEN_SOURCE_DIR) /
                                                          "examples" / "drive_c" / "MSDOS.SYS");
  const unsigned long before = volume.MtoolsCalls();
  for (auto _ : state) {
    const platform::TemporaryFile temporary = volume.WriteTemporary("", 0, content, kProtected);
    platform::ImageReplacement replacement;
    if (temporary.error || volume.Replace("", temporary.name, "MSDOS.SYS", replacement)) {
      state.SkipWithError("replace failed");
    }
  }
  CallsPerIteration(state, volume.MtoolsCalls() - before);
  SetLabel(state);
}
BENCHMARK(ReplaceBootFile)
    ->Name("image/replace msdos.sys")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace startgarten::bench
