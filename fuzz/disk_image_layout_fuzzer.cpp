// Recognises the FAT volume of arbitrary image files: partition tables, VHD footers and boot
// sectors of any content and any claimed size. Each input must end in a volume that lies inside
// the file, or in a message that names the image, after a handful of sector reads; the run's
// memory limit (scripts/fuzz.sh) makes any allocation of a claimed size a finding. The seeds are
// the cases of the recognition's unit test (tests/platform/disk_image_layout_test.cpp).

#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/drives/image/disk_image_layout.h"
#include "platform/windows/error.h"
#include "support/sparse_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace startgarten;
  using fuzz::Check;
  constexpr std::string_view kName = "win95.img";
  const auto image = test_support::SparseImage::Decode(
      std::string_view(reinterpret_cast<const char*>(data), size));
  int reads = 0;
  const platform::ImageReader read = [&](uint64_t offset, std::span<char> buffer) {
    ++reads;
    Check(buffer.size() <= 4096, "a read of more than a sector");
    return image.Read(offset, buffer);
  };
  try {
    const platform::FatVolumeLocation volume = platform::LocateFatVolume(kName, image.size, read);
    Check(volume.size > 0, "an empty volume");
    Check(volume.offset % 512 == 0, "a volume that does not begin at a sector");
    Check(volume.offset <= image.size && volume.size <= image.size - volume.offset,
          "a volume that reaches past the file");
  } catch (const Error& error) {
    Check(std::string_view(error.what()).find(kName) != std::string_view::npos,
          "a message that does not name the image");
  }
  Check(reads <= 8, "more than a handful of reads");
  return 0;
}
