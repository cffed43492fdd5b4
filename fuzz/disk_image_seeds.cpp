// Writes the seeds of disk_image_layout_fuzzer: real images made with mkfs.fat and sfdisk (a
// floppy, FAT16 and FAT32 disks, a fixed VHD) and the headers of other formats, each reduced to
// its size and the sectors that the recognition reads. Usage: disk_image_seeds DIRECTORY

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "fuzz/sparse_image.h"
#include "platform/disk_image_layout.h"
#include "platform/error.h"
#include "support/disk_images.h"

namespace {

namespace fs = std::filesystem;
using namespace startgarten;

// The image at path as a fuzz input: every sector that a read of the recognition touched.
std::string Seed(const fs::path& path) {
  const std::string bytes = test_support::ReadHostBytes(path);
  std::map<uint64_t, std::string> sectors;
  const platform::ImageReader read = [&](uint64_t offset, std::span<char> buffer) {
    if (offset > bytes.size() || bytes.size() - offset < buffer.size()) return false;
    std::memcpy(buffer.data(), bytes.data() + offset, buffer.size());
    for (uint64_t at = offset / fuzz::kSector * fuzz::kSector; at < offset + buffer.size();
         at += fuzz::kSector) {
      std::string sector = bytes.substr(at, fuzz::kSector);
      sector.resize(fuzz::kSector, '\0');
      sectors[at] = sector;
    }
    return true;
  };
  try {
    platform::LocateFatVolume(path.filename().string(), bytes.size(), read);
  } catch (const Error&) {
    // Refused images are seeds as well.
  }
  return fuzz::SparseImage::Encode(bytes.size(), {sectors.begin(), sectors.end()});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
    return 2;
  }
  const fs::path out = argv[1];
  const fs::path work = out / "images";
  fs::create_directories(work);
  const test_support::DiskImage fat16 =
      test_support::MakePartitionedDisk(work / "fat16.img", 32, 16, 0x06);
  std::vector<fs::path> images = {
      test_support::MakeFloppy(work / "floppy.img").path, fat16.path,
      test_support::MakePartitionedDisk(work / "fat32.img", 40, 32, 0x0C).path,
      test_support::MakeFixedVhd(fat16).path};
  const std::pair<const char*, std::string> headers[] = {
      {"qcow2.img", std::string("QFI\xFB\0\0\0\3", 8)},
      {"vdi.img", std::string(64, '\0') + "\x7F\x10\xDA\xBE"},
      {"dynamic.vhd", test_support::VhdFooter(32 << 20, 3)},
      {"ntfs.img", std::string("\xEB\x52\x90NTFS    ", 11)}};
  for (const auto& [name, header] : headers) {
    std::string bytes = header;
    bytes.resize(64 * 1024, '\0');
    if (std::string(name) == "dynamic.vhd") bytes.replace(bytes.size() - 512, 512, header);
    test_support::WriteHostBytes(work / name, bytes);
    images.push_back(work / name);
  }
  for (const fs::path& image : images) {
    std::ofstream(out / image.filename(), std::ios::binary) << Seed(image);
  }
  fs::remove_all(work);
  return 0;
}
