// Image drives: reading at start (the boot file and both pictures, as a program start does with
// nothing kept yet) against the bare mtools programs that job needs, and Schreiben, each on a
// 1.44 MB floppy and on a 512 MiB FAT32 partition with the sample drive's files. The programs of
// mtools each run are counted ("programs").
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "bench/measured_calls.h"
#include "bench/null_message_boxes.h"
#include "bootfile/boot_options.h"
#include "interlocks/interlocks.h"
#include "logos/logo_preview.h"
#include "platform/mtools.h"
#include "support/disk_images.h"

namespace startgarten::bench {

namespace {

namespace fs = std::filesystem;

// An image of the sample drive, made once, in a prefix of its own that maps it as drive C.
class BenchImage {
 public:
  explicit BenchImage(bool floppy) {
    const fs::path sample = fs::path(STARTGARTEN_SOURCE_DIR) / "examples" / "drive_c";
    fs::create_directories(directory_ / "prefix" / "dosdevices");
    image_ = floppy ? test_support::MakeFloppy(directory_ / "floppy.img")
                    : test_support::MakePartitionedDisk(directory_ / "fat32.img", 512, 32, 0x0C);
    std::vector<test_support::ImageFile> files;
    for (const auto& entry : fs::recursive_directory_iterator(sample)) {
      if (!entry.is_regular_file()) continue;
      const std::string path = entry.path().lexically_relative(sample).string();
      files.push_back(
          {path, test_support::ReadHostBytes(entry.path()), path == "MSDOS.SYS" ? "+r +h +s" : ""});
    }
    test_support::PutFiles(image_, files);
    fs::create_symlink(image_.path, directory_ / "prefix" / "dosdevices" / "c:");
  }
  ~BenchImage() { fs::remove_all(directory_); }

  void Select() const { ::setenv("WINEPREFIX", (directory_ / "prefix").c_str(), 1); }
  const test_support::DiskImage& image() const { return image_; }

 private:
  fs::path directory_ =
      fs::temp_directory_path() / ("startgarten-image-bench-" + std::to_string(::getpid()) + "-" +
                                   std::to_string(reinterpret_cast<uintptr_t>(this)));
  test_support::DiskImage image_;
};

const BenchImage& Image(int64_t floppy) {
  static const BenchImage floppyImage(true), diskImage(false);
  return floppy ? floppyImage : diskImage;
}

void ReportPrograms(benchmark::State& state, uint64_t programs) {
  state.counters["programs"] =
      benchmark::Counter(static_cast<double>(programs), benchmark::Counter::kAvgIterations);
}

// What a start reads: both pictures and the options, with nothing of the image kept from before
// (a changed modification time makes the drive read everything again).
void ReadImageDrive(benchmark::State& state) {
  const BenchImage& image = Image(state.range(0));
  image.Select();
  FormControls form;
  ConnectInterlockRules(form);
  NullMessageBoxes boxes;
  TImage image1, image2;
  const int fd = ::open(image.image().path.c_str(), O_RDONLY | O_CLOEXEC);
  const platform::Mtools mtools(fd, image.image().volumeOffset);
  const uint64_t programs = ProgramsSoFar();
  RunAgainstFloor(
      state,
      [&] {
        ::utimensat(AT_FDCWD, image.image().path.c_str(), nullptr, 0);
        LoadLogoPreview(image1, image2, boxes);
        ReadBootOptions(form, boxes);
      },
      [&] {
        for (const char* file : {"::/MSDOS.SYS", "::/WINDOWS/LOGOW.SYS", "::/WINDOWS/LOGOS.SYS"}) {
          if (mtools.Run("mtype", {file}, {}, 64 << 20).error) state.SkipWithError(file);
        }
      });
  // The floor's three programs are among them.
  ReportPrograms(state, ProgramsSoFar() - programs - 3 * state.iterations());
  ::close(fd);
  if (boxes.shown) state.SkipWithError("a message box came up");
}
BENCHMARK(ReadImageDrive)
    ->Name("Auslesen/image")
    ->Arg(1)
    ->Arg(0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void WriteImageDrive(benchmark::State& state) {
  Image(state.range(0)).Select();
  FormControls form;
  ConnectInterlockRules(form);
  NullMessageBoxes boxes;
  ReadBootOptions(form, boxes);
  const uint64_t programs = ProgramsSoFar();
  Spent spent;
  const auto schreiben = [&] { WriteBootOptions(form, boxes); };
  for (auto _ : state) Measure(spent, schreiben);
  ReportPrograms(state, ProgramsSoFar() - programs);
  ReportDiskWaits(state, spent);
  if (boxes.shown) state.SkipWithError("a message box came up");
}
BENCHMARK(WriteImageDrive)->Name("Schreiben/image")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace startgarten::bench
