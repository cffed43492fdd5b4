#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_drive.h"  // the bytes of files on the host

// Disk image files made with the tools an emulator's user has (mkfs.fat, sfdisk, mtools, qemu-img),
// for the tests of image drives: a floppy, partitioned FAT16 and FAT32 disks, a fixed VHD, and the
// disk in the formats of other emulators; and the means to look at them apart from the code under
// test (mtools directly on a raw copy that qemu-img makes, fsck.fat, qemu-img check).
namespace startgarten::test_support {

struct DiskImage {
  std::filesystem::path path;
  uint64_t volumeOffset = 0;  // where the FAT volume begins in the disk
  uint64_t volumeSize = 0;
  std::string format = "raw";  // qemu-img's name of the file's format
};

// A file to put on an image: its path on the volume ("WINDOWS/LOGOS.SYS", "/"-separated, any
// directories are made), its bytes and the mattrib flags it gets ("+r +h +s", empty for none).
struct ImageFile {
  std::string path;
  std::string bytes;
  std::string attributes;
};

// The kinds of image the tests make, each with a volume of the same files: raw ones, and the
// FAT16 disk in the formats of QEMU, VirtualBox, VMware, Virtual PC (a dynamic VHD) and Hyper-V.
enum class ImageKind {
  kFloppy,
  kFat16Disk,
  kFat32Disk,
  kFixedVhd,
  kQcow2,
  kVdi,
  kVmdk,
  kDynamicVhd,
  kVhdx
};
inline constexpr ImageKind kImageKinds[] = {
    ImageKind::kFloppy,   ImageKind::kFat16Disk,  ImageKind::kFat32Disk,
    ImageKind::kFixedVhd, ImageKind::kQcow2,      ImageKind::kVdi,
    ImageKind::kVmdk,     ImageKind::kDynamicVhd, ImageKind::kVhdx};
// A name for tests parameterised by kind.
template <typename Info>
std::string ImageKindName(const Info& info) {
  const char* names[] = {"Floppy", "Fat16Disk", "Fat32Disk",  "FixedVhd", "Qcow2",
                         "Vdi",    "Vmdk",      "DynamicVhd", "Vhdx"};
  return names[static_cast<int>(info.param)];
}
// An empty image of the kind in directory.
DiskImage MakeImage(ImageKind kind, const std::filesystem::path& directory);

// A 1.44 MB FAT12 floppy.
DiskImage MakeFloppy(const std::filesystem::path& path);
// An MBR disk of megabytes MiB with one primary partition from sector 2048 to the end, of the
// given partition type, active, formatted with fatBits (16 or 32; FAT32 on less than 260 MiB with
// 512-byte clusters so that it holds enough of them).
DiskImage MakePartitionedDisk(const std::filesystem::path& path, unsigned megabytes,
                              unsigned fatBits, unsigned char partitionType);
// The 512-byte VHD footer for a disk of diskSize bytes, of diskType (2 fixed, 3 dynamic, 4
// differencing).
std::string VhdFooter(uint64_t diskSize, uint32_t diskType);

// The raw disk in another format, made with qemu-img beside it (a dynamic VHD of exactly its
// size).
DiskImage ConvertImage(const DiskImage& raw, const std::string& format);

// Runs qemu-img with the arguments (after its name); the test fails when it does not succeed.
void QemuImg(const std::vector<std::string>& arguments);

// Puts the files on the image, with mtools and nothing of ours.
void PutFiles(const DiskImage& image, const std::vector<ImageFile>& files);
// The bytes of a file and its attributes as "mattrib -X" shows them ("ASHR"), read with mtools
// directly; "missing" when mtools finds no such file.
std::string ReadFileBytes(const DiskImage& image, std::string_view path);
std::string FileAttributes(const DiskImage& image, std::string_view path);
// The names in a directory of the volume ("" for the root), as mattrib shows them.
std::vector<std::string> DirectoryNames(const DiskImage& image, std::string_view directory);

// The entry of a file in its directory as "mdir -a" shows it: the short name with the letter case
// its case byte gives, and the long name when it has one ("msdos    sys", "AUTOEXEC BAT
// Autoexec.bat"); "missing" when there is none.
std::string DirectoryEntryNames(const DiskImage& image, std::string_view path);

// What "fsck.fat -n" says about the volume, run on a copy of it, and what "qemu-img check" says
// about an image of another format (whose format has a check); empty when both find it clean.
std::string FsckProblems(const DiskImage& image);

}  // namespace startgarten::test_support
