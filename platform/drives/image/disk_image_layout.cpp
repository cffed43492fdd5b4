#include "platform/drives/image/disk_image_layout.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "platform/drives/image/image_messages.h"
#include "platform/system/file_system.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/error.h"

namespace startgarten::platform {

namespace {

constexpr uint64_t kSector = 512;
constexpr size_t kVhdFooterSize = 512;
constexpr uint32_t kVhdFixed = 2;
constexpr uint32_t kVhdDynamic = 3;
constexpr uint32_t kVhdDifferencing = 4;

using Sector = std::array<unsigned char, kSector>;

uint32_t Le16(const Sector& s, size_t at) {
  return s[at] | (s[at + 1] << 8);
}
uint32_t Le32(const Sector& s, size_t at) {
  return Le16(s, at) | (Le16(s, at + 2) << 16);
}
uint32_t Be32(const Sector& s, size_t at) {
  return (uint32_t{s[at]} << 24) | (s[at + 1] << 16) | (s[at + 2] << 8) | s[at + 3];
}
uint64_t Be64(const Sector& s, size_t at) {
  return (uint64_t{Be32(s, at)} << 32) | Be32(s, at + 4);
}
bool HasText(const Sector& s, size_t at, std::string_view text) {
  return std::memcmp(s.data() + at, text.data(), text.size()) == 0;
}

// The image being looked at: its name for the messages, its size and how to read it.
class Image {
 public:
  Image(std::string_view name, uint64_t size, const ImageReader& read)
      : name_(name), size_(size), read_(read) {}

  uint64_t size() const { return size_; }

  // The sector at offset; an image too short to hold it is refused.
  Sector ReadSector(uint64_t offset) const {
    Sector sector;
    if (offset > size_ || size_ - offset < kSector ||
        !read_(offset, std::span<char>(reinterpret_cast<char*>(sector.data()), kSector))) {
      Fail(messages::kImageTooShort);
    }
    return sector;
  }

  // The first sector, or the whole of a shorter file and zeros after it: a VMDK descriptor of a
  // few lines is shorter than a sector.
  Sector ReadStart() const {
    Sector sector{};
    const size_t count = static_cast<size_t>(std::min<uint64_t>(size_, kSector));
    if (!read_(0, std::span<char>(reinterpret_cast<char*>(sector.data()), count))) {
      Fail(messages::kImageTooShort);
    }
    return sector;
  }

  [[noreturn]] void Fail(const char* message) const {
    throw Error(FormatMessageText(message, name_));
  }
  [[noreturn]] void Fail(const char* message, std::string_view detail) const {
    throw Error(FormatMessageText(message, name_, detail));
  }

 private:
  std::string_view name_;
  uint64_t size_;
  const ImageReader& read_;
};

// The formats of other emulators that keep the disk in a structure of their own, by their header;
// a differencing VHD with no driver, as QEMU would show it without the parent it builds on.
std::optional<ContainerFormat> ContainerOf(const Sector& first) {
  if (HasText(first, 0, "QFI\xFB")) {
    return Be32(first, 4) == 1 ? ContainerFormat{"qcow", messages::kImageFormatQcow}
                               : ContainerFormat{"qcow2", messages::kImageFormatQcow2};
  }
  if (HasText(first, 0, std::string_view("QED\0", 4))) {
    return ContainerFormat{"qed", messages::kImageFormatQed};
  }
  if (Le32(first, 64) == 0xBEDA107F) return ContainerFormat{"vdi", messages::kImageFormatVdi};
  if (HasText(first, 0, "KDMV") || HasText(first, 0, "COWD") ||
      HasText(first, 0, "# Disk DescriptorFile")) {
    return ContainerFormat{"vmdk", messages::kImageFormatVmdk};
  }
  if (HasText(first, 0, "vhdxfile")) return ContainerFormat{"vhdx", messages::kImageFormatVhdx};
  if (HasText(first, 0, "WithoutFreeSpace") || HasText(first, 0, "WithouFreSpacExt")) {
    return ContainerFormat{"parallels", messages::kImageFormatParallels};
  }
  // Dynamic and differencing VHD files begin with a copy of their footer.
  if (HasText(first, 0, "conectix")) {
    return Be32(first, 60) == kVhdDifferencing
               ? ContainerFormat{nullptr, messages::kImageFormatDifferencingVhd}
               : ContainerFormat{"vpc", messages::kImageFormatDynamicVhd};
  }
  return std::nullopt;
}

// A file to be read as a raw disk that holds another format's structure.
void RefuseOtherFormats(const Image& image, const Sector& first) {
  if (const auto container = ContainerOf(first)) {
    image.Fail(messages::kImageUnsupportedFormat, container->name);
  }
}

// The bytes of the disk inside the file: all of it, or without the footer of a fixed VHD.
uint64_t DiskSize(const Image& image) {
  if (image.size() < 2 * kVhdFooterSize) return image.size();
  const Sector footer = image.ReadSector(image.size() - kVhdFooterSize);
  if (!HasText(footer, 0, "conectix")) return image.size();
  uint32_t sum = 0;
  for (size_t i = 0; i < footer.size(); ++i) {
    if (i < 64 || i >= 68) sum += footer[i];
  }
  const uint32_t type = Be32(footer, 60);
  if (~sum != Be32(footer, 64)) image.Fail(messages::kImageVhdFooterDamaged);
  if (type == kVhdDynamic) {
    image.Fail(messages::kImageUnsupportedFormat, messages::kImageFormatDynamicVhd);
  }
  if (type == kVhdDifferencing) {
    image.Fail(messages::kImageUnsupportedFormat, messages::kImageFormatDifferencingVhd);
  }
  if (type != kVhdFixed) image.Fail(messages::kImageVhdFooterDamaged);
  const uint64_t disk = image.size() - kVhdFooterSize;
  if (Be64(footer, 48) > disk) image.Fail(messages::kImageVhdTruncated);
  return disk;
}

// The layout that a boot sector's BIOS parameter block describes, when it is a consistent one.
struct BootSector {
  uint64_t bytes = 0;  // the volume's size
  FatType type = FatType::kFat12;
};

bool IsPowerOfTwo(uint32_t n) {
  return n != 0 && (n & (n - 1)) == 0;
}

std::optional<BootSector> ParseBootSector(const Sector& s) {
  if (s[0] != 0xEB && s[0] != 0xE9) return std::nullopt;
  const uint32_t bytesPerSector = Le16(s, 11);
  const uint32_t sectorsPerCluster = s[13];
  const uint32_t reserved = Le16(s, 14);
  const uint32_t fats = s[16];
  const uint32_t rootEntries = Le16(s, 17);
  const uint32_t media = s[21];
  const uint32_t fatSectors16 = Le16(s, 22);
  const uint64_t totalSectors = Le16(s, 19) ? Le16(s, 19) : Le32(s, 32);
  const uint64_t fatSectors = fatSectors16 ? fatSectors16 : Le32(s, 36);
  if (!IsPowerOfTwo(bytesPerSector) || bytesPerSector < 512 || bytesPerSector > 4096 ||
      !IsPowerOfTwo(sectorsPerCluster) || sectorsPerCluster > 128 || reserved == 0 || fats == 0 ||
      fats > 4 || (media != 0xF0 && media < 0xF8) || totalSectors == 0 || fatSectors == 0 ||
      (rootEntries * 32) % bytesPerSector != 0) {
    return std::nullopt;
  }
  const uint64_t rootSectors = rootEntries * 32 / bytesPerSector;
  const uint64_t metadata = reserved + fats * fatSectors + rootSectors;
  if (metadata >= totalSectors) return std::nullopt;
  const uint64_t clusters = (totalSectors - metadata) / sectorsPerCluster;
  if (clusters == 0) return std::nullopt;

  // FAT32 by its layout, as the tools decide it; FAT12 and FAT16 by the count of clusters.
  const bool fat32 = fatSectors16 == 0 && rootEntries == 0;
  BootSector boot;
  boot.bytes = totalSectors * bytesPerSector;
  boot.type = fat32 ? FatType::kFat32 : clusters < 4085 ? FatType::kFat12 : FatType::kFat16;
  if (fat32) {
    const uint32_t rootCluster = Le32(s, 44);
    const uint32_t infoSector = Le16(s, 48);  // 0 and 0xFFFF: none
    if (clusters >= 0x0FFFFFF5 || rootCluster < 2 || rootCluster >= clusters + 2 ||
        (infoSector >= reserved && infoSector != 0xFFFF)) {
      return std::nullopt;
    }
  } else if (fatSectors16 == 0 || rootEntries == 0 || clusters >= 65525) {
    return std::nullopt;
  }
  // Each FAT must hold an entry for every cluster, or the tools would read past it.
  const uint64_t bitsPerEntry = boot.type == FatType::kFat12 ? 12 : fat32 ? 32 : 16;
  if (fatSectors * bytesPerSector * 8 < (clusters + 2) * bitsPerEntry) return std::nullopt;
  return boot;
}

// A boot sector that says it is a FAT one, though its parameters are not valid.
bool ClaimsFat(const Sector& s) {
  return HasText(s, 54, "FAT") || HasText(s, 82, "FAT32");
}

// Refuses a volume of another file system that we can name, beginning with sector at offset.
void RefuseForeignFileSystem(const Image& image, const Sector& sector, uint64_t offset,
                             uint64_t room) {
  if (HasText(sector, 3, "NTFS    ")) image.Fail(messages::kImageForeignFileSystem, "NTFS");
  if (HasText(sector, 3, "EXFAT   ")) image.Fail(messages::kImageForeignFileSystem, "exFAT");
  // ext2, ext3 and ext4 keep their magic number in the second kilobyte.
  if (room >= 2048 && Le16(image.ReadSector(offset + 1024), 56) == 0xEF53) {
    image.Fail(messages::kImageForeignFileSystem, "ext2/3/4");
  }
}

FatVolumeLocation VolumeAt(const Image& image, uint64_t offset, uint64_t room) {
  const Sector sector = image.ReadSector(offset);
  const std::optional<BootSector> boot = ParseBootSector(sector);
  if (!boot) {
    if (!ClaimsFat(sector)) RefuseForeignFileSystem(image, sector, offset, room);
    image.Fail(messages::kImageDamagedBootSector);
  }
  if (boot->bytes > room) image.Fail(messages::kImageVolumeTooLarge);
  return {offset, boot->bytes, boot->type};
}

bool IsFatPartitionType(unsigned char type) {
  return type == 0x01 || type == 0x04 || type == 0x06 || type == 0x0B || type == 0x0C ||
         type == 0x0E;
}

struct PartitionEntry {
  unsigned char status;
  unsigned char type;
  uint64_t first;  // sector
  uint64_t sectors;
};

PartitionEntry EntryAt(const Sector& mbr, int index) {
  const size_t at = 446 + 16 * static_cast<size_t>(index);
  return {mbr[at], mbr[at + 4], Le32(mbr, at + 8), Le32(mbr, at + 12)};
}

std::string TypeList(const std::array<PartitionEntry, 4>& entries) {
  std::string list;
  for (const PartitionEntry& entry : entries) {
    if (entry.type == 0) continue;
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", entry.type);
    if (!list.empty()) list += ", ";
    list += hex;
  }
  return list;
}

FatVolumeLocation PartitionedVolume(const Image& image, const Sector& mbr, uint64_t diskSize) {
  std::array<PartitionEntry, 4> entries;
  for (int i = 0; i < 4; ++i) {
    entries[i] = EntryAt(mbr, i);
    // A status byte other than these means that the sector holds no partition table.
    if (entries[i].status != 0x00 && entries[i].status != 0x80) {
      image.Fail(messages::kImageNoFatVolume);
    }
  }
  int chosen = -1;
  for (int i = 0; i < 4; ++i) {
    if (!IsFatPartitionType(entries[i].type)) continue;
    if (chosen < 0 || (entries[i].status == 0x80 && entries[chosen].status != 0x80)) chosen = i;
  }
  if (chosen < 0) {
    const std::string types = TypeList(entries);
    if (types.empty()) image.Fail(messages::kImageEmptyPartitionTable);
    image.Fail(messages::kImageNoFatPartition, types);
  }
  const PartitionEntry& entry = entries[chosen];
  const uint64_t offset = entry.first * kSector;
  const uint64_t bytes = entry.sectors * kSector;
  if (entry.first == 0 || entry.sectors == 0 || offset > diskSize || bytes > diskSize - offset) {
    image.Fail(messages::kImagePartitionOutside, std::to_string(chosen + 1));
  }
  return VolumeAt(image, offset, bytes);
}

uint64_t FileSize(int fd, std::string_view name) {
  struct stat status;
  if (::fstat(fd, &status) != 0) throw Error(FormatMessageText(messages::kImageTooShort, name));
  return static_cast<uint64_t>(status.st_size);
}

}  // namespace

FatVolumeLocation LocateFatVolume(std::string_view displayName, uint64_t fileSize,
                                  const ImageReader& read) {
  const Image image(displayName, fileSize, read);
  if (fileSize == 0) image.Fail(messages::kImageEmpty);
  const Sector first = image.ReadSector(0);
  RefuseOtherFormats(image, first);
  const uint64_t diskSize = DiskSize(image);
  if (ParseBootSector(first)) return VolumeAt(image, 0, diskSize);
  if (ClaimsFat(first)) image.Fail(messages::kImageDamagedBootSector);
  RefuseForeignFileSystem(image, first, 0, diskSize);
  if (first[510] != 0x55 || first[511] != 0xAA) image.Fail(messages::kImageNoFatVolume);
  return PartitionedVolume(image, first, diskSize);
}

std::optional<ContainerFormat> ContainerFormatOf(std::string_view displayName, uint64_t fileSize,
                                                 const ImageReader& read) {
  const Image image(displayName, fileSize, read);
  if (fileSize == 0) return std::nullopt;
  const auto container = ContainerOf(image.ReadStart());
  if (container && !container->driver) {
    image.Fail(messages::kImageUnsupportedFormat, container->name);
  }
  return container;
}

ImageReader FileReader(int fd) {
  return [fd](uint64_t offset, std::span<char> buffer) {
    size_t done = 0;
    while (done < buffer.size()) {
      const ssize_t got = file_system::ReadAt(fd, buffer.data() + done, buffer.size() - done,
                                              static_cast<off_t>(offset + done));
      if (got <= 0) return false;
      done += static_cast<size_t>(got);
    }
    return true;
  };
}

FatVolumeLocation LocateFatVolumeInFile(int fd, const std::filesystem::path& path) {
  const std::string name = Utf8ToCp1252(path.string());
  return LocateFatVolume(name, FileSize(fd, name), FileReader(fd));
}

std::optional<ContainerFormat> ContainerFormatOfFile(int fd, const std::filesystem::path& path) {
  const std::string name = Utf8ToCp1252(path.string());
  return ContainerFormatOf(name, FileSize(fd, name), FileReader(fd));
}

}  // namespace startgarten::platform
