// Image drives: reading at start (the boot file and both pictures, as a program start does with
// nothing kept yet) against the bare mtools programs that job needs, and Schreiben, each on a
// 1.44 MB floppy and on a 512 MiB FAT32 partition with the sample drive's files; and both on that
// partition's disk as a qcow2 image, which QEMU exports, with the export's own start and end for
// reading and for writing, which are the floor of the qcow2 figures together with the raw disk's.
// Each runs in a drive session, as a user's event does. The programs of mtools each run are
// counted ("programs").
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "app/form_controls.h"
#include "bench/measured_calls.h"
#include "bench/null_message_boxes.h"
#include "bootfile/boot_options.h"
#include "interlocks/interlocks.h"
#include "logos/logo_preview.h"
#include "platform/drives/drive_session.h"
#include "platform/drives/image/image_export.h"
#include "platform/drives/image/image_messages.h"
#include "platform/drives/image/mtools.h"
#include "support/disk_images.h"

namespace startgarten::bench {

namespace {

namespace fs = std::filesystem;

// The kinds of image, as the benchmarks' argument.
enum Kind : int64_t { kFat32 = 0, kFloppy = 1, kQcow2 = 2 };

// An image of the sample drive, made once, in a prefix of its own that maps it as drive C.
class BenchImage {
 public:
  explicit BenchImage(Kind kind) {
    const bool floppy = kind == kFloppy;
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
    if (kind == kQcow2) image_ = test_support::ConvertImage(image_, "qcow2");
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

const BenchImage& Image(int64_t kind) {
  static const BenchImage diskImage(kFat32), floppyImage(kFloppy), qcow2Image(kQcow2);
  return kind == kFloppy ? floppyImage : kind == kQcow2 ? qcow2Image : diskImage;
}

// What a start reads, in one drive session: both pictures and the options, with nothing of the
// image kept from before (a changed modification time makes the drive read everything again).
void ReadAtStart(const BenchImage& image, FormControls& form, NullMessageBoxes& boxes) {
  const platform::DriveSession session;
  TImage image1, image2;
  ::utimensat(AT_FDCWD, image.image().path.c_str(), nullptr, 0);
  LoadLogoPreview(image1, image2, boxes);
  ReadBootOptions(form.Options(), boxes);
}

void ReportPrograms(benchmark::State& state, uint64_t programs) {
  state.counters["programs"] =
      benchmark::Counter(static_cast<double>(programs), benchmark::Counter::kAvgIterations);
}

// What a start reads, against the programs of mtools that read the three files.
void ReadImageDrive(benchmark::State& state) {
  const BenchImage& image = Image(state.range(0));
  image.Select();
  FormControls form;
  ConnectInterlockRules(form.Options());
  NullMessageBoxes boxes;
  const int fd = ::open(image.image().path.c_str(), O_RDONLY | O_CLOEXEC);
  const platform::Mtools mtools(fd, image.image().volumeOffset);
  const uint64_t programs = ProgramsSoFar();
  RunAgainstFloor(
      state, [&] { ReadAtStart(image, form, boxes); },
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
    ->Arg(kFloppy)
    ->Arg(kFat32)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// What a start reads on the qcow2 image, through its export.
void ReadQcow2Drive(benchmark::State& state) {
  const BenchImage& image = Image(kQcow2);
  image.Select();
  FormControls form;
  ConnectInterlockRules(form.Options());
  NullMessageBoxes boxes;
  const uint64_t programs = ProgramsSoFar();
  for (auto _ : state) ReadAtStart(image, form, boxes);
  ReportPrograms(state, ProgramsSoFar() - programs);
  if (boxes.shown) state.SkipWithError("a message box came up");
}
// The time is the wall clock's: the work is done by other programs.
BENCHMARK(ReadQcow2Drive)
    ->Name("Auslesen/image/qcow2")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The export's own start and end, for reading (0) and for writing (1): the floor's part that QEMU
// adds.
void ExportQcow2(benchmark::State& state) {
  const BenchImage& image = Image(kQcow2);
  platform::ImageExport::Options options;
  options.writable = state.range(0) == 1;
  const platform::ContainerFormat format = {"qcow2", messages::kImageFormatQcow2};
  for (auto _ : state) {
    const platform::ImageExport exported({{"qcow2", image.image().path, {}}}, format, "win95.qcow2",
                                         options);
    benchmark::DoNotOptimize(exported.Fd());
  }
}
BENCHMARK(ExportQcow2)
    ->Name("Export/qcow2")
    ->Arg(0)
    ->Arg(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void WriteImageDrive(benchmark::State& state) {
  Image(state.range(0)).Select();
  FormControls form;
  ConnectInterlockRules(form.Options());
  NullMessageBoxes boxes;
  ReadBootOptions(form.Options(), boxes);
  const uint64_t programs = ProgramsSoFar();
  Spent spent;
  const auto schreiben = [&] {
    const platform::DriveSession session;
    WriteBootOptions(form.Options(), boxes);
  };
  for (auto _ : state) Measure(spent, schreiben);
  ReportPrograms(state, ProgramsSoFar() - programs);
  ReportDiskWaits(state, spent);
  if (boxes.shown) state.SkipWithError("a message box came up");
}
BENCHMARK(WriteImageDrive)
    ->Name("Schreiben/image")
    ->Arg(kFloppy)
    ->Arg(kFat32)
    ->Arg(kQcow2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace startgarten::bench
