#include "support/disk_images.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/system/process.h"

namespace startgarten::test_support {

namespace {

namespace fs = std::filesystem;

constexpr uint64_t kPartitionStart = 2048;  // sectors: 1 MiB, as partitioning tools align today

const std::vector<std::string> kToolEnvironment = {"PATH=/usr/sbin:/usr/bin:/sbin:/bin",
                                                   "HOME=/dev/null", "LC_ALL=C.UTF-8",
                                                   "MTOOLS_SKIP_CHECK=1"};

platform::ProcessResult Start(const std::string& program, const std::vector<std::string>& arguments,
                              std::string_view input = {}) {
  platform::ProcessRequest request;
  request.program = program;
  request.arguments = arguments;
  request.environment = kToolEnvironment;
  request.input = input;
  request.outputLimit = 256 << 20;
  return platform::RunProcess(request);
}

// Runs a tool that makes an image; the test fails when it does not succeed.
void RunTool(const std::string& program, const std::vector<std::string>& arguments,
             std::string_view input = {}) {
  const platform::ProcessResult result = Start(program, arguments, input);
  EXPECT_EQ(result.exitCode, 0) << program << ": " << result.errors;
}

// The raw disk of an image: the image itself, or a copy that qemu-img makes beside it (without
// taking locks, so that it reads an image that an emulator holds), made again unless it is newer
// than the image (a change within the same tick of the clock gives both the same time).
DiskImage RawOf(const DiskImage& image) {
  if (image.format == "raw") return image;
  DiskImage raw = image;
  raw.format = "raw";
  raw.path += ".raw";
  std::error_code missing;  // the oldest time, then
  if (fs::last_write_time(raw.path, missing) <= fs::last_write_time(image.path)) {
    RunTool("/usr/bin/qemu-img", {"qemu-img", "convert", "-U", "-f", image.format, "-O", "raw",
                                  image.path.string(), raw.path.string()});
  }
  return raw;
}

// Writes the raw disk back into the image's format.
void WriteBack(const DiskImage& raw, const DiskImage& image) {
  std::vector<std::string> arguments = {"qemu-img", "convert", "-f", "raw", "-O", image.format};
  // A dynamic VHD of exactly the disk's size, not of the next size its geometry can give.
  if (image.format == "vpc")
    arguments.insert(arguments.end(), {"-o", "subformat=dynamic,force_size=on"});
  arguments.insert(arguments.end(), {raw.path.string(), image.path.string()});
  RunTool("/usr/bin/qemu-img", arguments);
}

// An mtools program on the image's volume.
platform::ProcessResult Mtool(const DiskImage& container, const std::string& program,
                              std::vector<std::string> arguments, std::string_view input = {}) {
  const DiskImage image = RawOf(container);
  arguments.insert(
      arguments.begin(),
      {program, "-i", image.path.string() + "@@" + std::to_string(image.volumeOffset)});
  return Start("/usr/bin/mtools", arguments, input);
}

std::string VolumePath(std::string_view path) {
  return "::/" + std::string(path);
}

void PutBigEndian(std::string& bytes, size_t at, uint64_t value, int size) {
  for (int i = size - 1; i >= 0; --i, value >>= 8) bytes[at + i] = static_cast<char>(value & 0xFF);
}

}  // namespace

DiskImage MakeFloppy(const fs::path& path) {
  fs::remove(path);
  RunTool("/usr/sbin/mkfs.fat", {"mkfs.fat", "-C", path.string(), "1440"});
  return {path, 0, uint64_t{1440} << 10};
}

DiskImage MakePartitionedDisk(const fs::path& path, unsigned megabytes, unsigned fatBits,
                              unsigned char partitionType) {
  fs::remove(path);
  { std::ofstream create(path, std::ios::binary); }
  fs::resize_file(path, uint64_t{megabytes} << 20);
  std::ostringstream table;
  table << "label: dos\nstart=" << kPartitionStart << ", type=" << std::hex
        << unsigned{partitionType} << ", bootable\n";
  RunTool("/usr/sbin/sfdisk", {"sfdisk", "-q", path.string()}, table.str());
  const uint64_t kilobytes = (uint64_t{megabytes} << 10) - kPartitionStart / 2;
  const std::string start = std::to_string(kPartitionStart);
  std::vector<std::string> format = {
      "mkfs.fat", "-F", std::to_string(fatBits), "--offset", start, "-h", start, "-n", "WIN95"};
  // FAT32 needs 65525 clusters: a small disk gets them only with clusters of one sector.
  if (fatBits == 32 && megabytes < 260) format.insert(format.end(), {"-s", "1"});
  format.insert(format.end(), {path.string(), std::to_string(kilobytes)});
  RunTool("/usr/sbin/mkfs.fat", format);
  return {path, kPartitionStart * 512, kilobytes * 1024};
}

// The fields that readers of a fixed VHD look at; the rest (times, creator, geometry, id) zero.
std::string VhdFooter(uint64_t diskSize, uint32_t diskType) {
  std::string footer(512, '\0');
  footer.replace(0, 8, "conectix");
  PutBigEndian(footer, 8, 2, 4);                                    // features: reserved bit
  PutBigEndian(footer, 12, 0x00010000, 4);                          // format version 1.0
  PutBigEndian(footer, 16, diskType == 2 ? ~uint64_t{0} : 512, 8);  // next structure
  PutBigEndian(footer, 40, diskSize, 8);                            // original size
  PutBigEndian(footer, 48, diskSize, 8);                            // current size
  PutBigEndian(footer, 60, diskType, 4);
  uint32_t sum = 0;
  for (char c : footer) sum += static_cast<unsigned char>(c);
  PutBigEndian(footer, 64, ~sum, 4);
  return footer;
}

DiskImage ConvertImage(const DiskImage& raw, const std::string& format) {
  DiskImage image = raw;
  image.format = format;
  image.path.replace_extension(format == "vpc" ? ".vhd" : "." + format);
  WriteBack(raw, image);
  return image;
}

void QemuImg(const std::vector<std::string>& arguments) {
  std::vector<std::string> line = {"qemu-img"};
  line.insert(line.end(), arguments.begin(), arguments.end());
  RunTool("/usr/bin/qemu-img", line);
}

void PutFiles(const DiskImage& image, const std::vector<ImageFile>& files) {
  if (image.format != "raw") {
    const DiskImage raw = RawOf(image);
    PutFiles(raw, files);
    WriteBack(raw, image);
    return;
  }
  for (const ImageFile& file : files) {
    // Each directory on the way, made when it is not there yet.
    for (size_t slash = file.path.find('/'); slash != std::string::npos;
         slash = file.path.find('/', slash + 1)) {
      Mtool(image, "mmd", {"-D", "s", VolumePath(file.path.substr(0, slash))});
    }
    const platform::ProcessResult copy =
        Mtool(image, "mcopy", {"-D", "o", "-", VolumePath(file.path)}, file.bytes);
    ASSERT_EQ(copy.exitCode, 0) << file.path << ": " << copy.errors;
    if (file.attributes.empty()) continue;
    std::istringstream flags(file.attributes);
    std::vector<std::string> arguments(std::istream_iterator<std::string>(flags), {});
    arguments.push_back(VolumePath(file.path));
    const platform::ProcessResult attributes = Mtool(image, "mattrib", arguments);
    ASSERT_EQ(attributes.exitCode, 0) << file.path << ": " << attributes.errors;
  }
}

std::string ReadFileBytes(const DiskImage& image, std::string_view path) {
  const platform::ProcessResult result = Mtool(image, "mtype", {VolumePath(path)});
  return result.exitCode == 0 ? result.output : "missing";
}

std::string FileAttributes(const DiskImage& image, std::string_view path) {
  const platform::ProcessResult result = Mtool(image, "mattrib", {"-X", VolumePath(path)});
  if (result.exitCode != 0) return "missing";
  return result.output.substr(0, result.output.find_last_not_of(" \n") + 1);
}

std::vector<std::string> DirectoryNames(const DiskImage& image, std::string_view directory) {
  const std::string pattern = directory.empty() ? "::/*" : VolumePath(directory) + "/*";
  std::istringstream lines(Mtool(image, "mattrib", {"-X", pattern}).output);
  std::vector<std::string> names;
  for (std::string line; std::getline(lines, line);) {
    const std::string name = line.substr(line.rfind('/') + 1);
    if (name != "." && name != "..") names.push_back(name);
  }
  return names;
}

std::string DirectoryEntryNames(const DiskImage& image, std::string_view path) {
  std::istringstream lines(Mtool(image, "mdir", {"-a", VolumePath(path)}).output);
  // The file's line follows the header and a blank line: its short name in 12 columns, then its
  // size (or <DIR>), date and time, then its long name.
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == ' ' || line.rfind("Directory for", 0) == 0) continue;
    std::istringstream rest(line.substr(std::min<size_t>(12, line.size())));
    std::string size, date, time, longName;
    rest >> size >> date >> time >> std::ws;
    std::getline(rest, longName);
    return line.substr(0, 12) + "|" + longName;
  }
  return "missing";
}

std::string FsckProblems(const DiskImage& container) {
  const DiskImage image = RawOf(container);
  fs::path copy = image.path;
  copy += ".volume";
  WriteHostBytes(copy, ReadHostBytes(image.path).substr(image.volumeOffset, image.volumeSize));
  const platform::ProcessResult result =
      Start("/usr/sbin/fsck.fat", {"fsck.fat", "-n", copy.string()});
  fs::remove(copy);
  // A clean volume gives the version line and one line of counts.
  std::istringstream lines(result.output);
  std::string problems;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("fsck.fat ", 0) == 0 || line.rfind(copy.string() + ": ", 0) == 0) continue;
    problems += line + "\n";
  }
  if (result.exitCode != 0 && problems.empty()) problems = result.output + result.errors;
  if (container.format == "raw") return problems;
  const platform::ProcessResult check = Start(
      "/usr/bin/qemu-img", {"qemu-img", "check", "-f", container.format, container.path.string()});
  // 63: the format has no check.
  return check.exitCode == 0 || check.exitCode == 63 ? problems
                                                     : problems + check.output + check.errors;
}

DiskImage MakeImage(ImageKind kind, const std::filesystem::path& directory) {
  if (kind == ImageKind::kFloppy) return MakeFloppy(directory / "floppy.img");
  if (kind == ImageKind::kFat32Disk)
    return MakePartitionedDisk(directory / "fat32.img", 40, 32, 0x0C);
  const bool raw = kind == ImageKind::kFat16Disk;
  DiskImage disk = MakePartitionedDisk(directory / (raw ? "fat16.img" : "disk.img"), 32, 16, 0x06);
  if (raw) return disk;
  if (kind == ImageKind::kFixedVhd) {  // the disk with the 512-byte footer appended
    DiskImage vhd = disk;
    vhd.path.replace_extension(".vhd");
    WriteHostBytes(vhd.path, ReadHostBytes(disk.path) + VhdFooter(fs::file_size(disk.path), 2));
    return vhd;
  }
  // The FAT16 disk in the formats of the kinds from kQcow2 on, in their order.
  const char* formats[] = {"qcow2", "vdi", "vmdk", "vpc", "vhdx"};
  return ConvertImage(disk, formats[static_cast<int>(kind) - static_cast<int>(ImageKind::kQcow2)]);
}

}  // namespace startgarten::test_support
