#include "platform/drives/image/disk_image_layout.h"

#include <gtest/gtest.h>

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
    const auto disk = [&](const char* name, unsigned megabytes, unsigned bits, unsigned char type) {
      return MakePartitionedDisk(scratch.Base() / name, megabytes, bits, type);
    };
    const DiskImage fat16 = disk("16.img", 32, 16, 0x06);
    const DiskImage fat32 = disk("32.img", 40, 32, 0x0C);
    return RealImages{read(MakeFloppy(scratch.Base() / "fd.img")), read(fat16), read(fat32),
                      fat16.volumeSize, fat32.volumeSize};
  }();
  return real;
}

const std::string& Mbr16() {
  return Real().fat16.sectors.at(0);
}
const std::string& Boot16() {
  return Real().fat16.sectors.at(kMiB);
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
  mbr.replace(510, 2, "\x55\xAA");
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
  std::string twoFat = Mbr16();  // the second of two FAT partitions is the active one
  SetPartition(twoFat, 0, 0x00, 0x06, 2048, 30720);
  SetPartition(twoFat, 1, 0x80, 0x06, 32768, 65536);
  SparseImage activeSecond = Disk(twoFat, Boot16(), 64);
  activeSecond.sectors[uint64_t{32768} * 512] = Boot16();
  std::string noActive = Mbr16();  // without an active one the first FAT partition wins
  SetPartition(noActive, 0, 0x00, 0x07, 40960, 20480);
  SetPartition(noActive, 1, 0x00, 0x06, 2048, 63488);

  SparseImage truncatedDisk = Real().fat16;  // cut off inside its partition
  truncatedDisk.size = 2 * kMiB;
  SparseImage truncatedFloppy = Real().floppy;
  truncatedFloppy.size = uint64_t{720} << 10;
  std::string outside = Mbr16();
  SetPartition(outside, 0, 0x80, 0x06, 1 << 30, 2048);
  std::string hugeFat32 = Real().fat32.sectors.at(kMiB);  // a consistent boot sector of 120 GiB
  PutLittleEndian(hugeFat32, 32, 0x0F000000u, 4);
  PutLittleEndian(hugeFat32, 36, 0x00200000u, 4);
  std::string hugeTotal = Real().floppy.sectors.at(0);  // only its size grown: too small a FAT
  PutLittleEndian(hugeTotal, 19, 0, 2);
  PutLittleEndian(hugeTotal, 32, 0xFFFFFFFFu, 4);
  std::string zeroSectorSize = Boot16();
  PutLittleEndian(zeroSectorSize, 11, 0, 2);
  std::string foreignTypes = EmptyMbr();
  SetPartition(foreignTypes, 0, 0x80, 0x07, 2048, 4096);
  SetPartition(foreignTypes, 1, 0x00, 0x83, 6144, 4096);
  std::string ntfs = EmptyMbr();
  ntfs.replace(0, 11, "\xEB\x52\x90NTFS    ");
  SparseImage extInFatPartition = Disk(Mbr16(), std::string(512, '\0'), 32);
  extInFatPartition.sectors[kMiB + 1024] = std::string(512, '\0');
  PutLittleEndian(extInFatPartition.sectors[kMiB + 1024], 56, 0xEF53, 2);
  SparseImage badChecksum = FixedVhd(Real().fat16);
  badChecksum.sectors.rbegin()->second[100] ^= 1;
  std::string vdi = "<<< Oracle VM VirtualBox Disk Image >>>\n";  // and its signature at 64
  vdi.resize(512, '\0');
  PutLittleEndian(vdi, 64, 0xBEDA107F, 4);
  const uint64_t size16 = Real().size16;

  const auto unsupported = [](const char* format) {
    return Message(kImageUnsupportedFormat, format);
  };
  const std::string vmdk = unsupported(kImageFormatVmdk);
  const SparseImage qcow2 = Header(std::string("QFI\xFB\0\0\0\3", 8));
  const SparseImage qcow = Header(std::string("QFI\xFB\0\0\0\1", 8));
  const SparseImage parallels = Header("WithoutFreeSpace");
  const std::string differencing = unsupported(kImageFormatDifferencingVhd);
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
      {"first FAT type", Disk(noActive, Boot16(), 32), "", {kMiB, size16, FatType::kFat16}},
      {"empty", {0, {}}, Message(kImageEmpty)},
      {"shorter than a sector", {100, {}}, Message(kImageTooShort)},
      {"truncated disk", truncatedDisk, Message(kImagePartitionOutside, "1")},
      {"truncated floppy", truncatedFloppy, Message(kImageVolumeTooLarge)},
      {"partition outside", Disk(outside, Boot16(), 32), Message(kImagePartitionOutside, "1")},
      {"huge volume", Disk(Real().fat32.sectors.at(0), hugeFat32, 40),
       Message(kImageVolumeTooLarge)},
      {"huge total", Header(hugeTotal), Message(kImageDamagedBootSector)},
      {"damaged boot sector", Disk(Mbr16(), zeroSectorSize, 32), Message(kImageDamagedBootSector)},
      {"no signature", Header("garbage"), Message(kImageNoFatVolume)},
      {"empty table", Header(EmptyMbr()), Message(kImageEmptyPartitionTable)},
      {"NTFS and Linux", Header(foreignTypes), Message(kImageNoFatPartition, "07, 83")},
      {"bare NTFS", Header(ntfs), Message(kImageForeignFileSystem, "NTFS")},
      {"NTFS in FAT partition", Disk(Mbr16(), ntfs, 32), Message(kImageForeignFileSystem, "NTFS")},
      {"ext in FAT partition", extInFatPartition, Message(kImageForeignFileSystem, "ext2/3/4")},
      {"qcow2", qcow2, unsupported(kImageFormatQcow2), {}, "qcow2"},
      {"qcow", qcow, unsupported(kImageFormatQcow), {}, "qcow"},
      {"QED", Header(std::string("QED\0", 4)), unsupported(kImageFormatQed), {}, "qed"},
      {"VDI", Header(vdi), unsupported(kImageFormatVdi), {}, "vdi"},
      {"VMDK", Header("KDMV"), vmdk, {}, "vmdk"},
      {"VMDK descriptor", Header("# Disk DescriptorFile\nversion=1\n"), vmdk, {}, "vmdk"},
      {"VMDK descriptor shorter than a sector",
       SparseImage::Starting("# Disk DescriptorFile\n", 22),
       Message(kImageTooShort),
       {},
       "vmdk"},
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
