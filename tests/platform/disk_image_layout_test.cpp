#include "platform/disk_image_layout.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <map>
#include <optional>

#include "platform/error.h"
#include "platform/messages.h"
#include "support/allocation_probe.h"
#include "support/disk_images.h"
#include "support/temp_drive.h"

namespace startgarten::platform {
namespace {

namespace fs = std::filesystem;
using test_support::DiskImage;

constexpr uint64_t kMiB = 1 << 20;
constexpr const char* kName = "win95.img";

// An image file in memory: a size and the sectors that are not zero.
struct SparseImage {
  uint64_t size = 0;
  std::map<uint64_t, std::string> chunks;  // by offset; chunks never overlap

  void Put(uint64_t offset, std::string bytes) { chunks[offset] = std::move(bytes); }
  std::string& At(uint64_t offset) { return chunks.at(offset); }
};

// The sectors of real images that the recognition looks at, made once for every test.
struct RealSectors {
  std::string floppyBoot;           // sector 0 of a 1.44 MB floppy
  std::string mbr16, boot16;        // a FAT16 disk: its partition table, its volume's first sector
  std::string mbr32, boot32;        // the same for FAT32
  uint64_t size16 = 0, size32 = 0;  // their volumes' sizes
};

const RealSectors& Sectors() {
  static const RealSectors sectors = [] {
    test_support::TempDrive scratch;
    const auto first = [](const DiskImage& image, uint64_t offset) {
      return test_support::ReadHostBytes(image.path).substr(offset, 512);
    };
    RealSectors real;
    const DiskImage floppy = test_support::MakeFloppy(scratch.Base() / "floppy.img");
    const DiskImage fat16 =
        test_support::MakePartitionedDisk(scratch.Base() / "16.img", 32, 16, 0x06);
    const DiskImage fat32 =
        test_support::MakePartitionedDisk(scratch.Base() / "32.img", 40, 32, 0x0C);
    real.floppyBoot = first(floppy, 0);
    real.mbr16 = first(fat16, 0);
    real.boot16 = first(fat16, fat16.volumeOffset);
    real.mbr32 = first(fat32, 0);
    real.boot32 = first(fat32, fat32.volumeOffset);
    real.size16 = fat16.volumeSize;
    real.size32 = fat32.volumeSize;
    return real;
  }();
  return sectors;
}

void PutLittleEndian(std::string& bytes, size_t at, uint64_t value, int size) {
  for (int i = 0; i < size; ++i, value >>= 8) bytes[at + i] = static_cast<char>(value & 0xFF);
}

// Sets partition entry index (0 to 3) of an MBR.
void SetPartition(std::string& mbr, int index, unsigned char status, unsigned char type,
                  uint64_t first, uint64_t sectors) {
  const size_t at = 446 + 16 * index;
  mbr[at] = static_cast<char>(status);
  mbr[at + 4] = static_cast<char>(type);
  PutLittleEndian(mbr, at + 8, first, 4);
  PutLittleEndian(mbr, at + 12, sectors, 4);
}

std::string EmptyMbr() {
  std::string mbr(512, '\0');
  mbr[510] = '\x55';
  mbr[511] = '\xAA';
  return mbr;
}

SparseImage Sized(uint64_t size) {
  SparseImage image;
  image.size = size;
  return image;
}

SparseImage Floppy() {
  SparseImage image{1440 * 1024, {}};
  image.Put(0, Sectors().floppyBoot);
  return image;
}

SparseImage Disk(const std::string& mbr, const std::string& boot, uint64_t megabytes) {
  SparseImage image{megabytes * kMiB, {}};
  image.Put(0, mbr);
  image.Put(kMiB, boot);
  return image;
}

SparseImage Fat16Disk() {
  return Disk(Sectors().mbr16, Sectors().boot16, 32);
}

SparseImage FixedVhd(SparseImage disk) {
  disk.Put(disk.size, test_support::VhdFooter(disk.size, 2));
  disk.size += 512;
  return disk;
}

// A dynamic or differencing VHD: a copy of its footer at the front, the footer at the end.
SparseImage ExpandingVhd(uint32_t type) {
  SparseImage image{64 * 1024, {}};
  image.Put(0, test_support::VhdFooter(32 * kMiB, type));
  image.Put(image.size - 512, test_support::VhdFooter(32 * kMiB, type));
  return image;
}

SparseImage Header(std::string front) {
  SparseImage image{kMiB, {}};
  front.resize(512, '\0');
  image.Put(0, front);
  return image;
}

std::string Message(const char* pattern, std::string_view detail = {}) {
  return FormatMessageText(FormatMessageText(pattern, kName), detail);
}

struct Outcome {
  std::optional<FatVolumeLocation> location;
  std::string message;
  int reads = 0;
};

Outcome Locate(const SparseImage& image) {
  Outcome outcome;
  const ImageReader read = [&](uint64_t offset, std::span<char> buffer) {
    ++outcome.reads;
    if (offset + buffer.size() > image.size) return false;
    std::memset(buffer.data(), 0, buffer.size());
    for (const auto& [at, bytes] : image.chunks) {
      const uint64_t from = std::max(at, offset);
      const uint64_t to = std::min(at + bytes.size(), offset + buffer.size());
      if (from < to)
        std::memcpy(buffer.data() + (from - offset), bytes.data() + (from - at), to - from);
    }
    return true;
  };
  try {
    outcome.location = LocateFatVolume(kName, image.size, read);
  } catch (const Error& error) {
    outcome.message = error.what();
  }
  return outcome;
}

TEST(DiskImageLayout, FindsTheFatVolumeOfEachKindOfImage) {
  std::string twoFat = Sectors().mbr16;  // the second of two FAT partitions is the active one
  SetPartition(twoFat, 0, 0x00, 0x06, 2048, 30720);
  SetPartition(twoFat, 1, 0x80, 0x06, 32768, 65536);
  SparseImage activeSecond = Disk(twoFat, Sectors().boot16, 64);
  activeSecond.Put(32768 * 512, Sectors().boot16);
  std::string noActive = Sectors().mbr16;  // without an active one the first FAT partition wins
  SetPartition(noActive, 0, 0x00, 0x07, 40960, 20480);
  SetPartition(noActive, 1, 0x00, 0x06, 2048, 63488);

  const uint64_t fat16Size = Sectors().size16;
  const struct {
    const char* what;
    SparseImage image;
    FatVolumeLocation expected;
  } cases[] = {
      {"floppy", Floppy(), {0, 1440 * 1024, FatType::kFat12}},
      {"FAT16 disk", Fat16Disk(), {kMiB, fat16Size, FatType::kFat16}},
      {"FAT32 disk",
       Disk(Sectors().mbr32, Sectors().boot32, 40),
       {kMiB, Sectors().size32, FatType::kFat32}},
      {"fixed VHD", FixedVhd(Fat16Disk()), {kMiB, fat16Size, FatType::kFat16}},
      {"active second", activeSecond, {32768 * 512, fat16Size, FatType::kFat16}},
      {"first FAT type", Disk(noActive, Sectors().boot16, 32), {kMiB, fat16Size, FatType::kFat16}},
  };
  for (const auto& c : cases) {
    const Outcome outcome = Locate(c.image);
    ASSERT_TRUE(outcome.location) << c.what << ": " << outcome.message;
    EXPECT_EQ(outcome.location->offset, c.expected.offset) << c.what;
    EXPECT_EQ(outcome.location->size, c.expected.size) << c.what;
    EXPECT_EQ(outcome.location->type, c.expected.type) << c.what;
  }
}

// Whatever an image claims, the recognition reads a handful of sectors, allocates nothing of the
// claimed sizes and ends with a message that says what it found.
TEST(DiskImageLayout, RefusesEverythingElseWithAMessageOfItsOwn) {
  SparseImage truncatedDisk = Fat16Disk();  // cut off inside its partition
  truncatedDisk.size = 2 * kMiB;
  SparseImage truncatedFloppy = Floppy();
  truncatedFloppy.size = 720 * 1024;
  std::string outside = Sectors().mbr16;
  SetPartition(outside, 0, 0x80, 0x06, 1 << 30, 2048);
  std::string hugeFat32 = Sectors().boot32;  // a consistent boot sector of 120 GiB
  PutLittleEndian(hugeFat32, 32, 0x0F000000u, 4);
  PutLittleEndian(hugeFat32, 36, 0x00200000u, 4);
  std::string hugeTotal = Sectors().floppyBoot;  // only its size grown: too small a FAT for it
  PutLittleEndian(hugeTotal, 19, 0, 2);
  PutLittleEndian(hugeTotal, 32, 0xFFFFFFFFu, 4);
  std::string zeroSectorSize = Sectors().boot16;
  PutLittleEndian(zeroSectorSize, 11, 0, 2);
  std::string foreignTypes = EmptyMbr();
  SetPartition(foreignTypes, 0, 0x80, 0x07, 2048, 4096);
  SetPartition(foreignTypes, 1, 0x00, 0x83, 6144, 4096);
  std::string ntfs = EmptyMbr();
  ntfs.replace(0, 11, "\xEB\x52\x90NTFS    ");
  std::string extSuperblock(512, '\0');
  PutLittleEndian(extSuperblock, 56, 0xEF53, 2);
  SparseImage extInFatPartition = Disk(Sectors().mbr16, std::string(512, '\0'), 32);
  extInFatPartition.Put(kMiB + 1024, extSuperblock);
  SparseImage badChecksum = FixedVhd(Fat16Disk());
  badChecksum.chunks.rbegin()->second[100] ^= 1;
  SparseImage shortVhd = Fat16Disk();  // a footer that claims more than the file holds
  shortVhd.Put(shortVhd.size, test_support::VhdFooter(shortVhd.size * 2, 2));
  shortVhd.size += 512;
  std::string vdi(512, '\0');
  vdi.replace(0, 40, "<<< Oracle VM VirtualBox Disk Image >>>\n");
  PutLittleEndian(vdi, 64, 0xBEDA107F, 4);

  const struct {
    const char* what;
    SparseImage image;
    std::string message;
  } cases[] = {
      {"empty", Sized(0), Message(messages::kImageEmpty)},
      {"shorter than a sector", Sized(100), Message(messages::kImageTooShort)},
      {"truncated disk", truncatedDisk, Message(messages::kImagePartitionOutside, "1")},
      {"truncated floppy", truncatedFloppy, Message(messages::kImageVolumeTooLarge)},
      {"partition outside", Disk(outside, Sectors().boot16, 32),
       Message(messages::kImagePartitionOutside, "1")},
      {"huge volume", Disk(Sectors().mbr32, hugeFat32, 40),
       Message(messages::kImageVolumeTooLarge)},
      {"huge total", Header(hugeTotal), Message(messages::kImageDamagedBootSector)},
      {"damaged boot sector", Disk(Sectors().mbr16, zeroSectorSize, 32),
       Message(messages::kImageDamagedBootSector)},
      {"no signature", Header("garbage"), Message(messages::kImageNoFatVolume)},
      {"empty table", Header(EmptyMbr()), Message(messages::kImageEmptyPartitionTable)},
      {"NTFS and Linux", Header(foreignTypes), Message(messages::kImageNoFatPartition, "07, 83")},
      {"bare NTFS", Header(ntfs), Message(messages::kImageForeignFileSystem, "NTFS")},
      {"NTFS in FAT partition", Disk(Sectors().mbr16, ntfs, 32),
       Message(messages::kImageForeignFileSystem, "NTFS")},
      {"ext in FAT partition", extInFatPartition,
       Message(messages::kImageForeignFileSystem, "ext2/3/4")},
      {"qcow2", Header("QFI\xFB\0\0\0\3"),
       Message(messages::kImageUnsupportedFormat, messages::kImageFormatQcow2)},
      {"VDI", Header(vdi), Message(messages::kImageUnsupportedFormat, messages::kImageFormatVdi)},
      {"VMDK", Header("KDMV"),
       Message(messages::kImageUnsupportedFormat, messages::kImageFormatVmdk)},
      {"VHDX", Header("vhdxfile"),
       Message(messages::kImageUnsupportedFormat, messages::kImageFormatVhdx)},
      {"dynamic VHD", ExpandingVhd(3),
       Message(messages::kImageUnsupportedFormat, messages::kImageFormatDynamicVhd)},
      {"differencing VHD", ExpandingVhd(4),
       Message(messages::kImageUnsupportedFormat, messages::kImageFormatDifferencingVhd)},
      {"VHD checksum", badChecksum, Message(messages::kImageVhdFooterDamaged)},
      {"VHD larger than file", shortVhd, Message(messages::kImageVhdTruncated)},
  };
  for (const auto& c : cases) {
    LargestAllocation() = 0;
    const Outcome outcome = Locate(c.image);
    EXPECT_FALSE(outcome.location) << c.what;
    EXPECT_EQ(outcome.message, c.message) << c.what;
    EXPECT_LE(outcome.reads, 6) << c.what;
    EXPECT_LT(LargestAllocation(), 4096u) << c.what;
  }
}

TEST(DiskImageLayout, ReadsImageFilesThroughTheirDescriptor) {
  test_support::TempDrive scratch;
  const DiskImage fat32 =
      test_support::MakePartitionedDisk(scratch.Base() / "32.img", 40, 32, 0x0C);
  for (const DiskImage& image : {test_support::MakeFloppy(scratch.Base() / "floppy.img"), fat32,
                                 test_support::MakeFixedVhd(fat32)}) {
    const int fd = ::open(image.path.c_str(), O_RDONLY | O_CLOEXEC);
    const FatVolumeLocation location = LocateFatVolumeInFile(fd, image.path);
    EXPECT_EQ(location.offset, image.volumeOffset) << image.path;
    EXPECT_EQ(location.size, image.volumeSize) << image.path;
    ::close(fd);
  }
  const fs::path empty = scratch.Base() / "empty.img";
  test_support::WriteHostBytes(empty, "");
  const int fd = ::open(empty.c_str(), O_RDONLY | O_CLOEXEC);
  try {
    LocateFatVolumeInFile(fd, empty);
    ADD_FAILURE() << "an empty file was taken";
  } catch (const Error& error) {
    EXPECT_EQ(error.what(), FormatMessageText(messages::kImageEmpty, empty.string()));
  }
  ::close(fd);
}

}  // namespace
}  // namespace startgarten::platform
