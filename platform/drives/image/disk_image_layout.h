#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

// Where the FAT file system of a disk image file lies: a bare volume (floppy, superfloppy), the
// chosen primary partition of an MBR disk, or either of them inside a fixed VHD; and which
// container format an image of another emulator has, to be read through QEMU. Only a few
// sectors are read, whatever the image claims, so that a hostile image costs neither memory nor
// time.
namespace startgarten::platform {

enum class FatType { kFat12, kFat16, kFat32 };

struct FatVolumeLocation {
  uint64_t offset = 0;  // bytes from the start of the image file
  uint64_t size = 0;    // bytes of the volume, all of them inside the file
  FatType type = FatType::kFat12;
};

// Fills buffer with the bytes at offset of the image file; false when they cannot all be read.
using ImageReader = std::function<bool(uint64_t offset, std::span<char> buffer)>;

// Reads of an open image file, at its offsets.
ImageReader FileReader(int fd);

// Finds the FAT volume in an image file of fileSize bytes. An MBR disk gives its active primary
// partition of a FAT type, else the first primary one of a FAT type. Anything else (another
// image format, another file system, a damaged boot sector, a partition or a volume that reaches
// past the file's end, an empty or truncated file) throws Error with a message that names
// displayName (code page 1252) and what was found there.
FatVolumeLocation LocateFatVolume(std::string_view displayName, uint64_t fileSize,
                                  const ImageReader& read);

// The same for an open image file: reads through fd, names the file by path.
FatVolumeLocation LocateFatVolumeInFile(int fd, const std::filesystem::path& path);

// A format in which an emulator keeps its disk in a structure of its own: QEMU's name of its
// driver, and the format's name in messages.
struct ContainerFormat {
  const char* driver;
  const char* name;
};

// The container format of an image file of fileSize bytes, by its header: qcow2 and qcow, QED,
// VDI, VMDK, VHDX, Parallels, a dynamic VHD. None for anything else (a raw image, a fixed VHD,
// which LocateFatVolume reads itself). A differencing VHD, whose parent QEMU would not read,
// throws Error with kImageUnsupportedFormat.
std::optional<ContainerFormat> ContainerFormatOf(std::string_view displayName, uint64_t fileSize,
                                                 const ImageReader& read);
std::optional<ContainerFormat> ContainerFormatOfFile(int fd, const std::filesystem::path& path);

}  // namespace startgarten::platform
