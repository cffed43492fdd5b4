#include "platform/drives/image/disk_image_layout.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <tuple>

#include "platform/drives/image/image_messages.h"
#include "platform/windows/error.h"
#include "support/allocation_probe.h"
#include "support/byte_order.h"
#include "support/disk_images.h"
#include "support/error_of.h"
#include "support/sparse_image.h"
#include "support/temp_drive.h"

namespace startgarten::platform {
namespace {

using namespace test_support;
using namespace messages;
using namespace std::string_literals;

constexpr uint64_t kMiB = 1 << 20;
constexpr const char* kName = "win95.img";

// Real images made once with mkfs.fat and sfdisk, as far as the recognition reads them: their
// size, sector 0 and the volume's first sector (of the disks at 1 MiB).
struct RealImages {
  SparseImage floppy, fat16, fat32;
  uint64_t size16 = 0, size32 = 0;  // the disks' volumes
};

const RealImages& Real() {
  static const RealImages real = [] {
    TempDrive scratch;
    const auto read = [](const DiskImage& image) {
      const std::string bytes = ReadHostBytes(image.path);
      const uint64_t volume = image.volumeOffset;
      return SparseImage{bytes.size(),
                         {{0, bytes.substr(0, 512)}, {volume, bytes.substr(volume, 512)}}};
    };
    const DiskImage fat16 = MakePartitionedDisk(scratch.Base() / "16.img", 32, 16, 0x06);
    const DiskImage fat32 = MakePartitionedDisk(scratch.Base() / "32.img", 40, 32, 0x0C);
    return RealImages{read(MakeFloppy(scratch.Base() / "fd.img")), read(fat16), read(fat32),
                      fat16.volumeSize, fat32.volumeSize};
  }();
  return real;
}

// A sector of these bytes, zeros after them, with these little-endian numbers put in it: each its
// offset, value and size.
std::string Sector(std::string bytes,
                   std::initializer_list<std::tuple<size_t, uint64_t, int>> numbers) {
  bytes.resize(kSector, '\0');
  for (const auto& [at, value, size] : numbers) PutLittleEndian(bytes, at, value, size);
  return bytes;
}

// The MBR with these partition entries from the first on: status, type, first sector, sectors.
std::string Mbr(std::string mbr, std::initializer_list<std::array<uint64_t, 4>> entries) {
  for (size_t at = 446; const auto& [status, type, first, sectors] : entries) {
    mbr = Sector(mbr,
                 {{at, status, 1}, {at + 4, type, 1}, {at + 8, first, 4}, {at + 12, sectors, 4}});
    at += 16;
  }
  return mbr;
}

SparseImage Disk(const std::string& mbr, const std::string& boot, uint64_t megabytes) {
  return {megabytes * kMiB, {{0, mbr}, {kMiB, boot}}};
}

SparseImage Header(const std::string& front) {
  return SparseImage::Starting(front, kMiB);
}

SparseImage FixedVhd(SparseImage disk, uint64_t claimedSize = 0) {
  disk.sectors[disk.size] = VhdFooter(claimedSize ? claimedSize : disk.size, 2);
  disk.size += 512;
  return disk;
}

// A dynamic or differencing VHD: a copy of its footer at the front, the footer at the end.
SparseImage ExpandingVhd(uint32_t type) {
  SparseImage image = SparseImage::Starting(VhdFooter(32 * kMiB, type), uint64_t{64} << 10);
  image.sectors[image.size - 512] = image.sectors[0];
  return image;
}

std::string Message(const char* pattern, std::string_view detail = {}) {
  return FormatMessageText(pattern, kName, detail);
}

// Whatever an image claims, the recognition reads a handful of sectors and allocates nothing of
// the claimed sizes; it finds the FAT volume of each kind of image, and refuses everything else
// with a message that says what it found. Of the formats that QEMU reads for the program it names
// QEMU's driver; a differencing VHD, whose parent QEMU would not read, it refuses there too.
TEST(DiskImageLayout, FindsTheFatVolumeOrSaysWhatTheImageHolds) {
  const std::string& mbr16 = Real().fat16.sectors.at(0);
  const std::string& boot16 = Real().fat16.sectors.at(kMiB);
  // The second of two FAT partitions is the active one.
  SparseImage activeSecond =
      Disk(Mbr(mbr16, {{0x00, 0x06, 2048, 30720}, {0x80, 0x06, 32768, 65536}}), boot16, 64);
  activeSecond.sectors[uint64_t{32768} * 512] = boot16;
  // Without an active one the first FAT partition wins.
  const std::string noActive = Mbr(mbr16, {{0x00, 0x07, 40960, 20480}, {0x00, 0x06, 2048, 63488}});
  // A consistent boot sector of 120 GiB; a floppy's with only its size grown (too small a FAT).
  const std::string hugeFat32 =
      Sector(Real().fat32.sectors.at(kMiB), {{32, 0x0F000000u, 4}, {36, 0x00200000u, 4}});
  const std::string hugeTotal =
      Sector(Real().floppy.sectors.at(0), {{19, 0, 2}, {32, 0xFFFFFFFFu, 4}});
  const std::string emptyMbr = Sector("", {{510, 0xAA55, 2}});
  const std::string ntfs = Sector("\xEB\x52\x90NTFS    ", {{510, 0xAA55, 2}});
  SparseImage extInFatPartition = Disk(mbr16, std::string(kSector, '\0'), 32);
  extInFatPartition.sectors[kMiB + 1024] = Sector("", {{56, 0xEF53, 2}});
  SparseImage badChecksum = FixedVhd(Real().fat16);
  badChecksum.sectors.rbegin()->second[100] ^= 1;
  const uint64_t size16 = Real().size16;
  const auto unsupported = [](const char* format) {
    return Message(kImageUnsupportedFormat, format);
  };
  const std::string vmdk = unsupported(kImageFormatVmdk);
  const std::string differencing = unsupported(kImageFormatDifferencingVhd);
  const SparseImage shortVmdk = SparseImage::Starting("# Disk DescriptorFile\n", 22);
  const SparseImage parallels = Header("WithoutFreeSpace");
  const std::string vdi =
      Sector("<<< Oracle VM VirtualBox Disk Image >>>\n", {{64, 0xBEDA107F, 4}});
  const struct {
    const char* what;
    SparseImage image;
    std::string message;  // empty when the volume is found
    FatVolumeLocation found = {};
    std::string driver = "raw";  // QEMU's, or the refusal
  } cases[] = {
      {"floppy", Real().floppy, "", {0, uint64_t{1440} << 10, FatType::kFat12}},
      {"FAT16 disk", Real().fat16, "", {kMiB, size16, FatType::kFat16}},
      {"FAT32 disk", Real().fat32, "", {kMiB, Real().size32, FatType::kFat32}},
      {"fixed VHD", FixedVhd(Real().fat16), "", {kMiB, size16, FatType::kFat16}},
      {"active second", activeSecond, "", {uint64_t{32768} * 512, size16, FatType::kFat16}},
      {"first FAT type", Disk(noActive, boot16, 32), "", {kMiB, size16, FatType::kFat16}},
      {"empty", SparseImage{}, Message(kImageEmpty)},
      {"shorter than a sector", SparseImage{100, {}}, Message(kImageTooShort)},
      {"truncated disk", SparseImage{2 * kMiB, Real().fat16.sectors},
       Message(kImagePartitionOutside, "1")},
      {"truncated floppy", SparseImage{uint64_t{720} << 10, Real().floppy.sectors},
       Message(kImageVolumeTooLarge)},
      {"partition outside", Disk(Mbr(mbr16, {{0x80, 0x06, 1 << 30, 2048}}), boot16, 32),
       Message(kImagePartitionOutside, "1")},
      {"huge volume", Disk(Real().fat32.sectors.at(0), hugeFat32, 40),
       Message(kImageVolumeTooLarge)},
      {"huge total", Header(hugeTotal), Message(kImageDamagedBootSector)},
      {"damaged boot sector", Disk(mbr16, Sector(boot16, {{11, 0, 2}}), 32),
       Message(kImageDamagedBootSector)},
      {"no signature", Header("garbage"), Message(kImageNoFatVolume)},
      {"empty table", Header(emptyMbr), Message(kImageEmptyPartitionTable)},
      {"NTFS and Linux",
       Header(Mbr(emptyMbr, {{0x80, 0x07, 2048, 4096}, {0x00, 0x83, 6144, 4096}})),
       Message(kImageNoFatPartition, "07, 83")},
      {"bare NTFS", Header(ntfs), Message(kImageForeignFileSystem, "NTFS")},
      {"NTFS in FAT partition", Disk(mbr16, ntfs, 32), Message(kImageForeignFileSystem, "NTFS")},
      {"ext in FAT partition", extInFatPartition, Message(kImageForeignFileSystem, "ext2/3/4")},
      {"qcow2", Header("QFI\xFB\0\0\0\3"s), unsupported(kImageFormatQcow2), {}, "qcow2"},
      {"qcow", Header("QFI\xFB\0\0\0\1"s), unsupported(kImageFormatQcow), {}, "qcow"},
      {"QED", Header("QED\0"s), unsupported(kImageFormatQed), {}, "qed"},
      {"VDI", Header(vdi), unsupported(kImageFormatVdi), {}, "vdi"},
      {"VMDK", Header("KDMV"), vmdk, {}, "vmdk"},
      {"VMDK descriptor", Header("# Disk DescriptorFile\nversion=1\n"), vmdk, {}, "vmdk"},
      {"VMDK descriptor shorter than a sector", shortVmdk, Message(kImageTooShort), {}, "vmdk"},
      {"VHDX", Header("vhdxfile"), unsupported(kImageFormatVhdx), {}, "vhdx"},
      {"Parallels", parallels, unsupported(kImageFormatParallels), {}, "parallels"},
      {"dynamic VHD", ExpandingVhd(3), unsupported(kImageFormatDynamicVhd), {}, "vpc"},
      {"differencing VHD", ExpandingVhd(4), differencing, {}, differencing},
      {"VHD checksum", badChecksum, Message(kImageVhdFooterDamaged)},
      {"VHD larger than file", FixedVhd(Real().fat16, 64 * kMiB), Message(kImageVhdTruncated)},
  };
  const char* seeds = std::getenv("STARTGARTEN_IMAGE_SEEDS");  // for the fuzz target
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (seeds) std::ofstream(fs::path(seeds) / c.what, std::ios::binary) << c.image.Encode();
    int reads = 0;
    const ImageReader read = [&](uint64_t offset, std::span<char> buffer) {
      ++reads;
      return c.image.Read(offset, buffer);
    };
    FatVolumeLocation found;
    LargestAllocation() = 0;
    EXPECT_EQ(ErrorOf([&] { found = LocateFatVolume(kName, c.image.size, read); }), c.message);
    EXPECT_LT(LargestAllocation(), 4096u);
    EXPECT_LE(reads, 6);
    EXPECT_EQ(std::tie(found.offset, found.size, found.type),
              std::tie(c.found.offset, c.found.size, c.found.type));
    std::string driver = "raw";
    const std::string refusal = ErrorOf([&] {
      if (const auto format = ContainerFormatOf(kName, c.image.size, read)) driver = format->driver;
    });
    EXPECT_EQ(refusal.empty() ? driver : refusal, c.driver);
  }
}

}  // namespace
}  // namespace startgarten::platform
